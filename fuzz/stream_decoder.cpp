// The reader's stream decoding: codewords (two bytes each, taken modulo 929
// so that every mode, shift and Macro codeword occurs) to bytes.
#include "FuzzInput.h"

#include "reader/StreamDecode.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<int16_t> codewords;
    codewords.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2)
        codewords.push_back(static_cast<int16_t>((data[i] << 8 | data[i + 1]) % 929));
    if (const std::optional<Vandrel::TDecodedData> decoded = Vandrel::DecodeCodewords(codewords)) {
        // The densest mode, numeric, makes at most 3 bytes of a codeword.
        if (decoded->Bytes.size() > 3 * codewords.size())
            __builtin_trap();
    }
    return 0;
}
