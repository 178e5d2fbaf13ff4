#pragma once
// zxing-cpp as an independent reader of what we draw.
#include <QImage>

#include <ZXing/BarcodeFormat.h>

#include <string>

namespace VandrelTest {

// Decodes the first symbol of `format` in `image` (any rotation), or "" if none.
// The picture is set on a white margin first: a label gives a symbol room around it.
std::string ReadSymbol(const QImage& image, ZXing::BarcodeFormat format);

} // namespace VandrelTest
