#include "reader/Sample.h"

#include "pdf417/Codewords.h"
#include "pdf417/Symbol.h"
#include "reader/Binarize.h"
#include "reader/Locate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

namespace Vandrel {
namespace {

constexpr int32_t ScanStep = 2; // pixels between the scan lines that locate symbols

// The slope of the symbol's edges, at right angles to its rows: both edges
// fitted together, as each alone is a little off.
double Across(const TLocated& l)
{
    return (l.Start.B + l.Stop.B) / 2;
}

// The symbol's width in pixels, from start edge to stop edge at right angles
// to them, where both fitted lines are surest: in the middle. Every row is
// this wide; an edge line's slope is less sure than its middle, so no line
// is measured on its own.
double Width(const TLocated& l)
{
    const double middle = (l.Start.First + l.Start.Last) / 2;
    const double b = Across(l);
    return std::sqrt(1 + b * b) * (l.Stop.At(middle) - l.Start.At(middle)) / (1 + b * l.Stop.B);
}

// The modules across a symbol of `columns` data columns: the start pattern,
// the row indicators (the left one alone when truncated), the data, and the
// stop pattern or a truncated symbol's closing bar.
int32_t SymbolModules(int32_t columns, bool truncated)
{
    return (columns + (truncated ? 2 : 4)) * CodewordModules + 1;
}

// The element widths of a codeword's 17 modules, one byte a module,
// non-zero for dark: a bar first and a space last, eight elements of at most
// six modules, as every codeword has. Widths no cluster holds ("00000000")
// for any other shape.
TCodeWidths ModuleWidths(std::span<const uint8_t> modules)
{
    constexpr int32_t Widest = 6;
    TCodeWidths none;
    none.fill('0');
    if (modules.empty() || !modules.front() || modules.back())
        return none;
    TCodeWidths widths = none;
    size_t element = 0;
    int32_t width = 1;
    for (size_t i = 1; i <= modules.size(); ++i) {
        if (i < modules.size() && (modules[i] != 0) == (modules[i - 1] != 0)) {
            ++width;
            continue;
        }
        if (element == widths.size() || width > Widest)
            return none;
        widths[element++] = static_cast<char>('0' + width);
        width = 1;
    }
    return element == widths.size() ? widths : none;
}

// Whether `modules` begin with `pattern` (element widths, bar first).
bool Shows(std::span<const uint8_t> modules, std::string_view pattern)
{
    size_t at = 0;
    for (size_t e = 0; e < pattern.size(); ++e)
        for (int32_t m = 0; m < pattern[e] - '0'; ++m, ++at)
            if (at >= modules.size() || (modules[at] != 0) != (e % 2 == 0))
                return false;
    return true;
}

// The codewords of a line sampled across a symbol of `columns` data columns,
// one byte a module: its row indicators and data columns, 17 modules each
// behind the start pattern. A line that shows neither the start nor the stop
// pattern (only the start one when truncated) crossed no symbol row whole,
// and gives no codewords.
TRowCodewords LineCodewords(std::span<const uint8_t> line, int32_t columns, bool truncated)
{
    TRowCodewords row;
    row.Truncated = truncated;
    const bool start = Shows(line.first(CodewordModules), Pdf417StartPattern);
    const size_t stop = static_cast<size_t>(columns + 3) * CodewordModules;
    if (!start && (truncated || !Shows(line.subspan(stop), Pdf417StopPattern)))
        return row;
    for (int32_t c = 0; c < columns + (truncated ? 1 : 2); ++c)
        row.Codewords.push_back(
            ModuleWidths(line.subspan(static_cast<size_t>(c + 1) * CodewordModules, CodewordModules)));
    return row;
}

// Lines across the located symbol, one every other pixel along its start
// edge (a few more at both ends), each from the start edge at right angles to it up to the
// stop edge, sampled module by module for a symbol of `columns` data columns.
// A line that stays within one symbol row reads it whole, which on a wide
// symbol takes a truer slope than the fitted edges give, so the lines are
// drawn at that slope and at a few tilted by Tilt pixels across the symbol
// each, and all of them vote. Each line's codewords are placed by its row
// indicators, so a symbol upside down comes out upright; where a line
// crosses into the next symbol row, those codewords are of another cluster
// and do not count.
std::vector<TRowCodewords> Sample(const TGreyPicture& grey, const TLocated& l, int32_t columns, bool truncated,
                                  std::span<const double> tilts)
{
    constexpr double Tilt = 1.5;
    const TScanView& v = l.View;
    const int32_t modules = SymbolModules(columns, truncated);
    const double pitch = Width(l) / modules;
    // The start edge reaches beyond its first and last hit: by a few scan
    // lines, and on a slanted symbol by the pattern's slant, as scan lines
    // near its ends leave the symbol before they cross the whole pattern.
    const double beyond = 2 * ScanStep + CodewordModules * l.Start.Module * std::abs(Across(l));
    const double first = l.Start.First - beyond;
    // A line every other pixel: a symbol row is at least three modules high.
    constexpr int32_t LineStep = 2;
    const int32_t lines = static_cast<int32_t>((l.Start.Last - l.Start.First + 2 * beyond) / LineStep) + 1;
    std::vector<uint8_t> line(static_cast<size_t>(modules));
    std::vector<TRowCodewords> rows;
    for (size_t k = 0; k < tilts.size(); ++k) {
        const double b = Across(l) + tilts[k] * Tilt / Width(l);
        const double norm = std::sqrt(1 + b * b);
        const double ds = -b / norm; // unit step across the symbol, in scan coordinates
        const double dp = 1 / norm;
        for (int32_t j = 0; j < lines; ++j) {
            const double s0 = first + j * LineStep;
            const double p0 = l.Start.At(s0);
            // Whether the place `t` pixels along the line is dark. Pixel
            // centres lie at half pixels in scan coordinates, at whole ones
            // in the grey picture.
            const float x0 = static_cast<float>(v.OriginX + s0 * v.AcrossX + p0 * v.AlongX - 0.5);
            const float y0 = static_cast<float>(v.OriginY + s0 * v.AcrossY + p0 * v.AlongY - 0.5);
            const float dx = static_cast<float>(ds * v.AcrossX + dp * v.AlongX);
            const float dy = static_cast<float>(ds * v.AcrossY + dp * v.AlongY);
            const auto darkAt = [&](double t) {
                const float along = static_cast<float>(t);
                return grey.DarkAt(x0 + along * dx, y0 + along * dy) != l.Inverted;
            };
            // The first bar of the start pattern, of every codeword and of
            // the stop pattern or closing bar begins behind a space: each is
            // sampled from that edge, found within `reach` of where the fitted
            // start edge or the module pitch puts it, so that neither an edge
            // line a little off nor blur nor a pitch a little off adds up.
            const auto edgeNear = [&](double predicted, double reach) {
                bool before = darkAt(predicted - reach - pitch / 4);
                for (double t = predicted - reach; t <= predicted + reach; t += pitch / 4) {
                    const bool now = darkAt(t);
                    if (!before && now)
                        return t - pitch / 8;
                    before = now;
                }
                return predicted;
            };
            double begin = edgeNear(0, pitch);
            for (int32_t i = 0; i < modules; ++i) {
                if (i > 0 && i % CodewordModules == 0)
                    begin = edgeNear(begin + CodewordModules * pitch, pitch / 2);
                line[static_cast<size_t>(i)] = darkAt(begin + (i % CodewordModules + 0.5) * pitch);
            }
            rows.push_back(LineCodewords(line, columns, truncated));
        }
    }
    return rows;
}

// The data columns a located symbol may have, the likeliest first: its width
// in modules (SymbolModules), measured with the patterns' module.
std::vector<int32_t> ColumnGuesses(const TLocated& l, bool truncated)
{
    const double module = (l.Start.Module + l.Stop.Module) / 2;
    const int32_t likeliest = static_cast<int32_t>(std::lround((Width(l) / module - 1) / CodewordModules)) -
                              (SymbolModules(0, truncated) - 1) / CodewordModules;
    std::vector<int32_t> guesses;
    for (const int32_t c : {likeliest, likeliest - 1, likeliest + 1})
        if (c >= 1 && c <= MaxColumns)
            guesses.push_back(c);
    return guesses;
}

constexpr double Fitted[] = {0};
constexpr double Tilted[] = {0, -1, 1, -2, 2};

// `l` with a stop edge `modules` of its start pattern's modules behind its
// start edge, parallel to it.
TLocated WithStop(TLocated l, int32_t modules)
{
    l.Stop = l.Start;
    l.Stop.A += modules * l.Start.Module * std::sqrt(1 + l.Start.B * l.Start.B);
    return l;
}

// A start edge found alone begins a truncated symbol, or one whose stop
// pattern is lost: it is as wide as the data columns the left row indicators
// of rows 2, 5, 8 ... declare, read along lines through the start pattern
// and that indicator. nullopt when no line reads one.
std::optional<TLocated> AloneWithStop(const TGreyPicture& grey, const TLocated& l)
{
    std::array<int32_t, MaxColumns> votes{};
    for (const TRowCodewords& row : Sample(grey, WithStop(l, SymbolModules(0, true)), 0, true, Fitted))
        if (!row.Codewords.empty())
            if (const int32_t value = FindCodeWord(row.Codewords.front(), 2); value >= 0)
                ++votes[static_cast<size_t>(value % RowIndicatorGroup)];
    const auto best = std::max_element(votes.begin(), votes.end());
    if (*best == 0)
        return std::nullopt;
    return WithStop(l, SymbolModules(static_cast<int32_t>(best - votes.begin()) + 1, true));
}

// The box around the ends of the symbol's start and stop edges: its place in
// the picture, as the row reader gives a symbol's.
void Place(const TLocated& l, TSymbolRead& symbol)
{
    const TScanView& v = l.View;
    double left = 0, top = 0, right = 0, bottom = 0;
    bool first = true;
    for (const TEdgeLine* edge : {&l.Start, &l.Stop})
        for (const double s : {l.Start.First, l.Start.Last}) {
            const double x = v.OriginX + s * v.AcrossX + edge->At(s) * v.AlongX;
            const double y = v.OriginY + s * v.AcrossY + edge->At(s) * v.AlongY;
            left = first ? x : std::min(left, x);
            right = first ? x : std::max(right, x);
            top = first ? y : std::min(top, y);
            bottom = first ? y : std::max(bottom, y);
            first = false;
        }
    symbol.Left = static_cast<int32_t>(left);
    symbol.Top = static_cast<int32_t>(top);
    symbol.Right = static_cast<int32_t>(right);
    symbol.Bottom = static_cast<int32_t>(bottom);
}

// Most symbols read along the fitted slope alone; the tilted lines are drawn
// only for those that do not. Lines sampled at a wrong column count show no
// symbol rows at all, so a count whose lines show rows is the symbol's, and
// the others are not tried.
std::optional<TSymbolRead> ReadSampled(const TGreyPicture& grey, const TLocated& located)
{
    const bool truncated = !located.HasStop;
    const std::optional<TLocated> l = truncated ? AloneWithStop(grey, located) : located;
    if (!l)
        return std::nullopt;
    for (const int32_t columns : ColumnGuesses(*l, truncated)) {
        std::optional<TSymbolRead> symbol = AssembleRows(Sample(grey, *l, columns, truncated, Fitted));
        if (!symbol)
            continue;
        if (!CreateCodeWord(*symbol, {})) {
            symbol = AssembleRows(Sample(grey, *l, columns, truncated, Tilted));
            if (!symbol || !CreateCodeWord(*symbol, {}))
                return std::nullopt;
        }
        Place(*l, *symbol);
        return symbol;
    }
    return std::nullopt;
}

std::vector<TSymbolRead> ReadLocated(const TGreyPicture& grey)
{
    std::vector<TSymbolRead> symbols;
    for (const TLocated& l : Locate(grey, ScanStep))
        if (std::optional<TSymbolRead> symbol = ReadSampled(grey, l)) {
            // A symbol found twice, by two edges of one pattern, counts once.
            const bool known = std::any_of(symbols.begin(), symbols.end(), [&](const TSymbolRead& s) {
                return s.Rows == symbol->Rows && s.DataColumns == symbol->DataColumns &&
                       std::abs(s.Left - symbol->Left) <= 8 && std::abs(s.Top - symbol->Top) <= 8;
            });
            if (!known)
                symbols.push_back(std::move(*symbol));
        }
    return symbols;
}

} // namespace

std::vector<TSymbolRead> ReadLocated(const TPixelView& picture)
{
    thread_local TGreyPicture grey;
    MakeGrey(picture, grey);
    if (grey.Grey.empty())
        return {};
    std::vector<TSymbolRead> symbols = ReadLocated(grey);
    if (grey.Grey.capacity() > KeptPixels)
        grey = {};
    return symbols;
}

} // namespace Vandrel
