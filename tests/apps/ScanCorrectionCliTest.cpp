// vandrel scan of damaged pictures: the bytes on standard output as from a
// whole picture, the corrections noted on standard error.
#include "support/Tool.h"
#include "tests/reader/SymbolPictures.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace VandrelTest {
namespace {

// `misread` codewords drawn as other patterns and `smeared` ones as no
// pattern, each in a row of its own, of a level-2 symbol (8 error-correction
// codewords: up to 2·misread + smeared = 6 corrected), saved as a PNG file.
QString DamagedPicture(const QString& file, const std::string& value, int32_t misread, int32_t smeared)
{
    TPdf417Encoder encoder;
    encoder.SetErrorLevel(2);
    encoder.SetDataColumn(2);
    encoder.SetBarValue(value);
    EXPECT_TRUE(encoder.StreamToBarData());
    std::vector<std::string> rows = EncodedSymbols(encoder)[0];
    const std::vector<int16_t> grid = EncodedGrids(encoder)[0];
    for (int32_t row = 0; row < misread + smeared; ++row) {
        if (row < misread)
            ReplaceCodeword(rows, row, 1, (grid[static_cast<size_t>(row * 2 + 1)] + 1) % GaloisPrime);
        else
            EXPECT_TRUE(SmearCodeword(rows, row, 0));
    }
    const TPicture p = Draw(rows, {2});
    QImage image(p.Width, p.Height, QImage::Format_Grayscale8);
    for (int32_t y = 0; y < p.Height; ++y)
        std::copy_n(p.Pixels.begin() + y * p.Width, p.Width, image.scanLine(y));
    EXPECT_TRUE(image.save(file));
    return file;
}

TEST(ScanCommand, DamagedSymbolsAreCorrectedAndSaySo)
{
    QTemporaryDir dir;
    const std::string value = "Corrected on the way back.";
    struct TCase {
        int32_t misread;
        int32_t smeared;
        int code;
        QString err;
    };
    const TCase cases[] = {
        {0, 0, 0, ""},
        {0, 1, 0, "corrected 1 codeword\n"},
        {1, 2, 0, "corrected 3 codewords\n"},
        {2, 3, 1, "Don't Scan barcode picture\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.misread << " misread, " << c.smeared << " smeared");
        const ToolRun r = RunTool({"scan", DamagedPicture(dir.filePath("damaged.png"), value, c.misread, c.smeared)});
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.bytes, c.code == 0 ? QByteArray::fromStdString(value) : QByteArray());
        if (c.code == 0) {
            EXPECT_EQ(r.err, c.err);
        } else { // after the unread codeword the reading reports
            EXPECT_TRUE(r.err.endsWith(c.err)) << r.err.toStdString();
            EXPECT_FALSE(r.err.contains("corrected"));
        }
    }
}

} // namespace
} // namespace VandrelTest
