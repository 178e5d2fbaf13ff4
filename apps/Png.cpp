#include "apps/Png.h"

#include <QColorSpace>
#include <QImage>

#include <zlib.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace Vandrel {

namespace {

void PutBigEndian(std::uint8_t* at, std::uint32_t value)
{
    at[0] = std::uint8_t(value >> 24);
    at[1] = std::uint8_t(value >> 16);
    at[2] = std::uint8_t(value >> 8);
    at[3] = std::uint8_t(value);
}

// A byte's bits in the opposite order: Format_MonoLSB keeps its leftmost
// pixel in the lowest bit, PNG in the highest.
constexpr std::array<std::uint8_t, 256> ReversedBits = [] {
    std::array<std::uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        for (int bit = 0; bit < 8; ++bit)
            if (b & (1 << bit))
                table[size_t(b)] |= std::uint8_t(0x80 >> bit);
    return table;
}();

bool IsMono(const QImage& image)
{
    return image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
}

// Deflate's fixed codes (RFC 1951, 3.2.6), each as the bits to put first
// in the stream in its lowest bits, and their count.
struct TCode {
    std::uint32_t bits;
    std::uint32_t length;
};

constexpr std::uint32_t Reversed(std::uint32_t code, std::uint32_t length)
{
    std::uint32_t reversed = 0;
    for (std::uint32_t i = 0; i < length; ++i)
        reversed |= ((code >> i) & 1) << (length - 1 - i);
    return reversed;
}

// Huffman codes are sent from their highest bit, everything else from its lowest.
constexpr TCode FixedSymbol(int symbol)
{
    if (symbol < 144)
        return {Reversed(std::uint32_t(0x30 + symbol), 8), 8};
    if (symbol < 256)
        return {Reversed(std::uint32_t(0x190 + symbol - 144), 9), 9};
    if (symbol < 280)
        return {Reversed(std::uint32_t(symbol - 256), 7), 7};
    return {Reversed(std::uint32_t(0xC0 + symbol - 280), 8), 8};
}

constexpr int LengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint32_t LengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int DistanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                  33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                  1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint32_t DistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

constexpr auto Literals = [] {
    std::array<TCode, 256> codes{};
    for (int symbol = 0; symbol < 256; ++symbol)
        codes[size_t(symbol)] = FixedSymbol(symbol);
    return codes;
}();

// A match's length 3 to 258: its code and extra bits together.
constexpr auto Lengths = [] {
    std::array<TCode, 259> codes{};
    for (int length = 3; length <= 258; ++length) {
        int c = 28;
        while (LengthBase[c] > length)
            --c;
        const TCode code = FixedSymbol(257 + c);
        codes[size_t(length)] = {code.bits | std::uint32_t(length - LengthBase[c]) << code.length,
                                 code.length + LengthExtra[c]};
    }
    return codes;
}();

// A match's distance 1 to 32768: its five-bit code and extra bits together.
TCode Distance(std::size_t distance)
{
    int c = 29;
    while (DistanceBase[c] > int(distance))
        --c;
    return {Reversed(std::uint32_t(c), 5) | std::uint32_t(distance - size_t(DistanceBase[c])) << 5,
            5 + DistanceExtra[c]};
}

// Bits into bytes, lowest first.
class TBits {
public:
    explicit TBits(std::vector<std::uint8_t>& out) : FOut(out) {}
    void Put(TCode code)
    {
        FPending |= std::uint64_t(code.bits) << FCount;
        FCount += code.length;
        if (FCount >= 32) {
            const size_t at = FOut.size();
            FOut.resize(at + 4);
            for (int i = 0; i < 4; ++i)
                FOut[at + size_t(i)] = std::uint8_t(FPending >> (8 * i));
            FPending >>= 32;
            FCount -= 32;
        }
    }
    // The last bits, the rest of their byte zero.
    void Flush()
    {
        for (; FCount > 0; FCount = FCount > 8 ? FCount - 8 : 0, FPending >>= 8)
            FOut.push_back(std::uint8_t(FPending));
    }

private:
    std::vector<std::uint8_t>& FOut;
    std::uint64_t FPending = 0;
    std::uint32_t FCount = 0;
};

// How many of the first `most` bytes of `a` and `b` agree.
size_t Agreeing(const std::uint8_t* a, const std::uint8_t* b, size_t most)
{
    // Along the bars, whole rows repeat: the library's comparison is the faster there.
    if (std::memcmp(a, b, most) == 0)
        return most;
    size_t n = 0;
    for (; n + 8 <= most; n += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y)
            return n + size_t(std::countr_zero(x ^ y) >> 3); // the first differing byte (little-endian)
    }
    while (n < most && a[n] == b[n])
        ++n;
    return n;
}

// How many of the first `most` bytes at `at` repeat the byte before it.
size_t Repeating(const std::uint8_t* at, size_t most)
{
    const std::uint8_t value = at[-1];
    const std::uint64_t eight = 0x0101010101010101ull * value;
    size_t n = 0;
    for (; n + 8 <= most; n += 8) {
        std::uint64_t x;
        std::memcpy(&x, at + n, 8);
        if (x != eight)
            return n + size_t(std::countr_zero(x ^ eight) >> 3);
    }
    while (n < most && at[n] == value)
        ++n;
    return n;
}
} // namespace

bool TPngEncoder::Encodes(const QImage& image)
{
    if (image.isNull() || !image.textKeys().isEmpty() || image.colorSpace().isValid() || !image.offset().isNull())
        return false;
    // QImageWriter stores an indexed picture whose palette is the grey ramp
    // (index i is grey i) as a grey one, which reads back as Format_Grayscale8.
    if (image.format() == QImage::Format_Indexed8)
        return image.colorCount() >= 1 && image.colorCount() <= 256 && !image.isGrayscale();
    return IsMono(image) && image.colorCount() == 2;
}

bool TPngEncoder::Fail(const QString& why)
{
    FError = why;
    FOut.clear();
    return false;
}

void TPngEncoder::Chunk(const char* type, const std::uint8_t* data, std::size_t size)
{
    const size_t at = FOut.size();
    FOut.resize(at + 12 + size);
    std::uint8_t* chunk = FOut.data() + at;
    PutBigEndian(chunk, std::uint32_t(size));
    std::memcpy(chunk + 4, type, 4);
    if (size > 0)
        std::memcpy(chunk + 8, data, size);
    PutBigEndian(chunk + 8 + size, std::uint32_t(crc32(0, chunk + 4, uInt(4 + size))));
}

bool TPngEncoder::Encode(const QImage& image)
{
    FError.clear();
    if (!Encodes(image))
        return Fail(QStringLiteral("not a palette picture of 1 or 8 bits"));
    const bool mono = IsMono(image);
    const auto width = std::uint32_t(image.width()), height = std::uint32_t(image.height());
    const size_t rowBytes = mono ? (width + 7) / 8 : width;
    if ((rowBytes + 1) * height > 0x7FFFFFFFu)
        return Fail(QStringLiteral("a picture of %1 by %2 pixels is too large").arg(width).arg(height));

    // The rows, each after its filter byte 0 (none). The bits past a 1-bit
    // row's last pixel are zero, so that the same pixels give the same bytes.
    FRaw.resize((rowBytes + 1) * height);
    std::uint8_t* raw = FRaw.data();
    const auto padMask = std::uint8_t(width % 8 == 0 ? 0xFF : 0xFF << (8 - width % 8));
    std::uint8_t highest = 0;
    for (std::uint32_t y = 0; y < height; ++y) {
        *raw++ = 0;
        const uchar* in = image.constScanLine(int(y));
        if (image.format() == QImage::Format_MonoLSB)
            std::transform(in, in + rowBytes, raw, [](uchar b) { return ReversedBits[b]; });
        else
            std::memcpy(raw, in, rowBytes);
        if (mono)
            raw[rowBytes - 1] &= padMask;
        else if (y == 0 || std::memcmp(raw, raw - rowBytes - 1, rowBytes) != 0) // most rows repeat the one above
            highest = std::max(highest, *std::max_element(raw, raw + rowBytes));
        raw += rowBytes;
    }
    if (!mono && highest >= image.colorCount())
        return Fail(
            QStringLiteral("pixel index %1 beyond the %2 colours of the palette").arg(highest).arg(image.colorCount()));

    static constexpr std::uint8_t Signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    FOut.resize(sizeof Signature);
    std::memcpy(FOut.data(), Signature, sizeof Signature);

    std::uint8_t header[13];
    PutBigEndian(header, width);
    PutBigEndian(header + 4, height);
    header[8] = mono ? 1 : 8;                 // bit depth
    header[9] = 3;                            // colour type: palette
    header[10] = header[11] = header[12] = 0; // deflate, adaptive filtering, no interlace
    Chunk("IHDR", header, sizeof header);

    // The palette, and the alpha of its entries up to the last translucent one.
    const QList<QRgb> colours = image.colorTable();
    std::uint8_t palette[256 * 3];
    std::uint8_t alpha[256];
    size_t translucent = 0;
    for (qsizetype i = 0; i < colours.size(); ++i) {
        palette[3 * i] = std::uint8_t(qRed(colours[i]));
        palette[3 * i + 1] = std::uint8_t(qGreen(colours[i]));
        palette[3 * i + 2] = std::uint8_t(qBlue(colours[i]));
        alpha[i] = std::uint8_t(qAlpha(colours[i]));
        if (alpha[i] != 255)
            translucent = size_t(i) + 1;
    }
    Chunk("PLTE", palette, size_t(colours.size()) * 3);
    if (translucent > 0)
        Chunk("tRNS", alpha, translucent);

    if (image.dotsPerMeterX() > 0 || image.dotsPerMeterY() > 0) {
        std::uint8_t physical[9];
        PutBigEndian(physical, std::uint32_t(std::max(image.dotsPerMeterX(), 0)));
        PutBigEndian(physical + 4, std::uint32_t(std::max(image.dotsPerMeterY(), 0)));
        physical[8] = 1; // the unit is the metre
        Chunk("pHYs", physical, sizeof physical);
    }

    // The compressed rows as one IDAT chunk, compressed in place.
    const size_t at = FOut.size();
    FOut.resize(at + 8);
    std::memcpy(FOut.data() + at + 4, "IDAT", 4);
    Compress(FRaw.data(), FRaw.size(), rowBytes + 1, FOut);
    const size_t compressed = FOut.size() - at - 8;
    PutBigEndian(FOut.data() + at, std::uint32_t(compressed));
    const uLong crc = crc32(0, FOut.data() + at + 4, uInt(4 + compressed));
    FOut.resize(FOut.size() + 4);
    PutBigEndian(FOut.data() + FOut.size() - 4, std::uint32_t(crc));

    Chunk("IEND", nullptr, 0);
    return true;
}

} // namespace Vandrel

namespace Vandrel {

void TPngEncoder::Compress(const std::uint8_t* data, std::size_t size, std::size_t stride,
                           std::vector<std::uint8_t>& out)
{
    static_assert(std::endian::native == std::endian::little, "the matcher reads bytes little-endian");
    if (stride == 0)
        stride = std::max<size_t>(size, 1);
    out.push_back(0x78); // deflate, a 32 KB window
    out.push_back(0x01); // no dictionary; the check bits
    TBits bits(out);
    bits.Put({0b011, 3}); // the last block, with the fixed codes
    // At each byte the longer of a copy of the row above and a run of the
    // byte before, when 3 bytes or longer; else the byte itself.
    const bool above = stride >= 1 && stride <= 32768;
    const TCode rowAbove = Distance(above ? stride : 1), byteBefore = Distance(1);
    for (size_t i = 0; i < size;) {
        const size_t most = std::min<size_t>(258, size - i);
        const size_t copy = above && i >= stride ? Agreeing(data + i, data + i - stride, most) : 0;
        const size_t run = copy < most && i >= 1 ? Repeating(data + i, most) : 0;
        if (copy >= 3 && copy >= run) {
            bits.Put(Lengths[copy]);
            bits.Put(rowAbove);
            i += copy;
        } else if (run >= 3) {
            bits.Put(Lengths[run]);
            bits.Put(byteBefore);
            i += run;
        } else {
            bits.Put(Literals[data[i++]]);
        }
    }
    bits.Put(FixedSymbol(256)); // the end of the block
    bits.Flush();

    // The Adler-32 sum of the data a row at a time: a row like the one above has its sum.
    uLong sum = adler32(0, nullptr, 0), rowSum = sum;
    for (size_t at = 0; at < size; at += stride) {
        const size_t n = std::min(stride, size - at);
        if (at < stride || n != stride || std::memcmp(data + at, data + at - stride, n) != 0)
            rowSum = adler32(adler32(0, nullptr, 0), data + at, uInt(n));
        sum = adler32_combine(sum, rowSum, z_off_t(n));
    }
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(sum >> shift));
}

} // namespace Vandrel
