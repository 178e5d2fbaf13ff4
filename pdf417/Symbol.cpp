#include "pdf417/Symbol.h"

#include "pdf417/ClusterTables.h"

#include <algorithm>

namespace Vandrel {

std::span<const TElementRun> TPdf417Symbol::Row(int32_t row) const
{
    const auto j = static_cast<size_t>(row);
    return std::span<const TElementRun>(Runs).subspan(RowStarts[j], RowStarts[j + 1] - RowStarts[j]);
}

void AppendPattern(std::vector<TElementRun>& runs, std::string_view pattern)
{
    if (pattern.empty()) {
        runs.push_back({TRunKind::Blank, uint8_t(CodewordModules)});
        return;
    }
    for (size_t i = 0; i < pattern.size(); ++i)
        runs.push_back({i % 2 == 0 ? TRunKind::Bar : TRunKind::Space, uint8_t(pattern[i] - '0')});
}

TPdf417Symbol Pdf417Symbol(std::span<const int16_t> codewords, TSymbolSize size, int32_t level, bool fullRows)
{
    TPdf417Symbol symbol;
    const int32_t rows = std::max(size.Rows, 0);
    const int32_t columns = std::max(size.Columns, 0);
    symbol.Size = size;
    symbol.RowModules = RowModules(columns, fullRows);
    // Eight runs a column, nine for the stop pattern.
    symbol.Runs.reserve(size_t(rows) * size_t(8 * (columns + NonDataColumns(fullRows)) + 1));
    symbol.RowStarts.reserve(size_t(rows) + 1);
    size_t next = 0;
    for (int32_t j = 0; j < rows; ++j) {
        symbol.RowStarts.push_back(symbol.Runs.size());
        AppendPattern(symbol.Runs, Pdf417StartPattern);
        AppendPattern(symbol.Runs, GetBSValue(j, GetFistNote(0, j, size, level)));
        for (int32_t c = 0; c < columns; ++c, ++next)
            AppendPattern(symbol.Runs, next < codewords.size() ? GetBSValue(j, codewords[next]) : std::string_view());
        if (fullRows) {
            AppendPattern(symbol.Runs, GetBSValue(j, GetFistNote(1, j, size, level)));
            AppendPattern(symbol.Runs, Pdf417StopPattern);
        } else {
            symbol.Runs.push_back({TRunKind::Bar, 1});
        }
    }
    symbol.RowStarts.push_back(symbol.Runs.size());
    return symbol;
}

std::vector<TPdf417Symbol> Pdf417Symbols(std::span<const int16_t> codewords, std::span<const TSymbolSize> sizes,
                                         int32_t level, bool fullRows)
{
    std::vector<TPdf417Symbol> symbols;
    symbols.reserve(sizes.size());
    for (const TSymbolSize size : sizes) {
        symbols.push_back(Pdf417Symbol(codewords, size, level, fullRows));
        const size_t count = size_t(std::max(size.Rows, 0)) * size_t(std::max(size.Columns, 0));
        codewords = codewords.subspan(std::min(count, codewords.size()));
    }
    return symbols;
}

TSequenceLayout LayOutSequence(std::span<const TSymbolSize> sizes, const TSequenceLook& look, int64_t along)
{
    TSequenceLayout layout;
    if (sizes.empty())
        return layout;
    const int64_t bx = look.BarX;
    const int64_t margin = SymbolMarginModules * bx;
    const auto height = [&](TSymbolSize size) { return size.Rows * int64_t{look.RowHeight}; };
    // A symbol with its margin on either side.
    const auto width = [&](TSymbolSize size) { return RowModules(size.Columns, look.FullRows) * bx + 2 * margin; };
    // From a symbol to the next on its line; a truncated symbol keeps the
    // pitch of a full one, so that a sequence lines up alike either way.
    const auto step = [&](TSymbolSize size) { return (RowModules(size.Columns, true) + SymbolGapModules) * bx; };
    const int64_t unit = width(sizes[0]);
    const int64_t perLine =
        std::clamp<int64_t>((along - unit) / std::max<int64_t>(1, step(sizes[0])) + 1, 1, int64_t(sizes.size()));
    const int64_t lineWidth = unit + (perLine - 1) * step(sizes[0]);
    const int64_t lineStart = look.Alignment == taLeft    ? 0
                              : look.Alignment == taRight ? along - lineWidth
                                                          : (along - lineWidth) / 2;
    layout.Left = layout.Right = lineStart;
    layout.Places.reserve(sizes.size());
    int64_t x = lineStart;
    int64_t y = 0;
    for (size_t k = 0; k < sizes.size(); ++k) {
        if (k > 0 && int64_t(k) % perLine != 0) {
            x += step(sizes[k - 1]);
        } else if (k > 0) {
            x = lineStart;
            y += height(sizes[k - 1]) + LineGapModules * bx;
        }
        layout.Places.push_back({x + margin, y + margin});
        layout.Right = std::max(layout.Right, x + width(sizes[k]));
        layout.Bottom = std::max(layout.Bottom, y + height(sizes[k]) + 2 * margin);
    }
    return layout;
}

void AppendBars(const TPdf417Symbol& symbol, TPoint at, int32_t barX, int32_t rowHeight, std::vector<TRect>& bars,
                std::vector<TRect>* light)
{
    for (int32_t j = 0; j + 1 < int32_t(symbol.RowStarts.size()); ++j) {
        const int32_t top = at.y + j * rowHeight;
        int32_t x = at.x;
        int32_t lightFrom = x; // where the row's light area since the last Blank began
        for (const TElementRun run : symbol.Row(j)) {
            const int32_t next = x + run.Modules * barX;
            if (run.Kind == TRunKind::Bar)
                bars.push_back({x, top, next, top + rowHeight});
            if (run.Kind == TRunKind::Blank) {
                if (light && lightFrom < x)
                    light->push_back({lightFrom, top, x, top + rowHeight});
                lightFrom = next;
            }
            x = next;
        }
        if (light && lightFrom < x)
            light->push_back({lightFrom, top, x, top + rowHeight});
    }
}

} // namespace Vandrel
