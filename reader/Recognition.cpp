#include "reader/Recognition.h"

#include "pdf417/ClusterTables.h"
#include "pdf417/Codewords.h"
#include "pdf417/ErrorCorrection.h"
#include "pdf417/Symbol.h"
#include "reader/Binarize.h"
#include "reader/Correction.h"
#include "reader/Runs.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace Vandrel {
namespace {

constexpr int32_t StartModules = CodewordModules;
constexpr int32_t StartBarModules = Pdf417StartPattern[0] - '0';
constexpr int32_t MinStartBar = 7;   // pixels: a start bar that lost one still gives a module
constexpr int32_t TruncationGap = 7; // modules of light no codeword has
// The stop pattern without its closing one-module bar, which a picture that
// ends at the symbol's edge runs into the end of the row.
constexpr std::array<int32_t, 8> StopElements = {7, 1, 1, 3, 1, 1, 1, 2};

bool IsReadable(const TPixelView& p)
{
    const bool knownPixel = p.BytesPerPixel == 1 || p.BytesPerPixel == 3 || p.BytesPerPixel == 4;
    return p.Pixels && p.Width > 0 && p.Height > 0 && knownPixel &&
           p.Stride >= static_cast<ptrdiff_t>(p.Width) * p.BytesPerPixel;
}

// Row `y` as 1 per dark pixel: its grey levels, then each against DarkLevel.
void DarkRow(const TPixelView& p, int32_t y, std::vector<uint8_t>& row)
{
    row.resize(static_cast<size_t>(p.Width));
    uint8_t* dark = row.data();
    GreyRow(p, y, dark);
    for (size_t x = 0; x < row.size(); ++x)
        dark[x] = dark[x] <= DarkLevel;
}

// Runs i ... i+7 as the start pattern at `module` pixels: the 8-module bar,
// six narrow elements, a 3-module space, 17 modules in all, each measure
// allowed a module's slack. No run of the data region passes: a codeword's
// widest bar gives at most a module that makes its neighbours too wide, and
// the stop pattern has a wide space among its narrow ones.
bool IsStartPattern(const TRuns& runs, size_t i, int32_t module)
{
    for (size_t m = 1; m <= 6; ++m)
        if (runs.Length(i + m) > 2 * module)
            return false;
    const int32_t last = runs.Length(i + 7);
    const int32_t total = runs.Edge[i + 8] - runs.Edge[i];
    return last >= 2 * module && last <= 4 * module && std::abs(total - StartModules * module) <= module;
}

// Whether a symbol row starts at run i: a start bar and the start pattern.
bool StartsSymbolRow(const TRuns& runs, size_t i)
{
    return i + 8 < runs.Count() && runs.Length(i) >= MinStartBar &&
           IsStartPattern(runs, i, (runs.Length(i) + 1) / StartBarModules);
}

TCodeWidths CodeWidths(const TRuns& runs, size_t from, int32_t module)
{
    TCodeWidths widths;
    for (size_t e = 0; e < widths.size(); ++e)
        widths[e] = static_cast<char>('0' + std::min(runs.Modules(from + e, module), 9));
    return widths;
}

// The codewords from run `s` on, eight runs each, up to the stop pattern or
// a truncated row's closing bar; `next` becomes the first run behind them.
std::optional<TRowCodewords> SplitRow(const TRuns& runs, size_t s, int32_t module, size_t& next)
{
    const size_t n = runs.Count();
    TRowCodewords row;
    for (;;) {
        if (s >= n)
            return std::nullopt;
        // A one-module bar, then the end of the row, wider light than any
        // codeword has, or the next symbol's start pattern.
        if (runs.Modules(s, module) == 1 &&
            (s + 2 >= n || runs.Modules(s + 1, module) >= TruncationGap || StartsSymbolRow(runs, s + 2))) {
            row.Truncated = true;
            next = s + 2;
            break;
        }
        if (s + 8 > n)
            return std::nullopt;
        bool stop = true;
        for (size_t e = 0; e < StopElements.size() && stop; ++e)
            stop = runs.Modules(s + e, module) == StopElements[e];
        if (stop) {
            next = s + 8;
            break;
        }
        row.Codewords.push_back(CodeWidths(runs, s, module));
        s += 8;
    }
    if (row.DataColumns() < 1)
        return std::nullopt;
    return row;
}

void ReadRuns(const TRuns& runs, std::vector<TRowCodewords>& rows)
{
    const size_t n = runs.Count();
    for (size_t i = runs.FirstDark ? 0 : 1; i < n;) {
        if (StartsSymbolRow(runs, i)) {
            const int32_t module = (runs.Length(i) + 1) / StartBarModules;
            size_t next = 0;
            if (std::optional<TRowCodewords> row = SplitRow(runs, i + 8, module, next)) {
                row->Left = runs.Edge[i];
                row->Module = module;
                rows.push_back(std::move(*row));
                i = next;
                continue;
            }
        }
        i += 2;
    }
}

// ---------------------------------------------------------------------------
// From symbol rows to symbols

// A symbol row read in one or more identical pixel rows.
struct TRead {
    TRowCodewords Row;
    int32_t SymbolRow = 0;   // from the left row indicator
    int32_t LeftValue = 0;   // the row indicators' values
    int32_t RightValue = -1; // -1 for a truncated row, or one no pattern
    int32_t Weight = 1;      // pixel rows
};

// The symbol rows found at one place, while their row numbers do not fall.
struct TCandidate {
    int32_t Left = 0;
    int32_t Module = 0;
    int32_t Top = 0;
    int32_t Bottom = 0;
    int32_t LastRow = -1;
    std::vector<TRead> Reads;
};

// The symbol row a row read belongs to, told by its left row indicator: the
// cluster its pattern is drawn in gives the row mod 3, the value div 30 the
// row div 3. nullopt when the indicator is no pattern, or the right one is a
// pattern of another cluster or row group; a right one that is no pattern
// at all tells nothing (RightValue -1), the rest of the row may.
std::optional<TRead> Place(TRowCodewords row)
{
    const TCodeWidths& left = row.Codewords.front();
    for (int32_t cluster = 0; cluster < 3; ++cluster) {
        const int32_t value = FindCodeWord(left, cluster);
        if (value < 0)
            continue;
        if (value >= RowIndicatorGroup * MaxRows / 3) // a row group beyond 90 rows
            return std::nullopt;
        TRead read;
        read.SymbolRow = 3 * (value / RowIndicatorGroup) + cluster;
        read.LeftValue = value;
        if (!row.Truncated) {
            const TCodeWidths& right = row.Codewords.back();
            read.RightValue = FindCodeWord(right, cluster);
            const bool elsewhere = read.RightValue < 0
                                       ? FindCodeWord(right, cluster + 1) >= 0 || FindCodeWord(right, cluster + 2) >= 0
                                       : read.RightValue / RowIndicatorGroup != value / RowIndicatorGroup;
            if (elsewhere)
                return std::nullopt;
        }
        read.Row = std::move(row);
        return read;
    }
    return std::nullopt;
}

// Weighted votes for a value 0-29 of the row indicators.
struct TBallot {
    std::array<int32_t, RowIndicatorGroup> Weight{};

    // The value with the most weight; -1 without votes or on a tie.
    int32_t Winner() const
    {
        const auto best = std::max_element(Weight.begin(), Weight.end());
        if (*best == 0 || std::count(Weight.begin(), Weight.end(), *best) > 1)
            return -1;
        return static_cast<int32_t>(best - Weight.begin());
    }
};

// What the row indicators declare: rows, data columns, error level.
struct TDeclared {
    int32_t Rows = 0;
    int32_t Columns = 0;
    int32_t ErrorLevel = -1;
    bool Truncated = false;
};

// By the indicators' formulas, with base 30·(row div 3): left of rows 0, 1, 2
// mod 3 hold div 3, 3L + (R-1) mod 3, C-1; right hold C-1, (R-1) div 3,
// 3L + (R-1) mod 3. Every pixel row votes with its weight.
std::optional<TDeclared> Declared(const TCandidate& c)
{
    TBallot rowGroups, levelAndRest, columns;
    TBallot* const left[3] = {&rowGroups, &levelAndRest, &columns};
    TBallot* const right[3] = {&columns, &rowGroups, &levelAndRest};
    int32_t truncated = 0;
    int32_t full = 0;
    for (const TRead& read : c.Reads) {
        const int32_t cluster = read.SymbolRow % 3;
        left[cluster]->Weight[static_cast<size_t>(read.LeftValue % RowIndicatorGroup)] += read.Weight;
        if (read.RightValue >= 0)
            right[cluster]->Weight[static_cast<size_t>(read.RightValue % RowIndicatorGroup)] += read.Weight;
        (read.Row.Truncated ? truncated : full) += read.Weight;
    }
    const int32_t groups = rowGroups.Winner();
    const int32_t levelRest = levelAndRest.Winner();
    const int32_t columnsLess1 = columns.Winner();
    if (groups < 0 || levelRest < 0 || columnsLess1 < 0 || levelRest / 3 > MaxErrorLevel || truncated == full)
        return std::nullopt;
    TDeclared declared;
    declared.Rows = 3 * groups + levelRest % 3 + 1;
    declared.Columns = columnsLess1 + 1;
    declared.ErrorLevel = levelRest / 3;
    declared.Truncated = truncated > full;
    return declared;
}

// The symbol of a candidate: its declared grid filled with the codewords
// most pixel rows of each symbol row read. A pixel row counts only when it
// agrees with the declaration: its form, its data columns, a row number
// within the rows, and every codeword a pattern of the row's cluster (others
// are not counted). nullopt for rows too few to be a symbol at all.
std::optional<TSymbolRead> Assemble(const TCandidate& c)
{
    TSymbolRead symbol;
    symbol.Left = c.Left;
    symbol.Top = c.Top;
    symbol.Bottom = c.Bottom;
    if (!c.Reads.empty()) { // the start pattern, the codewords, the stop pattern or closing bar
        const TRowCodewords& row = c.Reads.front().Row;
        const int32_t modules = CodewordModules * static_cast<int32_t>(row.Codewords.size() + 1) +
                                (row.Truncated ? 1 : CodewordModules + 1);
        symbol.Right = c.Left + c.Module * modules;
    }
    const std::optional<TDeclared> declared = Declared(c);
    if (!declared) {
        std::array<bool, MaxRows> seen{};
        for (const TRead& read : c.Reads)
            seen[static_cast<size_t>(read.SymbolRow)] = true;
        if (std::count(seen.begin(), seen.end(), true) < MinRows)
            return std::nullopt;
        return symbol; // a symbol, but not one to read
    }
    const int32_t rows = declared->Rows;
    const int32_t columns = declared->Columns;
    // Per codeword: the values read and their weights; nearly always one.
    std::vector<std::vector<std::pair<int16_t, int32_t>>> votes(static_cast<size_t>(rows * columns));
    for (const TRead& read : c.Reads) {
        if (read.Row.Truncated != declared->Truncated || read.Row.DataColumns() != columns || read.SymbolRow >= rows)
            continue;
        for (int32_t k = 0; k < columns; ++k) {
            const int32_t value = FindCodeWord(read.Row.Codewords[static_cast<size_t>(k + 1)], read.SymbolRow);
            if (value < 0)
                continue;
            auto& ballot = votes[static_cast<size_t>(read.SymbolRow * columns + k)];
            const auto known =
                std::find_if(ballot.begin(), ballot.end(), [&](const auto& vote) { return vote.first == value; });
            if (known == ballot.end())
                ballot.emplace_back(static_cast<int16_t>(value), read.Weight);
            else
                known->second += read.Weight;
        }
    }
    symbol.Rows = rows;
    symbol.DataColumns = columns;
    symbol.ErrorLevel = declared->ErrorLevel;
    symbol.Truncated = declared->Truncated;
    symbol.Codewords.reserve(votes.size());
    for (size_t i = 0; i < votes.size(); ++i) {
        TCodeWidths widths;
        widths.fill('0');
        const auto& ballot = votes[i];
        const auto best = std::max_element(ballot.begin(), ballot.end(),
                                           [](const auto& a, const auto& b) { return a.second < b.second; });
        if (best != ballot.end()) {
            const std::string_view pattern = GetBSValue(static_cast<int32_t>(i) / columns, best->first);
            std::copy(pattern.begin(), pattern.end(), widths.begin());
        }
        symbol.Codewords.push_back(widths);
    }
    return symbol;
}

} // namespace

void PictureOrder(std::vector<TSymbolRead>& symbols)
{
    std::stable_sort(symbols.begin(), symbols.end(),
                     [](const TSymbolRead& a, const TSymbolRead& b) { return a.Top < b.Top; });
    for (auto line = symbols.begin(); line != symbols.end();) {
        const int32_t bottom = line->Bottom;
        const auto end = std::find_if(line, symbols.end(), [&](const TSymbolRead& s) { return s.Top > bottom; });
        std::stable_sort(line, end, [](const TSymbolRead& a, const TSymbolRead& b) { return a.Left < b.Left; });
        line = end;
    }
}

int32_t TRowCodewords::DataColumns() const
{
    return static_cast<int32_t>(Codewords.size()) - (Truncated ? 1 : 2);
}

std::vector<TRowCodewords> ReadRow(std::span<const uint8_t> darkRow)
{
    TRuns runs;
    runs.Measure(darkRow);
    std::vector<TRowCodewords> rows;
    ReadRuns(runs, rows);
    return rows;
}

std::optional<TRowCodewords> GetPDFNumCode(std::span<const uint8_t> darkRow)
{
    std::vector<TRowCodewords> rows = ReadRow(darkRow);
    if (rows.empty())
        return std::nullopt;
    return std::move(rows.front());
}

std::vector<TSymbolRead> GetCode(const TPixelView& picture)
{
    std::vector<TSymbolRead> symbols;
    if (!IsReadable(picture))
        return symbols;
    std::vector<TCandidate> candidates;
    std::vector<size_t> open;                     // per place in the picture, the candidate rows go to
    std::vector<std::pair<size_t, size_t>> above; // candidate and read of the row above
    std::vector<uint8_t> row;
    std::vector<uint8_t> previous;
    std::vector<TRowCodewords> found;
    TRuns runs;
    const size_t lineBytes = static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.BytesPerPixel);
    for (int32_t y = 0; y < picture.Height; ++y) {
        // A pixel row equal to the one above is that row again: a symbol row
        // is several pixel rows high, and comparing costs less than converting.
        const uint8_t* line = picture.Pixels + y * picture.Stride;
        const bool again = y > 0 && std::memcmp(line, line - picture.Stride, lineBytes) == 0;
        if (!again)
            DarkRow(picture, y, row);
        if (y > 0 && (again || row == previous)) {
            for (const auto& [c, r] : above) {
                ++candidates[c].Reads[r].Weight;
                candidates[c].Bottom = y;
            }
            continue;
        }
        std::swap(row, previous);
        above.clear();
        found.clear();
        runs.Measure(previous);
        ReadRuns(runs, found);
        for (TRowCodewords& rowRead : found) {
            std::optional<TRead> read = Place(std::move(rowRead));
            if (!read)
                continue;
            const int32_t module = read->Row.Module;
            const int32_t left = read->Row.Left;
            const auto place = std::find_if(open.begin(), open.end(), [&](size_t c) {
                return candidates[c].Module == module && std::abs(candidates[c].Left - left) <= 2 * module;
            });
            const size_t slot = static_cast<size_t>(place - open.begin());
            // A row number lower than the last one starts the next symbol.
            if (slot == open.size() || read->SymbolRow < candidates[open[slot]].LastRow) {
                TCandidate next;
                next.Left = left;
                next.Module = module;
                next.Top = y;
                candidates.push_back(std::move(next));
                if (slot == open.size())
                    open.push_back(candidates.size() - 1);
                else
                    open[slot] = candidates.size() - 1;
            }
            const size_t c = open[slot];
            TCandidate& candidate = candidates[c];
            candidate.LastRow = read->SymbolRow;
            candidate.Bottom = y;
            candidate.Reads.push_back(std::move(*read));
            above.emplace_back(c, candidate.Reads.size() - 1);
        }
    }
    for (const TCandidate& candidate : candidates)
        if (std::optional<TSymbolRead> symbol = Assemble(candidate))
            symbols.push_back(std::move(*symbol));
    PictureOrder(symbols);
    return symbols;
}

std::optional<TSymbolRead> AssembleRows(std::vector<TRowCodewords> rows)
{
    TCandidate candidate;
    for (TRowCodewords& row : rows)
        if (!row.Codewords.empty())
            if (std::optional<TRead> read = Place(std::move(row)))
                candidate.Reads.push_back(std::move(*read));
    return Assemble(candidate);
}

std::vector<TSymbolRead> GetBSStream(const TPixelView& picture, const TMessageFn& message)
{
    std::vector<TSymbolRead> symbols = GetCode(picture);
    if (symbols.empty())
        Report(message, "No any Information!");
    return symbols;
}

int32_t FindCodeWord(const TCodeWidths& widths, int32_t row)
{
    return FindCodeWord(row, std::string_view(widths.data(), widths.size()));
}

bool ErrorCorrectionHolds(std::span<const int16_t> codewords, int32_t ecCount)
{
    if (ecCount < 1 || codewords.size() <= static_cast<size_t>(ecCount))
        return false;
    if (std::any_of(codewords.begin(), codewords.end(), [](int16_t c) { return c < 0 || c >= GaloisPrime; }))
        return false;
    // A level's count: its generator divides the codewords' polynomial, one
    // multiply-add pass instead of a division per codeword and syndrome.
    if (std::has_single_bit(uint32_t(ecCount)) && ecCount >= 2 && ecCount <= (2 << MaxErrorLevel))
        return IsSymbolCodeword(codewords, TErrorLevel(std::countr_zero(uint32_t(ecCount)) - 1));
    int32_t root = 1;
    for (int32_t i = 1; i <= ecCount; ++i) {
        root = root * GaloisRoot % GaloisPrime;
        int32_t syndrome = 0;
        for (const int16_t c : codewords)
            syndrome = (syndrome * root + c) % GaloisPrime;
        if (syndrome != 0)
            return false;
    }
    return true;
}

std::optional<std::vector<int16_t>> CreateCodeWord(const TSymbolRead& symbol, const TMessageFn& message,
                                                   int32_t* corrected)
{
    const int32_t rows = symbol.Rows;
    const int32_t columns = symbol.DataColumns;
    if (rows < 1 || columns < 1 || symbol.ErrorLevel < 0 || symbol.ErrorLevel > MaxErrorLevel ||
        symbol.Codewords.size() != static_cast<size_t>(rows * columns))
        return std::nullopt;
    // A codeword no pixel row read is an erasure: its place is known, only
    // its value is missing, which costs the correction half of an error.
    std::vector<int16_t> all;
    std::vector<int32_t> unknown;
    all.reserve(symbol.Codewords.size());
    for (size_t i = 0; i < symbol.Codewords.size(); ++i) {
        const int32_t value = FindCodeWord(symbol.Codewords[i], static_cast<int32_t>(i) / columns);
        if (value < 0)
            unknown.push_back(static_cast<int32_t>(i));
        all.push_back(static_cast<int16_t>(std::max(value, 0)));
    }
    const auto refuse = [&]() -> std::optional<std::vector<int16_t>> {
        if (!unknown.empty() && unknown.front() > 0)
            Report(message, std::to_string(unknown.front()) + " " + std::to_string(columns));
        return std::nullopt;
    };
    const int32_t ecCount = int32_t{2} << symbol.ErrorLevel;
    // A symbol row not read at all (covered, torn off, or another row in its
    // place) is erasures like any other codeword not read.
    const std::optional<int32_t> restored = CorrectCodewords(all, ecCount, unknown);
    if (!restored)
        return refuse();
    // Checked after the correction, which may have restored the descriptor.
    const int32_t length = all.front();
    if (length < 1 || length + ecCount != rows * columns)
        return refuse();
    if (corrected)
        *corrected = *restored;
    return std::vector<int16_t>(all.begin() + 1, all.begin() + length);
}

} // namespace Vandrel
