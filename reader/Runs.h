#pragma once
// A line of pixels as runs of equal ones, for the row reader and the locator.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace Vandrel {

// Run i covers [Edge[i], Edge[i + 1]); the runs alternate from the colour of
// the first. A line holds one byte a pixel, non-zero for dark.
struct TRuns {
    std::vector<int32_t> Edge;
    bool FirstDark = false;

    // Eight pixels are compared with their left neighbours at a time: most of
    // a line is long runs, and each edge costs a few instructions.
    void Measure(std::span<const uint8_t> line)
    {
        Edge.clear();
        const size_t size = line.size();
        FirstDark = size > 0 && line[0] != 0;
        if (size > 0)
            Edge.push_back(0);
        size_t x = 1;
        for (; x + 8 <= size; x += 8) {
            uint64_t edges = Dark(line.data() + x) ^ Dark(line.data() + x - 1);
            for (; edges != 0; edges &= edges - 1) // one set bit a changed byte
                Edge.push_back(static_cast<int32_t>(x + static_cast<size_t>(std::countr_zero(edges)) / 8));
        }
        for (; x < size; ++x)
            if ((line[x] != 0) != (line[x - 1] != 0))
                Edge.push_back(static_cast<int32_t>(x));
        Edge.push_back(static_cast<int32_t>(size));
    }
    // The same runs read from the other end of a line of `length` pixels.
    void Reverse(int32_t length)
    {
        FirstDark = (Edge.size() % 2 == 0) == FirstDark; // the colour of the last run
        std::reverse(Edge.begin(), Edge.end());
        for (int32_t& e : Edge)
            e = length - e;
    }
    size_t Count() const { return Edge.size() - 1; }
    int32_t Length(size_t i) const { return Edge[i + 1] - Edge[i]; }
    // Run i in whole modules, rounded up.
    int32_t Modules(size_t i, int32_t module) const { return (Length(i) + module - 1) / module; }

private:
    // Bit 0 of each of the eight bytes at `p`: whether that byte is non-zero.
    static uint64_t Dark(const uint8_t* p)
    {
        constexpr uint64_t Low7 = 0x7f7f7f7f7f7f7f7fULL;
        uint64_t v;
        std::memcpy(&v, p, 8);
        return ((((v & Low7) + Low7) | v) >> 7) & 0x0101010101010101ULL;
    }
};

} // namespace Vandrel
