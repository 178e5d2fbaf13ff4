#define ZX_USE_UTF8 1
#include "support/Oracle.h"

#include <QPainter>

#include <ZXing/ReadBarcode.h>

namespace VandrelTest {

namespace {
ZXing::Result Read(const QImage& image, ZXing::BarcodeFormat format, bool code39Extended)
{
    constexpr int margin = 40;
    QImage page(image.width() + 2 * margin, image.height() + 2 * margin, QImage::Format_Grayscale8);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        p.drawImage(margin, margin, image);
    }
    ZXing::DecodeHints hints;
    hints.setFormats(format);
    hints.setTryRotate(true);
    hints.setTryHarder(true);
    hints.setTryCode39ExtendedMode(code39Extended);
    const ZXing::ImageView view(page.constBits(), page.width(), page.height(), ZXing::ImageFormat::Lum,
                                int(page.bytesPerLine()));
    return ZXing::ReadBarcode(view, hints);
}
} // namespace

std::string ReadSymbol(const QImage& image, ZXing::BarcodeFormat format, bool code39Extended)
{
    const auto result = Read(image, format, code39Extended);
    return result.isValid() ? result.text() : std::string();
}

TReading ReadDetails(const QImage& image, ZXing::BarcodeFormat format)
{
    const auto result = Read(image, format, false);
    if (!result.isValid())
        return {};
    const auto& bytes = result.bytes();
    return {true,
            std::string(bytes.begin(), bytes.end()),
            result.sequenceIndex(),
            result.sequenceSize(),
            result.sequenceId(),
            result.isLastInSequence()};
}

} // namespace VandrelTest
