#pragma once
// Test-only pictures for the reader: PDF417 rows spelt as element widths
// (bar first, one digit per element, in modules) drawn into a grey-level
// buffer, and the rows of the symbols our encoder builds, drawn the way the
// PDF417 controls draw them.
#include "pdf417/ClusterTables.h"
#include "pdf417/Encoder.h"
#include "pdf417/Sizing.h"
#include "pdf417/Symbol.h"
#include "reader/Recognition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace VandrelTest {

using namespace Vandrel;

inline const std::string StartPattern{Pdf417StartPattern};
inline const std::string StopPattern{Pdf417StopPattern};

struct TLook {
    int32_t Module = 1;    // pixels
    int32_t RowHeight = 0; // pixels; 0 draws rows 3 modules high
    int32_t Margin = 2;    // modules of background around the symbol
    uint8_t Bar = 0;
    uint8_t Background = 255;
};

struct TPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t BytesPerPixel = 1;
    std::vector<uint8_t> Pixels;

    TPixelView View() const { return {Pixels.data(), Width, Height, Width * BytesPerPixel, BytesPerPixel}; }
};

inline int32_t Modules(const std::string& widths)
{
    int32_t modules = 0;
    for (const char w : widths)
        modules += w - '0';
    return modules;
}

inline TPicture Draw(const std::vector<std::string>& rows, const TLook& look)
{
    const int32_t rowHeight = look.RowHeight > 0 ? look.RowHeight : 3 * look.Module;
    int32_t modules = 0;
    for (const std::string& row : rows)
        modules = std::max(modules, Modules(row));
    TPicture p;
    p.Width = (modules + 2 * look.Margin) * look.Module;
    p.Height = static_cast<int32_t>(rows.size()) * rowHeight + 2 * look.Margin * look.Module;
    p.Pixels.assign(static_cast<size_t>(p.Width) * static_cast<size_t>(p.Height), look.Background);
    for (size_t j = 0; j < rows.size(); ++j) {
        const int32_t top = look.Margin * look.Module + static_cast<int32_t>(j) * rowHeight;
        int32_t x = look.Margin * look.Module;
        for (size_t i = 0; i < rows[j].size(); ++i) {
            const int32_t w = (rows[j][i] - '0') * look.Module;
            if (i % 2 == 0)
                for (int32_t y = top; y < top + rowHeight; ++y)
                    std::fill_n(p.Pixels.begin() + y * p.Width + x, w, look.Bar);
            x += w;
        }
    }
    return p;
}

// Bars in pixels, such as the engine's AppendBars gives, on a `width` by
// `height` picture of the look's background.
inline TPicture DrawBars(std::span<const TRect> bars, int32_t width, int32_t height, const TLook& look = {})
{
    TPicture p{width, height, 1,
               std::vector<uint8_t>(static_cast<size_t>(width) * static_cast<size_t>(height), look.Background)};
    for (const TRect& bar : bars)
        for (int32_t y = bar.Top; y < bar.Bottom; ++y)
            std::fill(p.Pixels.begin() + y * width + bar.Left, p.Pixels.begin() + y * width + bar.Right, look.Bar);
    return p;
}

// The same picture with 3 or 4 bytes a pixel: three colour components, the
// brightest of them the grey level, and an alpha byte the reader ignores.
inline TPicture Coloured(const TPicture& grey, int32_t bytesPerPixel)
{
    TPicture p{grey.Width, grey.Height, bytesPerPixel, {}};
    for (const uint8_t level : grey.Pixels) {
        const uint8_t pixel[] = {static_cast<uint8_t>(level / 3), level, static_cast<uint8_t>(level / 2), 0x7F};
        p.Pixels.insert(p.Pixels.end(), pixel, pixel + bytesPerPixel);
    }
    return p;
}

// A symbol's rows as widths, one digit per element. Complete grids only: a
// Blank codeword place has no digit.
inline std::vector<std::string> Widths(const TPdf417Symbol& symbol)
{
    std::vector<std::string> rows;
    for (int32_t j = 0; j < symbol.Size.Rows; ++j) {
        std::string& row = rows.emplace_back();
        for (const TElementRun run : symbol.Row(j))
            row += static_cast<char>('0' + run.Modules);
    }
    return rows;
}

// One symbol's rows, as the engine builds them. The indicators declare
// `declared` (the symbol's own size unless a test makes them lie): the left
// one follows the start pattern, the right one comes before the stop pattern.
inline std::vector<std::string> SymbolRows(std::span<const int16_t> codewords, TSymbolSize size, int32_t level,
                                           bool fullRows, std::optional<TSymbolSize> declared = std::nullopt)
{
    std::vector<std::string> rows = Widths(Pdf417Symbol(codewords, size, level, fullRows));
    if (declared)
        for (int32_t j = 0; j < size.Rows; ++j) {
            std::string& row = rows[static_cast<size_t>(j)];
            row.replace(Pdf417StartPattern.size(), 8, GetBSValue(j, GetFistNote(0, j, *declared, level)));
            if (fullRows)
                row.replace(row.size() - Pdf417StopPattern.size() - 8, 8,
                            GetBSValue(j, GetFistNote(1, j, *declared, level)));
        }
    return rows;
}

// The codewords of the encoder's last encoding, every symbol one after the other.
// `encoder` set up (text compaction) and run on `value`.
inline TPdf417Encoder& Encoded(TPdf417Encoder& encoder, TPDFType type, int32_t level, uint8_t columns,
                               const std::string& value)
{
    encoder.SetCodeMode(cMode);
    encoder.SetPDFType(type);
    encoder.SetErrorLevel(level);
    encoder.SetDataColumn(columns);
    encoder.SetBarValue(value);
    EXPECT_TRUE(encoder.StreamToBarData());
    return encoder;
}

inline std::vector<int16_t> EncodedCodewords(const TPdf417Encoder& encoder)
{
    const std::span<const int16_t> all = encoder.Codewords().Values();
    return {all.begin(), all.end()};
}

// The codewords of every symbol of the encoder's last encoding, one grid each.
inline std::vector<std::vector<int16_t>> EncodedGrids(const TPdf417Encoder& encoder)
{
    const std::vector<int16_t> all = EncodedCodewords(encoder);
    std::vector<std::vector<int16_t>> grids;
    size_t start = 0;
    for (const TSymbolSize& size : encoder.SymbolSizes()) {
        const size_t count = static_cast<size_t>(size.Rows * size.Columns);
        grids.emplace_back(all.begin() + static_cast<ptrdiff_t>(start),
                           all.begin() + static_cast<ptrdiff_t>(start + count));
        start += count;
    }
    return grids;
}

// Every symbol of the encoder's last encoding, as rows.
inline std::vector<std::vector<std::string>> EncodedSymbols(const TPdf417Encoder& encoder)
{
    std::vector<std::vector<std::string>> symbols;
    for (const TPdf417Symbol& symbol :
         Pdf417Symbols(EncodedCodewords(encoder), encoder.SymbolSizes(), encoder.ErrorLevel(), encoder.FullRows()))
        symbols.push_back(Widths(symbol));
    return symbols;
}

// Symbols one above the other, `gap` light rows between them.
inline std::vector<std::string> Stacked(const std::vector<std::vector<std::string>>& symbols, size_t gap)
{
    std::vector<std::string> rows;
    for (size_t i = 0; i < symbols.size(); ++i) {
        if (i > 0)
            rows.insert(rows.end(), gap, std::string());
        rows.insert(rows.end(), symbols[i].begin(), symbols[i].end());
    }
    return rows;
}

// Symbols side by side, tops aligned, `gap` modules of light between them
// (a '0' bar in the widths draws nothing). A row ends with a bar, so the gap
// is a space and the next symbol starts with a bar.
inline std::vector<std::string> SideBySide(const std::vector<std::vector<std::string>>& symbols, int32_t gap)
{
    size_t height = 0;
    for (const auto& symbol : symbols)
        height = std::max(height, symbol.size());
    std::vector<std::string> rows(height);
    int32_t width = 0; // modules drawn so far on the widest row
    for (const auto& symbol : symbols) {
        int32_t symbolWidth = 0;
        for (const std::string& row : symbol)
            symbolWidth = std::max(symbolWidth, Modules(row));
        for (size_t j = 0; j < symbol.size(); ++j) {
            std::string& row = rows[j];
            // Light up to where this symbol starts: spaces of at most 9 modules joined by empty bars.
            int32_t light = width - Modules(row) + (width > 0 ? gap : 0);
            if (row.empty() && light > 0)
                row = "0"; // an empty bar first: rows start with a bar
            while (light > 0) {
                const int32_t step = std::min(light, 9);
                row += static_cast<char>('0' + step);
                light -= step;
                if (light > 0)
                    row += '0';
            }
            row += symbol[j];
        }
        width += (width > 0 ? gap : 0) + symbolWidth;
    }
    return rows;
}

// Where data codeword `column` of a row stands in the row's widths: behind
// the start pattern and the left row indicator, eight elements a codeword.
inline size_t CodewordElements(int32_t column)
{
    return StartPattern.size() + 8 * static_cast<size_t>(1 + column);
}

// A misread: data codeword `column` of symbol row `row` drawn as `value`, a
// valid pattern of the row's cluster.
inline void ReplaceCodeword(std::vector<std::string>& rows, int32_t row, int32_t column, int32_t value)
{
    rows[static_cast<size_t>(row)].replace(CodewordElements(column), 8, GetBSValue(row, value));
}

// A codeword no pixel row can read: a module of one element gone to its
// neighbour (ink spread, or worn away), so the codeword keeps its eight
// elements and its 17 modules but has widths no pattern of the row's cluster
// has. False when every such change gives a pattern.
inline bool SmearCodeword(std::vector<std::string>& rows, int32_t row, int32_t column)
{
    std::string& widths = rows[static_cast<size_t>(row)];
    const size_t at = CodewordElements(column);
    for (size_t e = 0; e + 1 < 8; ++e)
        for (const int step : {1, -1}) {
            std::string smeared = widths.substr(at, 8);
            smeared[e] = static_cast<char>(smeared[e] + step);
            smeared[e + 1] = static_cast<char>(smeared[e + 1] - step);
            if (std::min(smeared[e], smeared[e + 1]) < '1' || std::max(smeared[e], smeared[e + 1]) > '9')
                continue;
            TCodeWidths code;
            std::copy(smeared.begin(), smeared.end(), code.begin());
            if (FindCodeWord(code, row) < 0) {
                widths.replace(at, 8, smeared);
                return true;
            }
        }
    return false;
}

} // namespace VandrelTest
