#include "reader/Binarize.h"

#include <algorithm>
#include <cmath>

namespace Vandrel {
namespace {

// Surroundings whose grey levels differ by less than this hold no bars: print
// grain and noise on paper must not become dark specks.
constexpr int32_t MinContrast = 24;
// The surroundings of a block: this many blocks on each side.
constexpr int32_t Reach = 2;

template <size_t Bytes>
void GreyPixels(const uint8_t* line, uint8_t* grey, int32_t width)
{
    for (int32_t x = 0; x < width; ++x) {
        const uint8_t* pixel = line + static_cast<size_t>(x) * Bytes;
        grey[x] = std::max(std::max(pixel[0], pixel[1]), pixel[2]);
    }
}

// Per block: the mean, the darkest and the brightest pixel.
struct TBlockStats {
    std::vector<int32_t> Mean, Low, High;
};

TBlockStats BlockStats(const TGreyPicture& g, int32_t across, int32_t down)
{
    const size_t count = static_cast<size_t>(across) * static_cast<size_t>(down);
    TBlockStats s{std::vector<int32_t>(count, 0), std::vector<int32_t>(count, 255), std::vector<int32_t>(count, 0)};
    std::vector<int32_t> pixels(count, 0);
    for (int32_t y = 0; y < g.Height; ++y) {
        const size_t row = static_cast<size_t>(y / BinarizeBlock) * static_cast<size_t>(across);
        const uint8_t* line = g.Grey.data() + static_cast<size_t>(y) * static_cast<size_t>(g.Width);
        // A block's part of the row at a time: sums and extremes in registers.
        for (int32_t bx = 0; bx < across; ++bx) {
            const int32_t from = bx * BinarizeBlock;
            const int32_t to = std::min(from + BinarizeBlock, g.Width);
            int32_t sum = 0, low = 255, high = 0;
            for (int32_t x = from; x < to; ++x) {
                sum += line[x];
                low = std::min<int32_t>(low, line[x]);
                high = std::max<int32_t>(high, line[x]);
            }
            const size_t b = row + static_cast<size_t>(bx);
            s.Mean[b] += sum;
            s.Low[b] = std::min(s.Low[b], low);
            s.High[b] = std::max(s.High[b], high);
            pixels[b] += to - from;
        }
    }
    for (size_t b = 0; b < count; ++b)
        s.Mean[b] /= std::max(pixels[b], 1);
    return s;
}

// `v` within [0, last]; NaN to 0.
float Clamped(float v, int32_t last)
{
    return v > 0 ? std::min(v, static_cast<float>(last)) : 0.0f;
}

} // namespace

uint8_t TGreyPicture::ThresholdAt(int32_t x, int32_t y) const
{
    x = std::clamp(x, 0, Width - 1);
    y = std::clamp(y, 0, Height - 1);
    return Threshold[static_cast<size_t>(y / BinarizeBlock) * static_cast<size_t>(BlocksAcross) +
                     static_cast<size_t>(x / BinarizeBlock)];
}

float TGreyPicture::Sample(float x, float y) const
{
    x = Clamped(x, Width - 1);
    y = Clamped(y, Height - 1);
    const int32_t x0 = static_cast<int32_t>(x);
    const int32_t y0 = static_cast<int32_t>(y);
    const int32_t x1 = std::min(x0 + 1, Width - 1);
    const int32_t y1 = std::min(y0 + 1, Height - 1);
    const float fx = x - static_cast<float>(x0);
    const float fy = y - static_cast<float>(y0);
    const float top = At(x0, y0) + (At(x1, y0) - At(x0, y0)) * fx;
    const float bottom = At(x0, y1) + (At(x1, y1) - At(x0, y1)) * fx;
    return top + (bottom - top) * fy;
}

bool TGreyPicture::DarkAt(float x, float y) const
{
    return Sample(x, y) < ThresholdAt(static_cast<int32_t>(Clamped(x, Width - 1) + 0.5f),
                                      static_cast<int32_t>(Clamped(y, Height - 1) + 0.5f));
}

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
    for (int32_t y = 0; y < p.Height; ++y) {
        const uint8_t* line = p.Pixels + y * p.Stride;
        uint8_t* grey = g.Grey.data() + static_cast<size_t>(y) * static_cast<size_t>(p.Width);
        if (p.BytesPerPixel == 1)
            for (int32_t x = 0; x < p.Width; ++x)
                grey[x] = line[x];
        else if (p.BytesPerPixel == 3)
            GreyPixels<3>(line, grey, p.Width);
        else
            GreyPixels<4>(line, grey, p.Width);
    }
    const int32_t across = (p.Width + BinarizeBlock - 1) / BinarizeBlock;
    const int32_t down = (p.Height + BinarizeBlock - 1) / BinarizeBlock;
    const TBlockStats s = BlockStats(g, across, down);
    g.BlocksAcross = across;
    g.Threshold.assign(s.Mean.size(), 0);
    for (int32_t by = 0; by < down; ++by)
        for (int32_t bx = 0; bx < across; ++bx) {
            int32_t sum = 0, count = 0, low = 255, high = 0;
            for (int32_t ny = std::max(by - Reach, 0); ny <= std::min(by + Reach, down - 1); ++ny)
                for (int32_t nx = std::max(bx - Reach, 0); nx <= std::min(bx + Reach, across - 1); ++nx) {
                    const size_t b = static_cast<size_t>(ny) * static_cast<size_t>(across) + static_cast<size_t>(nx);
                    sum += s.Mean[b];
                    low = std::min(low, s.Low[b]);
                    high = std::max(high, s.High[b]);
                    ++count;
                }
            if (high - low >= MinContrast)
                g.Threshold[static_cast<size_t>(by) * static_cast<size_t>(across) + static_cast<size_t>(bx)] =
                    static_cast<uint8_t>(sum / count);
        }
}

void DarkMask(const TGreyPicture& g, std::vector<uint8_t>& mask)
{
    mask.resize(g.Grey.size());
    for (int32_t y = 0; y < g.Height; ++y) {
        const size_t line = static_cast<size_t>(y) * static_cast<size_t>(g.Width);
        const uint8_t* threshold =
            g.Threshold.data() + static_cast<size_t>(y / BinarizeBlock) * static_cast<size_t>(g.BlocksAcross);
        for (int32_t x = 0; x < g.Width; ++x)
            mask[line + static_cast<size_t>(x)] = g.Grey[line + static_cast<size_t>(x)] < threshold[x / BinarizeBlock];
    }
}

} // namespace Vandrel
