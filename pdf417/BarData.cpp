#include "pdf417/BarData.h"

#include "core/Exceptions.h"

#include <string>
#include <vector>

namespace Vandrel {

// Every insertion goes through here, so root, tail and count cannot drift apart.
TBarData* TPdf417Codewords::Link(TBarData* prior, TBarData* next, int16_t value)
{
    auto* node = new TBarData{value, prior, next};
    (prior ? prior->Next : FRoot) = node;
    (next ? next->Prior : FTail) = node;
    ++FCount;
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
    while (FRoot) {
        TBarData* next = FRoot->Next;
        delete FRoot;
        FRoot = next;
    }
    FTail = nullptr;
    FCount = 0;
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

void StreamAppendStr(TMemoryStream& stream, std::string_view s)
{
    const std::vector<uint8_t> former = stream.Bytes();
    stream.Clear();
    stream.Write(s.data(), s.size());
    stream.Write(former.data(), former.size());
}

} // namespace Vandrel
