#include "linear/Code93.h"

#include "core/CharIndex.h"
#include "core/Exceptions.h"
#include "core/FullAscii.h"
#include "core/ModuleString.h"
#include "linear/Symbology.h"

#include <iterator>
#include <vector>

namespace Vandrel {

namespace {

constexpr TCode93Record Row(char c, const char (&widths)[7])
{
    TCode93Record r{c, {}};
    for (int i = 0; i < 6; ++i)
        r.Pattern[i] = widths[i];
    return r;
}

} // namespace

// Values 0..46 with the widths of the Code 93 standard; the last four records are
// its shift characters ($), (%), (/), (+), written "[", "]", "{", "}".
constexpr TCode93Record Codetable_Code93[47] = {
    Row('0', "131112"), Row('1', "111213"), Row('2', "111312"), Row('3', "111411"), Row('4', "121113"),
    Row('5', "121212"), Row('6', "121311"), Row('7', "111114"), Row('8', "131211"), Row('9', "141111"),
    Row('A', "211113"), Row('B', "211212"), Row('C', "211311"), Row('D', "221112"), Row('E', "221211"),
    Row('F', "231111"), Row('G', "112113"), Row('H', "112212"), Row('I', "112311"), Row('J', "122112"),
    Row('K', "132111"), Row('L', "111123"), Row('M', "111222"), Row('N', "111321"), Row('O', "121122"),
    Row('P', "131121"), Row('Q', "212112"), Row('R', "212211"), Row('S', "211122"), Row('T', "211221"),
    Row('U', "221121"), Row('V', "222111"), Row('W', "112122"), Row('X', "112221"), Row('Y', "122121"),
    Row('Z', "123111"), Row('-', "121131"), Row('.', "311112"), Row(' ', "311211"), Row('$', "321111"),
    Row('/', "112131"), Row('+', "113121"), Row('%', "211131"), Row('[', "121221"), Row(']', "312111"),
    Row('{', "311121"), Row('}', "122211"),
};
static_assert(std::size(Codetable_Code93) == 47);
static_assert(Codetable_Code93[Code93FirstShift].Character == '[');

namespace {

// Six elements summing to 9 modules.
constexpr bool PatternsWellFormed()
{
    for (const auto& r : Codetable_Code93)
        if (WidthSum({r.Pattern, 6}) != 9)
            return false;
    return true;
}
static_assert(PatternsWellFormed(), "every Code 93 record needs a 9-module pattern");

constexpr TCharIndex Index = MakeCharIndex(Codetable_Code93, [](const TCode93Record& r) { return r.Character; });

} // namespace

int Code93Index(char c)
{
    return Index(c);
}

// Full-ASCII Code 93: every code 0..127 as one or two Code 93 characters, the
// shifts ($), (%), (/), (+) written "[", "]", "{", "}".
constexpr unsigned char Codetable_Code93Ex[128][3] = {
    // 0 NUL
    {2, ']', 'U'},
    // 1-26 control codes: ($)A..($)Z
    {2, '[', 'A'},
    {2, '[', 'B'},
    {2, '[', 'C'},
    {2, '[', 'D'},
    {2, '[', 'E'},
    {2, '[', 'F'},
    {2, '[', 'G'},
    {2, '[', 'H'},
    {2, '[', 'I'},
    {2, '[', 'J'},
    {2, '[', 'K'},
    {2, '[', 'L'},
    {2, '[', 'M'},
    {2, '[', 'N'},
    {2, '[', 'O'},
    {2, '[', 'P'},
    {2, '[', 'Q'},
    {2, '[', 'R'},
    {2, '[', 'S'},
    {2, '[', 'T'},
    {2, '[', 'U'},
    {2, '[', 'V'},
    {2, '[', 'W'},
    {2, '[', 'X'},
    {2, '[', 'Y'},
    {2, '[', 'Z'},
    // 27-31 control codes: (%)A..(%)E
    {2, ']', 'A'},
    {2, ']', 'B'},
    {2, ']', 'C'},
    {2, ']', 'D'},
    {2, ']', 'E'},
    // 32 space: itself
    {1, ' '},
    // 33-47 '!'..'/': (/)A..(/)O, also '$', '%', '+', '-', '.', '/' that the table holds too
    {2, '{', 'A'},
    {2, '{', 'B'},
    {2, '{', 'C'},
    {2, '{', 'D'},
    {2, '{', 'E'},
    {2, '{', 'F'},
    {2, '{', 'G'},
    {2, '{', 'H'},
    {2, '{', 'I'},
    {2, '{', 'J'},
    {2, '{', 'K'},
    {2, '{', 'L'},
    {2, '{', 'M'},
    {2, '{', 'N'},
    {2, '{', 'O'},
    // 48-57 digits: themselves
    {1, '0'},
    {1, '1'},
    {1, '2'},
    {1, '3'},
    {1, '4'},
    {1, '5'},
    {1, '6'},
    {1, '7'},
    {1, '8'},
    {1, '9'},
    // 58 ':'
    {2, '{', 'Z'},
    // 59-63 ';'..'?': (%)F..(%)J
    {2, ']', 'F'},
    {2, ']', 'G'},
    {2, ']', 'H'},
    {2, ']', 'I'},
    {2, ']', 'J'},
    // 64 '@'
    {2, ']', 'V'},
    // 65-90 upper-case letters: themselves
    {1, 'A'},
    {1, 'B'},
    {1, 'C'},
    {1, 'D'},
    {1, 'E'},
    {1, 'F'},
    {1, 'G'},
    {1, 'H'},
    {1, 'I'},
    {1, 'J'},
    {1, 'K'},
    {1, 'L'},
    {1, 'M'},
    {1, 'N'},
    {1, 'O'},
    {1, 'P'},
    {1, 'Q'},
    {1, 'R'},
    {1, 'S'},
    {1, 'T'},
    {1, 'U'},
    {1, 'V'},
    {1, 'W'},
    {1, 'X'},
    {1, 'Y'},
    {1, 'Z'},
    // 91-95 '['..'_': (%)K..(%)O
    {2, ']', 'K'},
    {2, ']', 'L'},
    {2, ']', 'M'},
    {2, ']', 'N'},
    {2, ']', 'O'},
    // 96 '`'
    {2, ']', 'W'},
    // 97-122 lower-case letters: (+)A..(+)Z
    {2, '}', 'A'},
    {2, '}', 'B'},
    {2, '}', 'C'},
    {2, '}', 'D'},
    {2, '}', 'E'},
    {2, '}', 'F'},
    {2, '}', 'G'},
    {2, '}', 'H'},
    {2, '}', 'I'},
    {2, '}', 'J'},
    {2, '}', 'K'},
    {2, '}', 'L'},
    {2, '}', 'M'},
    {2, '}', 'N'},
    {2, '}', 'O'},
    {2, '}', 'P'},
    {2, '}', 'Q'},
    {2, '}', 'R'},
    {2, '}', 'S'},
    {2, '}', 'T'},
    {2, '}', 'U'},
    {2, '}', 'V'},
    {2, '}', 'W'},
    {2, '}', 'X'},
    {2, '}', 'Y'},
    {2, '}', 'Z'},
    // 123-127 '{'..DEL: (%)P..(%)T
    {2, ']', 'P'},
    {2, ']', 'Q'},
    {2, ']', 'R'},
    {2, ']', 'S'},
    {2, ']', 'T'},
};
static_assert(std::size(Codetable_Code93Ex) == 128);

namespace {

// A shift followed by a letter, or a single character that stands for itself: an
// expansion of anything else would make the encoder raise on a valid value.
constexpr bool ExpansionsEncodable()
{
    for (const auto& e : Codetable_Code93Ex) {
        const int first = Index(static_cast<char>(e[1]));
        const bool single = e[0] == 1 && first >= 0 && first < Code93FirstShift;
        const bool pair = e[0] == 2 && first >= Code93FirstShift && e[2] >= 'A' && e[2] <= 'Z';
        if (!single && !pair)
            return false;
    }
    return true;
}
static_assert(ExpansionsEncodable(), "every code 0..127 needs one character or a shift pair");

constexpr std::string_view StartPattern = "111141";
constexpr std::string_view StopPattern = "1111411"; // the termination bar included
static_assert(WidthSum(StartPattern) == 9 && WidthSum(StopPattern) == 10);
constexpr int CheckModulus = 47;

// Weighted sum modulo 47 over the values from the last to the first, with the weights
// 1, 2, ..., maxWeight, 1, 2, ...
int CheckValue(const std::vector<int>& values, int maxWeight)
{
    int sum = 0;
    int weight = 1;
    for (auto it = values.rbegin(); it != values.rend(); ++it) {
        sum = (sum + *it * weight) % CheckModulus;
        weight = weight % maxWeight + 1;
    }
    return sum;
}

std::string_view PatternOf(int value)
{
    return {Codetable_Code93[value].Pattern, std::size(Codetable_Code93[value].Pattern)};
}

} // namespace

std::string Code93Modules(std::string_view value)
{
    std::vector<int> values;
    values.reserve(value.size() + 2);
    for (char c : value) {
        const int v = Index(c);
        if (v < 0)
            throw EBarValue("Code93 bad Data <" + std::string(value) + ">");
        values.push_back(v);
    }
    // C weighs the data; K weighs the data and C behind it.
    values.push_back(CheckValue(values, 20));
    values.push_back(CheckValue(values, 15));

    std::string modules = Convert(StartPattern);
    modules.reserve(6 * values.size() + 13);
    for (int v : values)
        modules += Convert(PatternOf(v));
    modules += Convert(StopPattern);
    return modules;
}

std::string Code93ExExpand(std::string_view value)
{
    return ExpandFullAscii(Codetable_Code93Ex, value);
}

} // namespace Vandrel
