#include "linear/Code93.h"

#include "core/Data.h"

#include <iterator>

namespace Vandrel {

namespace {

constexpr TCode93Record Row(char c, const char (&widths)[7]) {
    TCode93Record r{c, {}};
    for (int i = 0; i < 6; ++i)
        r.pattern[i] = widths[i];
    return r;
}

} // namespace

// Values 0..46 with the widths of the Code 93 standard; the last four records are
// its shift characters ($), (%), (/), (+), written "[", "]", "{", "}".
constexpr TCode93Record Codetable_Code93[47] = {
    Row('0', "131112"),
    Row('1', "111213"),
    Row('2', "111312"),
    Row('3', "111411"),
    Row('4', "121113"),
    Row('5', "121212"),
    Row('6', "121311"),
    Row('7', "111114"),
    Row('8', "131211"),
    Row('9', "141111"),
    Row('A', "211113"),
    Row('B', "211212"),
    Row('C', "211311"),
    Row('D', "221112"),
    Row('E', "221211"),
    Row('F', "231111"),
    Row('G', "112113"),
    Row('H', "112212"),
    Row('I', "112311"),
    Row('J', "122112"),
    Row('K', "132111"),
    Row('L', "111123"),
    Row('M', "111222"),
    Row('N', "111321"),
    Row('O', "121122"),
    Row('P', "131121"),
    Row('Q', "212112"),
    Row('R', "212211"),
    Row('S', "211122"),
    Row('T', "211221"),
    Row('U', "221121"),
    Row('V', "222111"),
    Row('W', "112122"),
    Row('X', "112221"),
    Row('Y', "122121"),
    Row('Z', "123111"),
    Row('-', "121131"),
    Row('.', "311112"),
    Row(' ', "311211"),
    Row('$', "321111"),
    Row('/', "112131"),
    Row('+', "113121"),
    Row('%', "211131"),
    Row('[', "121221"),
    Row(']', "312111"),
    Row('{', "311121"),
    Row('}', "122211"),
};
static_assert(std::size(Codetable_Code93) == 47);
static_assert(Codetable_Code93[Code93FirstShift].character == '[');

namespace {

// Six elements summing to 9 modules.
constexpr bool PatternsWellFormed() {
    for (const auto& r : Codetable_Code93)
        if (WidthSum({r.pattern, 6}) != 9)
            return false;
    return true;
}
static_assert(PatternsWellFormed(), "every Code 93 record needs a 9-module pattern");

constexpr TCharIndex Index =
    MakeCharIndex(Codetable_Code93, [](const TCode93Record& r) { return r.character; });

} // namespace

int Code93Index(char c) {
    return Index(c);
}

} // namespace Vandrel
