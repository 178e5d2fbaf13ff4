// The tool's own PNG writer: the pictures it writes read back (through Qt
// and zxing-cpp) as exactly the pictures QImageWriter's files read back as,
// and its compressed rows inflate through zlib to the rows given.
#include "apps/Png.h"
#include "linear/SingleBarcode.h"
#include "support/Oracle.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <vector>

namespace {

using Vandrel::TPngEncoder;

QImage Read(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    return reader.read();
}

QByteArray ByQt(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(67);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return bytes;
}

QByteArray Ours(TPngEncoder& png, const QImage& image)
{
    EXPECT_TRUE(TPngEncoder::Encodes(image));
    EXPECT_TRUE(png.Encode(image)) << png.Error().toStdString();
    return QByteArray(reinterpret_cast<const char*>(png.Bytes().data()), qsizetype(png.Bytes().size()));
}

// A picture of `format` whose pixels are noise over bars and runs, indices below `colours`.
QImage Picture(QImage::Format format, int width, int height, int colours, quint32 seed)
{
    QImage image(width, height, format);
    QList<QRgb> table;
    QRandomGenerator random(seed);
    for (int i = 0; i < colours; ++i)
        table << qRgba(int(random.bounded(256)), int(random.bounded(256)), int(random.bounded(256)),
                       i % 5 == 3 ? int(random.bounded(256)) : 255);
    image.setColorTable(table);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Bars down the top half (rows alike), noise and runs below.
            const int index = y < height / 2
                                  ? (x / 3) % colours
                                  : (random.bounded(4) == 0 ? int(random.bounded(colours)) : (x / 7) % colours);
            image.setPixel(x, y, uint(index));
        }
    image.setDotsPerMeterX(11811);
    image.setDotsPerMeterY(23622);
    return image;
}

TEST(Png, PalettePicturesReadBackAsQtsFilesDo)
{
    struct Case {
        QImage::Format format;
        int width, height, colours;
    };
    const Case cases[] = {
        {QImage::Format_Mono, 1, 1, 2},          {QImage::Format_Mono, 7, 3, 2},
        {QImage::Format_Mono, 8, 5, 2},          {QImage::Format_Mono, 9, 4, 2},
        {QImage::Format_Mono, 226, 110, 2},      {QImage::Format_Mono, 1001, 17, 2},
        {QImage::Format_MonoLSB, 13, 9, 2},      {QImage::Format_MonoLSB, 64, 2, 2},
        {QImage::Format_Indexed8, 1, 1, 1},      {QImage::Format_Indexed8, 3, 300, 7},
        {QImage::Format_Indexed8, 226, 110, 67}, {QImage::Format_Indexed8, 257, 40, 256},
        {QImage::Format_Indexed8, 40000, 2, 3},
    };
    TPngEncoder png; // one encoder for all, as for a batch
    quint32 seed = 1;
    for (const Case& c : cases) {
        const QImage image = Picture(c.format, c.width, c.height, c.colours, seed++);
        const QImage ours = Read(Ours(png, image)), qts = Read(ByQt(image));
        const std::string what =
            std::to_string(c.format) + " " + std::to_string(c.width) + "x" + std::to_string(c.height);
        ASSERT_FALSE(ours.isNull()) << what;
        EXPECT_EQ(ours.format(), qts.format()) << what;
        EXPECT_EQ(ours.colorTable(), qts.colorTable()) << what;
        EXPECT_EQ(ours, qts) << what;
        EXPECT_EQ(ours.convertToFormat(QImage::Format_ARGB32), image.convertToFormat(QImage::Format_ARGB32)) << what;
        EXPECT_EQ(ours.dotsPerMeterX(), 11811) << what;
        EXPECT_EQ(ours.dotsPerMeterY(), 23622) << what;
    }
}

TEST(Png, LabelsReadBackThroughZxing)
{
    // A label with smoothed digits (a palette of shades) and one without text (two colours).
    for (const bool text : {true, false}) {
        Vandrel::TCustomSingleBarCode control;
        control.resize(480, 140);
        control.FSetBarType(Vandrel::EAN13);
        control.FSetBarValue("400638133393");
        control.FSetShowText(text);
        QImage bmp;
        control.CreateBMP(bmp);
        const QImage picture = bmp.convertToFormat(text ? QImage::Format_Indexed8 : QImage::Format_Mono,
                                                   Qt::ThresholdDither | Qt::AvoidDither);
        ASSERT_EQ(picture.convertToFormat(QImage::Format_RGB32), bmp) << text; // no colour lost
        TPngEncoder png;
        const QImage back = Read(Ours(png, picture));
        EXPECT_EQ(VandrelTest::ReadSymbol(back, ZXing::BarcodeFormat::EAN13), "4006381333931") << text;
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), bmp) << text;
    }
}

TEST(Png, CompressedRowsInflateToTheRows)
{
    QRandomGenerator random(7);
    for (const size_t stride : {1, 2, 3, 30, 227, 4000, 32768, 40001}) {
        for (const size_t rows : {1, 2, 5, 40}) {
            std::vector<std::uint8_t> data(stride * rows + (rows == 5 ? stride / 2 : 0));
            for (size_t i = 0; i < data.size(); ++i)
                data[i] = random.bounded(3) == 0 ? std::uint8_t(random.bounded(256)) : std::uint8_t(i % 5);
            for (size_t i = stride; i < data.size() / 2; ++i)
                data[i] = data[i - stride]; // rows like the one above
            std::vector<std::uint8_t> compressed;
            TPngEncoder::Compress(data.data(), data.size(), stride, compressed);
            std::vector<std::uint8_t> back(data.size() + 1);
            uLongf size = uLongf(back.size());
            ASSERT_EQ(uncompress(back.data(), &size, compressed.data(), uLong(compressed.size())), Z_OK)
                << stride << " " << rows;
            back.resize(size);
            EXPECT_EQ(back, data) << stride << " " << rows;
        }
    }
    std::vector<std::uint8_t> none;
    TPngEncoder::Compress(nullptr, 0, 10, none);
    std::vector<std::uint8_t> back(4);
    uLongf size = 4;
    EXPECT_EQ(uncompress(back.data(), &size, none.data(), uLong(none.size())), Z_OK);
    EXPECT_EQ(size, 0u);
}

TEST(Png, OtherPicturesAndBadOnesAreRefusedAndCorruptFilesFailToRead)
{
    TPngEncoder png;
    QImage grey(4, 4, QImage::Format_Indexed8); // the grey ramp: QImageWriter stores a grey picture
    QList<QRgb> ramp;
    for (int i = 0; i < 256; ++i)
        ramp << qRgb(i, i, i);
    grey.setColorTable(ramp);
    QImage texted = Picture(QImage::Format_Indexed8, 5, 5, 3, 1);
    texted.setText("Title", "x");
    QImage spaced = Picture(QImage::Format_Indexed8, 5, 5, 3, 1);
    spaced.setColorSpace(QColorSpace::SRgb);
    QImage oneColourMono(8, 1, QImage::Format_Mono);
    oneColourMono.setColorTable({qRgb(0, 0, 0)});
    for (const QImage& refused : {QImage(), QImage(3, 3, QImage::Format_RGB32), grey, texted, spaced, oneColourMono}) {
        EXPECT_FALSE(TPngEncoder::Encodes(refused));
        EXPECT_FALSE(png.Encode(refused));
        EXPECT_FALSE(png.Error().isEmpty());
        EXPECT_TRUE(png.Bytes().empty());
    }
    // An index beyond the palette is refused, not written as a file that will not read.
    QImage beyond = Picture(QImage::Format_Indexed8, 9, 9, 3, 2);
    beyond.scanLine(8)[4] = 7;
    ASSERT_TRUE(TPngEncoder::Encodes(beyond));
    EXPECT_FALSE(png.Encode(beyond));
    EXPECT_TRUE(png.Error().contains("index 7")) << png.Error().toStdString();

    // A damaged byte anywhere in a chunk fails its check when read.
    const QByteArray good = Ours(png, Picture(QImage::Format_Indexed8, 50, 20, 9, 3));
    ASSERT_FALSE(Read(good).isNull());
    for (const qsizetype at : {qsizetype(20), qsizetype(40), good.size() - 20, good.size() - 9}) {
        QByteArray bad = good;
        bad[at] = char(bad[at] ^ 0x10);
        EXPECT_TRUE(Read(bad).isNull()) << at;
    }
}

} // namespace
