#pragma once
// Full-ASCII extensions (Code 39, Code 93): every ASCII character written as
// one or two characters of the symbology's own set. Plain C++, no GUI.
#include "core/Export.h"

#include <array>
#include <string>
#include <string_view>

namespace Vandrel {

// A full-ASCII substitution table: for each code 0..127 a length byte, then up
// to two characters of the symbology's own set.
using TFullAsciiEntry = std::array<unsigned char, 3>;
using TFullAsciiTable = std::array<TFullAsciiEntry, 128>;

// Full-ASCII Code 39: every code 0..127 as one or two Code 39 characters, the
// four shifts written "$", "%", "/" and "+".
// clang-format off
inline constexpr TFullAsciiTable CodeTable_Code39Ex = {{
    // 0 NUL
    {2, '%', 'U'},
    // 1-26 control codes: $A..$Z
    {2, '$', 'A'}, {2, '$', 'B'}, {2, '$', 'C'}, {2, '$', 'D'}, {2, '$', 'E'}, {2, '$', 'F'}, {2, '$', 'G'}, {2, '$', 'H'},
    {2, '$', 'I'}, {2, '$', 'J'}, {2, '$', 'K'}, {2, '$', 'L'}, {2, '$', 'M'}, {2, '$', 'N'}, {2, '$', 'O'}, {2, '$', 'P'},
    {2, '$', 'Q'}, {2, '$', 'R'}, {2, '$', 'S'}, {2, '$', 'T'}, {2, '$', 'U'}, {2, '$', 'V'}, {2, '$', 'W'}, {2, '$', 'X'},
    {2, '$', 'Y'}, {2, '$', 'Z'},
    // 27-31 control codes: %A..%E
    {2, '%', 'A'}, {2, '%', 'B'}, {2, '%', 'C'}, {2, '%', 'D'}, {2, '%', 'E'},
    // 32 space: itself
    {1, ' '},
    // 33-47 '!'..'/': /A../O
    {2, '/', 'A'}, {2, '/', 'B'}, {2, '/', 'C'}, {2, '/', 'D'}, {2, '/', 'E'}, {2, '/', 'F'}, {2, '/', 'G'}, {2, '/', 'H'},
    {2, '/', 'I'}, {2, '/', 'J'}, {2, '/', 'K'}, {2, '/', 'L'}, {2, '/', 'M'}, {2, '/', 'N'}, {2, '/', 'O'},
    // 48-57 digits: themselves
    {1, '0'}, {1, '1'}, {1, '2'}, {1, '3'}, {1, '4'}, {1, '5'}, {1, '6'}, {1, '7'},
    {1, '8'}, {1, '9'},
    // 58 ':'
    {2, '/', 'Z'},
    // 59-63 ';'..'?': %F..%J
    {2, '%', 'F'}, {2, '%', 'G'}, {2, '%', 'H'}, {2, '%', 'I'}, {2, '%', 'J'},
    // 64 '@'
    {2, '%', 'V'},
    // 65-90 upper-case letters: themselves
    {1, 'A'}, {1, 'B'}, {1, 'C'}, {1, 'D'}, {1, 'E'}, {1, 'F'}, {1, 'G'}, {1, 'H'},
    {1, 'I'}, {1, 'J'}, {1, 'K'}, {1, 'L'}, {1, 'M'}, {1, 'N'}, {1, 'O'}, {1, 'P'},
    {1, 'Q'}, {1, 'R'}, {1, 'S'}, {1, 'T'}, {1, 'U'}, {1, 'V'}, {1, 'W'}, {1, 'X'},
    {1, 'Y'}, {1, 'Z'},
    // 91-95 '['..'_': %K..%O
    {2, '%', 'K'}, {2, '%', 'L'}, {2, '%', 'M'}, {2, '%', 'N'}, {2, '%', 'O'},
    // 96 '`'
    {2, '%', 'W'},
    // 97-122 lower-case letters: +A..+Z
    {2, '+', 'A'}, {2, '+', 'B'}, {2, '+', 'C'}, {2, '+', 'D'}, {2, '+', 'E'}, {2, '+', 'F'}, {2, '+', 'G'}, {2, '+', 'H'},
    {2, '+', 'I'}, {2, '+', 'J'}, {2, '+', 'K'}, {2, '+', 'L'}, {2, '+', 'M'}, {2, '+', 'N'}, {2, '+', 'O'}, {2, '+', 'P'},
    {2, '+', 'Q'}, {2, '+', 'R'}, {2, '+', 'S'}, {2, '+', 'T'}, {2, '+', 'U'}, {2, '+', 'V'}, {2, '+', 'W'}, {2, '+', 'X'},
    {2, '+', 'Y'}, {2, '+', 'Z'},
    // 123-127 '{'..DEL: %P..%T
    {2, '%', 'P'}, {2, '%', 'Q'}, {2, '%', 'R'}, {2, '%', 'S'}, {2, '%', 'T'},
}};
// clang-format on

// The same substitution with the shifts "$", "%", "/", "+" written as the
// four characters of `shifts`: Code 93 pairs its own shift characters with
// the very letters Code 39 uses.
constexpr TFullAsciiTable WithShifts(const TFullAsciiTable& table, std::string_view shifts)
{
    constexpr std::string_view code39Shifts = "$%/+";
    TFullAsciiTable shifted = table;
    for (TFullAsciiEntry& entry : shifted)
        if (entry[0] == 2)
            entry[1] = static_cast<unsigned char>(shifts[code39Shifts.find(static_cast<char>(entry[1]))]);
    return shifted;
}

// Rewrites each character 0..127 of `value` through `table`; drops the rest.
VANDREL_ENGINES_EXPORT std::string ExpandFullAscii(const TFullAsciiTable& table, std::string_view value);

} // namespace Vandrel
