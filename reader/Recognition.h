#pragma once
// Row recognition of the PDF417 reader: a clean, axis-aligned, dark-on-light
// picture of one symbol is read pixel row by pixel row; each distinct row that
// holds a start pattern is measured in modules, cut into codewords between
// the start pattern and the stop pattern (or the closing bar of a truncated
// symbol), and the data-region codewords are looked up in the cluster tables
// of the row. No skew correction, no error correction, no row-indicator
// analysis: the pictures this library draws do not need them.
//
// Nothing here reads outside the picture or trusts what it measured: a row
// that cannot be measured, rows of different lengths and length descriptors
// beyond what was read all end the read with no result.
#include "core/Message.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace Vandrel {

// A picture in memory, read in place. A pixel is `BytesPerPixel` bytes: 1 is
// a grey level; 3 or 4 are three colour components in any order (the fourth
// byte, alpha or padding, is ignored), which covers Qt's RGB32, ARGB32 and
// RGB888 images as they lie in memory. `Stride` is the distance in bytes from
// one row to the next, at least Width × BytesPerPixel. A view that breaks
// these rules, or has no pixels, reads as an empty picture.
struct TPixelView {
    const uint8_t* Pixels = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
    ptrdiff_t Stride = 0;
    int32_t BytesPerPixel = 1;
};

// A pixel is dark when its brightest component is at most this: bars may be
// any colour up to this grey, and a pale background still reads as light.
inline constexpr uint8_t DarkLevel = 178;

// The eight element widths of one codeword in modules, bar first, as digits;
// a width above 9 is written '9', which no pattern has.
using TCodeWidths = std::array<char, 8>;

// One pixel row converted: every codeword between start and stop pattern,
// the left row indicator first and, unless the row is truncated, the right
// row indicator last.
struct TRowCodewords {
    std::vector<TCodeWidths> Codewords;
    bool Truncated = false;

    int32_t DataColumns() const;
};

// The data region of a picture: the codewords of every accepted row, row
// indicators left out, in reading order.
struct TSymbolRead {
    std::vector<TCodeWidths> Codewords;
    int32_t Rows = 0;
    int32_t DataColumns = 0;
    bool Truncated = false;
};

// Converts one pixel row, 1 (or any non-zero byte) per dark pixel. The module
// width is the first dark run, the 8-module bar of the start pattern, div 8
// after adding one pixel (so that 7 pixels still make a module); the widths
// of the runs after the 17-module start pattern are rounded up to modules.
// nullopt when the row has no module width (a first dark run below 7 pixels
// or reaching the end of the row), when no codeword follows the start
// pattern, or when it ends in neither a stop pattern nor the closing
// one-module bar of a truncated row followed by nothing but light.
std::optional<TRowCodewords> GetPDFNumCode(std::span<const uint8_t> darkRow);

// Reads every row of the picture. A row is considered only when it differs
// from the row considered before it, so a symbol row several pixels high is
// read once, and accepted when it holds 8 dark pixels in a row. Rows == 0
// when no row was accepted; nullopt when an accepted row cannot be converted
// or the rows disagree on their data columns or form.
std::optional<TSymbolRead> GetCode(const TPixelView& picture);

// GetCode, reporting "No any Information!" when the picture holds no row with
// a start pattern; nullopt whenever there is nothing to decode.
std::optional<TSymbolRead> GetBSStream(const TPixelView& picture, const TMessageFn& message);

// The codeword whose pattern in the cluster of symbol row `row` is `widths`,
// or -1.
int32_t FindCodeWord(const TCodeWidths& widths, int32_t row);

// The data codewords after the symbol length descriptor (the first codeword
// of row 0, counting itself). nullopt when the descriptor is unknown, 0 or
// beyond the codewords read; an unknown data codeword also reports its index
// in the data region and the data column count ("17 4").
std::optional<std::vector<int16_t>> CreateCodeWord(const TSymbolRead& symbol, const TMessageFn& message);

} // namespace Vandrel
