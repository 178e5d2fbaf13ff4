#pragma once
// PDF417 codeword patterns. Each row of a symbol draws its codewords in one of
// three clusters (0, 3, 6 for rows 0, 1, 2 mod 3), so that a reader can tell
// neighbouring rows apart; a pattern is eight element widths in modules — bar,
// space, bar, space, bar, space, bar, space — 17 modules in all. The encoder
// draws with these tables and the reader recognises codewords with them.
#include "core/Export.h"

#include <cstdint>
#include <string_view>

namespace Vandrel {

inline constexpr int32_t CodeWordValues = 929;

// Indexed by codeword value: eight digits 1-6 and a terminating NUL.
extern const char CodeTable1[CodeWordValues][9]; // cluster 0
extern const char CodeTable3[CodeWordValues][9]; // cluster 3
extern const char CodeTable6[CodeWordValues][9]; // cluster 6

// The pattern of `value` in the cluster of `row` (row mod 3 = 0, 1, 2 selects
// CodeTable1, CodeTable3, CodeTable6); empty for a value outside 0-928 or a
// negative row.
VANDREL_ENGINES_EXPORT std::string_view GetBSValue(int row, int value);

// The codeword whose pattern in the cluster of `row` is `widths`, or -1. A
// single table lookup, however the widths were read.
int FindCodeWord(int row, std::string_view widths);

} // namespace Vandrel
