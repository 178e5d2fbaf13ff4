#pragma once
// Device-pixel points and rectangles, quarter-turn point arithmetic and the
// rectangle shifts the drawing code lays symbols out with. Plain C++, no GUI.
#include "core/Export.h"

#include <cstdint>

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

VANDREL_ENGINES_EXPORT TPoint Rotate2D(TPoint p, double angle);
VANDREL_ENGINES_EXPORT TPoint Translate2D(TPoint p, TPoint q);

VANDREL_ENGINES_EXPORT void LeftOffSet(TRect& r, int32_t n);
VANDREL_ENGINES_EXPORT void RightOffSet(TRect& r, int32_t n);
VANDREL_ENGINES_EXPORT void UpOffSet(TRect& r, int32_t n);
VANDREL_ENGINES_EXPORT void DownOffSet(TRect& r, int32_t n);

} // namespace Vandrel
