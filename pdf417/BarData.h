#pragma once
// The PDF417 codeword list: a doubly linked list of codewords (0-928) that the
// compaction routines fill at the tail, the encoding pipeline edits by position
// (length descriptor, Macro PDF417 control blocks), the error correction reads
// and the drawing walks row by row. Positions are 1-based, the root being 1.
#include "core/Export.h"
#include "core/MemoryStream.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace Vandrel {

struct TBarData {
    int16_t Value = 0;
    TBarData* Prior = nullptr;
    TBarData* Next = nullptr;
};

// Owns its nodes, so that no node can outlive the list or sit outside it. An
// empty node pointer stands for "one past the last codeword" throughout, which
// is also what FindNode yields for the position after the end.
//
// The nodes live in a few blocks the list keeps, not one allocation each: a
// symbol's thousand codewords cost a handful of allocations the first time and
// none when the list is filled again. Nodes never move, so every pointer
// handed out stays valid until DelBarData or RootBarData.
class VANDREL_ENGINES_EXPORT TPdf417Codewords {
public:
    TPdf417Codewords() = default;
    TPdf417Codewords(const TPdf417Codewords&) = delete;
    TPdf417Codewords& operator=(const TPdf417Codewords&) = delete;

    TBarData* Root() const { return FRoot; }
    TBarData* Tail() const { return FTail; }
    // Number of codewords in the list.
    int32_t CodeWordCount() const { return FCount; }

    // Starts the list afresh with one codeword, its new root.
    TBarData* RootBarData(int16_t value);
    // New node after `node`, or at the tail when `node` is empty.
    TBarData* AppendBarData(TBarData* node, int16_t value);
    // New node in front of `node` (it becomes the root in front of the root),
    // or at the tail when `node` is empty.
    TBarData* InsertBarData(TBarData* node, int16_t value);
    // Empties the list; its nodes are reused by the next codewords.
    void DelBarData();

    // The node at `position`, counting `from` as 1: empty one past the end,
    // Exception "<position> is too big!" further on, and "<position> is too
    // small!" below 1. Counting from a node the caller already holds keeps
    // successive lookups along the list linear.
    TBarData* FindNode(TBarData* from, int32_t position) const;
    TBarData* FindNode(int32_t position) const { return FindNode(FRoot, position); }

    // Every codeword in list order, side by side, for code that reads the
    // list as a whole (drawing, error correction). Gathered once after the
    // list's operations last changed it; a Value written through a node
    // pointer directly is not seen here.
    std::span<const int16_t> Values() const;

private:
    TBarData* NewNode();
    TBarData* Link(TBarData* prior, TBarData* next, int16_t value);

    TBarData* FRoot = nullptr;
    TBarData* FTail = nullptr;
    int32_t FCount = 0;

    // Node blocks, each twice the size of the one before up to a limit. The
    // blocks before FBlock are taken whole, FBlock's first FInBlock nodes.
    std::vector<std::unique_ptr<TBarData[]>> FBlocks;
    size_t FBlock = 0;
    size_t FInBlock = 0;

    mutable std::vector<int16_t> FValues;
    mutable bool FValuesCurrent = true;
};

// Rewrites `stream` as the bytes of `s` followed by its former contents and
// leaves the position at the end (how the payload marker goes in front).
VANDREL_ENGINES_EXPORT void StreamAppendStr(TMemoryStream& stream, std::string_view s);

} // namespace Vandrel
