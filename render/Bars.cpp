#include "render/Bars.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace Vandrel {

TPoint TQuarterTurn::Apply(TPoint p) const
{
    switch (Angle) {
    case _90: return {Origin.x + p.y, Origin.y - p.x};
    case _180: return {Origin.x - p.x, Origin.y - p.y};
    case _270: return {Origin.x - p.y, Origin.y + p.x};
    default: return {Origin.x + p.x, Origin.y + p.y};
    }
}

TRect TQuarterTurn::Apply(const TRect& r) const
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

uint32_t PixelOf(const QImage& image, const QColor& colour)
{
    switch (image.depth()) {
    case 32: return image.format() == QImage::Format_ARGB32_Premultiplied ? qPremultiply(colour.rgba()) : colour.rgba();
    case 8:
        if (image.format() == QImage::Format_Grayscale8)
            return uint32_t(qGray(colour.rgb()));
        [[fallthrough]];
    default: {
        // The nearest entry of the colour table.
        const QList<QRgb> table = image.colorTable();
        uint32_t best = 0;
        int bestDistance = INT_MAX;
        for (qsizetype i = 0; i < table.size(); ++i) {
            const int dr = qRed(table[i]) - colour.red();
            const int dg = qGreen(table[i]) - colour.green();
            const int db = qBlue(table[i]) - colour.blue();
            const int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                best = uint32_t(i);
                bestDistance = distance;
            }
        }
        return best;
    }
    }
}

namespace {

// Pixels [left, right) of one scanline set to `pixel`.
void FillSpan(uchar* line, int depth, bool lsbFirst, int left, int right, uint32_t pixel)
{
    switch (depth) {
    case 32:
        std::fill(reinterpret_cast<uint32_t*>(line) + left, reinterpret_cast<uint32_t*>(line) + right, pixel);
        break;
    case 8: std::memset(line + left, int(pixel), size_t(right - left)); break;
    default:
        for (int x = left; x < right; ++x) {
            const uchar bit = lsbFirst ? uchar(1u << (x & 7)) : uchar(0x80u >> (x & 7));
            line[x >> 3] = pixel ? uchar(line[x >> 3] | bit) : uchar(line[x >> 3] & ~bit);
        }
        break;
    }
}

} // namespace

void FillBars(QImage& image, std::span<const TRect> bars, const TQuarterTurn& turn, uint32_t pixel)
{
    const int depth = image.depth();
    if (image.isNull() || (depth != 32 && depth != 8 && depth != 1))
        return;
    const bool lsbFirst = image.format() == QImage::Format_MonoLSB;
    const int width = image.width();
    const int height = image.height();
    const qsizetype stride = image.bytesPerLine();
    uchar* const bits = image.bits();
    // A run of bars sharing top and bottom (a PDF417 row, a band of equal 1D
    // bars) unturned or half-turned is one scanline repeated: it is built on
    // its first line and copied down.
    const bool horizontal = turn.Angle == _0 || turn.Angle == _180;
    for (size_t i = 0; i < bars.size();) {
        size_t end = i + 1;
        if (horizontal)
            while (end < bars.size() && bars[end].Top == bars[i].Top && bars[end].Bottom == bars[i].Bottom)
                ++end;
        int top = INT_MAX;
        int bottom = INT_MIN;
        int left = INT_MAX;
        int right = INT_MIN;
        for (size_t k = i; k < end; ++k) {
            const TRect r = turn.Apply(bars[k]);
            const int t = std::max(r.Top, 0);
            const int b = std::min(r.Bottom, height);
            const int l = std::max(r.Left, 0);
            const int rt = std::min(r.Right, width);
            if (t >= b || l >= rt)
                continue;
            top = t;
            bottom = b;
            left = std::min(left, l);
            right = std::max(right, rt);
            if (horizontal) {
                FillSpan(bits + qsizetype(t) * stride, depth, lsbFirst, l, rt, pixel);
            } else {
                for (int y = t; y < b; ++y)
                    FillSpan(bits + qsizetype(y) * stride, depth, lsbFirst, l, rt, pixel);
            }
        }
        if (horizontal && top < bottom) {
            // Bytes covering [left, right) of the first line, to every other line.
            const qsizetype first = qsizetype(left) * depth / 8;
            const qsizetype last = (qsizetype(right) * depth + 7) / 8;
            if (depth == 1 && ((left | right) & 7) != 0) {
                // Partial bytes belong partly to neighbours: redraw instead.
                for (size_t k = i; k < end; ++k) {
                    const TRect r = turn.Apply(bars[k]);
                    const int l = std::max(r.Left, 0);
                    const int rt = std::min(r.Right, width);
                    if (l < rt)
                        for (int y = top + 1; y < bottom; ++y)
                            FillSpan(bits + qsizetype(y) * stride, depth, lsbFirst, l, rt, pixel);
                }
            } else {
                const uchar* source = bits + qsizetype(top) * stride + first;
                for (int y = top + 1; y < bottom; ++y)
                    std::memcpy(bits + qsizetype(y) * stride + first, source, size_t(last - first));
            }
        }
        i = end;
    }
}

std::vector<TRect> MergeBars(std::span<const TRect> bars)
{
    std::vector<TRect> merged;
    merged.reserve(bars.size());
    // The merged bar, by its left and right edge, that a bar below may continue.
    std::unordered_map<uint64_t, size_t> open;
    open.reserve(bars.size());
    for (const TRect& bar : bars) {
        if (bar.Left >= bar.Right || bar.Top >= bar.Bottom)
            continue;
        if (!merged.empty()) {
            TRect& last = merged.back();
            if (last.Top == bar.Top && last.Bottom == bar.Bottom && last.Right == bar.Left) {
                last.Right = bar.Right;
                continue;
            }
        }
        const uint64_t key = uint64_t(uint32_t(bar.Left)) << 32 | uint32_t(bar.Right);
        const auto above = open.find(key);
        // The bar found may since have grown sideways; then it is no longer a column.
        if (above != open.end()) {
            TRect& column = merged[above->second];
            if (column.Bottom == bar.Top && column.Left == bar.Left && column.Right == bar.Right) {
                column.Bottom = bar.Bottom;
                continue;
            }
        }
        open[key] = merged.size();
        merged.push_back(bar);
    }
    return merged;
}

void PaintBars(QPainter& painter, std::span<const TRect> bars, const TQuarterTurn& turn, const QColor& colour)
{
    for (const TRect& bar : MergeBars(bars)) {
        const TRect r = turn.Apply(bar);
        painter.fillRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, colour);
    }
}

} // namespace Vandrel
