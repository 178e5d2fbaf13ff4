#include "render/Bars.h"

#include "pdf417/Symbol.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <cwchar>
#include <memory_resource>
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

// Eight 32-bit pixels, stored as one block.
struct TEightPixels {
    uint32_t Pixels[8];
    explicit TEightPixels(uint32_t pixel = 0) { std::fill(std::begin(Pixels), std::end(Pixels), pixel); }
};

// `n` pixels of `pixel` from `p`: the C library's wide fill for long spans,
// overlapping blocks of four for short ones (a bar a few pixels wide).
void Fill32(uint32_t* p, size_t n, uint32_t pixel)
{
    if constexpr (sizeof(wchar_t) == sizeof(uint32_t)) {
        if (n >= 32) {
            std::wmemset(reinterpret_cast<wchar_t*>(p), static_cast<wchar_t>(pixel), n);
            return;
        }
    }
    if (n >= 4) {
        const TEightPixels block(pixel);
        size_t i = 0;
        for (; i + 8 <= n; i += 8)
            std::memcpy(p + i, block.Pixels, 32);
        if (i + 4 <= n) {
            std::memcpy(p + i, block.Pixels, 16);
            i += 4;
        }
        if (i < n)
            std::memcpy(p + n - 4, block.Pixels, 16);
        return;
    }
    for (size_t i = 0; i < n; ++i)
        p[i] = pixel;
}

// Pixels [left, right) of one scanline set to `pixel`, for one pixel depth.
template <int Depth, bool LsbFirst = false>
struct TSpanFill {
    static void Fill(uchar* line, int left, int right, uint32_t pixel)
    {
        if constexpr (Depth == 32) {
            Fill32(reinterpret_cast<uint32_t*>(line) + left, size_t(right - left), pixel);
        } else if constexpr (Depth == 8) {
            std::memset(line + left, int(pixel), size_t(right - left));
        } else {
            for (int x = left; x < right; ++x) {
                const uchar bit = LsbFirst ? uchar(1u << (x & 7)) : uchar(0x80u >> (x & 7));
                line[x >> 3] = pixel ? uchar(line[x >> 3] | bit) : uchar(line[x >> 3] & ~bit);
            }
        }
    }

    // Pixels [left, right) of the scanline `from` copied into `to`.
    static void Copy(uchar* to, const uchar* from, int left, int right)
    {
        if constexpr (Depth == 32) {
            std::memcpy(to + qsizetype(left) * 4, from + qsizetype(left) * 4, size_t(right - left) * 4);
        } else if constexpr (Depth == 8) {
            std::memcpy(to + left, from + left, size_t(right - left));
        } else {
            // Whole bytes at once; a byte shared with pixels outside is merged.
            const auto pixels = [](int a, int b) { // pixels a..b-1 of one byte, 0 <= a < b <= 8
                const unsigned ones = 0xFFu >> (8 - (b - a));
                return uchar(LsbFirst ? ones << a : ones << (8 - b));
            };
            const auto merge = [&](int i, uchar mask) { to[i] = uchar((to[i] & ~mask) | (from[i] & mask)); };
            int first = left >> 3;
            const int last = (right - 1) >> 3;
            if (first == last) {
                merge(first, pixels(left & 7, ((right - 1) & 7) + 1));
                return;
            }
            if ((left & 7) != 0)
                merge(first++, pixels(left & 7, 8));
            int end = last + 1;
            if ((right & 7) != 0)
                merge(--end, pixels(0, right & 7));
            std::memcpy(to + first, from + first, size_t(end - first));
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

// Calls `f` with the span filler of `image`'s pixel format; false for a
// format none writes.
template <typename F>
bool WithSpan(const QImage& image, F&& f)
{
    if (image.isNull())
        return false;
    switch (image.depth()) {
    case 32: f(TSpanFill<32>()); return true;
    case 8: f(TSpanFill<8>()); return true;
    case 1:
        if (image.format() == QImage::Format_MonoLSB)
            f(TSpanFill<1, true>());
        else
            f(TSpanFill<1>());
        return true;
    default: return false;
    }
}

// ---- Rows of runs ----------------------------------------------------------

// Whether two rectangles share a pixel.
bool Overlap(const TRect& a, const TRect& b)
{
    return std::max(a.Left, b.Left) < std::min(a.Right, b.Right) &&
           std::max(a.Top, b.Top) < std::min(a.Bottom, b.Bottom);
}

// What each kind of run (TRunKind) becomes, or nothing: left as it is.
using TRunInk = std::array<std::optional<uint32_t>, 3>;

// The runs of one row from `x` on, `barX` pixels a module, along the image:
// each run's clipped image span [l, r) given to `f` with its ink, in order;
// a run left as it is and not copied down (a Blank one) gets `gap`.
// Returns where the row ends, unturned.
template <typename F, typename G>
int32_t WalkRow(std::span<const TElementRun> row, int32_t x, int32_t barX, int32_t origin, bool mirrored, int width,
                const TRunInk& ink, F&& f, G&& gap)
{
    for (const TElementRun run : row) {
        const int32_t next = x + run.Modules * barX;
        const std::optional<uint32_t>& pixel = ink[size_t(run.Kind)];
        if (!pixel && run.Kind == TRunKind::Blank) {
            gap();
        } else {
            const int l = std::max(mirrored ? origin - next : origin + x, 0);
            const int r = std::min(mirrored ? origin - x : origin + next, width);
            if (l < r)
                f(l, r, pixel);
        }
        x = next;
    }
    return x;
}

// One symbol's rows into an unturned or half-turned image. Each row is built
// on its first scanline, then the pixels from its first run to its last are
// copied down, Blank places left as they are excepted. With `tail`, a row
// ending before `tailTo` (unturned) is filled up to it.
template <typename Span>
void FillSymbolRows(QImage& image, const TPlacedRows& placed, int32_t barX, int32_t rowHeight, const TQuarterTurn& turn,
                    const TRunInk& ink, std::optional<uint32_t> tail = std::nullopt, int32_t tailTo = 0)
{
    const TPdf417Symbol& symbol = *placed.Symbol;
    const int width = image.width();
    const int height = image.height();
    const qsizetype stride = image.bytesPerLine();
    uchar* const bits = image.bits();
    const bool mirrored = turn.Angle == _180;
    const int32_t rows = int32_t(symbol.RowStarts.size()) - 1;
    for (int32_t j = 0; j < rows; ++j) {
        const int32_t top = placed.At.y + j * rowHeight;
        const int32_t y = mirrored ? turn.Origin.y - top - rowHeight : turn.Origin.y + top;
        const int y0 = std::max(y, 0);
        const int y1 = std::min(y + rowHeight, height);
        if (y0 >= y1)
            continue;
        uchar* const first = bits + qsizetype(y0) * stride;
        int left = INT_MAX;
        int right = INT_MIN;
        const auto copyDown = [&] {
            if (left < right) {
                for (int line = y0 + 1; line < y1; ++line)
                    Span::Copy(bits + qsizetype(line) * stride, first, left, right);
            }
            left = INT_MAX;
            right = INT_MIN;
        };
        const auto put = [&](int l, int r, const std::optional<uint32_t>& pixel) {
            if (pixel)
                Span::Fill(first, l, r, *pixel);
            left = std::min(left, l);
            right = std::max(right, r);
        };
        const int32_t end =
            WalkRow(symbol.Row(j), placed.At.x, barX, turn.Origin.x, mirrored, width, ink, put, copyDown);
        if (tail && end < tailTo) {
            const int l = std::max(mirrored ? turn.Origin.x - tailTo : turn.Origin.x + end, 0);
            const int r = std::min(mirrored ? turn.Origin.x - end : turn.Origin.x + tailTo, width);
            if (l < r)
                put(l, r, tail);
        }
        copyDown();
    }
}

// The unturned area each symbol's rows cover, its widest row's width; false
// where the rows cannot be built and copied one symbol after the other:
// areas that overlap (whose pixels then depend on the order bars and light
// are drawn in), too many symbols to compare cheaply, modules or rows of no
// pixels.
bool RowAreas(std::span<const TPlacedRows> symbols, int32_t barX, int32_t rowHeight, std::vector<TRect>& areas)
{
    if (barX <= 0 || rowHeight <= 0 || symbols.size() > 256)
        return false;
    areas.clear();
    areas.reserve(symbols.size());
    for (const TPlacedRows& placed : symbols) {
        const TPdf417Symbol& symbol = *placed.Symbol;
        const int32_t rows = int32_t(symbol.RowStarts.size()) - 1;
        int32_t widest = 0;
        for (int32_t j = 0; j < rows; ++j) {
            int32_t modules = 0;
            for (const TElementRun run : symbol.Row(j))
                modules += run.Modules;
            widest = std::max(widest, modules);
        }
        const TRect area{placed.At.x, placed.At.y, placed.At.x + widest * barX,
                         placed.At.y + std::max(rows, 0) * rowHeight};
        if (area.Left >= area.Right || area.Top >= area.Bottom) {
            areas.push_back({});
            continue;
        }
        for (const TRect& other : areas)
            if (Overlap(area, other))
                return false;
        areas.push_back(area);
    }
    return true;
}

// The rows as AppendBars' rectangles through FillBars: quarter turns and
// overlapping symbols.
void FillRowsAsBars(QImage& image, std::span<const TPlacedRows> symbols, int32_t barX, int32_t rowHeight,
                    const TQuarterTurn& turn, uint32_t bar, std::optional<uint32_t> light)
{
    std::vector<TRect> bars;
    std::vector<TRect> lightBars;
    for (const TPlacedRows& placed : symbols)
        AppendBars(*placed.Symbol, placed.At, barX, rowHeight, bars, light ? &lightBars : nullptr);
    if (light)
        FillBars(image, lightBars, turn, *light);
    FillBars(image, bars, turn, bar);
}

// Four modules as 4 × barX 32-bit pixels, by the nibble of their bits (bar
// 1, the first module the highest bit): in the order of the modules, and
// mirrored for a half-turned row.
class TNibblePixels {
public:
    TNibblePixels(int32_t barX, uint32_t bar, uint32_t background, std::pmr::memory_resource* memory)
        : FBarX(barX), FPixels(size_t(32) * 4 * size_t(barX), memory)
    {
        uint32_t* to = FPixels.data();
        for (const bool mirrored : {false, true})
            for (uint32_t nibble = 0; nibble < 16; ++nibble)
                for (uint32_t module = 0; module < 4; ++module)
                    for (int32_t b = 0; b < barX; ++b)
                        *to++ = (nibble >> (mirrored ? module : 3 - module)) & 1 ? bar : background;
    }
    int32_t BarX() const { return FBarX; }
    const uint32_t* Of(bool mirrored) const { return FPixels.data() + (mirrored ? 16 * 4 * size_t(FBarX) : 0); }

private:
    int32_t FBarX;
    std::pmr::vector<uint32_t> FPixels;
};

// Room a row builder may write past either end of a row's area, in modules.
constexpr int32_t RowSlackModules = 36;

// The pixels of the 32 modules of `word` (the first the highest bit), four
// at a time, from `out` on (mirrored: back from `out`); where they end.
template <bool Mirrored, int32_t FixedBarX>
uint32_t* PutModules(uint32_t* out, uint32_t word, const uint32_t* table, int32_t barX, int32_t nibbles = 8)
{
    if constexpr (FixedBarX > 0)
        barX = FixedBarX;
    const ptrdiff_t w = 4 * ptrdiff_t(barX);
    for (int32_t k = 0; k < nibbles; ++k) {
        const uint32_t* from = table + ((word >> (28 - 4 * k)) & 15) * w;
        if constexpr (Mirrored)
            out -= w;
        if constexpr (FixedBarX > 0) {
            std::memcpy(out, from, size_t(w) * 4);
        } else {
            for (int32_t b = 0; b < barX; ++b)
                std::memcpy(out + 4 * b, from + 4 * b, 16);
        }
        if constexpr (!Mirrored)
            out += w;
    }
    return out;
}

// Builds one row of 32-bit pixels along the area [begin, begin + modules ×
// barX), which has RowSlackModules of room on either side: the runs become
// module bits, 32 at a time, and those pixels four modules at a time; the
// area past a row shorter than it is background. Half-turned, the row runs
// from the area's end back to its start. False when the runs are longer
// than the area.
template <bool Mirrored, int32_t FixedBarX>
bool BuildRow32(std::span<const TElementRun> row, int32_t modules, uint32_t* begin, const TNibblePixels& nibbles,
                uint32_t background)
{
    const int32_t barX = FixedBarX > 0 ? FixedBarX : nibbles.BarX();
    const uint32_t* const table = nibbles.Of(Mirrored);
    const ptrdiff_t along = ptrdiff_t(modules) * barX;
    uint32_t* out = Mirrored ? begin + along : begin;
    // Modules drawn so far may not pass this before 32 more are.
    const int64_t limit = int64_t(modules) + RowSlackModules - 36;
    uint64_t bits = 0;   // the latest modules, the last one lowest
    int32_t pending = 0; // of them not yet drawn, below 32
    int64_t drawn = 0;
    const TElementRun* run = row.data();
    const TElementRun* const end = run + row.size();
    while (run != end) {
        const uint32_t m1 = run[0].Modules;
        if (end - run >= 2 && ((m1 | run[1].Modules) & ~15u) == 0) {
            // Two runs of fewer than 16 modules each at once: most of a row.
            const uint32_t m2 = run[1].Modules;
            const uint64_t v1 = run[0].Kind == TRunKind::Bar ? (uint64_t{1} << m1) - 1 : 0;
            const uint64_t v2 = run[1].Kind == TRunKind::Bar ? (uint64_t{1} << m2) - 1 : 0;
            bits = (bits << (m1 + m2)) | (v1 << m2) | v2;
            pending += int32_t(m1 + m2);
            run += 2;
        } else {
            uint32_t m = m1;
            const uint64_t ones = run->Kind == TRunKind::Bar ? ~uint64_t{0} : 0;
            // Whole words of one kind first.
            for (; m > 32; m -= 32) {
                bits = (bits << 32) | (ones & 0xFFFFFFFFu);
                if (drawn > limit)
                    return false;
                out = PutModules<Mirrored, FixedBarX>(out, uint32_t(bits >> pending), table, barX);
                drawn += 32;
            }
            bits = (bits << m) | (ones & ((uint64_t{1} << m) - 1));
            pending += int32_t(m);
            ++run;
        }
        if (pending >= 32) {
            if (drawn > limit)
                return false;
            pending -= 32;
            out = PutModules<Mirrored, FixedBarX>(out, uint32_t(bits >> pending), table, barX);
            drawn += 32;
        }
    }
    const int64_t total = drawn + pending;
    if (total > modules)
        return false;
    // The last modules, their nibble filled up with background.
    if (pending > 0)
        PutModules<Mirrored, FixedBarX>(out, uint32_t(bits << (32 - pending)), table, barX, (pending + 3) / 4);
    const ptrdiff_t rest = along - ptrdiff_t(total) * barX;
    if (rest > 0)
        Fill32(Mirrored ? begin : begin + (along - rest), size_t(rest), background);
    return true;
}

template <int32_t FixedBarX>
bool BuildRow32(bool mirrored, std::span<const TElementRun> row, int32_t modules, uint32_t* begin,
                const TNibblePixels& nibbles, uint32_t background)
{
    return mirrored ? BuildRow32<true, FixedBarX>(row, modules, begin, nibbles, background)
                    : BuildRow32<false, FixedBarX>(row, modules, begin, nibbles, background);
}

// FillPicture into a 32-bit image, unturned or half-turned, symbols apart:
// the background around each symbol's area (its RowModules by its rows),
// then the area row by row, each row built once in a scratch line and copied
// onto its scanlines. False, the image partly drawn, when that cannot be.
bool FillPicture32(QImage& image, std::span<const TPlacedRows> symbols, int32_t barX, int32_t rowHeight,
                   const TQuarterTurn& turn, uint32_t bar, uint32_t background)
{
    if ((turn.Angle != _0 && turn.Angle != _180) || barX <= 0 || rowHeight <= 0 || symbols.size() > 256)
        return false;
    // The working lists and the scratch line come from the stack.
    std::byte buffer[16384];
    std::pmr::monotonic_buffer_resource memory(buffer, sizeof buffer);
    const int width = image.width();
    const int height = image.height();
    // The areas, unturned, and where they land on the image, clipped.
    std::pmr::vector<TRect> areas(&memory);
    std::pmr::vector<TRect> shown(&memory);
    std::pmr::vector<int> edges(&memory);
    areas.reserve(symbols.size());
    shown.reserve(symbols.size());
    edges.reserve(2 * symbols.size() + 2);
    edges.push_back(0);
    edges.push_back(height);
    for (const TPlacedRows& placed : symbols) {
        const int64_t rows = std::max<int64_t>(int64_t(placed.Symbol->RowStarts.size()) - 1, 0);
        const int64_t right = placed.At.x + int64_t(std::max(placed.Symbol->RowModules, 0)) * barX;
        const int64_t bottom = placed.At.y + rows * rowHeight;
        if (right > INT32_MAX || bottom > INT32_MAX)
            return false;
        const TRect area{placed.At.x, placed.At.y, int32_t(right), int32_t(bottom)};
        for (const TRect& other : areas)
            if (Overlap(area, other))
                return false;
        areas.push_back(area);
        const TRect r = turn.Apply(area);
        const TRect clipped{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, width),
                            std::min(r.Bottom, height)};
        if (clipped.Left < clipped.Right && clipped.Top < clipped.Bottom) {
            shown.push_back(clipped);
            edges.push_back(clipped.Top);
            edges.push_back(clipped.Bottom);
        } else {
            shown.push_back({});
        }
    }
    const qsizetype stride = image.bytesPerLine();
    uchar* const bits = image.bits();
    const auto line = [&](int y) { return reinterpret_cast<uint32_t*>(bits + qsizetype(y) * stride); };

    // The background, in bands of scanlines that cross the same areas.
    std::pmr::vector<TRect> sorted(&memory);
    sorted.reserve(shown.size());
    for (const TRect& r : shown)
        if (r.Left < r.Right)
            sorted.push_back(r);
    std::sort(sorted.begin(), sorted.end(), [](const TRect& a, const TRect& b) { return a.Left < b.Left; });
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    // One symbol on the picture (the usual case): its rows' scanlines are
    // built whole, background on either side included.
    const bool alone = sorted.size() == 1;
    for (size_t e = 0; e + 1 < edges.size(); ++e) {
        const int top = edges[e];
        const int bottom = edges[e + 1];
        if (alone && top >= sorted[0].Top && bottom <= sorted[0].Bottom)
            continue;
        for (int y = top; y < bottom; ++y) {
            uint32_t* const pixels = line(y);
            int x = 0;
            for (const TRect& r : sorted) {
                if (r.Top > top || r.Bottom < bottom)
                    continue;
                Fill32(pixels + x, size_t(r.Left - x), background);
                x = r.Right;
            }
            Fill32(pixels + x, size_t(width - x), background);
        }
    }

    // The areas.
    const bool mirrored = turn.Angle == _180;
    const TNibblePixels nibbles(barX, bar, background, &memory);
    std::pmr::vector<uint32_t> scratch(&memory);
    const ptrdiff_t slack = ptrdiff_t(RowSlackModules) * barX;
    for (size_t k = 0; k < symbols.size(); ++k) {
        const TRect& area = areas[k];
        const TRect& clipped = shown[k];
        if (clipped.Left >= clipped.Right)
            continue;
        const TPdf417Symbol& symbol = *symbols[k].Symbol;
        // The image column of the area's first pixel.
        const int32_t first = mirrored ? turn.Origin.x - area.Right : turn.Origin.x + area.Left;
        // The scratch line holds the area with room on either side and,
        // alone, the whole scanline: its pixels outside the area stay
        // background (a row builder writes background past a row's end).
        const int64_t low = (alone ? std::min<int64_t>(first, 0) : first) - slack;
        const int64_t high = (alone ? std::max<int64_t>(int64_t(first) + (area.Right - area.Left), width)
                                    : int64_t(first) + (area.Right - area.Left)) +
                             slack;
        scratch.resize(size_t(high - low));
        Fill32(scratch.data(), scratch.size(), background);
        uint32_t* const begin = scratch.data() + (first - low);
        const int32_t left = alone ? 0 : clipped.Left;
        const uint32_t* const from = scratch.data() + (left - low);
        const size_t count = size_t(alone ? width : clipped.Right - clipped.Left);
        const int32_t rows = int32_t(symbol.RowStarts.size()) - 1;
        for (int32_t j = 0; j < rows; ++j) {
            const int32_t top = area.Top + j * rowHeight;
            const int32_t y = mirrored ? turn.Origin.y - top - rowHeight : turn.Origin.y + top;
            const int y0 = std::max(y, clipped.Top);
            const int y1 = std::min(y + rowHeight, clipped.Bottom);
            if (y0 >= y1)
                continue;
            const std::span<const TElementRun> runs = symbol.Row(j);
            const bool built =
                barX == 1   ? BuildRow32<1>(mirrored, runs, symbol.RowModules, begin, nibbles, background)
                : barX == 2 ? BuildRow32<2>(mirrored, runs, symbol.RowModules, begin, nibbles, background)
                : barX == 3 ? BuildRow32<3>(mirrored, runs, symbol.RowModules, begin, nibbles, background)
                            : BuildRow32<0>(mirrored, runs, symbol.RowModules, begin, nibbles, background);
            if (!built)
                return false;
            for (int yy = y0; yy < y1; ++yy)
                std::memcpy(line(yy) + left, from, count * 4);
        }
    }
    return true;
}

} // namespace

void FillBars(QImage& image, std::span<const TRect> bars, const TQuarterTurn& turn, uint32_t pixel)
{
    WithSpan(image, [&](auto span) { FillBarsAs<decltype(span)>(image, bars, turn, pixel); });
}

void FillRows(QImage& image, std::span<const TPlacedRows> symbols, int32_t barX, int32_t rowHeight,
              const TQuarterTurn& turn, uint32_t bar, std::optional<uint32_t> light)
{
    std::vector<TRect> areas;
    if ((turn.Angle != _0 && turn.Angle != _180) || !RowAreas(symbols, barX, rowHeight, areas)) {
        FillRowsAsBars(image, symbols, barX, rowHeight, turn, bar, light);
        return;
    }
    const TRunInk ink{bar, light, std::nullopt};
    WithSpan(image, [&](auto span) {
        for (const TPlacedRows& placed : symbols)
            FillSymbolRows<decltype(span)>(image, placed, barX, rowHeight, turn, ink);
    });
}

void FillPicture(QImage& image, std::span<const TPlacedRows> symbols, int32_t barX, int32_t rowHeight,
                 const TQuarterTurn& turn, uint32_t bar, uint32_t background)
{
    if (image.depth() == 32 && FillPicture32(image, symbols, barX, rowHeight, turn, bar, background))
        return;
    const int width = image.width();
    const int height = image.height();
    std::vector<TRect> areas;
    const bool apart = (turn.Angle == _0 || turn.Angle == _180) && RowAreas(symbols, barX, rowHeight, areas);
    WithSpan(image, [&](auto span) {
        using Span = decltype(span);
        const qsizetype stride = image.bytesPerLine();
        uchar* const bits = image.bits();
        if (!apart) {
            for (int y = 0; y < height; ++y)
                Span::Fill(bits + qsizetype(y) * stride, 0, width, background);
            FillRowsAsBars(image, symbols, barX, rowHeight, turn, bar, std::nullopt);
            return;
        }
        // The background around the symbols' areas, in bands of lines that
        // cross the same areas; each area is then built whole by its rows.
        std::vector<TRect> placed;
        std::vector<int> edges{0, height};
        for (const TRect& area : areas) {
            if (area.Left >= area.Right)
                continue;
            const TRect r = turn.Apply(area);
            const TRect clipped{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, width),
                                std::min(r.Bottom, height)};
            if (clipped.Left >= clipped.Right || clipped.Top >= clipped.Bottom)
                continue;
            placed.push_back(clipped);
            edges.push_back(clipped.Top);
            edges.push_back(clipped.Bottom);
        }
        std::sort(placed.begin(), placed.end(), [](const TRect& a, const TRect& b) { return a.Left < b.Left; });
        std::sort(edges.begin(), edges.end());
        edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
        for (size_t e = 0; e + 1 < edges.size(); ++e) {
            const int top = edges[e];
            const int bottom = edges[e + 1];
            for (int y = top; y < bottom; ++y) {
                uchar* const line = bits + qsizetype(y) * stride;
                int x = 0;
                for (const TRect& r : placed) {
                    if (r.Top > top || r.Bottom < bottom)
                        continue;
                    if (x < r.Left)
                        Span::Fill(line, x, r.Left, background);
                    x = r.Right;
                }
                if (x < width)
                    Span::Fill(line, x, width, background);
            }
        }
        const TRunInk ink{bar, background, background};
        for (size_t k = 0; k < symbols.size(); ++k) {
            if (areas[k].Left < areas[k].Right)
                FillSymbolRows<Span>(image, symbols[k], barX, rowHeight, turn, ink, background, areas[k].Right);
        }
    });
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
