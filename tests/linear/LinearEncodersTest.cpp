#include "core/CheckDigits.h"
#include "core/Exceptions.h"
#include "core/ModuleString.h"
#include "linear/Codabar.h"
#include "linear/Code128.h"
#include "linear/Code93.h"
#include "linear/Msi.h"
#include "linear/PostNet.h"
#include "linear/Symbology.h"
#include "linear/TwoOfFive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "tests/linear/ZintPatterns.h"

namespace VandrelTest {
namespace {

using namespace Vandrel;

using namespace std::literals;

std::string Printable(std::string_view s)
{
    return testing::PrintToString(std::string(s));
}

// ---- Code 128 / EAN-128 ----

// A Code 128 symbol from its symbol values (start, data, check), each drawn
// as zint draws it; the stop is added.
std::string Code128Symbol(const std::vector<int>& values)
{
    std::string widths;
    for (int v : values)
        widths += ZintCode128Widths(v);
    return Convert(widths + "2331112");
}

TEST(Code128Modules, EncodesStartDataCheckAndStop)
{
    struct Case {
        const char* name;
        TBarType type;
        std::string value;
        std::vector<int> values; // start, [FNC1,] data, check
    };
    const Case cases[] = {
        {"B AB", Code128_B, "AB", {104, 33, 34, 102}},
        {"C 1234", Code128_C, "1234", {105, 12, 34, 82}},
        {"EAN C 1234", EAN128_C, "1234", {105, 102, 12, 34, 24}},
        {"B plus is value 11", Code128_B, "+", {104, 11, 12}},
        {"A upper case", Code128_A, "AZ_", {103, 33, 58, 63, 29}},
        {"EAN A", EAN128_A, "A", {103, 102, 33, 65}},
        {"EAN B lower case", EAN128_B, "a", {104, 102, 65, 27}},
        {"B lower case", Code128_B, "a~", {104, 65, 94, 48}},
        {"A empty: check is the start", Code128_A, "", {103, 0}},
        {"B empty", Code128_B, "", {104, 1}},
        {"C empty", Code128_C, "", {105, 2}},
        {"EAN C empty", EAN128_C, "", {105, 102, 1}},
        {"C 00 and 99", Code128_C, "0099", {105, 0, 99, 97}},
        // Weights grow past the modulus: (104 + 33 * (1 + ... + 120)) mod 103.
        {"B long value", Code128_B, std::string(120, 'A'),
         [] {
             std::vector<int> v(122, 33);
             v.front() = 104;
             v.back() = 3;
             return v;
         }()},
        // Unvalidated input stays inside the table.
        {"A lower case outside column A is a space", Code128_A, "a", {103, 0, 0}},
        {"C lone last digit is 00", Code128_C, "123", {105, 12, 0, 14}},
        {"C non-digit pair is 00", Code128_C, "1a", {105, 0, 2}},
        {"B byte above 127 is a space", Code128_B, "\xE9", {104, 0, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModuleString(c.type, c.value), Code128Symbol(c.values)) << c.name;
}

TEST(Code128Modules, SizeIsElevenModulesPerSymbolValuePlusStop)
{
    struct Case {
        TBarType type;
        std::string_view value;
        int32_t modules; // 11 * (n + 2) + 13, set C n / 2, EAN-128 + 11
    };
    const Case cases[] = {
        {Code128_B, "", 35},       {Code128_A, "ABC", 68},   {Code128_B, "abcd", 79}, {Code128_C, "", 35},
        {Code128_C, "123456", 68}, {EAN128_C, "123456", 79}, {EAN128_A, "", 46},      {EAN128_B, "x", 57},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModuleCount(ModuleString(c.type, c.value)), c.modules) << c.type << " " << c.value;
}

// ---- Code 93 / Code 93 Extended ----

// A Code 93 symbol from the characters of its data and its C and K
// characters, each drawn as zint draws it.
std::string Code93Symbol(std::string_view characters)
{
    std::string widths = "111141";
    for (char c : characters)
        widths += ZintCode93Widths(c);
    return Convert(widths + "1111411");
}

TEST(Code93Modules, AppendsTheCAndKCheckCharacters)
{
    struct Case {
        const char* name;
        std::string_view value;
        std::string_view withChecks; // the value, then C and K
    };
    const Case cases[] = {
        {"TEST93: C 41, K 6", "TEST93", "TEST93+6"},
        {"empty: C 0, K 0", "", "00"},
        {"16 characters: K weights restart after 15", "0123456789ABCDEF", "0123456789ABCDEFM8"},
        {"21 characters: C weights restart after 20", "ABCDEFGHIJKLMNOPQRSTU", "ABCDEFGHIJKLMNOPQRSTUVM"},
        {"23 characters with spaces", "CODE 93 WEIGHTS RESTART", "CODE 93 WEIGHTS RESTART]5"},
        {"40 characters", "ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ", "ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ-%"},
        {"shift characters are data", "[]{}", "[]{}HO"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModuleString(Code93, c.value), Code93Symbol(c.withChecks)) << c.name;
}

TEST(Code93Modules, SizeIsNineModulesPerCharacterPlusFrame)
{
    const std::pair<std::string_view, int32_t> cases[] = {
        {"", 37},
        {"A", 46},
        {"TEST93", 91},
    };
    for (const auto& [value, modules] : cases)
        EXPECT_EQ(ModuleCount(ModuleString(Code93, value)), modules) << value;
}

TEST(Code93Modules, RaisesForACharacterOutsideTheTable)
{
    // The engine names no control: the drawing control puts its name in front.
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"a", "Code93 bad Data <a>"},
        {"AB*", "Code93 bad Data <AB*>"},
        {"\xFF", "Code93 bad Data <\xFF>"},
    };
    for (const auto& [value, message] : cases) {
        try {
            Code93Modules(value);
            ADD_FAILURE() << "no exception for " << Printable(value);
        } catch (const EBarValue& e) {
            EXPECT_EQ(e.what(), message) << Printable(value);
        }
    }
}

TEST(Code93ExExpand, RewritesFullAsciiWithShiftCharacters)
{
    const std::pair<std::string_view, std::string_view> cases[] =
        {
            {"\0"sv, "]U"}, {"\x01", "[A"}, {"\x1A", "[Z"},   {"\x1B", "]A"}, {"\x1F", "]E"}, {" ", " "},
            {"!", "{A"},    {"$", "{D"},    {"%", "{E"},      {"+", "{K"},    {"-", "{M"},    {".", "{N"},
            {"/", "{O"},    {"09", "09"},   {":", "{Z"},      {";", "]F"},    {"?", "]J"},    {"@", "]V"},
            {"AZ", "AZ"},   {"[", "]K"},    {"_", "]O"},      {"`", "]W"},    {"a", "}A"},    {"z", "}Z"},
            {"{", "]P"},    {"\x7F", "]T"}, {"\x80\xFF", ""}, // above 127: dropped
            {"", ""},
        };
    for (const auto& [value, expanded] : cases)
        EXPECT_EQ(Code93ExExpand(value), expanded) << Printable(value);
}

TEST(ModuleString, Code93ExEncodesTheExpansion)
{
    EXPECT_EQ(ModuleString(Code93Ex, "a$"), ModuleString(Code93, "}A{D"));
    EXPECT_EQ(ModuleString(Code93Ex, "AB["), ModuleString(Code93, "AB]K"));
}

// ---- 2 of 5 family ----

TEST(TwoOfFiveModules, FrameTheDigitPatterns)
{
    struct Case {
        const char* name;
        TBarType type;
        std::string_view value;
        std::string_view modules;
    };
    const Case cases[] = {
        // 1 "10001" in the bars, 2 "01001" in the spaces.
        {"interleaved 12", Inter2_5, "12",
         "5050"
         "6051505061"
         "605"},
        {"interleaved empty", Inter2_5, "", "5050605"},
        {"industrial 1", Indust2_5, "1",
         "606050"
         "6050505060"
         "605060"},
        {"industrial empty", Indust2_5, "", "606050605060"},
        {"matrix 1", Matrix2_5, "1",
         "705050"
         "60506"
         "0"
         "70505"},
        {"matrix 07", Matrix2_5, "07",
         "705050"
         "50615"
         "0"
         "50516"
         "0"
         "70505"},
        {"matrix empty", Matrix2_5, "", "70505070505"},
        // Unvalidated input: non-digits are skipped, a lone last digit is dropped.
        {"interleaved odd length", Inter2_5, "123",
         "5050"
         "6051505061"
         "605"},
        {"interleaved pair with a letter", Inter2_5, "1a12",
         "5050"
         "6051505061"
         "605"},
        {"industrial letter", Indust2_5, "a1/",
         "606050"
         "6050505060"
         "605060"},
        {"matrix letter", Matrix2_5, ":1",
         "705050"
         "60506"
         "0"
         "70505"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModuleString(c.type, c.value), c.modules) << c.name;
}

TEST(TwoOfFiveModules, SizesGrowPerDigit)
{
    const std::string_view digits[] = {"", "0123456789", "98765432109876543210"};
    for (std::string_view v : digits) {
        const auto n = static_cast<int32_t>(v.size());
        EXPECT_EQ(ModuleCount(Inter2_5Modules(v)), 4 + 7 * n + 4) << v;
        EXPECT_EQ(ModuleCount(Indust2_5Modules(v)), 8 + 12 * n + 8) << v;
        EXPECT_EQ(ModuleCount(Matrix2_5Modules(v)), 8 + 8 * n + 7) << v;
    }
}

// ---- Codabar ----

TEST(CodabarModules, FramesWithAAndBAndGaps)
{
    constexpr std::string_view A = "5061515", B = "5151506";
    const std::pair<std::string_view, std::string> cases[] = {
        // A and B inside the value are data, not start and stop.
        {"A123B", std::string(A) + "0" + std::string(A) + "0" +
                      "5050615"
                      "0"
                      "5051506"
                      "0"
                      "6150505"
                      "0" +
                      std::string(B) + "0" + std::string(B)},
        {"", std::string(A) + "0" + std::string(B)},
        {"0", std::string(A) +
                  "0"
                  "5050516"
                  "0" +
                  std::string(B)},
        {"E0a", std::string(A) +
                    "0"
                    "5050516"
                    "0" +
                    std::string(B)}, // unvalidated: skipped
    };
    for (const auto& [value, modules] : cases)
        EXPECT_EQ(ModuleString(CodaBar, value), modules) << value;
}

// ---- MSI ----

// The check digit by the 32-bit formula: e is the number spelt by the digits at odd
// positions counted from the last, o the sum of the others, and the check digit
// completes quersum(2 * e) + o to a multiple of 10. Int must hold 2 * e.
template <typename Int>
int FormulaCheckDigit(std::string_view digits)
{
    Int e = 0;
    Int o = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const int d = digits[i] - '0';
        if ((digits.size() - i) % 2 == 1)
            e = e * 10 + d;
        else
            o += d;
    }
    Int s = o;
    for (Int twice = 2 * e; twice > 0; twice /= 10)
        s += twice % 10;
    const int r = static_cast<int>(s % 10);
    return r > 0 ? 10 - r : 0;
}

TEST(MSICheckDigit, KnownValues)
{
    const std::pair<std::string, int> cases[] = {
        {"1234", 4},
        {"5", 9},
        {"123", 0},
        {"", 0},
        {"0", 0},
        {"12345678901234567890", 6},
        {"9999999999999999999", 9},
        {"31415926535897932384626433832795028841971693993751", 9},
        {std::string(50, '0') + "7", 5}, // leading zeros change nothing
        {std::string(1001, '1'), 8},     // 501 doubled ones and 500 plain ones
        {std::string(100000, '9'), 0},
    };
    for (const auto& [value, check] : cases)
        EXPECT_EQ(MSICheckDigit(value), check) << value.substr(0, 60) << " (" << value.size() << " digits)";
}

TEST(MSICheckDigit, AgreesWithTheFormulaWhereverItFits)
{
    // Every value of up to five digits, with and without leading zeros.
    for (int n = 0; n < 100000; ++n) {
        const std::string v = std::to_string(n);
        ASSERT_EQ(MSICheckDigit(v), FormulaCheckDigit<int32_t>(v)) << v;
        const std::string padded = std::string(5 - v.size(), '0') + v;
        ASSERT_EQ(MSICheckDigit(padded), FormulaCheckDigit<int32_t>(padded)) << padded;
    }
    // Random values: 32-bit arithmetic holds 2 * e up to 18 digits, 128-bit up to 38.
    std::mt19937 random(20240229);
    std::uniform_int_distribution<int> digit(0, 9);
    for (std::size_t length = 6; length <= 38; ++length) {
        for (int k = 0; k < 2000; ++k) {
            std::string v(length, '0');
            for (char& c : v)
                c = static_cast<char>('0' + digit(random));
            if (length <= 18) {
                ASSERT_EQ(MSICheckDigit(v), FormulaCheckDigit<int32_t>(v)) << v;
            }
            ASSERT_EQ(MSICheckDigit(v), FormulaCheckDigit<__int128>(v)) << v;
        }
    }
}

TEST(MSIModules, FramesTheDigitsAndTheCheckDigit)
{
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"5", "60"
              "51605160"
              "60515160"
              "515"}, // 0101, check 9 = 1001
        {"", "60"
             "51515151"
             "515"}, // check 0
        {"123", "60"
                "51515160"
                "51516051"
                "51516060"
                "51515151"
                "515"},
        {"5x", "60"
               "51605160"
               "60515160"
               "515"}, // unvalidated: non-digits skipped
    };
    for (const auto& [value, modules] : cases)
        EXPECT_EQ(ModuleString(MSI, value), modules) << value;
}

TEST(MSIModules, SizeIsTwelveModulesPerDigitAndCheckDigit)
{
    for (std::string_view v : {""sv, "7"sv, "0123456789"sv})
        EXPECT_EQ(ModuleCount(MSIModules(v)), 3 + 12 * (static_cast<int32_t>(v.size()) + 1) + 4) << v;
}

// ---- PostNet ----

TEST(PostNetModules, TallAndShortBarsBetweenFrameBars)
{
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"0", "51"
              "5151A1A1A1"
              "5"}, // tall, tall, short, short, short
        {"17", "51"
               "A1A1A15151"
               "51A1A1A151"
               "5"},
        {"", "515"},
        {"-0", "51"
               "5151A1A1A1"
               "5"}, // unvalidated: non-digits skipped
    };
    for (const auto& [value, modules] : cases)
        EXPECT_EQ(ModuleString(PostNet, value), modules) << value;
}

TEST(PostNetModules, SizeIsFifteenModulesPerDigit)
{
    for (std::string_view v : {""sv, "5"sv, "0123456789"sv})
        EXPECT_EQ(ModuleCount(PostNetModules(v)), 3 + 15 * static_cast<int32_t>(v.size()) + 1) << v;
}

// ---- all of them ----

// Validation keeps such values away, but a stray byte must still neither index a
// table out of range (the sanitizer build watches) nor leak into the module string.
TEST(LinearEncoders, AnyByteStaysInsideTheTables)
{
    const TBarType types[] = {Inter2_5, Indust2_5, Matrix2_5, Code128_A, Code128_B, Code128_C, EAN128_A,
                              EAN128_B, EAN128_C,  Code93,    Code93Ex,  MSI,       PostNet,   CodaBar};
    constexpr std::string_view Alphabet = "01235678ABCD";
    for (TBarType type : types) {
        for (int byte = 0; byte < 256; ++byte) {
            const char b = static_cast<char>(byte);
            const std::string value = {'1', b, '2', b, b};
            std::string modules;
            try {
                modules = ModuleString(type, value);
            } catch (const Exception&) {
                EXPECT_EQ(type, Code93) << "byte " << byte; // the only encoder that refuses
                continue;
            }
            EXPECT_EQ(modules.find_first_not_of(Alphabet), std::string::npos) << type << " byte " << byte;
        }
    }
}

} // namespace
} // namespace VandrelTest
