// The PDF417 controls: property rules, the drawn geometry at every quarter
// turn, the output paths, the data-aware control, and an independent reader
// (zxing-cpp) decoding what we draw.
#include "pdf417/BarPDF417.h"
#include "pdf417/ClusterTables.h"
#include "pdf417/DBBarPDF417.h"
#include "support/Capture.h"
#include "support/Database.h"
#include "support/Oracle.h"
#include "support/Pictures.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <random>

namespace VandrelTest {

using namespace Vandrel;
using ZXing::BarcodeFormat;

namespace {

QImage Bitmap(TCustomBarPDF417& c)
{
    QImage bmp;
    c.CreateBMP(bmp);
    return bmp;
}

} // namespace

TEST(BarPDF417, NewControlShowsNothingUntilAValueIsSet)
{
    TBarPDF417 c;
    EXPECT_EQ(c.BarValue(), "PDF417");
    EXPECT_EQ(c.DataColumn(), 3);
    EXPECT_EQ(c.DataRow(), 0);
    EXPECT_EQ(c.ErrorLevel(), Level1);
    EXPECT_EQ(c.PDFType(), Normal);
    EXPECT_EQ(c.CodeMode(), tMode);
    EXPECT_EQ(c.BarX(), 2);
    EXPECT_EQ(c.RowHeight(), 6);
    EXPECT_FLOAT_EQ(c.Aspect(), 3.0f);
    EXPECT_EQ(CountColor(Bitmap(c), Qt::white), 200 * 100);
    c.FSetBarValue("PDF417");
    EXPECT_LT(CountColor(Bitmap(c), Qt::white), 200 * 100);
}

TEST(BarPDF417, SymbolGeometryAtEveryAngle)
{
    // 3 x 3 grid: (3 + 4) * 17 + 1 = 120 modules of 2 pixels, 3 rows of 6
    // pixels, drawn 2 modules in from its position; centred in 300 pixels
    // the line of (3 + 4) * 17 + 5 modules starts at (300 - 248) / 2.
    TBarPDF417 flat;
    flat.resize(300, 100);
    flat.FSetBarValue("PDF417");
    const QImage reference = Bitmap(flat);
    EXPECT_EQ(PaintedBox(reference, Qt::white), QRect(26 + 4, 4, 240, 18));
    // Row 0: the start pattern, then the left row indicator 0, "31111136" in
    // cluster 0; row 2 ends in the right indicator 5 and the stop pattern.
    const auto widths = [&](int x, int y, int elements) {
        std::string w;
        for (int e = 0; e < elements; ++e) {
            const QRgb colour = reference.pixel(x, y);
            int run = 0;
            while (reference.pixel(x, y) == colour)
                ++run, ++x;
            w += char('0' + run / 2);
        }
        return w;
    };
    EXPECT_EQ(widths(30, 5, 16), "81111113"
                                 "31111136");
    EXPECT_EQ(widths(30 + (17 * 5) * 2, 4 + 2 * 6, 8), GetBSValue(2, 5));
    for (const TAngleType angle : {_90, _180, _270}) {
        TBarPDF417 c;
        c.resize(angle == _180 ? 300 : 100, angle == _180 ? 100 : 300);
        c.FSetAngle(angle);
        c.FSetBarValue("PDF417");
        EXPECT_EQ(Bitmap(c), TurnedCcw(reference, angle)) << "angle " << angle;
    }
}

TEST(BarPDF417, TruncatedRowsEndInOneModuleBar)
{
    TBarPDF417 c;
    c.resize(300, 100);
    c.FSetAlignment(taLeft);
    c.FSetPDFType(Truncated);
    c.FSetBarValue("PDF417");
    const QRect box = PaintedBox(Bitmap(c), Qt::white);
    EXPECT_EQ(box, QRect(4, 4, ((3 + 2) * 17 + 1) * 2, 18));
}

TEST(BarPDF417, PropertyRulesAndMessages)
{
    TBarPDF417 c;
    MessageCapture capture;
    int repaints = 0;
    QObject::connect(&c, &TBarCode::invalidated, [&] { ++repaints; });

    c.FSetDataColumn(31);
    c.FSetDataRow(2);
    EXPECT_EQ(c.DataColumn(), 3);
    EXPECT_EQ(c.DataRow(), 0);
    EXPECT_EQ(capture.Messages, (QStringList{"DataColumn <= 30 ", "DataRow <= 90 And DataRow >= 3"}));
    EXPECT_EQ(repaints, 0);
    c.FSetDataRow(0);
    EXPECT_EQ(repaints, 0);
    c.FSetDataRow(90);
    EXPECT_EQ(c.DataRow(), 90);
    EXPECT_EQ(repaints, 1);

    try {
        c.FSetAspect(2.5f);
        FAIL() << "an aspect below 3 must raise";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Aspect >= 3.00");
    }
    EXPECT_FLOAT_EQ(c.Aspect(), 3.0f);

    c.FSetBarX(4); // the row height stays until Aspect is set again
    EXPECT_EQ(c.RowHeight(), 6);
    c.FSetAspect(3.0f);
    EXPECT_EQ(c.RowHeight(), 12);
}

TEST(BarPDF417, DataColumnShapesTheNextEncoding)
{
    TBarPDF417 c;
    c.FSetBarValue("PDF417 DATA COLUMN");
    const auto before = c.Encoder().SymbolSizes();
    c.FSetDataColumn(5);
    EXPECT_EQ(c.Encoder().SymbolSizes(), before);
    c.FSetBarValue("PDF417 DATA COLUMN");
    ASSERT_EQ(c.Encoder().SymbolCount(), 1);
    EXPECT_EQ(c.Encoder().SymbolSizes()[0].Columns, 5);
}

TEST(BarPDF417, PrintAtAnOffsetAndInternalprint)
{
    TBarPDF417 c;
    c.resize(300, 100);
    c.FSetBarValue("OFFSET");
    const QImage bmp = Bitmap(c);
    for (const bool internal : {false, true}) {
        QImage page = Filled(600, 400, Qt::white);
        {
            QPainter painter(&page);
            internal ? c.Internalprint(&painter, {100, 50}) : c.Print(&painter, {100, 50});
        }
        EXPECT_EQ(page.copy(100, 50, 300, 100), bmp) << internal;
        EXPECT_TRUE(QRect(100, 50, 300, 100).contains(PaintedBox(page, Qt::white))) << internal;
    }
    // Internalprint encodes BarValue afresh, whatever DataStream held.
    c.ClearData();
    QImage page = Filled(300, 100, Qt::white);
    {
        QPainter painter(&page);
        c.Internalprint(&painter, {0, 0});
    }
    EXPECT_EQ(page, bmp);
}

TEST(BarPDF417, PrintWithNothingToEncodeTellsTheUser)
{
    TBarPDF417 c; // DataStream is empty
    MessageCapture capture;
    QImage page = Filled(300, 100, Qt::white);
    QPainter painter(&page);
    c.Print(&painter, {0, 0});
    EXPECT_EQ(capture.Messages, QStringList{"Append data is error!"});
}

TEST(BarPDF417, ReaderDecodesEveryModeLevelModuleWidthAndAngle)
{
    struct Case {
        TCodeMode mode;
        std::string value;
    };
    std::string binary;
    for (int i = 0; i < 256; ++i)
        binary += char(i);
    const Case cases[] = {
        {tMode, "Hello, PDF417!"},
        {nMode, "12345678901234567890123456789012345678901234"},
        {bMode, binary},
        {cMode, "Order 4711: 1234567890123 x2, \x01\x02 done"},
    };
    for (const Case& k : cases) {
        for (int level = 0; level <= 8; ++level) {
            const int barX = 1 + level % 4;
            const auto angle = TAngleType((level + level / 4 + int(k.mode)) % 4); // every width meets every angle
            TBarPDF417 c;
            c.resize(1200, 1200);
            c.FSetAngle(angle);
            c.FSetCodeMode(k.mode);
            c.FSetErrorLevel(TErrorLevel(level));
            c.FSetBarX(barX);
            c.FSetAspect(4.0f); // rows of 3 pixels are too low for the reader at 1-pixel modules
            c.FSetDataColumn(12);
            c.FSetBarValue(k.value);
            const TReading r = ReadDetails(Bitmap(c), BarcodeFormat::PDF417);
            EXPECT_TRUE(r.valid) << "mode " << k.mode << " level " << level;
            EXPECT_EQ(r.bytes, k.value) << "mode " << k.mode << " level " << level;
        }
    }
}

TEST(BarPDF417, ReaderDecodesEachSymbolOfASequence)
{
    // One symbol per line: each is cut out and read alone.
    TBarPDF417 c;
    c.resize(300, 2400);
    c.FSetPDFType(MicroPDF417);
    c.FSetCodeMode(cMode);
    c.FSetDataColumn(3);
    std::string value;
    for (int i = 0; i < 80; ++i)
        value += "Vandrel " + std::to_string(i) + ", ";
    c.FSetBarValue(value);
    const auto sizes = c.Encoder().SymbolSizes();
    ASSERT_GE(sizes.size(), 3u);
    const QImage whole = Bitmap(c);
    std::string joined;
    std::string id;
    int y = 0;
    for (size_t k = 0; k < sizes.size(); ++k) {
        const int height = sizes[k].Rows * c.RowHeight() + 4 * c.BarX();
        const TReading r = ReadDetails(whole.copy(0, y, whole.width(), height), BarcodeFormat::PDF417);
        ASSERT_TRUE(r.valid) << "symbol " << k;
        EXPECT_EQ(r.sequenceIndex, int(k));
        EXPECT_EQ(r.lastInSequence, k + 1 == sizes.size()) << k;
        if (k == 0)
            id = r.sequenceId;
        EXPECT_EQ(r.sequenceId, id) << k;
        joined += r.bytes;
        y += sizes[k].Rows * c.RowHeight() + 16 * c.BarX();
    }
    EXPECT_EQ(joined, value);
}

TEST(BarPDF417, EveryLineOfASequenceStartsAtTheAlignedEdge)
{
    TBarPDF417 c;
    c.resize(600, 1300);
    c.FSetAlignment(taRight);
    c.FSetPDFType(MicroPDF417);
    c.FSetDataColumn(2);
    c.FSetDataRow(0);
    std::string value;
    for (int i = 0; i < 90; ++i)
        value += "line " + std::to_string(i) + "; ";
    c.FSetBarValue(value);
    const auto sizes = c.Encoder().SymbolSizes();
    ASSERT_GE(sizes.size(), 3u);
    const QImage img = Bitmap(c);
    // Two symbols of (2 + 4) * 17 + 5 modules, 8 modules apart, fit a line
    // of 600 pixels, the right one whole.
    const int lineHeight = sizes[0].Rows * c.RowHeight() + 16 * c.BarX();
    const QRect first = PaintedBox(img.copy(0, 0, 600, lineHeight), Qt::white);
    const QRect second = PaintedBox(img.copy(0, lineHeight, 600, img.height() - lineHeight), Qt::white);
    EXPECT_FALSE(second.isEmpty());
    EXPECT_EQ(second.left(), first.left());
    EXPECT_EQ(first.left(), 600 - (107 + 111) * 2 + 2 * 2);
    EXPECT_EQ(first.right(), 600 - 2 * 2 - 1);
}

TEST(BarPDF417, DataAwareControlFollowsTheRecords)
{
    TestDatabase db("pdf417", {"CREATE TABLE labels (id INTEGER PRIMARY KEY, text TEXT)",
                               "INSERT INTO labels VALUES (1, 'first label')", "INSERT INTO labels VALUES (2, '')",
                               "INSERT INTO labels VALUES (3, 'third label')"});
    TDataSet ds;
    ds.SetConnectionName(db.Name());
    ds.SetSQL("SELECT text FROM labels ORDER BY id");
    TDataSource source;
    source.SetDataSet(&ds);
    TDBBarPDF417 c;
    c.resize(400, 200);
    c.SetDataField("text");
    c.SetDataSource(&source);
    ds.Open();
    EXPECT_EQ(ReadDetails(Bitmap(c), BarcodeFormat::PDF417).bytes, "first label");
    ds.Next(); // empty: the previous symbol stays
    EXPECT_EQ(ReadDetails(Bitmap(c), BarcodeFormat::PDF417).bytes, "first label");
    ds.Next();
    EXPECT_EQ(ReadDetails(Bitmap(c), BarcodeFormat::PDF417).bytes, "third label");
}

TEST(BarPDF417, ASymbolOfASequenceDrawnAloneReadsBack)
{
    TBarPDF417 c;
    c.FSetPDFType(MicroPDF417);
    c.FSetDataColumn(4);
    std::string value;
    for (int i = 0; i < 120; ++i)
        value += "segment " + std::to_string(i) + "; ";
    c.FSetBarValue(value);
    const int32_t count = c.Encoder().SymbolCount();
    ASSERT_GE(count, 3);
    const int bx = c.BarX();
    std::string joined;
    for (const TAngleType angle : {_0, _90}) {
        c.FSetAngle(angle);
        for (int32_t shown = TCustomBarPDF417::AllSymbols; shown < count; ++shown) {
            SCOPED_TRACE(testing::Message() << "angle " << angle << ", symbol " << shown);
            c.SetShownSymbol(shown);
            // Sized to its extent, the picture holds the drawing with exactly the 2-module margin.
            const auto extent = c.DrawingExtent(0);
            const QSize along(int(extent.Right - extent.Left), int(extent.Bottom));
            c.resize(angle == _0 ? along : along.transposed());
            const QImage bmp = Bitmap(c);
            EXPECT_EQ(PaintedBox(bmp, Qt::white), QRect(QPoint(2 * bx, 2 * bx), c.size() - QSize(4 * bx, 4 * bx)));
            if (shown == TCustomBarPDF417::AllSymbols || angle != _0)
                continue;
            const TReading r = ReadDetails(bmp, BarcodeFormat::PDF417);
            ASSERT_TRUE(r.valid);
            EXPECT_EQ(r.sequenceIndex, shown);
            EXPECT_EQ(r.lastInSequence, shown + 1 == count);
            joined += r.bytes;
        }
    }
    EXPECT_EQ(joined, value);
}

TEST(BarPDF417, DrawingExtentFollowsTheLineLayout)
{
    std::string value;
    for (int i = 0; i < 90; ++i)
        value += "line " + std::to_string(i) + "; ";
    // Symbols of 2 columns in a line of 600 pixels, (2 + 4) * 17 + 9 = 111
    // modules apart: two of (2 + 4) * 17 + 5 = 107 modules with row
    // indicators, three of (2 + 2) * 17 + 5 = 73 without, the last one whole.
    struct TCase {
        TPDFType type;
        TAlignment alignment;
        int64_t left, right;
    };
    const TCase cases[] = {
        {MicroPDF417, taLeft, 0, (111 + 107) * 2},
        {MicroPDF417, taCenter, (600 - 436) / 2, (600 - 436) / 2 + 436},
        {MicroPDF417, taRight, 600 - 436, 600},
        {TruncatedMicroPDF417, taRight, 600 - 590, 600},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", alignment " << c.alignment);
        TBarPDF417 control;
        control.resize(600, 1300);
        control.FSetAlignment(c.alignment);
        control.FSetPDFType(c.type);
        control.FSetDataColumn(2);
        control.FSetBarValue(value);
        const auto sizes = control.Encoder().SymbolSizes();
        ASSERT_EQ(sizes.size(), 4u);
        const auto extent = control.DrawingExtent(600);
        EXPECT_EQ(extent.Left, c.left);
        EXPECT_EQ(extent.Right, c.right);
        // Each line as deep as its first symbol, which is full.
        const size_t perLine = c.type == MicroPDF417 ? 2 : 3;
        EXPECT_EQ(extent.Bottom, (sizes[0].Rows + sizes[perLine].Rows) * int64_t{control.RowHeight()} + 16 * 2 + 4 * 2);
        EXPECT_EQ(PaintedBox(Bitmap(control), Qt::white).right(), c.right - 2 * 2 - 1);
    }
}

} // namespace VandrelTest
