#pragma once
// Grey levels and a local threshold for pictures taken in real light: the
// fixed dark level of the row reader fails on grey paper, uneven light and
// blur, so here each place is compared with the mean of its surroundings.
#include "core/Export.h"
#include "reader/Recognition.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace Vandrel {

inline constexpr int32_t BinarizeBlock = 8;

// A grey picture, one byte per pixel, row after row, and the threshold of
// every block of BinarizeBlock × BinarizeBlock pixels: a pixel is dark when its
// grey level is below its block's threshold.
struct TGreyPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Grey;
    int32_t BlocksAcross = 0;
    std::vector<uint8_t> Threshold; // per block; 0 where the surroundings are flat

    const uint8_t* Line(int32_t y) const { return Grey.data() + static_cast<size_t>(y) * static_cast<size_t>(Width); }
    const uint8_t* ThresholdLine(int32_t y) const
    {
        return Threshold.data() + static_cast<size_t>(y / BinarizeBlock) * static_cast<size_t>(BlocksAcross);
    }
    uint8_t At(int32_t x, int32_t y) const { return Line(y)[x]; }
    uint8_t ThresholdAt(int32_t x, int32_t y) const { return ThresholdLine(y)[x / BinarizeBlock]; }
    bool Dark(int32_t x, int32_t y) const { return At(x, y) < ThresholdAt(x, y); }
    // Whether the bilinear grey at (x, y), pixel centres at whole numbers, is
    // below the threshold of the nearest pixel's block; clamped to the picture.
    bool DarkAt(float x, float y) const
    {
        // `v > 0` also takes NaN to 0.
        x = x > 0 ? std::min(x, static_cast<float>(Width - 1)) : 0.0f;
        y = y > 0 ? std::min(y, static_cast<float>(Height - 1)) : 0.0f;
        const int32_t x0 = static_cast<int32_t>(x);
        const int32_t y0 = static_cast<int32_t>(y);
        const float fx = x - static_cast<float>(x0);
        const float fy = y - static_cast<float>(y0);
        const uint8_t* g = Line(y0) + x0;
        const int32_t right = x0 + 1 < Width ? 1 : 0;
        const ptrdiff_t down = y0 + 1 < Height ? Width : 0;
        const float top = g[0] + (g[right] - g[0]) * fx;
        const float bottom = g[down] + (g[down + right] - g[down]) * fx;
        const float level = top + (bottom - top) * fy;
        return level < ThresholdAt(x0 + (fx >= 0.5f ? right : 0), y0 + (fy >= 0.5f && down ? 1 : 0));
    }
};

// The reader keeps its picture-sized buffers per thread for the next picture,
// mostly of the same size, up to this many pixels (a page of A4 at 300 dpi);
// a larger picture's are let go.
inline constexpr size_t KeptPixels = size_t{2480} * 3508;

// The grey level of each pixel of row `y` (the brightest colour component:
// bars may be any dark colour) into `grey`, Width bytes. The view must be one
// the row reader reads (1, 3 or 4 bytes a pixel, rows within the stride).
VANDREL_ENGINES_EXPORT void GreyRow(const TPixelView& picture, int32_t y, uint8_t* grey);

// The grey level of each pixel (GreyRow), with thresholds, into `grey`, whose buffers are reused:
// a fresh picture-sized buffer costs more in page faults than the pass that
// fills it. An empty picture for a view the row reader would not read.
VANDREL_ENGINES_EXPORT void MakeGrey(const TPixelView& picture, TGreyPicture& grey);

// Row `y`, 1 per dark pixel and 0 per light one, into `dark` (Width bytes).
VANDREL_ENGINES_EXPORT void DarkRow(const TGreyPicture& grey, int32_t y, uint8_t* dark);

} // namespace Vandrel
