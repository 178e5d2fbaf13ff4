#include "render/Bars.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cstring>
#include <unordered_map>

namespace Vandrel {

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

// Pixels [left, right) of one scanline set to `pixel`, for one pixel depth.
template <int Depth, bool LsbFirst = false>
struct TSpanFill {
    static void Fill(uchar* line, int left, int right, uint32_t pixel)
    {
        if constexpr (Depth == 32) {
            std::fill(reinterpret_cast<uint32_t*>(line) + left, reinterpret_cast<uint32_t*>(line) + right, pixel);
        } else if constexpr (Depth == 8) {
            std::memset(line + left, int(pixel), size_t(right - left));
        } else {
            for (int x = left; x < right; ++x) {
                const uchar bit = LsbFirst ? uchar(1u << (x & 7)) : uchar(0x80u >> (x & 7));
                line[x >> 3] = pixel ? uchar(line[x >> 3] | bit) : uchar(line[x >> 3] & ~bit);
            }
        }
    }
};

template <typename Span>
void FillBarsAs(QImage& image, std::span<const TRect> bars, const TQuarterTurn& turn, uint32_t pixel)
{
    const int width = image.width();
    const int height = image.height();
    const qsizetype stride = image.bytesPerLine();
    uchar* const bits = image.bits();
    const auto clipped = [&](const TRect& bar) {
        const TRect r = turn.Apply(bar);
        return TRect{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, width), std::min(r.Bottom, height)};
    };
    if (turn.Angle == _90 || turn.Angle == _270) {
        for (const TRect& bar : bars) {
            const TRect r = clipped(bar);
            if (r.Left >= r.Right)
                continue;
            for (int y = r.Top; y < r.Bottom; ++y)
                Span::Fill(bits + qsizetype(y) * stride, r.Left, r.Right, pixel);
        }
        return;
    }
    // A run of bars sharing top and bottom (a PDF417 row, a band of equal 1D
    // bars) is one scanline repeated: it is built on its first line, and the
    // bytes from its first bar to its last are copied down. Between its bars
    // that copies the background the caller filled.
    const int depth = image.depth();
    for (size_t i = 0; i < bars.size();) {
        size_t end = i + 1;
        while (end < bars.size() && bars[end].Top == bars[i].Top && bars[end].Bottom == bars[i].Bottom)
            ++end;
        const TRect band = clipped({0, bars[i].Top, 0, bars[i].Bottom});
        int left = INT_MAX;
        int right = INT_MIN;
        if (band.Top < band.Bottom) {
            uchar* const first = bits + qsizetype(band.Top) * stride;
            // Along the band a bar only moves (or, half-turned, mirrors).
            const bool mirrored = turn.Angle == _180;
            for (size_t k = i; k < end; ++k) {
                const int l = std::max(mirrored ? turn.Origin.x - bars[k].Right : turn.Origin.x + bars[k].Left, 0);
                const int r = std::min(mirrored ? turn.Origin.x - bars[k].Left : turn.Origin.x + bars[k].Right, width);
                if (l < r) {
                    Span::Fill(first, l, r, pixel);
                    left = std::min(left, l);
                    right = std::max(right, r);
                }
            }
        }
        if (left < right) {
            if (depth == 1 && ((left | right) & 7) != 0) {
                // Partial bytes belong partly to neighbours: fill each line.
                for (size_t k = i; k < end; ++k) {
                    const TRect r = clipped(bars[k]);
                    if (r.Left >= r.Right)
                        continue;
                    for (int y = band.Top + 1; y < r.Bottom; ++y)
                        Span::Fill(bits + qsizetype(y) * stride, r.Left, r.Right, pixel);
                }
            } else {
                const qsizetype from = qsizetype(left) * depth / 8;
                const qsizetype to = (qsizetype(right) * depth + 7) / 8;
                const uchar* source = bits + qsizetype(band.Top) * stride + from;
                for (int y = band.Top + 1; y < band.Bottom; ++y)
                    std::memcpy(bits + qsizetype(y) * stride + from, source, size_t(to - from));
            }
        }
        i = end;
    }
}

} // namespace

void FillBars(QImage& image, std::span<const TRect> bars, const TQuarterTurn& turn, uint32_t pixel)
{
    if (image.isNull())
        return;
    switch (image.depth()) {
    case 32: FillBarsAs<TSpanFill<32>>(image, bars, turn, pixel); break;
    case 8: FillBarsAs<TSpanFill<8>>(image, bars, turn, pixel); break;
    case 1:
        if (image.format() == QImage::Format_MonoLSB)
            FillBarsAs<TSpanFill<1, true>>(image, bars, turn, pixel);
        else
            FillBarsAs<TSpanFill<1>>(image, bars, turn, pixel);
        break;
    default: break;
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
