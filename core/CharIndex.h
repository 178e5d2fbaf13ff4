#pragma once
// Constant-time "where is this character in a code table", for the linear
// encoders' tables. Plain C++, no GUI.
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace Vandrel {

// One slot per byte value holding the first record whose column has that
// character, or -1. Built at compile time from a table, so it agrees with a
// front-to-back search of the same table.
struct TCharIndex {
    std::array<int16_t, 256> Slot;
    constexpr int operator()(char c) const { return Slot[static_cast<unsigned char>(c)]; }
};

template <typename Table, typename Column>
constexpr TCharIndex MakeCharIndex(const Table& table, Column column)
{
    TCharIndex index{};
    index.Slot.fill(-1);
    // Walking backwards lets the first record win when a character repeats.
    for (std::size_t i = std::size(table); i-- > 0;)
        index.Slot[static_cast<unsigned char>(column(table[i]))] = static_cast<int16_t>(i);
    return index;
}

} // namespace Vandrel
