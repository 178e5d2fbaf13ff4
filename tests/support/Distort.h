#pragma once
// Pictures of a PDF417 symbol as a camera, a scanner or a careless layout
// hands them to a reader: turned, mirrored, skewed, blurred, noisy, rescaled,
// compressed, cut, framed, inverted, unevenly lit, set among text. Each is
// made from one clean picture with Qt alone and fixed seeds, so a reader's
// result on them is repeatable; the reader tests and the benchmarks share
// them.
#include <QImage>

#include <span>
#include <string>
#include <string_view>

namespace VandrelTest {

// Blank around the clean symbol, in pixels.
inline constexpr int DistortMargin = 20;

// The value the tests and the benchmarks draw the set with: letters of both
// cases, digits and punctuation, about ten rows of 4 columns.
inline constexpr std::string_view DistortValue = "Vandrel distortion set: 0123456789 abc/XYZ";

// `value` as the PDF417 control draws it: 4 data columns, error level 2,
// 2-pixel modules, DistortMargin of white around the bars.
QImage CleanPdf417(const std::string& value);

// `picture` set on white with `margin` pixels around it.
QImage WithMargin(const QImage& picture, int margin);

struct TDistortion {
    std::string_view name;
    QImage (*make)(const QImage& clean);
};

// The set, the clean picture itself first. Each maker takes a picture such as
// CleanPdf417 draws (dark bars on white, DistortMargin around them) and
// returns a Format_RGB32 picture, the bitmaps of this library.
std::span<const TDistortion> Distortions();

} // namespace VandrelTest
