#pragma once
// PDF417 symbols as data. A symbol is rows of element runs: start pattern,
// left row indicator, the data codewords in the row's cluster, then right row
// indicator and stop pattern, or a truncated row's one-module closing bar. A
// sequence of symbols is laid out in lines along the drawing area. Both are
// plain numbers, so the controls, the reader and the tests draw and check the
// very same rows; turning them into pixels is the renderer's job.
#include "core/Enums.h"
#include "core/Export.h"
#include "core/Geometry.h"
#include "pdf417/Sizing.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace Vandrel {

// Element widths in modules, bar first. The stop pattern ends in a one-module
// bar that makes a row one module wider than its 17-module columns.
inline constexpr std::string_view Pdf417StartPattern = "81111113";
inline constexpr std::string_view Pdf417StopPattern = "711311121";
inline constexpr int32_t CodewordModules = 17;

// Light around every symbol, in modules.
inline constexpr int32_t SymbolMarginModules = 2;
// Light between the rows of two neighbouring symbols of a line, in modules:
// the margins of both and as much again, so that no reader runs one symbol's
// stop pattern into the next one's start.
inline constexpr int32_t SymbolGapModules = 8;
// Light between the last row of a line of symbols and the first row of the
// next, in modules: rows are several modules high, so a reader crossing
// them at a slant needs more light across than along.
inline constexpr int32_t LineGapModules = 16;

// Columns that carry no data: start pattern, both row indicators and stop
// pattern; a truncated row keeps only start pattern and left indicator.
constexpr int32_t NonDataColumns(bool fullRows)
{
    return fullRows ? 4 : 2;
}

// A row's width in modules: its columns and the closing one-module bar.
constexpr int32_t RowModules(int32_t columns, bool fullRows)
{
    return (columns + NonDataColumns(fullRows)) * CodewordModules + 1;
}

// A codeword missing from the stream (a list that ends early, a value no
// cluster has) leaves its place Blank: neither bar nor space is drawn there.
enum class TRunKind : uint8_t { Bar, Space, Blank };

struct TElementRun {
    TRunKind Kind = TRunKind::Bar;
    uint8_t Modules = 0;
    friend bool operator==(const TElementRun&, const TElementRun&) = default;
};

// One symbol: Size.Rows rows, each RowModules wide, their runs one after the
// other.
struct VANDREL_ENGINES_EXPORT TPdf417Symbol {
    TSymbolSize Size;
    int32_t RowModules = 0;
    std::vector<TElementRun> Runs;
    std::vector<size_t> RowStarts; // Size.Rows + 1 entries, the last one past the end

    std::span<const TElementRun> Row(int32_t row) const;
};

// The runs of a width pattern (bar first); an empty pattern is a Blank
// codeword place.
VANDREL_ENGINES_EXPORT void AppendPattern(std::vector<TElementRun>& runs, std::string_view pattern);

// One symbol of `size` from its Rows × Columns codewords, row by row; those
// missing at the end of `codewords` are left Blank. The row indicators state
// `size` and the error `level`.
VANDREL_ENGINES_EXPORT TPdf417Symbol Pdf417Symbol(std::span<const int16_t> codewords, TSymbolSize size, int32_t level,
                                                  bool fullRows);

// Every symbol of a sequence: `codewords` holds them one after the other,
// each of its size in `sizes`.
VANDREL_ENGINES_EXPORT std::vector<TPdf417Symbol>
Pdf417Symbols(std::span<const int16_t> codewords, std::span<const TSymbolSize> sizes, int32_t level, bool fullRows);

struct TSequenceLook {
    int32_t BarX = 1;      // module width, pixels
    int32_t RowHeight = 1; // pixels
    bool FullRows = true;
    TAlignment Alignment = taLeft;
};

// Where a sequence's symbols go in an area `along` pixels long, unturned:
// Places[k] is the top-left corner of symbol k's first row (its margin
// already added); the extent runs from Left to Right along the rows, Left
// below 0 where the aligned line starts before the area, and from 0 to
// Bottom across them, margins included. In 64 bits, so that a size too
// large to draw can be refused before anything is drawn.
struct TSymbolPlace {
    int64_t X = 0;
    int64_t Y = 0;
};
struct TSequenceLayout {
    std::vector<TSymbolPlace> Places;
    int64_t Left = 0;
    int64_t Right = 0;
    int64_t Bottom = 0;
};

// Symbols stand side by side, as many as the area holds whole (at least
// one), so that alignment cannot push the last of a line off the area; every
// line begins at the same aligned edge as the first.
VANDREL_ENGINES_EXPORT TSequenceLayout LayOutSequence(std::span<const TSymbolSize> sizes, const TSequenceLook& look,
                                                      int64_t along);

// Appends the bars of `symbol`, its first row's top-left corner at `at`, in
// pixels of the unturned frame. With `light`, also each row's extent less
// its Blank places: the area an opaque symbol paints in its background.
VANDREL_ENGINES_EXPORT void AppendBars(const TPdf417Symbol& symbol, TPoint at, int32_t barX, int32_t rowHeight,
                                       std::vector<TRect>& bars, std::vector<TRect>* light = nullptr);

} // namespace Vandrel
