#pragma once
// Reed-Solomon correction of a PDF417 symbol read from a picture: codewords
// that were misread (errors, place unknown) and codewords that could not be
// read at all (erasures, place known) are restored from the symbol's
// error-correction codewords.
//
// Two of those codewords are never spent on correction but kept to check its
// result: a symbol damaged beyond what the rest can correct is then refused
// instead of being "corrected" into another valid symbol with other bytes.
#include "core/Export.h"

#include <cstdint>
#include <optional>
#include <span>

namespace Vandrel {

// Corrects `codewords` in place: a whole symbol (length descriptor, data,
// padding, then the `ecCount` error-correction codewords), the first of
// highest degree, a code word over GF(929) when its polynomial vanishes at
// 3^1 ... 3^ecCount. The places listed in `erasures` are unknown, whatever
// value they hold; any other codeword may be wrong. Corrects as long as
// 2·errors + erasures <= ecCount − 2 and returns how many codewords it
// restored (every erasure and every error found), 0 for a whole symbol.
// nullopt, with `codewords` untouched, for damage beyond that and for what is
// no symbol: ecCount < 1, no more codewords than ecCount, a codeword outside
// 0-928, an erasure outside the codewords or listed twice, or more than 928
// codewords to correct (the code is no longer).
VANDREL_ENGINES_EXPORT std::optional<int32_t> CorrectCodewords(std::span<int16_t> codewords, int32_t ecCount,
                                                               std::span<const int32_t> erasures);

} // namespace Vandrel
