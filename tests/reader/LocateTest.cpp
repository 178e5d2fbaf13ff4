// Symbols in pictures as cameras and scanners take them: turned, mirrored,
// slightly rotated, scaled, blurred, on grey or uneven paper, inverted, among
// text, frames and specks. Each must read to exactly the encoded bytes, and a
// picture without a symbol to nothing.
#include "reader/StreamDecode.h"
#include "reader/SymbolPictures.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTransform>

#include <functional>
#include <random>

namespace {

using namespace VandrelTest;

const std::string Value = "Vandrel reads symbols in real pictures: 0123456789.";

QImage SymbolImage(int module = 2, int columns = 4, const std::string& value = Value)
{
    TPdf417Encoder encoder;
    encoder.SetCodeMode(bMode);
    encoder.SetErrorLevel(2);
    encoder.SetDataColumn(static_cast<uint8_t>(columns));
    encoder.SetBarValue(value);
    EXPECT_TRUE(encoder.StreamToBarData());
    const TPicture p = Draw(EncodedSymbols(encoder)[0], {module, 3 * module, 2, 0, 255});
    QImage image(p.Width, p.Height, QImage::Format_Grayscale8);
    for (int y = 0; y < p.Height; ++y)
        std::copy_n(p.Pixels.begin() + y * p.Width, p.Width, image.scanLine(y));
    return image.convertToFormat(QImage::Format_RGB32);
}

// The picture on a sheet of `paper`, `pad` pixels all round.
QImage OnPaper(const QImage& image, int pad, QColor paper = Qt::white)
{
    QImage sheet(image.width() + 2 * pad, image.height() + 2 * pad, QImage::Format_RGB32);
    sheet.fill(paper);
    QPainter painter(&sheet);
    painter.drawImage(pad, pad, image);
    return sheet;
}

QImage Transformed(const QImage& image, const QTransform& t, Qt::TransformationMode mode = Qt::FastTransformation)
{
    // Turned pictures leave transparent corners: the sheet shows through.
    return OnPaper(image.convertToFormat(QImage::Format_ARGB32).transformed(t, mode), 0);
}

QImage Multiplied(const QImage& image, const std::function<int(int x, int y, int grey)>& f)
{
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int grey = std::clamp(f(x, y, qGray(line[x])), 0, 255);
            line[x] = qRgb(grey, grey, grey);
        }
    }
    return out;
}

// Text, a frame, a rule and specks around the symbol.
QImage Cluttered(const QImage& image)
{
    QImage sheet = OnPaper(image, 40);
    QPainter painter(&sheet);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawRect(20, 20, sheet.width() - 40, sheet.height() - 40);
    painter.drawLine(0, 8, sheet.width(), 8);
    painter.setFont(QFont("Sans", 9));
    painter.drawText(24, sheet.height() - 4, "Invoice 4711 | ||| ||| I I l 1 |");
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    std::mt19937 rng(7);
    for (int i = 0; i < 40; ++i)
        painter.drawEllipse(QPoint(int(rng() % sheet.width()), int(rng() % sheet.height())), 1, 1);
    return sheet;
}

QImage Blurred(const QImage& image)
{
    const QImage small = image.scaled(image.size() * 0.6, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return small.scaled(image.size() * 1.2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage Noisy(const QImage& image)
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> noise(-40, 40);
    return Multiplied(image, [&](int, int, int grey) { return grey + noise(rng); });
}

struct TReading {
    std::optional<std::string> bytes;
    std::vector<std::string> messages;
};

TReading Read(const QImage& picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const TPixelView view{rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine(), 4};
    TReading r;
    const TPictureScan scan =
        ScanPictureAll(view, "", {}, [&](const std::string& text) { r.messages.push_back(text); });
    if (scan.Error.empty() && scan.Results.size() == 1)
        r.bytes = std::string(scan.Results[0].Data.Bytes().begin(), scan.Results[0].Data.Bytes().end());
    return r;
}

TEST(Locate, ReadsSymbolsInRealPictures)
{
    const QImage symbol = SymbolImage();
    struct TCase {
        const char* name;
        std::function<QImage()> picture;
    };
    const TCase cases[] = {
        {"turned a quarter", [&] { return Transformed(symbol, QTransform().rotate(90)); }},
        {"turned half", [&] { return Transformed(symbol, QTransform().rotate(180)); }},
        {"turned three quarters", [&] { return Transformed(symbol, QTransform().rotate(270)); }},
        {"mirrored", [&] { return Transformed(symbol, QTransform().scale(-1, 1)); }},
        {"mirrored upside down", [&] { return Transformed(symbol, QTransform().scale(1, -1)); }},
        {"mirrored and turned", [&] { return Transformed(symbol, QTransform().rotate(90).scale(-1, 1)); }},
        {"rotated 2 degrees",
         [&] { return Transformed(OnPaper(symbol, 20), QTransform().rotate(2), Qt::SmoothTransformation); }},
        {"rotated -3 degrees and turned",
         [&] { return Transformed(OnPaper(symbol, 20), QTransform().rotate(87), Qt::SmoothTransformation); }},
        {"scaled 1.5 times",
         [&] { return symbol.scaled(symbol.size() * 1.5, Qt::IgnoreAspectRatio, Qt::SmoothTransformation); }},
        {"blurred", [&] { return Blurred(SymbolImage(3)); }},
        {"framed among text and specks", [&] { return Cluttered(symbol); }},
        {"inverted",
         [&] {
             QImage inverted = OnPaper(symbol, 10);
             inverted.invertPixels();
             return inverted;
         }},
        {"grey paper, grey bars",
         [&] { return Multiplied(symbol, [](int, int, int g) { return 90 + g * 110 / 255; }); }},
        {"uneven light",
         [&] {
             return Multiplied(symbol, [&](int x, int, int g) { return g * (255 - 180 * x / symbol.width()) / 255; });
         }},
        {"noisy", [&] { return Noisy(SymbolImage(3)); }},
        {"wide symbol turned", [&] { return Transformed(SymbolImage(2, 12), QTransform().rotate(270)); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Read(c.picture()).bytes, Value);
    }
}

TEST(Locate, ReadsEverySymbolOfATurnedPicture)
{
    const QImage first = SymbolImage(2, 3, "first symbol");
    const QImage second = SymbolImage(3, 5, "the second, larger symbol");
    QImage sheet(first.width() + second.width() + 60, second.height() + 40, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        painter.drawImage(20, 20, first);
        painter.drawImage(first.width() + 40, 20, second);
    }
    const QImage turned = Transformed(sheet, QTransform().rotate(270));
    const QImage rgb = turned.convertToFormat(QImage::Format_RGB32);
    const TPictureScan scan = ScanPictureAll({rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine(), 4}, "",
                                             {}, {}, TScanJoin::Each);
    EXPECT_EQ(scan.Error, "");
    std::vector<std::string> read;
    for (const TScanResult& result : scan.Results)
        read.emplace_back(result.Data.Bytes().begin(), result.Data.Bytes().end());
    std::sort(read.begin(), read.end());
    EXPECT_EQ(read, (std::vector<std::string>{"first symbol", "the second, larger symbol"}));
}

TEST(Locate, PicturesWithoutSymbolsReadNothing)
{
    QImage blank(200, 80, QImage::Format_RGB32);
    blank.fill(Qt::white);
    const QImage cut = SymbolImage().copy(0, 0, 200, 30); // start patterns and a few codewords only
    const QImage pictures[] = {Cluttered(blank), Noisy(Cluttered(cut))};
    for (const QImage& picture : pictures) {
        const TReading r = Read(picture);
        EXPECT_FALSE(r.bytes);
        EXPECT_EQ(r.messages, std::vector<std::string>{"No any Information!"});
    }
}

} // namespace
