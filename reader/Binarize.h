#pragma once
// Grey levels and a local threshold for pictures taken in real light: the
// fixed dark level of the row reader fails on grey paper, uneven light and
// blur, so here each place is compared with the mean of its surroundings.
#include "core/Export.h"
#include "reader/Recognition.h"

#include <cstdint>
#include <vector>

namespace Vandrel {

// A grey picture, one byte per pixel, row after row, and the threshold of
// every block of BinarizeBlock × BinarizeBlock pixels: a pixel is dark when its
// grey level is below its block's threshold.
struct TGreyPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Grey;
    int32_t BlocksAcross = 0;
    std::vector<uint8_t> Threshold; // per block; 0 where the surroundings are flat

    uint8_t At(int32_t x, int32_t y) const { return Grey[static_cast<size_t>(y) * static_cast<size_t>(Width) + x]; }
    uint8_t ThresholdAt(int32_t x, int32_t y) const;
    // Bilinear grey at (x, y), pixel centres at whole numbers; clamped to the picture.
    float Sample(float x, float y) const;
    // Whether (x, y) is dark against its block's threshold.
    bool DarkAt(float x, float y) const;
};

inline constexpr int32_t BinarizeBlock = 8;

// The reader keeps its picture-sized buffers per thread for the next picture,
// mostly of the same size, up to this many pixels (a page of A4 at 300 dpi);
// a larger picture's are let go.
inline constexpr size_t KeptPixels = size_t{2480} * 3508;

// The grey level of each pixel (the brightest colour component, as the row
// reader judges), with thresholds, into `grey`, whose buffers are reused:
// a fresh picture-sized buffer costs more in page faults than the pass that
// fills it. An empty picture for a view the row reader would not read.
VANDREL_ENGINES_EXPORT void MakeGrey(const TPixelView& picture, TGreyPicture& grey);

// 1 per dark pixel, row after row, into `mask` (reused likewise).
VANDREL_ENGINES_EXPORT void DarkMask(const TGreyPicture& grey, std::vector<uint8_t>& mask);

} // namespace Vandrel
