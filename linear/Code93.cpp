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

// Full-ASCII Code 93: the Code 39 pairs with Code 93's shifts ($), (%), (/),
// (+), written "[", "]", "{", "}".
constexpr TFullAsciiTable Codetable_Code93Ex = WithShifts(CodeTable_Code39Ex, "[]{}");

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
