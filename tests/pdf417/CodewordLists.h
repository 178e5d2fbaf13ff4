#pragma once
// Codeword lists to and from plain vectors, for tables of expected codewords.
#include "pdf417/BarData.h"

#include <vector>

namespace VandrelTest {

inline std::vector<int> Values(const Vandrel::TPdf417Codewords& list)
{
    std::vector<int> values;
    for (const Vandrel::TBarData* node = list.Root(); node; node = node->Next)
        values.push_back(node->Value);
    return values;
}

inline void Fill(Vandrel::TPdf417Codewords& list, const std::vector<int>& values)
{
    for (int v : values)
        list.AppendBarData(list.Tail(), static_cast<int16_t>(v));
}

} // namespace VandrelTest
