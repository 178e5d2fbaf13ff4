// PDF417 codeword patterns and their lookups. The patterns themselves are
// generated data (pdf417/ClusterPatterns.inc).
#include "pdf417/ClusterTables.h"

#include <array>
#include <cstddef>

namespace Vandrel {

#include "pdf417/ClusterPatterns.inc"

static_assert(std::string_view(CodeTable1[0]) == "31111136");
static_assert(std::string_view(CodeTable3[0]) == "51111125");
static_assert(std::string_view(CodeTable6[0]) == "21111155");

namespace {

constexpr const char (*Clusters[3])[9] = {CodeTable1, CodeTable3, CodeTable6};

// A pattern's 17 modules start with a bar and end with a space; the 15 between
// them tell all patterns apart, so they index one table for the three clusters.
constexpr int KeyBits = 15;
constexpr int ValueBits = 10;
constexpr uint16_t NoCodeWord = 0xFFFF;

// The 15 inner modules of `widths` as a number (bar = 1), or -1 unless
// `widths` is eight digits 1-6 summing to 17.
constexpr int PatternKey(std::string_view widths)
{
    if (widths.size() != 8)
        return -1;
    int modules = 0;
    int key = 0;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const int w = widths[i] - '0';
        modules += w;
        if (w < 1 || w > 6 || modules > 17)
            return -1;
        for (int m = 0; m < w; ++m)
            key = key << 1 | (i % 2 == 0 ? 1 : 0);
    }
    return modules == 17 ? (key >> 1) & ((1 << KeyBits) - 1) : -1;
}

// Cluster and value of every pattern, under its key. Building it at compile
// time also proves every entry well formed and every pattern unique.
struct TReverse {
    std::array<uint16_t, 1 << KeyBits> Slots{};
    bool Valid = true;
};

constexpr TReverse MakeReverse()
{
    TReverse reverse;
    reverse.Slots.fill(NoCodeWord);
    for (int cluster = 0; cluster < 3; ++cluster)
        for (int value = 0; value < CodeWordValues; ++value) {
            const int key = PatternKey(Clusters[cluster][value]);
            if (key < 0 || reverse.Slots[key] != NoCodeWord)
                reverse.Valid = false;
            else
                reverse.Slots[key] = static_cast<uint16_t>(cluster << ValueBits | value);
        }
    return reverse;
}

constexpr TReverse Reverse = MakeReverse();
static_assert(Reverse.Valid, "a malformed or repeated codeword pattern");

} // namespace

std::string_view GetBSValue(int row, int value)
{
    if (row < 0 || value < 0 || value >= CodeWordValues)
        return {};
    // Every pattern is eight widths: no need to measure it.
    return {Clusters[row % 3][value], 8};
}

int FindCodeWord(int row, std::string_view widths)
{
    const int key = PatternKey(widths);
    if (row < 0 || key < 0)
        return -1;
    const uint16_t slot = Reverse.Slots[key];
    if (slot == NoCodeWord || slot >> ValueBits != row % 3)
        return -1;
    return slot & ((1 << ValueBits) - 1);
}

} // namespace Vandrel
