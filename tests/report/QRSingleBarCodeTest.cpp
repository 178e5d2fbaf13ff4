// The linear barcode element of a band report: its properties reach the
// control only when they change, the designer and the page show the symbol
// (on the page at the printer's resolution), a symbol the element cannot
// hold is refused, and the data-aware element takes its value from a field.
#include "report/QRSingleBarCode.h"
#include "report/ElementFixtures.h"
#include "support/Oracle.h"
#include "support/Pictures.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

namespace VandrelTest {

using namespace Vandrel;
using ZXing::BarcodeFormat;

namespace {

// The length of the bar that starts at the first dark pixel of the
// symbol's top row: the text below it is set apart by a gap.
int FirstBarLength(const QImage& image)
{
    const QRect box = PaintedBox(image, Qt::white);
    int x = box.left();
    while (qGray(image.pixel(x, box.top())) >= 128)
        ++x;
    int y = box.top();
    while (y < image.height() && qGray(image.pixel(x, y)) < 128)
        ++y;
    return y - box.top();
}

} // namespace

TEST(QRSingleBarCode, AFreshElementHoldsTheControlsValueAtItsSize)
{
    TQRSingleBarCode e;
    EXPECT_EQ(e.size(), QSize(65, 40));
    EXPECT_EQ(e.BarType(), Inter2_5);
    EXPECT_EQ(e.BarValue(), "123456");
    EXPECT_EQ(e.Alignment(), taCenter);
    EXPECT_EQ(e.BarBackColor(), QColor(Qt::white));
    EXPECT_EQ(e.BarColor(), QColor(Qt::black));
    EXPECT_TRUE(e.ShowText());
    EXPECT_FALSE(e.Transparent());
    const TSingleBarCode& c = *e.BarCodeControl();
    EXPECT_EQ(c.size(), e.size());
    EXPECT_EQ(c.BarValue(), "123456");
    EXPECT_EQ(c.Alignment(), taCenter);
    EXPECT_TRUE(c.ShowText());
    EXPECT_EQ(c.parent(), nullptr);
    EXPECT_FALSE(c.isVisible());
}

TEST(QRSingleBarCode, APropertyReachesTheControlOnlyWhenItChanges)
{
    TQRSingleBarCode e;
    TFont font;
    font.Height = -20;
    font.Style = fsBold;
    ExpectMirrored(e, *e.BarCodeControl(),
                   {
                       {"BarType", QVariant::fromValue(Code128_B)},
                       {"BarValue", QString("Changed")},
                       {"Angle", QVariant::fromValue(_90)},
                       {"BarBackColor", QColor(Qt::yellow)},
                       {"BarColor", QColor(Qt::blue)},
                       {"Alignment", QVariant::fromValue(taLeft)},
                       {"Font", font.ToQFont()},
                       {"ShowText", false},
                       {"Transparent", true},
                   });
}

TEST(QRSingleBarCode, TheDesignerShowsTheSymbolInTheElementsFontAsItIsNow)
{
    TQRSingleBarCode e;
    e.resize(400, 120);
    e.FSetBarType(Code128_B);
    e.FSetBarValue("Design");
    // Changed in place, not through the setter: the control draws with it all the same.
    e.Font().Height = -16;
    const QImage picture = e.grab().toImage();
    EXPECT_EQ(ReadSymbol(picture, BarcodeFormat::Code128), "Design");
    EXPECT_EQ(e.BarCodeControl()->Font(), e.Font());
}

TEST(QRSingleBarCode, ResizingPassesTheReportsUnitsToTheSymbolSize)
{
    ExpectSymbolSizeInReportUnits<TQRSingleBarCode>();
}

// Bars are as long as the element leaves beside the text band, whose height
// is the font's, scaled from design pixels to the printer's: 6.25 device
// pixels per design pixel at 600 dpi. An in-place change of the font counts.
TEST(QRSingleBarCode, PrintedBarsLeaveRoomForTheFontAtThePrintersResolution)
{
    struct Case {
        int32_t fontHeight; // design pixels
        int printedFont;    // device pixels
    };
    for (const Case& k : {Case{-11, 69}, Case{-20, 125}}) {
        SCOPED_TRACE(k.fontHeight);
        ReportOnA4 r;
        const QRectF mm(5, 5, 60, 20);
        auto* e = r.Place<TQRSingleBarCode>(mm);
        e->FSetBarType(Code128_B);
        e->FSetBarValue("Vandrel");
        e->Font().Height = k.fontHeight;
        const TFont designFont = e->BarCodeControl()->Font();
        r.Run();
        const QRect area = r.PageArea(mm);
        const QImage picture = r.Picture(area);
        EXPECT_EQ(ReadSymbol(picture, BarcodeFormat::Code128), "Vandrel");
        // Margins of 2 pixels above and below the bars.
        EXPECT_EQ(FirstBarLength(picture), area.height() - 4 - k.printedFont);
        EXPECT_EQ(e->BarCodeControl()->Font(), designFont); // the designer's is back
    }
}

TEST(QRSingleBarCode, ASymbolTheElementCannotHoldIsRefused)
{
    struct Case {
        const char* name;
        TBarType type;
        const char* value;
        TAngleType angle;
        QRectF mm;
        const char* error; // none: the element prints
    };
    const Case cases[] = {
        {"too short along the symbol",
         Code128_B,
         "A fairly long value for ten millimetres",
         _0,
         {5, 5, 10, 15},
         "too short"},
        {"too short along the symbol when upright",
         Code128_B,
         "A fairly long value for ten millimetres",
         _90,
         {5, 5, 60, 10},
         "too short"},
        {"too narrow for the bars and the text", Code128_B, "AB", _0, {5, 5, 40, 2}, "too narrow"},
        // The control hatches the area of a value its symbology refuses.
        {"a refused value", EAN13, "not digits", _0, {5, 5, 40, 15}, nullptr},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ReportOnA4 r;
        auto* e = r.Place<TQRSingleBarCode>(k.mm);
        e->FSetBarType(k.type);
        e->FSetBarValue(k.value);
        e->FSetAngle(k.angle);
        // Asked before the band prints, the element tells what Print refuses.
        const auto [problem, error] = ProblemAndError(r, *e);
        EXPECT_EQ(problem, error);
        if (!k.error) {
            EXPECT_EQ(error, "");
            EXPECT_FALSE(PaintedBox(r.Picture(r.PageArea(k.mm)), Qt::white).isEmpty());
            continue;
        }
        EXPECT_NE(error.find("linear barcode element"), std::string::npos) << error;
        EXPECT_NE(error.find(k.error), std::string::npos) << error;
        EXPECT_FALSE(r.Preview.Printing());
        EXPECT_EQ(e->BarCodeControl()->size(), e->size());
    }
}

TEST(QRSingleBarCode, PrintsOnlyWhileItsReportRuns)
{
    TQRSingleBarCode e;
    EXPECT_THROW(e.Print(0, 0), EReportError);
    EXPECT_THROW(e.PrintProblem(), EReportError);
}

// The symbol's picture is opaque; the frame is drawn over it, so it shows.
TEST(QRSingleBarCode, TheFrameShowsAroundThePrintedSymbol)
{
    ReportOnA4 r;
    const QRectF mm(5, 5, 60, 20);
    auto* e = r.Place<TQRSingleBarCode>(mm);
    TQRFrame frame;
    frame.DrawLeft = frame.DrawTop = frame.DrawRight = frame.DrawBottom = true;
    e->SetFrame(frame);
    r.Run();
    const QRect area = r.PageArea(mm);
    const QImage picture = r.Picture(area);
    for (const int y : {0, area.height() - 1})
        EXPECT_EQ(CountColor(picture.copy(0, y, area.width(), 1), Qt::black), area.width()) << y;
    for (const int x : {0, area.width() - 1})
        EXPECT_EQ(CountColor(picture.copy(x, 0, 1, area.height()), Qt::black), area.height()) << x;
}

TEST(DBQRSingleBarCode, TakesItsValueFromAModifiableNonEmptyField)
{
    ExpectTakesValuesFromTheField<TDBQRSingleBarCode>("qr-linear-data");
}

} // namespace VandrelTest
