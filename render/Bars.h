#pragma once
// The one renderer of every symbol. An engine's symbol becomes bars: filled
// rectangles in the symbol's own unturned frame (x along the symbol, y across
// it, in target pixels). A quarter turn about an origin puts that frame on the
// target, exactly as TBarCode::GetRotateRect does. Two paths draw the same
// pixels:
// - FillBars writes straight into an axis-aligned QImage: no painter, bars
//   only (the background is the caller's one fill), each band of bars built
//   once as a scanline and copied down its height;
// - PaintBars gives a QPainter the bars merged into as few rectangles as
//   possible, so printers, QPicture, PDF and SVG get vector output.
#include "core/Enums.h"
#include "core/Export.h"
#include "core/Geometry.h"

#include <QtGlobal>

#include <span>
#include <vector>

class QColor;
class QImage;
class QPainter;

namespace Vandrel {

// Where the unturned frame lands: turned by Angle about (0, 0), then moved to
// Origin (a corner of the drawing area).
struct TQuarterTurn {
    TAngleType Angle = _0;
    TPoint Origin;

    TPoint Apply(TPoint p) const
    {
        switch (Angle) {
        case _90: return {Origin.x + p.y, Origin.y - p.x};
        case _180: return {Origin.x - p.x, Origin.y - p.y};
        case _270: return {Origin.x - p.y, Origin.y + p.x};
        default: return {Origin.x + p.x, Origin.y + p.y};
        }
    }
    // The turned rectangle, normalised.
    TRect Apply(const TRect& r) const
    {
        const int32_t w = r.Right - r.Left;
        const int32_t h = r.Bottom - r.Top;
        const TPoint q = Apply(TPoint{r.Left, r.Top});
        switch (Angle) {
        case _90: return {q.x, q.y - w, q.x + h, q.y};
        case _180: return {q.x - w, q.y - h, q.x, q.y};
        case _270: return {q.x - h, q.y, q.x, q.y + w};
        default: return {q.x, q.y, q.x + w, q.y + h};
        }
    }
};

// The value that stands for `colour` in the pixels of `image`: a premultiplied
// or plain 32-bit value, or the nearest colour-table index for indexed and
// one-bit images.
VANDREL_EXPORT uint32_t PixelOf(const QImage& image, const QColor& colour);

// Fills `bars` with `pixel` (see PixelOf), clipped to the image. Supports the
// 32-bit formats, 8-bit indexed and grey images and the one-bit formats.
VANDREL_EXPORT void FillBars(QImage& image, std::span<const TRect> bars, const TQuarterTurn& turn, uint32_t pixel);

// The same bars through a painter, merged first (MergeBars).
VANDREL_EXPORT void PaintBars(QPainter& painter, std::span<const TRect> bars, const TQuarterTurn& turn,
                              const QColor& colour);

// The union of `bars` as few rectangles: a bar continuing the one above it
// (same left and right edge, its top on that one's bottom) extends it, and
// touching bars of one band become one. Covers exactly the same pixels.
VANDREL_EXPORT std::vector<TRect> MergeBars(std::span<const TRect> bars);

} // namespace Vandrel
