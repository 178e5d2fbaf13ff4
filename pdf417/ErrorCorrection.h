#pragma once
// PDF417 error correction: Reed-Solomon codewords over GF(929) for the data
// codewords of one symbol, at the error level 0-8 the symbol declares in its
// row indicators. A symbol's codeword polynomial (data, then error correction,
// highest degree first) vanishes at 3^1 ... 3^k, k = ECCount().
#include "core/Enums.h"
#include "core/Export.h"
#include "core/Message.h"
#include "pdf417/BarData.h"

#include <cstdint>
#include <span>
#include <vector>

namespace Vandrel {

// Holds the selected level and the codewords last computed; the generators
// are shared, computed once, so that any number of objects costs nothing.
class VANDREL_ENGINES_EXPORT TPdf417ErrorCorrection {
public:
    explicit TPdf417ErrorCorrection(TErrorLevel level = Level1);

    // A value outside 0-8 shows "Out of Range!" and changes nothing.
    bool SetErrorLevel(int32_t level, const TMessageFn& message);
    TErrorLevel ErrorLevel() const { return FLevel; }

    // 2^(level+1): 2 at level 0 ... 512 at level 8.
    int32_t ECCount() const { return int32_t{2} << FLevel; }
    // The generator (x - 3)(x - 3^2)...(x - 3^k) mod 929 without its leading
    // 1, highest order first.
    std::span<const int32_t> ECCoefficients() const;
    // The result of the last CreateErrorCode, in the order the codewords
    // follow the data.
    const std::vector<int32_t>& ErrorCodes() const { return FErrorCodes; }

    // Error correction of the `count` codewords from the 1-based `start`
    // (fewer when the list ends first). One lookup, then a walk along the list.
    void CreateErrorCode(const TPdf417Codewords& list, int32_t start, int32_t count);

private:
    TErrorLevel FLevel;
    std::vector<int32_t> FErrorCodes;
};

// Whether `codewords` (data, then error correction, each 0-928) are a
// codeword of `level`'s code: the generator divides their polynomial.
VANDREL_ENGINES_EXPORT bool IsSymbolCodeword(std::span<const int16_t> codewords, TErrorLevel level);

} // namespace Vandrel
