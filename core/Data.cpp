#include "core/Data.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Vandrel {

namespace {

// Pixel coordinates wrap on overflow instead of invoking undefined behaviour; the
// controls never come near the limits, so this only matters for hostile input.
int32_t WrapAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t WrapSub(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// Nearest integer, ties to even (the default rounding mode), saturated to int32;
// NaN, which only a non-finite angle produces, becomes 0.
int32_t RoundToInt32(long double v)
{
    if (std::isnan(v))
        return 0;
    constexpr long double lo = std::numeric_limits<int32_t>::min();
    constexpr long double hi = std::numeric_limits<int32_t>::max();
    const long double r = std::nearbyint(v);
    return static_cast<int32_t>(r < lo ? lo : r > hi ? hi : r);
}

} // namespace

TPoint Rotate2D(TPoint p, double angle)
{
    // Extended precision keeps the quarter turns exact: the tiny cosine of a
    // rounded pi/2 vanishes in the rounding.
    const long double a = angle;
    const long double c = std::cos(a);
    const long double s = std::sin(a);
    const long double x = p.x;
    const long double y = p.y;
    return {RoundToInt32(x * c + y * s), RoundToInt32(-x * s + y * c)};
}

TPoint Translate2D(TPoint p, TPoint q)
{
    return {WrapAdd(p.x, q.x), WrapAdd(p.y, q.y)};
}

std::string Convert(std::string_view widths)
{
    std::string modules(widths);
    // Elements alternate bar, space, ...: bars move "1".."4" up to "5".."8",
    // spaces down to "0".."3".
    for (std::size_t i = 0; i < modules.size(); ++i)
        modules[i] = static_cast<char>(modules[i] + (i % 2 == 0 ? 4 : -1));
    return modules;
}

int32_t quersum(int32_t n)
{
    int32_t sum = 0;
    for (; n > 0; n /= 10)
        sum += n % 10;
    return sum;
}

std::string DoModule10(std::string_view digits)
{
    // Weight 3 on the rightmost digit, then 1, 3, ... leftwards. Reducing as we go
    // keeps the sum in (-10, 10) whatever the length or the characters.
    int sum = 0;
    int weight = 3;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        sum = (sum + weight * (static_cast<unsigned char>(*it) - '0')) % 10;
        weight = 4 - weight;
    }
    return std::string(1, static_cast<char>('0' + (10 - sum) % 10));
}

void GetBarProps(char c, int32_t& width, TBarLineType& kind)
{
    if (c >= '0' && c <= '3') {
        width = Modules[c - '0'];
        kind = WHITE;
    } else if (c >= '5' && c <= '8') {
        width = Modules[c - '5'];
        kind = BLACK;
    } else if (c >= 'A' && c <= 'D') {
        width = Modules[c - 'A'];
        kind = BLACK_HALF;
    }
}

int32_t ModuleCount(std::string_view modules)
{
    int64_t total = 0;
    for (char c : modules) {
        int32_t width = 0; // a character outside the alphabet adds nothing
        TBarLineType kind = WHITE;
        GetBarProps(c, width, kind);
        total += width;
    }
    // Saturating keeps absurdly long strings defined: they draw 0 pixels wide.
    return static_cast<int32_t>(std::min<int64_t>(total, std::numeric_limits<int32_t>::max()));
}

void LeftOffSet(TRect& r, int32_t n)
{
    r.Left = WrapAdd(r.Left, n);
    r.Right = WrapAdd(r.Right, n);
}

void RightOffSet(TRect& r, int32_t n)
{
    r.Left = WrapSub(r.Left, n);
    r.Right = WrapSub(r.Right, n);
}

void UpOffSet(TRect& r, int32_t n)
{
    r.Top = WrapSub(r.Top, n);
    r.Bottom = WrapSub(r.Bottom, n);
}

void DownOffSet(TRect& r, int32_t n)
{
    r.Top = WrapAdd(r.Top, n);
    r.Bottom = WrapAdd(r.Bottom, n);
}

std::string ExpandFullAscii(const TFullAsciiTable& table, std::string_view value)
{
    std::string expanded;
    expanded.reserve(2 * value.size());
    for (char c : value) {
        const auto code = static_cast<unsigned char>(c);
        if (code < std::size(table)) {
            const auto& entry = table[code];
            expanded.append(entry + 1, entry + 1 + entry[0]);
        }
    }
    return expanded;
}

} // namespace Vandrel
