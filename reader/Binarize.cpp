#include "reader/Binarize.h"

#include <cstring>

namespace Vandrel {
namespace {

// Surroundings whose grey levels differ by less than this hold no bars: print
// grain and noise on paper must not become dark specks.
constexpr int32_t MinContrast = 24;
// The surroundings of a block: this many blocks on each side.
constexpr int32_t Reach = 2;

// The brightest component of each pixel. Written over whole 32-bit pixels
// so that the compiler turns it into vector code.
void GreyPixels4(const uint8_t* line, uint8_t* grey, int32_t width)
{
    for (int32_t x = 0; x < width; ++x) {
        uint32_t p;
        std::memcpy(&p, line + static_cast<size_t>(x) * 4, 4);
        const uint32_t c0 = p & 0xff, c1 = (p >> 8) & 0xff, c2 = (p >> 16) & 0xff;
        const uint32_t high = c0 > c1 ? c0 : c1;
        grey[x] = static_cast<uint8_t>(high > c2 ? high : c2);
    }
}

void GreyPixels3(const uint8_t* line, uint8_t* grey, int32_t width)
{
    for (int32_t x = 0; x < width; ++x) {
        const uint8_t* pixel = line + static_cast<size_t>(x) * 3;
        grey[x] = std::max(std::max(pixel[0], pixel[1]), pixel[2]);
    }
}

// Per block: the sum, the darkest and the brightest pixel.
struct TBlockStats {
    std::vector<int32_t> Sum, Low, High;
};

// Adds one grey row to its blocks' statistics.
void AddRow(const uint8_t* line, int32_t width, int32_t* sum, int32_t* low, int32_t* high)
{
    for (int32_t from = 0, b = 0; from < width; from += BinarizeBlock, ++b) {
        const int32_t to = std::min(from + BinarizeBlock, width);
        int32_t s = 0, l = 255, h = 0;
        for (int32_t x = from; x < to; ++x) {
            s += line[x];
            l = std::min<int32_t>(l, line[x]);
            h = std::max<int32_t>(h, line[x]);
        }
        sum[b] += s;
        low[b] = std::min(low[b], l);
        high[b] = std::max(high[b], h);
    }
}

// The sum, minimum and maximum of each value's window of Reach values on both
// sides, `count` values `stride` apart: windows over rectangles of blocks are
// taken one direction at a time.
void Window(const int32_t* sum, const int32_t* low, const int32_t* high, int32_t count, ptrdiff_t stride,
            int32_t* sumOut, int32_t* lowOut, int32_t* highOut)
{
    for (int32_t i = 0; i < count; ++i) {
        int32_t s = 0, l = 255, h = 0;
        for (int32_t j = std::max(i - Reach, 0); j <= std::min(i + Reach, count - 1); ++j) {
            s += sum[j * stride];
            l = std::min(l, low[j * stride]);
            h = std::max(h, high[j * stride]);
        }
        sumOut[i * stride] = s;
        lowOut[i * stride] = l;
        highOut[i * stride] = h;
    }
}

// The blocks a window of Reach on both sides of block `i` of `count` covers.
int32_t Covered(int32_t i, int32_t count)
{
    return std::min(i + Reach, count - 1) - std::max(i - Reach, 0) + 1;
}

// The pixels of block `b` of `count` blocks over `length` pixels.
int32_t BlockPixels(int32_t b, int32_t length)
{
    return std::min(BinarizeBlock, length - b * BinarizeBlock);
}

} // namespace

void MakeGrey(const TPixelView& p, TGreyPicture& g)
{
    g.Width = g.Height = g.BlocksAcross = 0;
    g.Grey.clear();
    g.Threshold.clear();
    const bool knownPixel = p.BytesPerPixel == 1 || p.BytesPerPixel == 3 || p.BytesPerPixel == 4;
    if (!p.Pixels || p.Width <= 0 || p.Height <= 0 || !knownPixel ||
        p.Stride < static_cast<ptrdiff_t>(p.Width) * p.BytesPerPixel)
        return;
    g.Width = p.Width;
    g.Height = p.Height;
    g.Grey.resize(static_cast<size_t>(p.Width) * static_cast<size_t>(p.Height));
    const int32_t across = (p.Width + BinarizeBlock - 1) / BinarizeBlock;
    const int32_t down = (p.Height + BinarizeBlock - 1) / BinarizeBlock;
    const size_t blocks = static_cast<size_t>(across) * static_cast<size_t>(down);
    TBlockStats s{std::vector<int32_t>(blocks, 0), std::vector<int32_t>(blocks, 255), std::vector<int32_t>(blocks, 0)};
    // Each row is made grey and added to its blocks while it is at hand.
    for (int32_t y = 0; y < p.Height; ++y) {
        const uint8_t* line = p.Pixels + y * p.Stride;
        uint8_t* grey = g.Grey.data() + static_cast<size_t>(y) * static_cast<size_t>(p.Width);
        if (p.BytesPerPixel == 1)
            std::memcpy(grey, line, static_cast<size_t>(p.Width));
        else if (p.BytesPerPixel == 3)
            GreyPixels3(line, grey, p.Width);
        else
            GreyPixels4(line, grey, p.Width);
        const size_t row = static_cast<size_t>(y / BinarizeBlock) * static_cast<size_t>(across);
        AddRow(grey, p.Width, s.Sum.data() + row, s.Low.data() + row, s.High.data() + row);
    }
    // A block's threshold is the mean of the blocks around it, rows of blocks
    // first, then columns.
    for (int32_t by = 0; by < down; ++by)
        for (int32_t bx = 0; bx < across; ++bx)
            s.Sum[static_cast<size_t>(by) * static_cast<size_t>(across) + static_cast<size_t>(bx)] /=
                BlockPixels(bx, p.Width) * BlockPixels(by, p.Height);
    TBlockStats rows{std::vector<int32_t>(blocks), std::vector<int32_t>(blocks), std::vector<int32_t>(blocks)};
    for (int32_t by = 0; by < down; ++by) {
        const size_t at = static_cast<size_t>(by) * static_cast<size_t>(across);
        Window(s.Sum.data() + at, s.Low.data() + at, s.High.data() + at, across, 1, rows.Sum.data() + at,
               rows.Low.data() + at, rows.High.data() + at);
    }
    for (int32_t bx = 0; bx < across; ++bx)
        Window(rows.Sum.data() + bx, rows.Low.data() + bx, rows.High.data() + bx, down, across, s.Sum.data() + bx,
               s.Low.data() + bx, s.High.data() + bx);
    g.BlocksAcross = across;
    g.Threshold.assign(blocks, 0);
    for (int32_t by = 0; by < down; ++by)
        for (int32_t bx = 0; bx < across; ++bx) {
            const size_t b = static_cast<size_t>(by) * static_cast<size_t>(across) + static_cast<size_t>(bx);
            if (s.High[b] - s.Low[b] >= MinContrast)
                g.Threshold[b] = static_cast<uint8_t>(
                    (s.Sum[b] / (Covered(bx, across) * Covered(by, down)) + (s.Low[b] + s.High[b]) / 2) / 2);
        }
}

void DarkRow(const TGreyPicture& g, int32_t y, uint8_t* dark)
{
    const uint8_t* grey = g.Line(y);
    const uint8_t* threshold = g.ThresholdLine(y);
    for (int32_t from = 0; from < g.Width; from += BinarizeBlock) {
        const uint8_t t = threshold[from / BinarizeBlock];
        const int32_t to = std::min(from + BinarizeBlock, g.Width);
        for (int32_t x = from; x < to; ++x)
            dark[x] = grey[x] < t;
    }
}

} // namespace Vandrel
