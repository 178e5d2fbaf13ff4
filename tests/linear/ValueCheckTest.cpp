#include "linear/ValueCheck.h"

#include "linear/Codabar.h"
#include "linear/Code128.h"
#include "linear/Code93.h"
#include "tests/linear/ZintPatterns.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace VandrelTest {
namespace {

using namespace Vandrel;

using namespace std::literals;

struct DigitNumCase {
    TBarType type;
    std::string_view value;
    bool accepted;
    const char* why;
};

const DigitNumCase DigitNumCases[] = {
    // Lengths of the retail types.
    {EAN8, "12345670", true, "EAN-8 takes 8"},
    {EAN8, "1234567", false, "EAN-8 does not take 7"},
    {EAN8, "123456701", false, "EAN-8 does not take 9"},
    {UPC_E0, "01234565", true, "UPC-E takes 8"},
    {UPC_E1, "0123456", false, "UPC-E does not take 7"},
    {EAN13, "400638133393", true, "EAN-13 takes 12"},
    {EAN13, "4006381333931", true, "EAN-13 takes 13"},
    {EAN13, "40063813339", false, "EAN-13 does not take 11"},
    {EAN13, "40063813339310", false, "EAN-13 does not take 14"},
    {UPC_A, "036000291452", true, "UPC-A takes 12"},
    {UPC_A, "03600029145", false, "UPC-A does not take 11"},
    {UPC_A, "0360002914520", false, "UPC-A does not take 13"},
    // Prefixes.
    {ISBN, "9780201379624", true, "ISBN with 978"},
    {ISBN, "9790201379624", false, "ISBN with 979"},
    {ISBN, "978020137962", false, "ISBN of 12 digits"},
    {ISSN, "9770317847001", true, "ISSN with 977"},
    {ISSN, "9780317847001", false, "ISSN with 978"},
    {ISSN, "97", false, "ISSN shorter than its prefix"},
    // Digits in pairs.
    {Inter2_5, "123456", true, "Interleaved, even"},
    {Inter2_5, "12345", false, "Interleaved, odd"},
    {Inter2_5, "", true, "Interleaved, empty counts as even"},
    {Inter2_5, "12345A", false, "Interleaved, the last character is tested too"},
    {Indust2_5, "12345", true, "Industrial takes odd lengths"},
    {Matrix2_5, "7", true, "Matrix takes odd lengths"},
    {Code128_C, "1234", true, "set C, even"},
    {Code128_C, "123", false, "set C, odd"},
    {EAN128_C, "123", false, "EAN-128 set C, odd"},
    {EAN128_C, "12a4", false, "EAN-128 set C, letter"},
    // Digit-only types.
    {MSI, "12A", false, "MSI, letter"},
    {PostNet, "", true, "PostNet, empty"},
    {EAN13, "40063813339A", false, "EAN-13, letter in last place"},
    {UPC_A, "03600029145 ", false, "UPC-A, trailing space"},
    // Code 39.
    {Code39, "", true, "empty"},
    {Code39, "0189AZ-. *$/+%", true, "every kind of table character"},
    {Code39, "ABc", false, "lower case"},
    {Code39Ex, "a", false, "Extended admits only the table characters too"},
    {Code39, "A\0B"sv, false, "NUL"},
    // Code 128 sets A and B.
    {Code128_A, " AZ_09", true, "set A, space to underscore"},
    {Code128_A, "`", false, "set A, backquote is set B only"},
    {Code128_A, "a", false, "set A, lower case"},
    {Code128_A, "\t", false, "set A, control characters are not in the table"},
    {EAN128_A, "a", false, "EAN-128 set A, lower case"},
    {Code128_B, "a~`+", true, "set B, lower case and punctuation"},
    {Code128_B, "\x7F", false, "set B, DEL"},
    {EAN128_B, "{|}", true, "EAN-128 set B, braces"},
    // Code 93 and its shift marks.
    {Code93, "TEST93-. $/+%", true, "plain table characters"},
    {Code93, "AB[", false, "shift mark in the plain form"},
    {Code93, "}", false, "last shift mark in the plain form"},
    {Code93Ex, "AB[", true, "shift mark in the Extended form"},
    {Code93Ex, "[]{}", true, "all shift marks in the Extended form"},
    {Code93Ex, "a", false, "Extended, lower case"},
    // Codabar.
    {CodaBar, "A123B", true, "start and stop letters as data"},
    {CodaBar, "A12E", false, "E is no Codabar character"},
    {CodaBar, "-$:/.+CD", true, "punctuation and C, D"},
    {CodaBar, "a", false, "lower case"},
    // Bytes above 127 never match, whatever their signedness.
    {Code39, "\xC4", false, "Latin-1 letter"},
    {Code128_B, "\xE9", false, "Latin-1 letter"},
    {Code93Ex, "\xFF", false, "0xFF"},
    {CodaBar, "\x80", false, "0x80"},
    {Inter2_5, "1\xB9", false, "superscript one"},
    // Types outside the enumeration.
    {static_cast<TBarType>(BarTypeCount), "1", false, "one past the last type"},
    {static_cast<TBarType>(-1), "1", false, "negative type"},
};

TEST(DoDigitNum, AcceptsByLengthPrefixParityAndCharacters)
{
    for (const DigitNumCase& c : DigitNumCases)
        EXPECT_EQ(DoDigitNum(c.type, c.value), c.accepted) << c.why << " (type " << c.type << ")";
}

TEST(CompleteCheckDigit, CompletesRetailValues)
{
    struct Case {
        TBarType type;
        const char* value;
        const char* completed;
        bool accepted;
        const char* why;
    };
    const Case cases[] = {
        {EAN13, "400638133393", "4006381333931", true, "12 digits get their check digit"},
        {EAN13, "4006381333930", "4006381333931", true, "a wrong 13th digit is replaced"},
        {EAN13, "4006381333931", "4006381333931", true, "a right 13th digit stays"},
        {EAN8, "01234560", "01234565", true, "EAN-8 over 7 digits"},
        {UPC_E0, "01234569", "01234565", true, "UPC-E weighs like EAN-8"},
        {UPC_A, "036000291450", "036000291452", true, "UPC-A over 11 digits"},
        {UPC_A, "03600029145", "03600029145", false, "UPC-A of 11 digits is left alone"},
        {ISBN, "9780201379620", "9780201379624", true, "ISBN"},
        {ISSN, "9770317847009", "9770317847001", true, "ISSN"},
        {ISBN, "9790201379620", "9790201379620", false, "rejected prefix, untouched"},
        {EAN13, "40063813339A", "40063813339A", false, "letter, untouched"},
        {Code39, "ABC", "ABC", true, "no check digit for Code 39"},
        {Code128_C, "12", "12", true, "no check digit for Code 128"},
        {Inter2_5, "123", "123", false, "odd Interleaved value"},
    };
    for (const Case& c : cases) {
        std::string value = c.value;
        EXPECT_EQ(CompleteCheckDigit(c.type, value), c.accepted) << c.why;
        EXPECT_EQ(value, c.completed) << c.why;
    }
}

// Every pattern of the tables against the symbols zint draws.
TEST(CodeTables, PatternsMatchZint)
{
    for (int value = 0; value < 103; ++value)
        EXPECT_EQ(std::string_view(Codetable_Code128[value].Pattern + 1, 6), ZintCode128Widths(value)) << value;
    for (const TCode93Record& r : Codetable_Code93)
        EXPECT_EQ(std::string_view(r.Pattern, 6), ZintCode93Widths(r.Character)) << r.Character;
    for (const char c : std::string_view("0123456789-$:/.+ABCD"))
        EXPECT_EQ(std::string_view(Codetable_Codabar[CodabarIndex(c)].Pattern, 7), ZintCodabarModules(c)) << c;
}

// The columns say which value each character of a code set takes: the value's
// pattern must be the one zint draws for that character.
TEST(CodeTables, Code128ColumnsMatchZint)
{
    for (char c = ' '; c <= '~'; ++c) {
        const int b = Code128Index('B', c);
        ASSERT_GE(b, 0) << c;
        EXPECT_EQ(std::string_view(Codetable_Code128[b].Pattern + 1, 6), ZintRuns(BARCODE_CODE128B, {&c, 1}, 6, 6))
            << c;
        // Set A shares its printable characters with set B; the lower case is set B's alone.
        EXPECT_EQ(Code128Index('A', c), c < '`' ? b : -1) << c;
    }
    for (int value = 0; value < 100; ++value) {
        const TCode128Record& r = Codetable_Code128[value];
        const std::string digits(r.C + 1, 2);
        EXPECT_EQ(std::string_view(r.Pattern + 1, 6), ZintRuns(BARCODE_CODE128, digits, 6, 6)) << digits;
    }
}

// Lookups give the first record holding a character, as a front-to-back search would:
// the space placeholders of the upper values never shadow value 0.
TEST(CodeTables, LookupsFindTheFirstRecord)
{
    EXPECT_EQ(Code128Index('A', ' '), 0);
    EXPECT_EQ(Code128Index('B', ' '), 0);
    EXPECT_EQ(Code128Index('A', '_'), 63);
    EXPECT_EQ(Code128Index('A', '`'), -1);
    EXPECT_EQ(Code128Index('B', '`'), 64);
    EXPECT_EQ(Code128Index('B', '~'), 94);
    EXPECT_EQ(Code128Index('C', '1'), -1);
    EXPECT_EQ(Code93Index('0'), 0);
    EXPECT_EQ(Code93Index('['), Code93FirstShift);
    EXPECT_EQ(Code93Index('}'), 46);
    EXPECT_EQ(Code93Index('\xA0'), -1);
    EXPECT_EQ(CodabarIndex('1'), 0);
    EXPECT_EQ(CodabarIndex('D'), 19);
    EXPECT_EQ(CodabarIndex('\0'), -1);
}

} // namespace
} // namespace VandrelTest
