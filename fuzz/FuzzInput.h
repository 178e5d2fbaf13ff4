#pragma once
// Takes the options of a run from the front of libFuzzer's input, so that one
// input says both how to encode or read and what.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace VandrelFuzz {

class TInput {
public:
    TInput(const uint8_t* data, size_t size) : FData(data), FSize(size) {}

    // The next byte, 0 once the input is used up.
    uint8_t Byte()
    {
        if (FSize == 0)
            return 0;
        --FSize;
        return *FData++;
    }

    // What is left, as the value to work on.
    std::string_view Rest() const { return {reinterpret_cast<const char*>(FData), FSize}; }
    const uint8_t* RestData() const { return FData; }
    size_t RestSize() const { return FSize; }

private:
    const uint8_t* FData;
    size_t FSize;
};

} // namespace VandrelFuzz
