// The reader's error correction: a level byte, an erasure-count byte, that
// many erasure places (a byte each, taken modulo the codeword count), then
// codewords (two bytes each, modulo 929). Whatever it is given, a correction
// must end in a code word within the capacity, and a refusal must leave the
// codewords as they were.
#include "FuzzInput.h"

#include "reader/Correction.h"
#include "reader/Recognition.h"

#include <algorithm>
#include <optional>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    VandrelFuzz::TInput input(data, size);
    const int32_t ecCount = int32_t{2} << (input.Byte() % 9);
    const size_t erasureBytes = input.Byte();
    std::vector<uint8_t> places;
    for (size_t i = 0; i < erasureBytes; ++i)
        places.push_back(input.Byte());
    std::vector<int16_t> codewords;
    const uint8_t* rest = input.RestData();
    for (size_t i = 0; i + 1 < input.RestSize() && codewords.size() < 1000; i += 2)
        codewords.push_back(static_cast<int16_t>((rest[i] << 8 | rest[i + 1]) % 929));
    if (codewords.empty())
        return 0;
    std::vector<int32_t> erasures;
    for (const uint8_t p : places)
        erasures.push_back(static_cast<int32_t>(p % codewords.size()));
    const std::vector<int16_t> before = codewords;
    if (const std::optional<int32_t> corrected = Vandrel::CorrectCodewords(codewords, ecCount, erasures)) {
        int32_t errors = 0;
        for (size_t i = 0; i < codewords.size(); ++i)
            errors += codewords[i] != before[i] &&
                      std::find(erasures.begin(), erasures.end(), static_cast<int32_t>(i)) == erasures.end();
        const int32_t f = static_cast<int32_t>(erasures.size());
        if (!Vandrel::ErrorCorrectionHolds(codewords, ecCount) || 2 * errors + f > ecCount - 2 ||
            *corrected < errors + f)
            __builtin_trap();
    } else if (codewords != before) {
        __builtin_trap();
    }
    return 0;
}
