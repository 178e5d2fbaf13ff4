#include "reader/Locate.h"

#include "reader/Binarize.h"
#include "reader/Runs.h"

#include "pdf417/Symbol.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace Vandrel {
namespace {

// The steepest edge taken for a symbol's, 45 degrees off the scan lines:
// symbols turned further are found in the other direction's scan lines.
// Scan lines cross a slanted pattern in full only where the symbol is taller
// than the pattern is wide along them, so steep edges have few hits.
constexpr double MaxSlope = 1.0;

// A pattern edge found on one scan line.
struct THit {
    double S = 0;
    double P = 0;
    double Module = 0;
};

// Whether runs i ... match `pattern` (element widths in modules, bar first)
// at one module width taken from their total. Blur and thresholding widen
// bars and narrow spaces by a part of a module, so each element is allowed
// half a module and more on the wide ones.
bool Matches(const TRuns& runs, size_t i, std::string_view pattern, double& module)
{
    if (i + pattern.size() > runs.Count())
        return false;
    int32_t modules = 0;
    for (const char c : pattern)
        modules += c - '0';
    module = static_cast<double>(runs.Edge[i + pattern.size()] - runs.Edge[i]) / modules;
    if (module < 0.8)
        return false;
    for (size_t e = 0; e < pattern.size(); ++e) {
        const double expected = pattern[e] - '0';
        const double width = (runs.Edge[i + e + 1] - runs.Edge[i + e]) / module;
        if (std::abs(width - expected) > 0.5 + 0.15 * expected)
            return false;
    }
    return true;
}

// The hits of one scan direction, per polarity: [0] dark bars on light,
// [1] light bars on dark.
struct TViewHits {
    std::vector<THit> Start[2], Stop[2];
};

// Where the grey level crosses halfway between light and dark near the run
// boundary q of scan line `s` (between places q - 1 and q), in scan
// coordinates: the edges of bars smoothed by scaling or blur lie between
// pixels, and their slope over a few dozen scan lines is lost when rounded to
// whole pixels. Halfway between the levels around the edge, not the block's
// threshold, which changes from block to block and would bend the edge.
double Crossing(const TGreyPicture& g, const TScanView& v, double s, int32_t q)
{
    std::array<int32_t, 4> level{}; // places q - 2 ... q + 1
    for (int32_t k = 0; k < 4; ++k) {
        const double place = q - 2 + k + 0.5;
        const long x = std::lround(v.OriginX + s * v.AcrossX + place * v.AlongX - 0.5);
        const long y = std::lround(v.OriginY + s * v.AcrossY + place * v.AlongY - 0.5);
        if (x < 0 || y < 0 || x >= g.Width || y >= g.Height)
            return q;
        level[k] = g.At(static_cast<int32_t>(x), static_cast<int32_t>(y));
    }
    const auto [low, high] = std::minmax_element(level.begin(), level.end());
    const double middle = (*low + *high) / 2.0;
    for (const int32_t k : {1, 0, 2}) { // the pair across q first
        const double a = level[k], b = level[k + 1];
        if (a != b && (a - middle) * (b - middle) <= 0)
            return q - 2 + k + 0.5 + (a - middle) / (a - b);
    }
    return q;
}

// The start and stop patterns of one scan line's runs; `edge(q)` refines the
// run boundary q.
template <typename Edge>
void FindPatterns(const TRuns& runs, double s, TViewHits& hits, const Edge& edge)
{
    const std::vector<int32_t>& e = runs.Edge;
    for (size_t i = 0; i + Pdf417StartPattern.size() <= runs.Count(); ++i) {
        // Both patterns open with a bar of 7 or 8 modules, whose elements 1,
        // 2, 4 and 5 behind it are one module each: a run not three times
        // those starts neither, and text and pictures are mostly such runs.
        const int32_t bar = e[i + 1] - e[i];
        const auto narrow = [&](size_t k) { return bar >= 3 * (e[i + k + 1] - e[i + k]); };
        if (!narrow(1) || !narrow(2) || !narrow(4) || !narrow(5))
            continue;
        const size_t inverted = (i % 2 == 0) == runs.FirstDark ? 0 : 1;
        double module = 0;
        if (Matches(runs, i, Pdf417StartPattern, module)) {
            // A start bar at the picture's border may have lost pixels to a
            // cut: the module comes from the pattern's other seven elements
            // (nine modules), and the edge lies eight modules before the bar ends.
            if (i == 0) {
                module = (e[8] - e[1]) / 9.0;
                hits.Start[inverted].push_back({s, edge(e[1]) - 8 * module, module});
            } else {
                hits.Start[inverted].push_back({s, edge(e[i]), module});
            }
        } else if (Matches(runs, i, Pdf417StopPattern, module))
            hits.Stop[inverted].push_back({s, edge(e[i + Pdf417StopPattern.size()]), module});
    }
}

bool SimilarModules(double a, double b)
{
    return a < 1.4 * b && b < 1.4 * a;
}

// Hits on consecutive scan lines (gaps of a few lines allowed for specks)
// near the same place with a similar module, each group fitted with a line.
std::vector<TEdgeLine> EdgeLines(const std::vector<THit>& hits, int32_t step)
{
    constexpr size_t MinHits = 3;
    const double gap = 4.0 * step; // scan lines a speck may hide an edge on
    std::vector<std::vector<THit>> groups;
    std::vector<size_t> open; // the groups a hit may still join: hits come scan line by scan line
    for (const THit& hit : hits) {
        std::erase_if(open, [&](size_t g) { return groups[g].back().S < hit.S - gap; });
        size_t best = groups.size();
        double bestDistance = 0;
        for (const size_t g : open) {
            const THit& last = groups[g].back();
            const double distance = std::abs(last.P - hit.P);
            if (last.S < hit.S && distance <= 2 * hit.Module + 2 && SimilarModules(last.Module, hit.Module) &&
                (best == groups.size() || distance < bestDistance)) {
                best = g;
                bestDistance = distance;
            }
        }
        if (best == groups.size()) {
            open.push_back(groups.size());
            groups.push_back({hit});
        } else {
            groups[best].push_back(hit);
        }
    }
    std::vector<TEdgeLine> lines;
    for (const auto& group : groups) {
        if (group.size() < MinHits)
            continue;
        const double n = static_cast<double>(group.size());
        double ms = 0, mp = 0, module = 0;
        for (const THit& h : group) {
            ms += h.S / n;
            mp += h.P / n;
            module += h.Module / n;
        }
        double ss = 0, sp = 0;
        for (const THit& h : group) {
            ss += (h.S - ms) * (h.S - ms);
            sp += (h.S - ms) * (h.P - mp);
        }
        TEdgeLine line;
        line.B = ss > 0 ? sp / ss : 0;
        if (std::abs(line.B) > MaxSlope)
            continue;
        line.A = mp - line.B * ms;
        line.First = group.front().S;
        line.Last = group.back().S;
        // Scan lines cross a slanted pattern at a slant: its modules are
        // wider along them than across the edge.
        line.Module = module / std::sqrt(1 + line.B * line.B);
        lines.push_back(line);
    }
    return lines;
}

// Each start edge with the nearest stop edge behind it that shares its scan
// lines and module, at least one data column between them; or alone.
void Pair(const TScanView& view, const TViewHits& hits, int32_t step, std::vector<TLocated>& located)
{
    for (const bool inverted : {false, true}) {
        const std::vector<TEdgeLine> stops = EdgeLines(hits.Stop[inverted], step);
        for (const TEdgeLine& start : EdgeLines(hits.Start[inverted], step)) {
            const double middle = (start.First + start.Last) / 2;
            const TEdgeLine* best = nullptr;
            for (const TEdgeLine& stop : stops) {
                const double width = stop.At(middle) - start.At(middle);
                // Where the row through the start edge's middle meets the
                // stop edge: on a turned wide symbol far from the start
                // edge's scan lines, but within the stop edge's.
                const double b = (start.B + stop.B) / 2;
                const double reach = width / (1 + b * stop.B);
                const double meets = middle - b * reach;
                if (meets < stop.First - 2 * step || meets > stop.Last + 2 * step ||
                    !SimilarModules(start.Module, stop.Module) ||
                    width < 0.8 * (5 * CodewordModules + 1) * start.Module)
                    continue;
                if (!best || width < best->At(middle) - start.At(middle))
                    best = &stop;
            }
            // A start edge alone may begin a truncated symbol, whose single
            // closing bar matches no pattern.
            located.push_back({view, start, best ? *best : TEdgeLine{}, inverted, best != nullptr});
        }
    }
}

// The hits of one axis read forwards and backwards.
struct TAxisHits {
    TViewHits Ahead, Back;

    bool Any() const
    {
        for (const TViewHits* hits : {&Ahead, &Back})
            for (size_t polarity = 0; polarity < 2; ++polarity)
                if (!hits->Start[polarity].empty() || !hits->Stop[polarity].empty())
                    return true;
        return false;
    }
};

// The scan lines of `lines` lines of `length` pixels each, every `step`-th,
// read forwards in `forward` and backwards in `backward`; `dark(i)` gives
// line i, 1 per dark pixel.
template <typename Dark>
TAxisHits ScanLines(const TGreyPicture& grey, int32_t length, int32_t lines, int32_t step, const TScanView& forward,
                    const TScanView& backward, const Dark& dark)
{
    TAxisHits hits;
    TRuns runs;
    for (int32_t i = 0; i < lines; i += step) {
        const double s = i + 0.5;
        runs.Measure({dark(i), static_cast<size_t>(length)});
        FindPatterns(runs, s, hits.Ahead, [&](int32_t q) { return Crossing(grey, forward, s, q); });
        runs.Reverse(length);
        FindPatterns(runs, s, hits.Back, [&](int32_t q) { return Crossing(grey, backward, s, q); });
    }
    return hits;
}

// Columns 0, step, 2·step ... of `grey`, 1 per dark pixel, one after the
// other into `out`, Height bytes each, a band of rows at a time: the band
// stays in the cache while its columns are gathered, and each column gets a
// good part of a cache line at once.
void GatherColumns(const TGreyPicture& grey, int32_t step, uint8_t* out)
{
    constexpr int32_t Band = 4 * BinarizeBlock;
    const size_t height = static_cast<size_t>(grey.Height);
    for (int32_t top = 0; top < grey.Height; top += Band) {
        const size_t rows = static_cast<size_t>(std::min(Band, grey.Height - top));
        std::array<const uint8_t*, Band> lines{}, thresholds{};
        for (size_t j = 0; j < rows; ++j) {
            lines[j] = grey.Line(top + static_cast<int32_t>(j));
            thresholds[j] = grey.ThresholdLine(top + static_cast<int32_t>(j));
        }
        uint8_t* column = out + top;
        for (int32_t x = 0; x < grey.Width; x += step, column += height)
            for (size_t j = 0; j < rows; ++j)
                column[j] = lines[j][x] < thresholds[j][x / BinarizeBlock];
    }
}

} // namespace

std::vector<TLocated> Locate(const TGreyPicture& grey, int32_t step)
{
    std::vector<TLocated> located;
    const int32_t width = grey.Width, height = grey.Height;
    if (width <= 0 || height <= 0 || step <= 0)
        return located;
    // Most pictures that reach here hold no symbol: each axis is scanned on
    // every other of its scan lines first, and on all of them only when a
    // pattern turns up there. `linesEvery(every)` readies the lines scanned
    // and gives the function that gives each.
    const auto scan = [&](const TScanView& forward, const TScanView& backward, int32_t length, int32_t lines,
                          const auto& linesEvery) {
        const auto hits = [&](int32_t every) {
            return ScanLines(grey, length, lines, every, forward, backward, linesEvery(every));
        };
        if (!hits(2 * step).Any())
            return;
        const TAxisHits all = hits(step);
        Pair(forward, all.Ahead, step, located);
        Pair(backward, all.Back, step, located);
    };
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    // Rows are made dark and light one at a time; the columns scanned are
    // gathered first, each into a line of its own (KeptPixels).
    std::vector<uint8_t> row(static_cast<size_t>(width));
    scan({0, 0, 1, 0, 0, 1}, {w, 0, -1, 0, 0, 1}, width, height, [&](int32_t) {
        return [&](int32_t y) {
            DarkRow(grey, y, row.data());
            return row.data();
        };
    });
    thread_local std::vector<uint8_t> gathered;
    std::vector<uint8_t>& columns = gathered;
    // Sized once for all the columns scanned: growing it clears the bytes added.
    columns.resize(static_cast<size_t>((width + step - 1) / step) * static_cast<size_t>(height));
    scan({0, 0, 0, 1, 1, 0}, {0, h, 0, -1, 1, 0}, height, width, [&](int32_t every) {
        GatherColumns(grey, every, columns.data());
        return [&columns, every, height](int32_t x) {
            return columns.data() + static_cast<size_t>(x / every) * static_cast<size_t>(height);
        };
    });
    if (columns.capacity() > KeptPixels)
        columns = {};
    return located;
}

} // namespace Vandrel
