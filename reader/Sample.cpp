#include "reader/Sample.h"

#include "pdf417/Codewords.h"
#include "pdf417/Symbol.h"
#include "reader/Binarize.h"
#include "reader/Locate.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <span>
#include <utility>

namespace Vandrel {
namespace {

constexpr int32_t ScanStep = 2; // pixels between the scan lines that locate symbols
constexpr int32_t Margin = 4;   // light pixels around the sampled picture

// A picture the row reader reads: one byte a pixel.
struct TSampled {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Pixels;

    TPixelView View() const { return {Pixels.data(), Width, Height, Width, 1}; }
};

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

// The symbol row a sampled line shows, by its left row indicator: the cluster
// of its pattern gives the row mod 3, its value div 30 the row div 3. -1 when
// the line shows no symbol row.
int32_t SymbolRow(std::span<const uint8_t> dark)
{
    const std::optional<TRowCodewords> row = GetPDFNumCode(dark);
    if (!row)
        return -1;
    for (int32_t cluster = 0; cluster < 3; ++cluster) {
        const int32_t value = FindCodeWord(row->Codewords.front(), cluster);
        if (value >= 0)
            return 3 * (value / RowIndicatorGroup) + cluster;
    }
    return -1;
}

// Lines across the located symbol, one per pixel along its start edge (a few
// more at both ends), each from the start edge at right angles to it up to the
// stop edge, sampled at `modules` module centres. A line read whole must stay
// within one symbol row, which on a wide symbol takes a truer slope than the
// fitted edges give, so the lines are drawn at that slope and at a few tilted
// by Tilt pixels across the symbol each, and all of them vote. The lines are
// put in the order of the symbol rows they show: a symbol upside down comes
// out upright, and a line across two symbol rows, whose indicator may name a
// row elsewhere, joins that row's lines rather than split the symbol in two.
TSampled Sample(const TGreyPicture& grey, const TLocated& l, int32_t modules, std::span<const double> tilts)
{
    constexpr double Tilt = 1.5;
    const TScanView& v = l.View;
    const double pitch = Width(l) / modules;
    const double first = l.Start.First - 2 * ScanStep;
    // A line every other pixel: a symbol row is at least three modules high.
    constexpr int32_t LineStep = 2;
    const int32_t lines = (static_cast<int32_t>(l.Start.Last - l.Start.First) + 4 * ScanStep) / LineStep + 1;
    const size_t width = static_cast<size_t>(modules + 2 * Margin);
    std::vector<uint8_t> dark(tilts.size() * static_cast<size_t>(lines) * width, 0);
    std::vector<std::pair<int32_t, size_t>> order; // symbol row, line
    for (size_t k = 0; k < tilts.size(); ++k) {
        const double b = Across(l) + tilts[k] * Tilt / Width(l);
        const double norm = std::sqrt(1 + b * b);
        const double ds = -b / norm; // unit step across the symbol, in scan coordinates
        const double dp = 1 / norm;
        for (int32_t j = 0; j < lines; ++j) {
            const double s0 = first + j * LineStep;
            const double p0 = l.Start.At(s0);
            const size_t index = k * static_cast<size_t>(lines) + static_cast<size_t>(j);
            const std::span<uint8_t> line(dark.data() + index * width, width);
            // Whether the place `t` pixels along the line is dark.
            const auto darkAt = [&](double t) {
                const float s = static_cast<float>(s0 + t * ds);
                const float p = static_cast<float>(p0 + t * dp);
                // Pixel centres lie at half pixels in scan coordinates, at whole ones in the grey picture.
                return grey.DarkAt(v.OriginX + s * v.AcrossX + p * v.AlongX - 0.5f,
                                   v.OriginY + s * v.AcrossY + p * v.AlongY - 0.5f) != l.Inverted;
            };
            // Every codeword, the stop pattern and its closing bar begin with
            // a bar behind a space: its modules are sampled from that edge,
            // found near where the module pitch puts it, so that neither blur
            // nor a pitch a little off adds up along the row.
            double begin = 0; // the start edge itself
            for (int32_t i = 0; i < modules; ++i) {
                if (i > 0 && i % CodewordModules == 0) {
                    const double predicted = begin + CodewordModules * pitch;
                    begin = predicted;
                    bool before = darkAt(predicted - 3 * pitch / 4);
                    for (int32_t k = -2; k <= 2; ++k) {
                        const double t = predicted + k * pitch / 4;
                        const bool now = darkAt(t);
                        if (!before && now) {
                            begin = t - pitch / 8;
                            break;
                        }
                        before = now;
                    }
                }
                line[static_cast<size_t>(Margin + i)] = darkAt(begin + (i % CodewordModules + 0.5) * pitch);
            }
            if (const int32_t row = SymbolRow(line); row >= 0)
                order.emplace_back(row, index);
        }
    }
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    TSampled out;
    out.Width = static_cast<int32_t>(width);
    out.Height = static_cast<int32_t>(order.size());
    out.Pixels.reserve(order.size() * width);
    for (const auto& [row, j] : order)
        for (size_t i = 0; i < width; ++i)
            out.Pixels.push_back(dark[j * width + i] ? 0 : 255);
    return out;
}

// The whole symbols of a sampled picture.
std::vector<TSymbolRead> WholeSymbols(const TSampled& sampled)
{
    std::vector<TSymbolRead> whole;
    for (TSymbolRead& symbol : GetCode(sampled.View()))
        if (CreateCodeWord(symbol, {}))
            whole.push_back(std::move(symbol));
    return whole;
}

// The data columns a located symbol may have, the likeliest first: its width
// in modules is (columns + 4) · 17 + 1, measured with the patterns' module.
std::vector<int32_t> ColumnGuesses(const TLocated& l)
{
    const double module = (l.Start.Module + l.Stop.Module) / 2;
    const int32_t likeliest = static_cast<int32_t>(std::lround((Width(l) / module - 1) / CodewordModules)) - 4;
    std::vector<int32_t> guesses;
    for (const int32_t c : {likeliest, likeliest - 1, likeliest + 1})
        if (c >= 1 && c <= MaxColumns)
            guesses.push_back(c);
    return guesses;
}

// Most symbols read along the fitted slope alone; the tilted lines are drawn
// only for those that do not. Lines sampled at a wrong column count show no
// symbol row at all, so a count whose lines show rows is the symbol's, and
// the others are not tried.
std::vector<TSymbolRead> ReadSampled(const TGreyPicture& grey, const TLocated& l)
{
    constexpr double Fitted[] = {0};
    constexpr double Tilted[] = {0, -1, 1, -2, 2};
    for (const int32_t columns : ColumnGuesses(l)) {
        const int32_t modules = (columns + 4) * CodewordModules + 1;
        TSampled sampled = Sample(grey, l, modules, Fitted);
        std::vector<TSymbolRead> symbols = WholeSymbols(sampled);
        if (symbols.empty() && sampled.Height > 0)
            symbols = WholeSymbols(Sample(grey, l, modules, Tilted));
        if (symbols.empty() && sampled.Height == 0)
            continue;
        const TScanView& v = l.View;
        const double s = l.Start.First;
        const double p = l.Start.At(s);
        for (TSymbolRead& symbol : symbols) {
            symbol.Left = static_cast<int32_t>(v.OriginX + s * v.AcrossX + p * v.AlongX);
            symbol.Top = static_cast<int32_t>(v.OriginY + s * v.AcrossY + p * v.AlongY);
        }
        return symbols;
    }
    return {};
}

std::vector<TSymbolRead> ReadLocated(const TGreyPicture& grey)
{
    std::vector<TSymbolRead> symbols;
    for (const TLocated& l : Locate(grey, ScanStep))
        for (TSymbolRead& symbol : ReadSampled(grey, l)) {
            // A symbol found twice, by two edges of one pattern, counts once.
            const bool known = std::any_of(symbols.begin(), symbols.end(), [&](const TSymbolRead& s) {
                return s.Codewords == symbol.Codewords && std::abs(s.Left - symbol.Left) <= 8 &&
                       std::abs(s.Top - symbol.Top) <= 8;
            });
            if (!known)
                symbols.push_back(std::move(symbol));
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
