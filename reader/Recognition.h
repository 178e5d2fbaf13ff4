#pragma once
// Row recognition of the PDF417 reader: a clean, axis-aligned, dark-on-light
// picture of one or more symbols is read pixel row by pixel row. Each pixel
// row is searched for start patterns; behind each one the row is measured in
// modules and cut into codewords up to the stop pattern (or the closing bar
// of a truncated symbol), so one pixel row may cross several symbols side by
// side. The left row indicator of a symbol row tells which row of its symbol
// it is; rows found at the same place in the picture belong to one symbol
// until the row numbers start again, which separates symbols stacked one
// above the other.
//
// Nothing is taken on trust. The row indicators declare the symbol's rows,
// data columns and error level; a pixel row that disagrees with them, or
// with the cluster of the row its left indicator names, does not count, and
// a symbol whose indicators do not agree among themselves, or that lacks a
// row, is not read. CreateCodeWord then corrects what the error-correction
// codewords allow (reader/Correction.h), a codeword not read counting as an
// erasure, and accepts the codewords only when the length descriptor and the
// error level fill the declared grid and every Reed-Solomon syndrome is zero:
// a read gives the encoded bytes or none.
#include "core/Export.h"
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

// One symbol row as one pixel row shows it: every codeword between start and
// stop pattern, the left row indicator first and, unless the row is
// truncated, the right row indicator last.
struct VANDREL_ENGINES_EXPORT TRowCodewords {
    std::vector<TCodeWidths> Codewords;
    bool Truncated = false;
    int32_t Left = 0;   // pixel where the start pattern's first bar begins
    int32_t Module = 0; // pixels per module, measured on that bar

    int32_t DataColumns() const;
};

// Every symbol row that one pixel row (1, or any non-zero byte, per dark
// pixel) crosses, left to right. A symbol row starts at a dark run of at least
// 7 pixels, the 8-module first bar of the start pattern: its module width is
// that run plus one pixel, div 8, and the start pattern's seven further
// elements must be narrow, narrow, narrow, narrow, narrow, narrow and 2 to 4
// modules wide and end within a module of 17 modules from its beginning.
// The runs behind it are rounded up to modules and taken eight at a time
// until the stop pattern, or until a one-module bar followed by the end of
// the row, by at least 7 modules of light or by the next start pattern: the
// closing bar of a truncated row. Where that fails the search goes on behind
// the first bar.
VANDREL_ENGINES_EXPORT std::vector<TRowCodewords> ReadRow(std::span<const uint8_t> darkRow);

// The first symbol row of ReadRow, or nullopt when there is none.
VANDREL_ENGINES_EXPORT std::optional<TRowCodewords> GetPDFNumCode(std::span<const uint8_t> darkRow);

// A symbol found in the picture, its data region (row indicators left out)
// as its rows were read: where several pixel rows show the same symbol row,
// the codeword most of them read (each a pattern of the row's cluster) wins.
struct TSymbolRead {
    // Rows × DataColumns width strings, row by row, data and error
    // correction; "00000000" where no pixel row read a codeword of the row's
    // cluster.
    std::vector<TCodeWidths> Codewords;
    // What the row indicators declare; 0 and -1 when they do not tell or do
    // not agree, and such a symbol is never read.
    int32_t Rows = 0;
    int32_t DataColumns = 0;
    int32_t ErrorLevel = -1;
    bool Truncated = false;
    // Where: the start pattern of the first row read, the pixel rows from
    // the first to the last row read, and the end of the first row read.
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Bottom = 0;
    int32_t Right = 0;
};

// Every symbol of the picture, in picture order: lines of symbols from top to
// bottom (a symbol starting above the bottom of a line's first symbol is on
// that line), each line from left to right. A row is considered only when it
// differs from the row above it, so a symbol row several pixels high is read
// once and counts as many times as it is high. Rows that share too little to
// be a symbol (fewer than three distinct symbol rows and no agreeing row
// indicators) are not reported.
VANDREL_ENGINES_EXPORT std::vector<TSymbolRead> GetCode(const TPixelView& picture);

// `symbols` in picture order (GetCode's).
VANDREL_ENGINES_EXPORT void PictureOrder(std::vector<TSymbolRead>& symbols);

// The symbol that rows read across one symbol elsewhere show (lines sampled
// along a turned or skewed symbol, in any order), each placed by its row
// indicators and counted as GetCode counts pixel rows; nullopt when they show
// none.
VANDREL_ENGINES_EXPORT std::optional<TSymbolRead> AssembleRows(std::vector<TRowCodewords> rows);

// GetCode, reporting "No any Information!" when the picture holds no symbol.
VANDREL_ENGINES_EXPORT std::vector<TSymbolRead> GetBSStream(const TPixelView& picture, const TMessageFn& message);

// The codeword whose pattern in the cluster of symbol row `row` is `widths`,
// or -1.
VANDREL_ENGINES_EXPORT int32_t FindCodeWord(const TCodeWidths& widths, int32_t row);

// Whether `codewords`, a whole symbol (length descriptor, data, padding,
// error correction; the last `ecCount` of them the error correction) is a
// Reed-Solomon code word over GF(929): its polynomial, first codeword of
// highest degree, vanishes at 3^1 ... 3^ecCount.
VANDREL_ENGINES_EXPORT bool ErrorCorrectionHolds(std::span<const int16_t> codewords, int32_t ecCount);

// The data codewords after the symbol length descriptor (the first codeword
// of row 0, counting itself), once the symbol proves whole: its row
// indicators declared rows, columns and error level, the error correction
// holds after misread codewords are corrected and those not read restored
// (CorrectCodewords, within its capacity), and the descriptor and the error
// correction fill the declared grid exactly. `corrected`, when given,
// receives how many codewords were corrected. nullopt otherwise; when a
// codeword other than the descriptor was not read, the first one is reported
// by its index in the data region and the data column count ("17 4").
VANDREL_ENGINES_EXPORT std::optional<std::vector<int16_t>>
CreateCodeWord(const TSymbolRead& symbol, const TMessageFn& message, int32_t* corrected = nullptr);

} // namespace Vandrel
