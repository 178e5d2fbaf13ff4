#include "reader/Binarize.h"

#include <cstring>

namespace Vandrel {
namespace {

// Surroundings whose grey levels differ by less than this hold no bars: print
// grain and noise on paper must not become dark specks.
constexpr int32_t MinContrast = 24;
// The surroundings of a block: this many blocks on each side.
constexpr int32_t Reach = 2;

// The brightest component of each pixel, `Bytes` bytes a pixel, colour
// components first. The pixel size is a constant here, so that the compiler
// turns the loop into vector code.
template <size_t Bytes>
void GreyPixels(const uint8_t* line, uint8_t* grey, int32_t width)
{
    for (size_t x = 0; x < static_cast<size_t>(width); ++x) {
        const uint8_t* pixel = line + x * Bytes;
        grey[x] = std::max(std::max(pixel[0], pixel[1]), pixel[2]);
    }
}

// Per block: the sum, the darkest and the brightest pixel.
struct TBlockStats {
    std::vector<int32_t> Sum, Low, High;
};

// A band of BinarizeBlock rows, column by column: each grey row is added
// where every pixel has a place of its own (code the compiler turns into
// vector code), and the band is summed up block by block once it is whole.
struct TBand {
    std::vector<uint16_t> Sum;
    std::vector<uint8_t> Low, High;

    explicit TBand(int32_t width)
        : Sum(static_cast<size_t>(width), 0), Low(static_cast<size_t>(width), 255), High(static_cast<size_t>(width), 0)
    {
    }
    void Add(const uint8_t* line)
    {
        const size_t width = Sum.size();
        for (size_t x = 0; x < width; ++x) {
            Sum[x] = static_cast<uint16_t>(Sum[x] + line[x]);
            Low[x] = std::min(Low[x], line[x]);
            High[x] = std::max(High[x], line[x]);
        }
    }
    // Into the blocks of one block row, ready for the next band.
    void Close(int32_t* sum, int32_t* low, int32_t* high)
    {
        const int32_t width = static_cast<int32_t>(Sum.size());
        for (int32_t from = 0, b = 0; from < width; from += BinarizeBlock, ++b) {
            const int32_t to = std::min(from + BinarizeBlock, width);
            int32_t s = 0, l = 255, h = 0;
            for (int32_t x = from; x < to; ++x) {
                s += Sum[static_cast<size_t>(x)];
                l = std::min<int32_t>(l, Low[static_cast<size_t>(x)]);
                h = std::max<int32_t>(h, High[static_cast<size_t>(x)]);
            }
            sum[b] = s;
            low[b] = l;
            high[b] = h;
        }
        std::fill(Sum.begin(), Sum.end(), 0);
        std::fill(Low.begin(), Low.end(), 255);
        std::fill(High.begin(), High.end(), 0);
    }
};

// The sum, minimum and maximum over each block's window of Reach blocks on
// both sides in its row of blocks, `count` blocks.
void RowWindow(const int32_t* sum, const int32_t* low, const int32_t* high, int32_t count, int32_t* sumOut,
               int32_t* lowOut, int32_t* highOut)
{
    for (int32_t i = 0; i < count; ++i) {
        int32_t s = 0, l = 255, h = 0;
        for (int32_t j = std::max(i - Reach, 0); j <= std::min(i + Reach, count - 1); ++j) {
            s += sum[j];
            l = std::min(l, low[j]);
            h = std::max(h, high[j]);
        }
        sumOut[i] = s;
        lowOut[i] = l;
        highOut[i] = h;
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

void GreyRow(const TPixelView& p, int32_t y, uint8_t* grey)
{
    const uint8_t* line = p.Pixels + y * p.Stride;
    if (p.BytesPerPixel == 1)
        std::memcpy(grey, line, static_cast<size_t>(p.Width));
    else if (p.BytesPerPixel == 3)
        GreyPixels<3>(line, grey, p.Width);
    else
        GreyPixels<4>(line, grey, p.Width);
}

void MakeGrey(const TPixelView& p, TGreyPicture& g)
{
    g.Width = g.Height = g.BlocksAcross = 0;
    g.Threshold.clear();
    const bool knownPixel = p.BytesPerPixel == 1 || p.BytesPerPixel == 3 || p.BytesPerPixel == 4;
    if (!p.Pixels || p.Width <= 0 || p.Height <= 0 || !knownPixel ||
        p.Stride < static_cast<ptrdiff_t>(p.Width) * p.BytesPerPixel) {
        g.Grey.clear();
        return;
    }
    g.Width = p.Width;
    g.Height = p.Height;
    // Every pixel is written below: only a larger picture's bytes are cleared first.
    g.Grey.resize(static_cast<size_t>(p.Width) * static_cast<size_t>(p.Height));
    const int32_t across = (p.Width + BinarizeBlock - 1) / BinarizeBlock;
    const int32_t down = (p.Height + BinarizeBlock - 1) / BinarizeBlock;
    const size_t blocks = static_cast<size_t>(across) * static_cast<size_t>(down);
    TBlockStats s{std::vector<int32_t>(blocks), std::vector<int32_t>(blocks), std::vector<int32_t>(blocks)};
    TBand band(p.Width);
    // Each row is made grey and added to its band while it is at hand.
    for (int32_t y = 0; y < p.Height; ++y) {
        uint8_t* grey = g.Grey.data() + static_cast<size_t>(y) * static_cast<size_t>(p.Width);
        GreyRow(p, y, grey);
        band.Add(grey);
        if (y % BinarizeBlock == BinarizeBlock - 1 || y == p.Height - 1) {
            const size_t row = static_cast<size_t>(y / BinarizeBlock) * static_cast<size_t>(across);
            band.Close(s.Sum.data() + row, s.Low.data() + row, s.High.data() + row);
        }
    }
    // Each block's mean, then over the blocks around it: the mean of their
    // means and their darkest and brightest pixel.
    for (int32_t by = 0; by < down; ++by)
        for (int32_t bx = 0; bx < across; ++bx)
            s.Sum[static_cast<size_t>(by) * static_cast<size_t>(across) + static_cast<size_t>(bx)] /=
                BlockPixels(bx, p.Width) * BlockPixels(by, p.Height);
    // Columns of blocks a whole row of blocks at a time (vector code), then
    // rows of blocks.
    TBlockStats columns{std::vector<int32_t>(blocks, 0), std::vector<int32_t>(blocks, 255),
                        std::vector<int32_t>(blocks, 0)};
    const size_t width = static_cast<size_t>(across);
    for (int32_t by = 0; by < down; ++by) {
        int32_t* sum = columns.Sum.data() + static_cast<size_t>(by) * width;
        int32_t* low = columns.Low.data() + static_cast<size_t>(by) * width;
        int32_t* high = columns.High.data() + static_cast<size_t>(by) * width;
        for (int32_t ny = std::max(by - Reach, 0); ny <= std::min(by + Reach, down - 1); ++ny) {
            const size_t at = static_cast<size_t>(ny) * width;
            for (size_t bx = 0; bx < width; ++bx) {
                sum[bx] += s.Sum[at + bx];
                low[bx] = std::min(low[bx], s.Low[at + bx]);
                high[bx] = std::max(high[bx], s.High[at + bx]);
            }
        }
    }
    for (int32_t by = 0; by < down; ++by) {
        const size_t at = static_cast<size_t>(by) * width;
        RowWindow(columns.Sum.data() + at, columns.Low.data() + at, columns.High.data() + at, across, s.Sum.data() + at,
                  s.Low.data() + at, s.High.data() + at);
    }
    // A threshold halfway between that mean and the midrange: the mean alone
    // lies near the light level where paper surrounds a symbol's edge rows,
    // and their blurred spaces would turn dark.
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
