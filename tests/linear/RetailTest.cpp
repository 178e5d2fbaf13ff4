#include "linear/Retail.h"

#include "core/Exceptions.h"
#include "core/ModuleString.h"

#include <gtest/gtest.h>
#include <zint.h>

#include <functional>
#include <string>
#include <string_view>

#include "support/Zint.h"

namespace VandrelTest {
namespace {

using namespace Vandrel;

using namespace std::literals;

// --- Module strings ---------------------------------------------------------

TEST(RetailModules, ElementsAndModulesOfEachSymbol)
{
    const struct {
        std::string_view symbol;
        std::string modules;
        std::size_t elements;
        int32_t width;
    } cases[] = {
        {"EAN-13", EAN13Modules("4006381333931"), 59, 95},
        {"EAN-8", EAN8Modules("96385074"), 43, 67},
        {"UPC-A", UPCAModules("036000291452"), 59, 95},
        {"UPC-E number system 0", UPCEModules("12345650", false), 33, 51},
        {"UPC-E number system 1", UPCEModules("12345620", true), 33, 51},
        {"ISSN", ISSNModules("9771234567003"), 81, 124},
        {"2-digit add-on", CreateStrSupp_2("12"), 13, 20},
        {"5-digit add-on", CreateStrSupp_5("12345"), 31, 47},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.modules.size(), c.elements) << c.symbol;
        EXPECT_EQ(ModuleCount(c.modules), c.width) << c.symbol;
    }
}

TEST(RetailModules, LeadingFourSelectsParityRowABAABB)
{
    // The second digit, 0, is the first left-half digit and row 4 starts with set A.
    EXPECT_EQ(EAN13Modules("4006381333931").substr(0, 7), "505"s + "2605");
    EXPECT_EQ(EAN13Modules("4006381333931").substr(7, 4), "0517"); // then 0 from set B
}

TEST(RetailModules, UPCENumberSystemsUseComplementaryParity)
{
    // Seventh character 0 selects EEEooo.
    const std::string b123 = "0616"s + "1606" + "0535", a123 = "1615"s + "1516" + "0805";
    const std::string b456 = "1705"s + "0715" + "3505", a456 = "0526"s + "0625" + "0508";
    EXPECT_EQ(UPCEModules("12345607", false), "505" + b123 + a456 + "050505");
    EXPECT_EQ(UPCEModules("12345607", true), "505" + a123 + b456 + "050505");
}

TEST(RetailModules, ISSNAddOnFollowsANineModuleGap)
{
    const std::string issn = ISSNModules("9771234567805");
    EXPECT_EQ(issn.substr(0, 59), EAN13Modules("9771234567805"));
    // 95 modules of EAN-13 and 9 of gap: behind the 9-module quiet zone the
    // add-on starts at module 113 of the 142 the symbol is drawn in.
    EXPECT_EQ(9 + ModuleCount(issn.substr(0, 68)), 113);
    EXPECT_EQ(issn.substr(59, 9), "000000000");
    // Last digits 0 and 5: 5 mod 4 = 1, parity oE.
    EXPECT_EQ(issn.substr(68), "506"s + "2605" + "05" + "0715");
}

// The value check lets a 12-digit EAN-13 through when no check digit is added;
// the symbol then carries the computed one rather than a missing digit.
TEST(RetailModules, TwelveDigitEAN13GetsItsCheckDigit)
{
    const std::pair<std::string_view, std::string_view> digits[] = {
        {"400638133393", "4006381333931"},
        {"4006381333930", "4006381333930"}, // 13 digits are kept, check digit unverified
    };
    for (const auto& [value, expected] : digits)
        EXPECT_EQ(EAN13Digits(value), expected) << value;
    EXPECT_EQ(EAN13Modules("400638133393"), EAN13Modules("4006381333931"));
    EXPECT_EQ(ISSNModules("977123456700"), ISSNModules("9771234567003"));
}

TEST(RetailModules, ShortValuesArePaddedWithZeros)
{
    const std::pair<std::string, std::string> same[] = {
        {UPCAModules("36000291452"), UPCAModules("036000291452")},
        {UPCAModules(""), UPCAModules("000000000000")},
        {CreateStrSupp_2(""), CreateStrSupp_2("00")},
        {CreateStrSupp_5("5"), CreateStrSupp_5("00005")},
    };
    for (const auto& [padded, full] : same)
        EXPECT_EQ(padded, full);
}

// --- Add-on builders --------------------------------------------------------

TEST(RetailAddOn, PreAddZeropPadsToTheMinimumLength)
{
    const struct {
        uint8_t n;
        std::string_view s, expected;
    } cases[] = {
        {2, "123", "123"}, // longer: unchanged
        {2, "12", "12"},   {5, "42", "00042"}, {3, "", "000"}, {0, "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PreAddZerop(c.n, c.s), c.expected) << int(c.n) << " " << c.s;
}

TEST(RetailAddOn, GetSuppReplacesThePlaceholderWithTheCheckDigit)
{
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"123450", "123451"}, // 3 + 18 + 9 + 36 + 15 = 81
        {"123459", "123451"}, // the placeholder is never read
        {"90", "97"},         // the rightmost digit weighs 3
        {"7", "0"},
    };
    for (const auto& [s, expected] : cases)
        EXPECT_EQ(GetSupp(s), expected) << s;
}

TEST(RetailAddOn, TwoDigitsPaddedWithParityByValueMod4)
{
    // 05: 5 mod 4 = 1, parity oE: 0 from set A, 5 from set B.
    EXPECT_EQ(CreateStrSupp_2("5"), "506"s + "2605" + "05" + "0715");
}

TEST(RetailAddOn, FiveDigitsSeparatedByDelineators)
{
    const std::string supp = CreateStrSupp_5("12345");
    EXPECT_EQ(supp.substr(0, 3), "506");
    for (std::size_t at : {7, 13, 19, 25})
        EXPECT_EQ(supp.substr(at, 2), "05") << at;
}

// --- Input the encoders cannot take -----------------------------------------

TEST(RetailModules, ValuesOfTheWrongShapeRaiseConvertError)
{
    const std::pair<std::string_view, std::function<void()>> cases[] = {
        {"GetSupp empty", [] { GetSupp(""); }},
        {"GetSupp letter", [] { GetSupp("12a450"); }},
        {"GetSupp placeholder", [] { GetSupp("12345x"); }},
        {"add-on 2 letter", [] { CreateStrSupp_2("5x"); }},
        {"add-on 2 too long", [] { CreateStrSupp_2("123"); }},
        {"add-on 5 letter", [] { CreateStrSupp_5("1234a"); }},
        {"add-on 5 too long", [] { CreateStrSupp_5("123456"); }},
        {"EAN-13 digits short", [] { EAN13Digits("40063813339"); }},
        {"EAN-13 short", [] { EAN13Modules("4006"); }},
        {"EAN-13 long", [] { EAN13Modules("40063813339310"); }},
        {"EAN-13 letter", [] { EAN13Modules("40063813339X"); }},
        {"EAN-13 high byte", [] { EAN13Modules("400638133393\xB9"); }},
        {"EAN-13 NUL",
         [] {
             EAN13Modules("400638\0"
                          "33393"sv);
         }},
        {"EAN-8 short", [] { EAN8Modules("9638507"); }},
        {"EAN-8 letter", [] { EAN8Modules("9638507x"); }},
        {"UPC-A long", [] { UPCAModules("0360002914521"); }},
        {"UPC-A letter", [] { UPCAModules("03600029145a"); }},
        {"UPC-E short", [] { UPCEModules("123456", false); }},
        {"UPC-E letter", [] { UPCEModules("123456 5", true); }},
        {"ISSN short", [] { ISSNModules("977"); }},
        {"ISSN letter", [] { ISSNModules("97712345670-3"); }},
    };
    for (const auto& [label, encode] : cases)
        EXPECT_THROW(encode(), EConvertError) << label;
}

// --- zint as an independent encoder -----------------------------------------

struct ZintRow {
    std::string modules; // "1" bar, "0" space; zint leaves the quiet zones out
    std::string text;    // the digits it encoded, check digit included
};

ZintRow Zint(int symbology, std::string_view input, int addOnGap = 0)
{
    // 0: zint's default gap
    const ZintSymbol symbol = ZintEncode(symbology, input, {.option2 = addOnGap});
    EXPECT_TRUE(symbol.Ok()) << input << ": " << symbol.error;
    // One row: zint gives guard bars their extra length when it renders, not here.
    EXPECT_EQ(symbol.rows.size(), 1u) << input;
    return {symbol.rows.empty() ? std::string() : symbol.rows[0], symbol.text};
}

// Our module string as a row of modules in zint's notation.
std::string Row(std::string_view modules)
{
    std::string row;
    for (char c : modules) {
        int32_t width = 0;
        TBarLineType kind = WHITE;
        GetBarProps(c, width, kind);
        row.append(width, kind == WHITE ? '0' : '1');
    }
    return row;
}

std::string Digit(int d)
{
    return std::to_string(d);
}

TEST(RetailZint, EAN13InEveryParityRow)
{
    for (int first = 0; first < 10; ++first) {
        const std::string value = Digit(first) + "23456789012";
        const ZintRow zint = Zint(BARCODE_EANX, value);
        EXPECT_EQ(EAN13Digits(value), zint.text);
        EXPECT_EQ(Row(EAN13Modules(value)), zint.modules) << value;
    }
}

TEST(RetailZint, EAN8AndUPCA)
{
    const std::pair<int, std::string_view> cases[] = {
        {BARCODE_EANX, "9638507"},     {BARCODE_EANX, "0123456"},     {BARCODE_EANX, "5555555"},
        {BARCODE_UPCA, "03600029145"}, {BARCODE_UPCA, "12345678901"}, {BARCODE_UPCA, "98765432109"},
    };
    for (const auto& [symbology, input] : cases) {
        const ZintRow zint = Zint(symbology, input);
        const std::string ours = symbology == BARCODE_UPCA ? UPCAModules(zint.text) : EAN8Modules(zint.text);
        EXPECT_EQ(Row(ours), zint.modules) << zint.text;
    }
}

TEST(RetailZint, UPCEInEveryParityRowOfBothNumberSystems)
{
    // zint takes number system and six digits and shows them with the check
    // digit; ours takes the six digits with the check digit as the parity
    // selector. Varying one digit of weight 1 runs through every check digit.
    for (int system = 0; system < 2; ++system)
        for (int d = 0; d < 10; ++d) {
            const ZintRow zint = Zint(BARCODE_UPCE, Digit(system) + Digit(d) + "23450");
            const std::string value = zint.text.substr(1, 7) + "0"; // the eighth character is only shown
            EXPECT_EQ(Row(UPCEModules(value, system == 1)), zint.modules) << zint.text;
        }
}

TEST(RetailZint, AddOnsInEveryParity)
{
    // Behind an EAN-13 symbol, its own gap included; the add-on is compared alone.
    const std::string ean13 = "400638133393";
    for (int d = 0; d < 10; ++d) {
        const std::string two = "1" + Digit(d);     // 10..19: every value mod 4
        const std::string five = "1234" + Digit(d); // the check digit runs through 0..9
        const ZintRow zint2 = Zint(BARCODE_EANX, ean13 + "+" + two);
        const ZintRow zint5 = Zint(BARCODE_EANX, ean13 + "+" + five);
        EXPECT_EQ(Row(CreateStrSupp_2(two)), zint2.modules.substr(zint2.modules.size() - 20)) << two;
        EXPECT_EQ(Row(CreateStrSupp_5(five)), zint5.modules.substr(zint5.modules.size() - 47)) << five;
    }
}

TEST(RetailZint, ISSNIsEAN13WithItsLastTwoDigitsAsAddOn)
{
    // zint's default gap before an add-on is 7 modules; it is asked for our 9.
    for (std::string_view issn : {"9771234567003", "9771234567805", "9779876543218"}) {
        const std::string input = std::string(issn.substr(0, 12)) + "+" + std::string(issn.substr(11));
        const ZintRow zint = Zint(BARCODE_EANX, input, 9);
        EXPECT_EQ(zint.text.substr(0, 13), issn);
        EXPECT_EQ(Row(ISSNModules(issn)), zint.modules) << issn;
    }
}

} // namespace
} // namespace VandrelTest
