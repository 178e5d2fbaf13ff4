#pragma once
// zxing-cpp as an independent reader of what we draw.
#include <QImage>

#include <ZXing/BarcodeFormat.h>

#include <string>

namespace VandrelTest {

// Decodes the first symbol of `format` in `image` (any rotation), or "" if none.
// The picture is set on a white margin first: a label gives a symbol room around it.
// Code 39 Extended pairs are folded into full ASCII when `code39Extended` is set.
std::string ReadSymbol(const QImage& image, ZXing::BarcodeFormat format, bool code39Extended = false);

// What a reader found: the raw bytes and the place in a linked sequence.
struct TReading {
    bool valid = false;
    std::string bytes;
    int sequenceIndex = -1;
    int sequenceSize = -1;
    std::string sequenceId;
    bool lastInSequence = false;
};
TReading ReadDetails(const QImage& image, ZXing::BarcodeFormat format);

} // namespace VandrelTest
