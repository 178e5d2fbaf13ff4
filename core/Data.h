#pragma once
// Shared drawing helpers: quarter-turn point arithmetic, module-string decoding,
// digit sums and the retail modulo-10 check digit. Plain C++, no GUI.
#include "core/Enums.h"
#include "core/Export.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Vandrel {

struct TPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Edges as in a device rectangle: Right and Bottom lie just outside the area.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    friend bool operator==(const TRect&, const TRect&) = default;
};

// Element widths in modules, indexed by the digit of a module-string character.
inline constexpr int32_t Modules[4] = {1, 2, 3, 4};

VANDREL_ENGINES_EXPORT TPoint Rotate2D(TPoint p, double angle);
VANDREL_ENGINES_EXPORT TPoint Translate2D(TPoint p, TPoint q);

// Width-digit pattern ("1".."4", bar first, alternating) -> module string.
VANDREL_ENGINES_EXPORT std::string Convert(std::string_view widths);

// Sum of the decimal digits of n; 0 for n <= 0.
VANDREL_ENGINES_EXPORT int32_t quersum(int32_t n);

// EAN/UPC modulo-10 check digit over a digit string, as a one-character string.
VANDREL_ENGINES_EXPORT std::string DoModule10(std::string_view digits);

// Decodes one module-string character; any other character leaves both outputs alone.
VANDREL_ENGINES_EXPORT void GetBarProps(char c, int32_t& width, TBarLineType& kind);

// Sum of the element widths of a module string; other characters count 0.
VANDREL_ENGINES_EXPORT int32_t ModuleCount(std::string_view modules);

// Constant-time "where is this character in a code table": one slot per byte value
// holding the first record whose column has that character, or -1. Built at compile
// time from a table, so it agrees with a front-to-back search of the same table.
struct TCharIndex {
    std::array<int16_t, 256> slot;
    constexpr int operator()(char c) const { return slot[static_cast<unsigned char>(c)]; }
};

template <typename Table, typename Column>
constexpr TCharIndex MakeCharIndex(const Table& table, Column column)
{
    TCharIndex index{};
    index.slot.fill(-1);
    // Walking backwards lets the first record win when a character repeats.
    for (std::size_t i = std::size(table); i-- > 0;)
        index.slot[static_cast<unsigned char>(column(table[i]))] = static_cast<int16_t>(i);
    return index;
}

// Modules of a width-digit pattern, or -1 when a digit lies outside "1".."4".
// Lets the code tables check their patterns at compile time.
constexpr int WidthSum(std::string_view widths)
{
    int modules = 0;
    for (char w : widths) {
        if (w < '1' || w > '4')
            return -1;
        modules += w - '0';
    }
    return modules;
}

// Wide elements of a two-width module pattern (bar "5"/"6", space "0"/"1",
// alternating, bar first), or -1 when an element is out of place.
constexpr int WideCount(std::string_view modules)
{
    int wide = 0;
    for (std::size_t i = 0; i < modules.size(); ++i) {
        const char narrow = i % 2 == 0 ? '5' : '0';
        if (modules[i] != narrow && modules[i] != narrow + 1)
            return -1;
        wide += modules[i] != narrow;
    }
    return wide;
}

// A full-ASCII substitution table: for each code 0..127 a length byte, then up
// to two characters of the symbology's own set.
using TFullAsciiTable = unsigned char[128][3];

// Rewrites each character 0..127 of `value` through `table`; drops the rest.
VANDREL_ENGINES_EXPORT std::string ExpandFullAscii(const TFullAsciiTable& table, std::string_view value);

VANDREL_ENGINES_EXPORT void LeftOffSet(TRect& r, int32_t n);
VANDREL_ENGINES_EXPORT void RightOffSet(TRect& r, int32_t n);
VANDREL_ENGINES_EXPORT void UpOffSet(TRect& r, int32_t n);
VANDREL_ENGINES_EXPORT void DownOffSet(TRect& r, int32_t n);

} // namespace Vandrel
