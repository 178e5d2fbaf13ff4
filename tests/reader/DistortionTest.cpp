// The PDF417 reader on pictures of real life, beside zxing-cpp reading the
// same pictures: a reader may give up on a picture, but never return bytes
// the symbol does not hold. mustRead marks the pictures it has learnt to
// read; the summary in the log shows which ones zxing-cpp reads and ours not.
#include "reader/StreamDecode.h"
#include "support/Distort.h"
#include "support/Oracle.h"
#include "support/Zint.h"

#include <QImage>

#include <gtest/gtest.h>
#include <zint.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace VandrelTest {

using namespace Vandrel;

namespace {

struct TRow {
    std::string_view name;
    bool mustRead; // our reader gives the value, whether zxing-cpp reads the picture or not
};

// One row for each distortion (Distort.h) and each of zint's pictures.
constexpr TRow Rows[] = {
    {"clean", true},           {"turned 90", true},       {"turned 180", true},
    {"turned 270", true},      {"mirrored", true},        {"skewed 0.5", true},
    {"skewed 1", true},        {"skewed 2", true},        {"skewed 3", true},
    {"skewed 10", true},       {"skewed 30", true},       {"skewed 45", false},
    {"perspective 4%", true},  {"perspective 10%", true}, {"blurred 0.7", true},
    {"specks 5%", true},       {"noise 25 seed 1", true}, {"noise 25 seed 2", true},
    {"noise 25 seed 3", true}, {"scaled 1.5", true},      {"scaled 2.3", true},
    {"jpeg 20", true},         {"cut left 2", true},      {"speck beside rows", true},
    {"framed", true},          {"rule above", true},      {"inverted", true},
    {"uneven light", true},    {"among text", true},      {"zint", true},
    {"zint turned 90", true},  {"zint turned 180", true}, {"zint turned 270", true},
};

using TPictures = std::vector<std::pair<std::string, QImage>>;

// zint's own drawing of the value, with the grid and level of ours, turned
// clockwise by zint and given our margin.
QImage ZintPicture(int degrees)
{
    ZintOptions options;
    options.option1 = 2;
    options.option2 = 4;
    options.bitmap = true;
    options.rotate = degrees;
    const ZintSymbol symbol = ZintEncode(BARCODE_PDF417, DistortValue, options);
    EXPECT_TRUE(symbol.Ok()) << symbol.error;
    const QImage bitmap(symbol.bitmap.data(), symbol.bitmapWidth, symbol.bitmapHeight, 3 * symbol.bitmapWidth,
                        QImage::Format_RGB888);
    return WithMargin(bitmap, DistortMargin);
}

TPictures Pictures()
{
    const QImage clean = CleanPdf417(std::string(DistortValue));
    TPictures pictures;
    for (const TDistortion& d : Distortions())
        pictures.emplace_back(d.name, d.make(clean));
    for (const int degrees : {0, 90, 180, 270})
        pictures.emplace_back(degrees ? "zint turned " + std::to_string(degrees) : "zint", ZintPicture(degrees));
    return pictures;
}

struct TOurRead {
    bool exact = false;             // one result, the value, no error
    std::vector<std::string> wrong; // results with other bytes
};

TOurRead ReadOurs(const QImage& picture)
{
    const TPixelView view{picture.constBits(), picture.width(), picture.height(), picture.bytesPerLine(),
                          picture.depth() / 8};
    const TPictureScan scan = ScanPictureAll(view, {}, {}, [](const std::string&) {});
    TOurRead read;
    for (const TScanResult& result : scan.Results) {
        const std::string bytes(result.Data.Bytes().begin(), result.Data.Bytes().end());
        if (bytes != DistortValue)
            read.wrong.push_back(bytes);
    }
    read.exact = scan.Error.empty() && scan.Results.size() == 1 && read.wrong.empty();
    return read;
}

const char* Mark(bool read)
{
    return read ? "reads" : "-";
}

} // namespace

TEST(Distortion, NeverWrongBytesAndReadsWhatItHasLearnt)
{
    const TPictures pictures = Pictures();
    ASSERT_EQ(pictures.size(), std::size(Rows)) << "every picture has its row";
    std::printf("%-20s %-6s %-6s %s\n", "picture", "zxing", "ours", "mustRead");
    for (size_t i = 0; i < pictures.size(); ++i) {
        const auto& [name, picture] = pictures[i];
        const TRow& row = Rows[i];
        SCOPED_TRACE(name);
        ASSERT_EQ(row.name, name) << "the rows follow the pictures' order";
        ASSERT_FALSE(picture.isNull());

        const TReading zxing = ReadDetails(picture, ZXing::BarcodeFormat::PDF417);
        const bool zxingReads = zxing.valid && zxing.bytes == DistortValue;
        const TOurRead ours = ReadOurs(picture);
        EXPECT_TRUE(ours.wrong.empty()) << "read as \"" << ours.wrong.front() << '"';
        if (row.mustRead) {
            EXPECT_TRUE(ours.exact);
        }
        std::printf("%-20s %-6s %-6s %s%s\n", name.c_str(), Mark(zxingReads), Mark(ours.exact),
                    row.mustRead ? "yes" : "no", ours.exact && !row.mustRead ? " (reads now: switch it on)" : "");
    }
}

} // namespace VandrelTest
