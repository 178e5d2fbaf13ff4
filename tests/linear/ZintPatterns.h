#pragma once
// Symbol character patterns as zint draws them, one character at a time, so
// that our tables are checked against an independent encoder rather than
// against rows copied by hand.
#include "support/Zint.h"

#include <zint.h>

#include <string>
#include <string_view>

namespace VandrelTest {

// The run widths of `runs` runs of zint's first row, starting at run `first`;
// "" when zint refused or the row is shorter.
inline std::string ZintRuns(int symbology, std::string_view data, size_t first, size_t runs)
{
    const ZintSymbol symbol = ZintEncode(symbology, data);
    const std::string widths = symbol.Ok() ? RunWidths(symbol.rows[0]) : std::string();
    return widths.size() < first + runs ? std::string() : widths.substr(first, runs);
}

// The six width digits of Code 128 symbol value `value` (0-105).
inline std::string ZintCode128Widths(int value)
{
    // One set B character: start, data, check, stop; values 0-94 are the data.
    if (value <= 94)
        return ZintRuns(BARCODE_CODE128B, std::string(1, static_cast<char>(' ' + value)), 6, 6);
    // Values 95-102 are the check of the set B characters (value - 9) and 4:
    // (104 + (value - 9) + 2 * 4) mod 103 = value.
    if (value <= 102)
        return ZintRuns(BARCODE_CODE128B, std::string{static_cast<char>(' ' + value - 9), static_cast<char>(' ' + 4)},
                        18, 6);
    // The start characters: a control character starts set A, a digit pair set C.
    constexpr std::string_view Opening[] = {"\x01", "A", "12"};
    return ZintRuns(value == 104 ? BARCODE_CODE128B : BARCODE_CODE128, Opening[value - 103], 0, 6);
}

// The six width digits of Code 93 character `c`; the four shift characters are
// spelt '[' ($), ']' (%), '{' (/) and '}' (+), as in our table, and zint shows
// them in front of the full-ASCII characters they introduce.
inline std::string ZintCode93Widths(char c)
{
    const std::string_view shifts = "[]{}";
    constexpr std::string_view Shifted[] = {"\x01", "\x1b", "!", "a"};
    const size_t shift = shifts.find(c);
    return ZintRuns(BARCODE_CODE93, shift == shifts.npos ? std::string_view(&c, 1) : Shifted[shift], 6, 6);
}

// The seven elements of Codabar character `c` in our module alphabet: '5' a
// narrow and '6' a wide bar, '0' a narrow and '1' a wide space.
inline std::string ZintCodabarModules(char c)
{
    const bool startStop = c >= 'A' && c <= 'D';
    // A start/stop character opens its own symbol; any other sits after start A and its gap.
    const std::string widths = startStop ? ZintRuns(BARCODE_CODABAR, std::string{c, '1', c}, 0, 7)
                                         : ZintRuns(BARCODE_CODABAR, std::string{'A', c, 'A'}, 8, 7);
    std::string modules;
    for (size_t i = 0; i < widths.size(); ++i)
        modules += static_cast<char>((i % 2 == 0 ? '5' : '0') + (widths[i] > '1'));
    return modules;
}

} // namespace VandrelTest
