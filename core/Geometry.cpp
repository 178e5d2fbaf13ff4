#include "core/Geometry.h"

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

int32_t WrapNegate(int32_t a)
{
    return static_cast<int32_t>(0u - static_cast<uint32_t>(a));
}

// Moves both edges of a rectangle along one axis by n pixels.
void Shift(int32_t& first, int32_t& second, int32_t n)
{
    first = WrapAdd(first, n);
    second = WrapAdd(second, n);
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

void LeftOffSet(TRect& r, int32_t n)
{
    Shift(r.Left, r.Right, n);
}

void RightOffSet(TRect& r, int32_t n)
{
    Shift(r.Left, r.Right, WrapNegate(n));
}

void UpOffSet(TRect& r, int32_t n)
{
    Shift(r.Top, r.Bottom, WrapNegate(n));
}

void DownOffSet(TRect& r, int32_t n)
{
    Shift(r.Top, r.Bottom, n);
}

} // namespace Vandrel
