#pragma once
// PNG files of palette pictures, written without going through Qt's image
// writer: the tool's batches write thousands of small labels, and libpng set
// up anew for each, compressing every byte through zlib's general matcher,
// cost more than the drawing. The bytes decode to the very image that
// QImageWriter's PNG of it decodes to: the same header, palette,
// transparency and resolution, every row stored unfiltered (filter type 0,
// as libpng stores palette rows).
//
// The rows are compressed by a matcher made for labels: a row is mostly the
// row above it (along the bars) or runs of one colour (margins, gaps between
// digits), so each stretch is coded as a copy of the row above, a run, or a
// literal byte, with deflate's fixed codes. A label compresses about four
// times faster than at zlib level 3, into about a third more bytes (a
// thousand for the default EAN-13 label, well inside one block of a disk).
#include <QString>

#include <cstdint>
#include <vector>

class QImage;

namespace Vandrel {

class TPngEncoder {
public:
    // Whether Encode takes `image`: a 1-bit picture (Format_Mono or
    // Format_MonoLSB) of two colours, or an 8-bit indexed one of 1 to 256 colours,
    // neither carrying what else QImageWriter would store (text, a colour
    // space, an offset) nor a grey ramp palette (stored as a grey picture).
    static bool Encodes(const QImage& image);

    // The PNG file of `image` in Bytes(); false, with Error() saying why,
    // when it cannot be encoded (a pixel's index beyond the colour table, or
    // no image that Encodes takes).
    bool Encode(const QImage& image);
    const std::vector<std::uint8_t>& Bytes() const { return FOut; }
    const QString& Error() const { return FError; }

    // The zlib stream (RFC 1950) of `size` bytes made of rows of `stride`
    // bytes each (the last may be shorter), appended to `out`.
    static void Compress(const std::uint8_t* data, std::size_t size, std::size_t stride,
                         std::vector<std::uint8_t>& out);

private:
    std::vector<std::uint8_t> FRaw; // the rows, each after its filter byte
    std::vector<std::uint8_t> FOut;
    QString FError;

    bool Fail(const QString& why);
    void Chunk(const char* type, const std::uint8_t* data, std::size_t size);
};

} // namespace Vandrel
