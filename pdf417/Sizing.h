#pragma once
// PDF417 symbol sizing: how many rows and columns a symbol gets for its
// codewords (data, length descriptor and error correction), how a Macro
// PDF417 sequence is cut into symbols, and the row indicators that tell a
// reader a symbol's rows, columns and error level.
//
// Conditions a user can correct go to `message` and the layout is used all
// the same; a grid that cannot be built raises Exception("recalcu is error!").
// Counts are int32_t throughout, so nothing here narrows or overflows on the
// way to that report.
#include "core/Export.h"
#include "core/Message.h"
#include "pdf417/Codewords.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace Vandrel {

struct TSymbolSize {
    int32_t Rows = 0;
    int32_t Columns = 0;
    bool operator==(const TSymbolSize&) const = default;
};

// The drawing area the symbol is sized for, already turned: at 90 and 270
// degrees Width is the control's height.
struct TSizingArea {
    int32_t Width = 0;
    int32_t Height = 0;
    float Aspect = 3.0f;
};

// Rows and columns for `codewords` that give the symbol the area's
// proportions, row height being Aspect modules. `nonData` counts the
// columns of start, stop and row indicators (4, or 2 when truncated). The
// proportions alone decide: the columns may exceed what a symbol allows.
VANDREL_ENGINES_EXPORT TSymbolSize AspectSearch(int32_t codewords, const TSizingArea& area, int32_t nonData);

// A Normal or Truncated symbol. dataColumn and dataRow fix the grid when
// positive; nullopt (no message) when both are fixed and too small, and after
// "Num of CodeWord is too Big!" when the rows fixed would need more than
// MaxColumns columns. Sized by the aspect search, the symbol takes the row
// count nearest the area's proportions whose grid has at most MaxColumns
// columns and MaxSymbolCodewords places.
VANDREL_ENGINES_EXPORT std::optional<TSymbolSize> SizeSymbol(int32_t codewords, int32_t dataColumn, int32_t dataRow,
                                                             const TSizingArea& area, int32_t nonData,
                                                             const TMessageFn& message);

// The shape of a Macro PDF417 sequence: every symbol but the last is Full; the
// last keeps Full's fixed side (columns when DataColumn is given, else rows)
// and sizes the other to its own codewords.
struct VANDREL_ENGINES_EXPORT TSequenceFrame {
    TSymbolSize Full;
    bool FixedColumns = true;

    // The smallest symbol of this frame for `codewords`, at least MinRows high.
    TSymbolSize Fit(int32_t codewords) const;
};

// `codewords` are those of the whole value in one symbol, descriptor, control
// block, terminator and error correction included; they shape the frame when
// neither dataColumn nor dataRow does.
VANDREL_ENGINES_EXPORT TSequenceFrame SequenceFrame(int32_t codewords, int32_t dataColumn, int32_t dataRow,
                                                    const TSizingArea& area, int32_t nonData);

// Codewords of a piece of the value compacted on its own, as a symbol of the
// sequence carries it.
using TCompactedLength = std::function<int32_t(std::string_view piece)>;

struct TSequencePiece {
    size_t Length = 0; // bytes of the value
    TSymbolSize Size;
};

// Cuts the value into consecutive pieces, one per symbol, each compacted on
// its own so that every symbol reads back by itself. Every symbol but the
// last is filled as far as its Full grid allows; the last is sized to the
// rest. Exception("recalcu is error!") when a symbol cannot carry a piece or
// the sequence would need more symbols than its segment index can count.
VANDREL_ENGINES_EXPORT std::vector<TSequencePiece> SplitSequence(std::string_view value, const TSequenceFrame& frame,
                                                                 int32_t ecCount, const TCompactedLength& length);

// Row indicator of `row` (0 ... Rows-1) on `side` (0 left, 1 right) of a
// symbol of `size` at error level `level`.
VANDREL_ENGINES_EXPORT int32_t GetFistNote(int32_t side, int32_t row, TSymbolSize size, int32_t level);

} // namespace Vandrel
