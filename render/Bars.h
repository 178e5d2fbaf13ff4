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
// A PDF417 symbol's rows of element runs go into a QImage without becoming
// rectangles first: FillRows (the bars, and each row's light) and
// FillPicture (the whole bitmap, each pixel written once) build each row on
// its first scanline straight from its runs and copy it down.
#include "core/Enums.h"
#include "core/Export.h"
#include "core/Geometry.h"

#include <QtGlobal>

#include <optional>
#include <span>
#include <vector>

class QColor;
class QImage;
class QPainter;

namespace Vandrel {

struct TPdf417Symbol;

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

// A symbol of rows of element runs (pdf417/Symbol.h), the top-left corner of
// its first row at At in the unturned frame.
struct TPlacedRows {
    const TPdf417Symbol* Symbol = nullptr;
    TPoint At;
};

// The rows of `symbols`, every module `barX` and every row `rowHeight`
// pixels, written into `image` as FillBars writes its bars (the same formats,
// clipped to the image): bars in `bar`, spaces in `light` when given, else
// left as they are; Blank places are left as they are. The very pixels of
// AppendBars' bars (and light) through FillBars, light first. Unturned or
// half-turned, each row is built on its first scanline and copied down, so
// the spaces a row leaves as they are must be alike down the row (the
// caller's one background fill), as between FillBars' bars.
VANDREL_EXPORT void FillRows(QImage& image, std::span<const TPlacedRows> symbols, int32_t barX, int32_t rowHeight,
                             const TQuarterTurn& turn, uint32_t bar, std::optional<uint32_t> light = std::nullopt);

// Every pixel of `image`: the bars of `symbols` in `bar`, everything else in
// `background`, as filling the image with `background` and then FillRows
// would, but each pixel written once where the symbols lie apart.
VANDREL_EXPORT void FillPicture(QImage& image, std::span<const TPlacedRows> symbols, int32_t barX, int32_t rowHeight,
                                const TQuarterTurn& turn, uint32_t bar, uint32_t background);

} // namespace Vandrel
