#include "reader/Recognition.h"

#include "pdf417/ClusterTables.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace Vandrel {
namespace {

constexpr size_t StartModules = 17;
constexpr size_t StartBarModules = 8;
// The stop pattern without its closing one-module bar, which a picture that
// ends at the symbol's edge runs into the end of the row.
constexpr std::array<size_t, 8> StopElements = {7, 1, 1, 3, 1, 1, 1, 2};

bool IsReadable(const TPixelView& p) {
    const bool knownPixel = p.BytesPerPixel == 1 || p.BytesPerPixel == 3 || p.BytesPerPixel == 4;
    return p.Pixels && p.Width > 0 && p.Height > 0 && knownPixel &&
           p.Stride >= static_cast<ptrdiff_t>(p.Width) * p.BytesPerPixel;
}

// Row `y` as 1 per dark pixel. The pixel format is settled once per row, so
// the loops below stay free of calls and branches on it.
void DarkRow(const TPixelView& p, int32_t y, std::vector<uint8_t>& row) {
    row.resize(static_cast<size_t>(p.Width));
    const uint8_t* line = p.Pixels + y * p.Stride;
    if (p.BytesPerPixel == 1) {
        for (size_t x = 0; x < row.size(); ++x)
            row[x] = line[x] <= DarkLevel;
        return;
    }
    for (size_t x = 0; x < row.size(); ++x, line += p.BytesPerPixel)
        row[x] = std::max({line[0], line[1], line[2]}) <= DarkLevel;
}

// Whether the row could hold the start pattern's first bar: 8 dark pixels in a
// row, the bar at one pixel a module.
bool HasStartBar(std::span<const uint8_t> row) {
    size_t run = 0;
    for (uint8_t dark : row)
        if ((run = dark ? run + 1 : 0) == StartBarModules)
            return true;
    return false;
}

size_t RunLength(std::span<const uint8_t> row, size_t from) {
    size_t x = from;
    while (x < row.size() && (row[x] != 0) == (row[from] != 0))
        ++x;
    return x - from;
}

// The widths in modules of the runs of `row`, each rounded up; the end of the
// row closes the last run.
std::vector<size_t> Elements(std::span<const uint8_t> row, size_t module) {
    std::vector<size_t> elements;
    for (size_t x = 0; x < row.size();) {
        const size_t run = RunLength(row, x);
        elements.push_back((run + module - 1) / module);
        x += run;
    }
    return elements;
}

TCodeWidths CodeWidths(const size_t* element) {
    TCodeWidths widths;
    for (size_t i = 0; i < widths.size(); ++i)
        widths[i] = static_cast<char>('0' + std::min<size_t>(element[i], 9));
    return widths;
}

// Groups the elements after the start pattern into codewords up to the stop
// pattern, or up to a truncated row's closing bar with only light after it.
std::optional<TRowCodewords> SplitRow(const std::vector<size_t>& elements) {
    TRowCodewords row;
    for (size_t i = 0;; i += 8) {
        const size_t left = elements.size() - i;
        if ((left == 1 || left == 2) && elements[i] == 1) {
            row.Truncated = true;
            break;
        }
        if (left < 8)
            return std::nullopt;
        if (std::equal(StopElements.begin(), StopElements.end(), elements.begin() + i))
            break;
        row.Codewords.push_back(CodeWidths(&elements[i]));
    }
    if (row.DataColumns() < 1)
        return std::nullopt;
    return row;
}

void Report(const TMessageFn& message, const std::string& text) {
    if (message)
        message(text);
}

} // namespace

int32_t TRowCodewords::DataColumns() const {
    return static_cast<int32_t>(Codewords.size()) - (Truncated ? 1 : 2);
}

std::optional<TRowCodewords> GetPDFNumCode(std::span<const uint8_t> darkRow) {
    const auto firstDark = std::find_if(darkRow.begin(), darkRow.end(), [](uint8_t dark) { return dark != 0; });
    if (firstDark == darkRow.end())
        return std::nullopt;
    const size_t first = static_cast<size_t>(firstDark - darkRow.begin());
    const size_t bar = RunLength(darkRow, first);
    const size_t module = (bar + 1) / StartBarModules;
    if (module == 0 || first + bar == darkRow.size())
        return std::nullopt;
    // The first codeword, the left row indicator, starts with a bar.
    const size_t codewords = first + StartModules * module;
    if (codewords >= darkRow.size() || darkRow[codewords] == 0)
        return std::nullopt;
    return SplitRow(Elements(darkRow.subspan(codewords), module));
}

std::optional<TSymbolRead> GetCode(const TPixelView& picture) {
    TSymbolRead symbol;
    if (!IsReadable(picture))
        return symbol;
    std::vector<uint8_t> row;
    std::vector<uint8_t> previous;
    for (int32_t y = 0; y < picture.Height; ++y) {
        DarkRow(picture, y, row);
        if (row == previous)
            continue;
        std::swap(row, previous);
        if (!HasStartBar(previous))
            continue;
        const std::optional<TRowCodewords> converted = GetPDFNumCode(previous);
        if (!converted)
            return std::nullopt;
        const int32_t columns = converted->DataColumns();
        if (symbol.Rows > 0 && (columns != symbol.DataColumns || converted->Truncated != symbol.Truncated))
            return std::nullopt;
        symbol.DataColumns = columns;
        symbol.Truncated = converted->Truncated;
        // The row indicators stay behind: only the data region is decoded.
        const auto data = converted->Codewords.begin() + 1;
        symbol.Codewords.insert(symbol.Codewords.end(), data, data + columns);
        ++symbol.Rows;
    }
    return symbol;
}

std::optional<TSymbolRead> GetBSStream(const TPixelView& picture, const TMessageFn& message) {
    std::optional<TSymbolRead> symbol = GetCode(picture);
    if (symbol && symbol->Rows == 0) {
        Report(message, "No any Information!");
        return std::nullopt;
    }
    return symbol;
}

int32_t FindCodeWord(const TCodeWidths& widths, int32_t row) {
    return FindCodeWord(row, std::string_view(widths.data(), widths.size()));
}

std::optional<std::vector<int16_t>> CreateCodeWord(const TSymbolRead& symbol, const TMessageFn& message) {
    if (symbol.Codewords.empty() || symbol.DataColumns < 1)
        return std::nullopt;
    const int32_t length = FindCodeWord(symbol.Codewords[0], 0);
    if (length < 1 || static_cast<size_t>(length) > symbol.Codewords.size())
        return std::nullopt;
    std::vector<int16_t> values;
    values.reserve(static_cast<size_t>(length - 1));
    for (int32_t i = 1; i < length; ++i) {
        const int32_t value = FindCodeWord(symbol.Codewords[static_cast<size_t>(i)], i / symbol.DataColumns);
        if (value < 0) {
            Report(message, std::to_string(i) + " " + std::to_string(symbol.DataColumns));
            return std::nullopt;
        }
        values.push_back(static_cast<int16_t>(value));
    }
    return values;
}

} // namespace Vandrel
