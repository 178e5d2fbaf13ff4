#include "platform/Emf.h"

#include "core/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <uemf.h>
#include <uemf_safe.h>

#include <cstdlib>
#include <vector>

namespace VandrelTest {

namespace {

using Vandrel::SaveImageAsEmf;

// An EMF file read back record by record. Every record must pass libuemf's
// own safe parser, the same check an EMF reader built on it applies.
struct EmfFile {
    QByteArray bytes;
    std::vector<const char*> records;

    uint32_t type(size_t i) const { return reinterpret_cast<const U_EMR*>(records[i])->iType; }
    const U_EMRHEADER& header() const { return *reinterpret_cast<const U_EMRHEADER*>(records.front()); }
};

void readEmf(const QString& path, EmfFile& emf)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    emf.bytes = file.readAll();
    const size_t size = size_t(emf.bytes.size());
    size_t offset = 0;
    while (offset < size) {
        ASSERT_GE(size - offset, sizeof(U_EMR)) << "truncated record at " << offset;
        const char* record = emf.bytes.constData() + offset;
        const uint32_t recordSize = reinterpret_cast<const U_EMR*>(record)->nSize;
        ASSERT_GE(recordSize, sizeof(U_EMR)) << "at " << offset;
        ASSERT_EQ(recordSize % 4, 0u) << "at " << offset;
        ASSERT_LE(recordSize, size - offset) << "record overruns the file at " << offset;
        ASSERT_TRUE(U_emf_record_safe(record)) << "libuemf rejects record " << emf.records.size() << " of type "
                                               << reinterpret_cast<const U_EMR*>(record)->iType;
        emf.records.push_back(record);
        offset += recordSize;
    }
    ASSERT_GE(emf.records.size(), 2u);
    ASSERT_EQ(emf.type(0), uint32_t(U_EMR_HEADER));
    ASSERT_EQ(emf.type(emf.records.size() - 1), uint32_t(U_EMR_EOF));
    EXPECT_EQ(emf.header().dSignature, uint32_t(U_ENHMETA_SIGNATURE));
    EXPECT_EQ(emf.header().nBytes, size);
    EXPECT_EQ(emf.header().nRecords, emf.records.size());
}

void expectRect(const U_RECTL& r, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

QString headerDescription(const EmfFile& emf)
{
    const U_EMRHEADER& h = emf.header();
    const auto* text = reinterpret_cast<const char16_t*>(emf.records.front() + h.offDescription);
    return QString::fromUtf16(text, qsizetype(h.nDescription));
}

// Reads pixel (x, y), counted from the top left, out of an uncompressed DIB
// the way a player does: rows padded to 4 bytes, bottom-up for a positive
// height, bytes blue, green, red.
QRgb dibPixel(const U_EMRSTRETCHDIBITS& record, int x, int y)
{
    const char* base = reinterpret_cast<const char*>(&record);
    const auto& info = *reinterpret_cast<const U_BITMAPINFOHEADER*>(base + record.offBmiSrc);
    const size_t stride = (size_t(info.biWidth) * info.biBitCount + 31) / 32 * 4;
    const int row = info.biHeight > 0 ? info.biHeight - 1 - y : y;
    const auto* p = reinterpret_cast<const uint8_t*>(base + record.offBitsSrc + size_t(row) * stride +
                                                     size_t(x) * info.biBitCount / 8);
    return qRgb(p[2], p[1], p[0]);
}

// Every pixel differs from its neighbours and from its mirror images, so a
// flipped, transposed or mis-strided bitmap cannot pass.
QImage patternImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(30 * x, 50 * y, 255 - 20 * x - 9 * y));
    return image;
}

class EmfInputFormat : public ::testing::TestWithParam<QImage::Format> {};

TEST_P(EmfInputFormat, WritesTheImageAsOneDibRecordUnderADescribedHeader)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QImage image = patternImage(7, 5).convertToFormat(GetParam());
    const QImage shown = image.convertToFormat(QImage::Format_RGB32);
    const QString path = dir.filePath(QStringLiteral("code.EMF"));
    SaveImageAsEmf(image, path, QStringLiteral("bmp to emf"), QStringLiteral("V1.0"));

    EmfFile emf;
    ASSERT_NO_FATAL_FAILURE(readEmf(path, emf));
    ASSERT_EQ(emf.records.size(), 3u);
    ASSERT_EQ(emf.type(1), uint32_t(U_EMR_STRETCHDIBITS));

    const U_EMRHEADER& header = emf.header();
    expectRect(header.rclBounds, 0, 0, 6, 4);
    // 7 x 5 pixels at 96 dpi are 185.2 x 132.3 hundredths of a millimetre.
    expectRect(header.rclFrame, 0, 0, 184, 131);
    // Creator and description, each closed by a zero, and a zero closing the pair.
    EXPECT_EQ(headerDescription(emf),
              QStringLiteral("bmp to emf") + QChar() + QStringLiteral("V1.0") + QChar() + QChar());

    const auto& dib = *reinterpret_cast<const U_EMRSTRETCHDIBITS*>(emf.records[1]);
    EXPECT_EQ(dib.Dest.x, 0);
    EXPECT_EQ(dib.Dest.y, 0);
    EXPECT_EQ(dib.cDest.x, 7);
    EXPECT_EQ(dib.cDest.y, 5);
    EXPECT_EQ(dib.Src.x, 0);
    EXPECT_EQ(dib.Src.y, 0);
    EXPECT_EQ(dib.cSrc.x, 7);
    EXPECT_EQ(dib.cSrc.y, 5);
    EXPECT_EQ(dib.dwRop, uint32_t(U_SRCCOPY));
    EXPECT_EQ(dib.iUsageSrc, uint32_t(U_DIB_RGB_COLORS));

    const auto& info = *reinterpret_cast<const U_BITMAPINFOHEADER*>(emf.records[1] + dib.offBmiSrc);
    ASSERT_EQ(info.biCompression, uint32_t(U_BI_RGB));
    ASSERT_TRUE(info.biBitCount == 24 || info.biBitCount == 32) << info.biBitCount;
    ASSERT_EQ(info.biWidth, 7);
    ASSERT_EQ(std::abs(info.biHeight), 5);
    ASSERT_GE(dib.cbBitsSrc, (size_t(7) * info.biBitCount + 31) / 32 * 4 * 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(dibPixel(dib, x, y), shown.pixel(x, y)) << "at " << x << ", " << y;
}

// Callers pass RGB32; anything else is drawn as it looks.
INSTANTIATE_TEST_SUITE_P(Formats, EmfInputFormat,
                         ::testing::Values(QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_RGB888,
                                           QImage::Format_Mono));

TEST(EmfOutput, AnEmptyImageReplacesAnEarlierFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("code.EMF"));
    SaveImageAsEmf(patternImage(7, 5), path, QStringLiteral("bmp to emf"), QStringLiteral("V1.0"));
    SaveImageAsEmf(QImage(), path, QStringLiteral("bmp to emf"), QStringLiteral("V1.0"));

    EmfFile emf;
    ASSERT_NO_FATAL_FAILURE(readEmf(path, emf));
    expectRect(emf.header().rclBounds, 0, 0, -1, -1);
}

TEST(EmfOutput, MissingDirectoryThrowsAndCreatesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing"));
    EXPECT_THROW(SaveImageAsEmf(patternImage(7, 5), missing + QStringLiteral("/code.EMF"), QStringLiteral("bmp to emf"),
                                QStringLiteral("V1.0")),
                 Vandrel::Exception);
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

} // namespace

} // namespace VandrelTest
