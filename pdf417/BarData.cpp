#include "pdf417/BarData.h"

#include "core/Exceptions.h"

#include <algorithm>
#include <string>

namespace Vandrel {

namespace {

// A short list (a piece of a sequence being measured) takes one small block;
// a long one grows by doubling up to blocks of a few symbols' worth.
constexpr size_t FirstBlock = 64;
constexpr size_t MaxDoublings = 6;

size_t BlockSize(size_t block)
{
    return FirstBlock << std::min(block, MaxDoublings);
}

} // namespace

TBarData* TPdf417Codewords::NewNode()
{
    if (FBlock < FBlocks.size() && FInBlock == BlockSize(FBlock)) {
        ++FBlock;
        FInBlock = 0;
    }
    if (FBlock == FBlocks.size())
        FBlocks.push_back(std::make_unique<TBarData[]>(BlockSize(FBlock)));
    return &FBlocks[FBlock][FInBlock++];
}

// Every insertion goes through here, so root, tail and count cannot drift apart.
TBarData* TPdf417Codewords::Link(TBarData* prior, TBarData* next, int16_t value)
{
    TBarData* node = NewNode();
    *node = {value, prior, next};
    (prior ? prior->Next : FRoot) = node;
    (next ? next->Prior : FTail) = node;
    ++FCount;
    FValuesCurrent = false;
    return node;
}

TBarData* TPdf417Codewords::RootBarData(int16_t value)
{
    DelBarData();
    return Link(nullptr, nullptr, value);
}

TBarData* TPdf417Codewords::AppendBarData(TBarData* node, int16_t value)
{
    return node ? Link(node, node->Next, value) : Link(FTail, nullptr, value);
}

TBarData* TPdf417Codewords::InsertBarData(TBarData* node, int16_t value)
{
    return node ? Link(node->Prior, node, value) : Link(FTail, nullptr, value);
}

void TPdf417Codewords::DelBarData()
{
    FRoot = FTail = nullptr;
    FCount = 0;
    FBlock = FInBlock = 0;
    FValuesCurrent = false;
}

TBarData* TPdf417Codewords::FindNode(TBarData* from, int32_t position) const
{
    if (position < 1)
        throw Exception(std::to_string(position) + " is too small!");
    TBarData* node = from;
    for (int32_t i = 1; i < position; ++i) {
        if (!node)
            throw Exception(std::to_string(position) + " is too big!");
        node = node->Next;
    }
    return node;
}

std::span<const int16_t> TPdf417Codewords::Values() const
{
    if (!FValuesCurrent) {
        FValues.clear();
        FValues.reserve(static_cast<size_t>(FCount));
        for (const TBarData* node = FRoot; node; node = node->Next)
            FValues.push_back(node->Value);
        FValuesCurrent = true;
    }
    return FValues;
}

void StreamAppendStr(TMemoryStream& stream, std::string_view s)
{
    const std::vector<uint8_t> former = stream.Bytes();
    stream.Clear();
    stream.Write(s.data(), s.size());
    stream.Write(former.data(), former.size());
}

} // namespace Vandrel
