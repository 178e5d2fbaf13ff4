#include "pdf417/Sizing.h"

#include "core/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace Vandrel {

namespace {

[[noreturn]] void RecalcuError()
{
    throw Exception("recalcu is error!");
}

int32_t CeilDiv(int32_t n, int32_t d)
{
    return n / d + (n % d > 0 ? 1 : 0);
}

// Every compaction spends more than one codeword per three bytes (numeric
// packs 44 digits into 15 after its latch), so a longer piece never fits.
constexpr size_t MaxBytesPerCodeword = 3;

// The piece's codewords when they fit `room`. A piece too long to fit is not
// even compacted, which keeps cutting a long value linear.
std::optional<int32_t> LengthWithin(std::string_view piece, int32_t room, const TCompactedLength& length)
{
    if (room < 0 || piece.size() > MaxBytesPerCodeword * static_cast<size_t>(room))
        return std::nullopt;
    const int32_t n = length(piece);
    return n <= room ? std::optional<int32_t>(n) : std::nullopt;
}

// The longest proper prefix of `rest` whose codewords fit `room`, by
// bisection. Automatic compaction can need fewer codewords for a longer
// piece; there the prefix found fits but may not be the longest.
size_t LongestPrefix(std::string_view rest, int32_t room, const TCompactedLength& length)
{
    if (room <= 0)
        return 0;
    size_t fits = 0;
    size_t fails = std::min(rest.size(), MaxBytesPerCodeword * static_cast<size_t>(room) + 1);
    while (fails - fits > 1) {
        const size_t middle = fits + (fails - fits) / 2;
        (length(rest.substr(0, middle)) <= room ? fits : fails) = middle;
    }
    return fits;
}

// The row count nearest `rows` (the fewer of two as near) whose grid for
// `codewords` has at most MaxColumns columns and MaxSymbolCodewords places:
// the area's proportions as far as a symbol allows. A flat area gets more
// rows rather than columns a reader does not expect. `rows` itself when none
// fits, which leaves the refusal to the caller.
int32_t NearestFittingRows(int32_t codewords, int32_t rows)
{
    const auto fits = [codewords](int32_t r) {
        const int32_t columns = CeilDiv(codewords, r);
        return columns <= MaxColumns && int64_t{r} * columns <= MaxSymbolCodewords;
    };
    int32_t nearest = rows;
    for (int32_t r = MinRows; r <= MaxRows; ++r)
        if (fits(r) && (!fits(nearest) || std::abs(r - rows) < std::abs(nearest - rows)))
            nearest = r;
    return nearest;
}

} // namespace

TSymbolSize AspectSearch(int32_t codewords, const TSizingArea& area, int32_t nonData)
{
    if (area.Width <= 0 || area.Height <= 0 || !(area.Aspect > 0))
        RecalcuError();
    // Height over Aspect, rounded like any pixel count.
    const double scaled = area.Height / static_cast<double>(area.Aspect);
    if (!(scaled <= std::numeric_limits<int32_t>::max()))
        RecalcuError();
    const double height = std::nearbyint(scaled);
    // Add rows while the symbol stays flatter than the area.
    int32_t rows = MinRows;
    while (codewords > rows && rows < MaxRows &&
           height / area.Width >=
               rows / (nonData + static_cast<double>(static_cast<float>(codewords) / static_cast<float>(rows))))
        ++rows;
    if (rows > MinRows)
        --rows;
    return {rows, CeilDiv(codewords, rows)};
}

std::optional<TSymbolSize> SizeSymbol(int32_t codewords, int32_t dataColumn, int32_t dataRow, const TSizingArea& area,
                                      int32_t nonData, const TMessageFn& message)
{
    TSymbolSize size;
    if (dataColumn > 0 && dataRow > 0) {
        if (codewords > int64_t{dataColumn} * dataRow)
            return std::nullopt;
        size = {dataRow, dataColumn};
    } else if (dataColumn > 0) {
        size = {std::max(MinRows, CeilDiv(codewords, dataColumn)), dataColumn};
        if (size.Rows > MaxRows)
            RecalcuError();
    } else if (dataRow > 0) {
        size = {dataRow, std::max(1, CeilDiv(codewords, dataRow))};
    } else {
        size = AspectSearch(codewords, area, nonData);
        size.Rows = NearestFittingRows(codewords, size.Rows);
        size.Columns = std::max(1, CeilDiv(codewords, size.Rows));
    }
    // Padding would carry the grid past what one symbol can hold.
    if (int64_t{size.Rows} * size.Columns > MaxSymbolCodewords)
        RecalcuError();
    if (size.Columns > MaxColumns) {
        Report(message, "Num of CodeWord is too Big!");
        return std::nullopt;
    }
    return size;
}

TSymbolSize TSequenceFrame::Fit(int32_t codewords) const
{
    if (FixedColumns)
        return {std::max(MinRows, CeilDiv(codewords, Full.Columns)), Full.Columns};
    return {Full.Rows, codewords < Full.Rows ? 2 : std::max(1, CeilDiv(codewords, Full.Rows))};
}

TSequenceFrame SequenceFrame(int32_t codewords, int32_t dataColumn, int32_t dataRow, const TSizingArea& area,
                             int32_t nonData)
{
    TSequenceFrame frame;
    if (dataColumn > 0) {
        frame = {{std::min(MaxRows, MaxSymbolCodewords / dataColumn), dataColumn}, true};
    } else {
        const int32_t rows = dataRow > 0 ? dataRow : AspectSearch(codewords, area, nonData).Rows;
        frame = {{rows, std::min(MaxColumns, MaxSymbolCodewords / rows)}, false};
    }
    // Fit grows with the codewords and reaches Full at its capacity, so
    // checking the smallest symbol shows that every last symbol fits Full.
    const TSymbolSize least = frame.Fit(1);
    if (least.Rows > frame.Full.Rows || least.Columns > frame.Full.Columns)
        RecalcuError();
    return frame;
}

std::vector<TSequencePiece> SplitSequence(std::string_view value, const TSequenceFrame& frame, int32_t ecCount,
                                          const TCompactedLength& length)
{
    const int32_t capacity = frame.Full.Rows * frame.Full.Columns - ecCount;
    std::vector<TSequencePiece> pieces;
    for (size_t offset = 0;;) {
        const std::string_view rest = value.substr(offset);
        if (const auto n = LengthWithin(rest, capacity - MacroLastOverhead, length)) {
            pieces.push_back({rest.size(), frame.Fit(*n + MacroLastOverhead + ecCount)});
            return pieces;
        }
        // A proper prefix, so that the last symbol is left a piece to carry.
        const size_t taken = LongestPrefix(rest, capacity - MacroOverhead, length);
        if (taken == 0 || pieces.size() + 2 > MaxSegments)
            RecalcuError();
        pieces.push_back({taken, frame.Full});
        offset += taken;
    }
}

int32_t GetFistNote(int32_t side, int32_t row, TSymbolSize size, int32_t level)
{
    const int32_t rowCount = (size.Rows - 1) / 3;
    const int32_t levelAndRows = 3 * level + (size.Rows - 1) % 3;
    const int32_t columnCount = size.Columns - 1;
    // Every three rows tell rows, level and columns once on each side, in turn.
    const int32_t facts[3][2] = {{rowCount, columnCount}, {levelAndRows, rowCount}, {columnCount, levelAndRows}};
    return RowIndicatorGroup * (row / 3) + facts[row % 3][side == 0 ? 0 : 1];
}

} // namespace Vandrel
