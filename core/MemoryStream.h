#pragma once
// A growable byte buffer with one read/write position: the value streams of
// the PDF417 controls, the payload cipher's input and output, and the bytes the
// reader hands back. The position never leaves 0 ... Size(), so no operation
// can touch memory outside the buffer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace Vandrel {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TMemoryStream {
public:
    const std::vector<uint8_t>& Bytes() const { return FBytes; }
    size_t Size() const { return FBytes.size(); }
    size_t Position() const { return FPosition; }

    // Growing fills with zero bytes; shrinking pulls the position back inside.
    void SetSize(size_t size)
    {
        FBytes.resize(size);
        FPosition = std::min(FPosition, size);
    }

    void Clear()
    {
        FBytes.clear();
        FPosition = 0;
    }

    // Overwrites from the position, growing the stream when the bytes run past
    // its end, and leaves the position after them.
    size_t Write(const void* buffer, size_t count)
    {
        if (count == 0)
            return 0;
        if (FPosition + count > FBytes.size())
            FBytes.resize(FPosition + count);
        std::memcpy(FBytes.data() + FPosition, buffer, count);
        FPosition += count;
        return count;
    }

    // Copies up to `count` bytes from the position; returns how many there were.
    size_t Read(void* buffer, size_t count)
    {
        count = std::min(count, FBytes.size() - FPosition);
        if (count > 0)
            std::memcpy(buffer, FBytes.data() + FPosition, count);
        FPosition += count;
        return count;
    }

    // Moves the position, clamped to the stream; returns the new position.
    size_t Seek(int64_t offset, TSeekOrigin origin = TSeekOrigin::soBeginning)
    {
        const int64_t base = origin == TSeekOrigin::soBeginning ? 0
                             : origin == TSeekOrigin::soCurrent ? int64_t(FPosition)
                                                                : int64_t(FBytes.size());
        const int64_t size = int64_t(FBytes.size());
        // Offsets near the int64 limits must not overflow on the way to the clamp.
        const int64_t target =
            offset < 0 ? (offset < -base ? 0 : base + offset) : (offset > size - base ? size : base + offset);
        FPosition = size_t(target);
        return FPosition;
    }

private:
    std::vector<uint8_t> FBytes;
    size_t FPosition = 0;
};

} // namespace Vandrel
