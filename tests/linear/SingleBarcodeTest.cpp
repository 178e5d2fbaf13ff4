// The 1D control: layout of the symbol frame, module drawing at every quarter
// turn, the hatched area, transparency, the four output paths and the setters'
// check-digit rules.
#include "linear/SingleBarcode.h"
#include "core/Exceptions.h"
#include "platform/Canvas.h"
#include "support/Pictures.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace VandrelTest {

using namespace Vandrel;

namespace {

QImage Bitmap(TCustomSingleBarCode& c)
{
    QImage bmp;
    c.CreateBMP(bmp);
    return bmp;
}

// A control showing `value` as Code 39.
void MakeCode39(TCustomSingleBarCode& c, const std::string& value, int w = 200, int h = 100)
{
    c.resize(w, h);
    c.FSetBarType(Code39);
    c.FSetBarValue(value);
}

bool IsBlack(const QImage& img, int x, int y)
{
    return img.pixel(x, y) == QColor(Qt::black).rgb();
}

} // namespace

TEST(SingleBarCode, NewControlDefaults)
{
    TCustomSingleBarCode c;
    EXPECT_EQ(c.BarType(), Inter2_5);
    EXPECT_EQ(c.BarValue(), "123456");
    EXPECT_TRUE(c.CalcuCheck());
    EXPECT_TRUE(c.ShowText());
    EXPECT_EQ(c.Font().Height, -11);
    EXPECT_EQ(c.Font().Charset, 1);
    EXPECT_EQ(c.Font().Name, "MS Sans Serif");
    EXPECT_EQ(c.TextAlign, tFull);
}

TEST(SingleBarCode, LaysOutA92ModuleString)
{
    TCustomSingleBarCode c;
    c.Margin = 2;
    c.FontHeight = -11;
    c.AreaOrigin = {0, 0};
    c.CalcuBmpSize();
    QImage img = Filled(200, 100, Qt::white);
    std::string modules;
    for (int i = 0; i < 46; ++i)
        modules += "50"; // 92 one-module elements
    TRect text;
    {
        QPainter painter(&img);
        TCanvas canvas(&painter);
        c.DrawCode(canvas, modules);
        c.CreateTxtRect(text);
    }

    EXPECT_EQ(c.TotalModules, 100);
    EXPECT_EQ(c.ModuleWidth, 2);
    EXPECT_EQ(c.BarHeight, 85);
    EXPECT_EQ(c.StartPoint, (TPoint{0, 2}));
    EXPECT_EQ(text, (TRect{0, 87, 200, 98}));
    // First bar at x = 8, two pixels wide, from y = 2 to 86; then a space.
    EXPECT_FALSE(IsBlack(img, 7, 50));
    EXPECT_TRUE(IsBlack(img, 8, 2));
    EXPECT_TRUE(IsBlack(img, 9, 86));
    EXPECT_FALSE(IsBlack(img, 8, 1));
    EXPECT_FALSE(IsBlack(img, 8, 87));
    EXPECT_FALSE(IsBlack(img, 10, 50));
    EXPECT_EQ(PaintedBox(img, Qt::white), QRect(QPoint(8, 2), QPoint(189, 86)));
}

TEST(SingleBarCode, Code39SizesAndLayout)
{
    struct Case {
        const char* value;
        int totalModules;
    };
    for (const Case k : {Case{"", 33}, Case{"123", 72}, Case{"ABC-123", 124}}) {
        TCustomSingleBarCode c;
        MakeCode39(c, k.value);
        Bitmap(c);
        EXPECT_EQ(c.TotalModules, k.totalModules) << k.value;
        EXPECT_EQ(c.ModuleWidth, 200 / k.totalModules) << k.value;
    }
}

TEST(SingleBarCode, EverySymbologyTurnsWithTheAngle)
{
    // Without text the bars alone must be the 0-degree picture turned exactly.
    const std::pair<TBarType, const char*> samples[] = {
        {Inter2_5, "123456"},    {Indust2_5, "1234"},     {Matrix2_5, "1234"},
        {Code39, "VANDREL"},     {Code39Ex, "A-1"},       {Code128_A, "AB"},
        {Code128_B, "ab"},       {Code128_C, "1234"},     {Code93, "TEST93"},
        {Code93Ex, "A$"},        {MSI, "1234"},           {PostNet, "12345"},
        {CodaBar, "A123B"},      {EAN8, "01234565"},      {EAN13, "4006381333931"},
        {UPC_A, "036000291452"}, {UPC_E0, "12345650"},    {UPC_E1, "12345620"},
        {EAN128_A, "01"},        {EAN128_B, "01a"},       {EAN128_C, "0112"},
        {ISSN, "9771234567003"}, {ISBN, "9780201379624"},
    };
    static_assert(std::size(samples) == BarTypeCount);
    for (const auto& [type, value] : samples) {
        TCustomSingleBarCode flat;
        flat.resize(300, 90);
        flat.FSetBarType(type);
        flat.FSetBarValue(value);
        flat.FSetShowText(false);
        const QImage reference = Bitmap(flat);
        ASSERT_GT(CountColor(reference, Qt::black), 0) << type;
        for (const TAngleType angle : {_90, _180, _270}) {
            TCustomSingleBarCode c;
            const bool upright = angle != _180;
            c.resize(upright ? 90 : 300, upright ? 300 : 90);
            c.FSetBarType(type);
            c.FSetBarValue(value);
            c.FSetShowText(false);
            c.FSetAngle(angle);
            EXPECT_EQ(Bitmap(c), TurnedCcw(reference, angle)) << "type " << type << " angle " << angle;
        }
    }
}

TEST(SingleBarCode, TextStaysInItsBandAtEveryAngle)
{
    // The text band lies after the bars' far ends: below at 0, right at 90,
    // above at 180, left at 270.
    const QRect bands[] = {{0, 87, 200, 11}, {87, 0, 11, 200}, {0, 2, 200, 11}, {2, 0, 11, 200}};
    for (int a = 0; a < 4; ++a) {
        TCustomSingleBarCode withText;
        TCustomSingleBarCode without;
        for (auto* c : {&withText, &without}) {
            const bool upright = a % 2;
            MakeCode39(*c, "AB", upright ? 100 : 200, upright ? 200 : 100);
            c->FSetAngle(TAngleType(a));
        }
        without.FSetShowText(false);
        const QRect changed = DifferenceBox(Bitmap(withText), Bitmap(without));
        EXPECT_FALSE(changed.isEmpty()) << a;
        EXPECT_TRUE(bands[a].contains(changed)) << a;
    }
}

TEST(SingleBarCode, RejectedValueHatchesTheArea)
{
    TCustomSingleBarCode c;
    MakeCode39(c, "lower case");
    c.FSetBarColor(Qt::red);
    c.FSetBarBackColor(Qt::yellow);
    const QImage img = Bitmap(c);
    const int red = CountColor(img, Qt::red);
    const int yellow = CountColor(img, Qt::yellow);
    EXPECT_GT(red, 1000);
    EXPECT_GT(yellow, 1000);
    EXPECT_EQ(red + yellow, 200 * 100);
    // The outline is drawn in the background colour, the hatching runs diagonally.
    for (int x = 0; x < 200; ++x)
        EXPECT_EQ(img.pixel(x, 0), QColor(Qt::yellow).rgb());
    for (int y = 10; y < 90; ++y)
        for (int x = 10; x < 190; ++x)
            if (img.pixel(x, y) == QColor(Qt::red).rgb()) {
                ASSERT_TRUE(img.pixel(x + 1, y + 1) == QColor(Qt::red).rgb() ||
                            img.pixel(x - 1, y + 1) == QColor(Qt::red).rgb())
                    << x << "," << y;
            }
}

TEST(SingleBarCode, TransparentLeavesSpacesUntouched)
{
    for (const bool transparent : {false, true}) {
        TCustomSingleBarCode c;
        MakeCode39(c, "AB");
        c.FSetShowText(false);
        c.FSetTransparent(transparent);
        QImage canvas = Filled(200, 100, Qt::green);
        QPainter painter(&canvas);
        c.Print(&painter, {0, 0});
        painter.end();
        const int black = CountColor(canvas, Qt::black);
        EXPECT_GT(black, 0);
        const int white = CountColor(canvas, Qt::white);
        EXPECT_EQ(white > 0, !transparent);
        EXPECT_EQ(black + white + CountColor(canvas, Qt::green), 200 * 100);
    }
}

TEST(SingleBarCode, OutputPathsDrawTheSamePixels)
{
    for (int a = 0; a < 4; ++a) {
        TCustomSingleBarCode c;
        MakeCode39(c, "PIXEL-1", a % 2 ? 110 : 260, a % 2 ? 260 : 110);
        c.FSetAngle(TAngleType(a));
        const QImage bmp = Bitmap(c);
        ASSERT_GT(CountColor(bmp, Qt::black), 0);

        // Paint on screen.
        const QImage screen = c.grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(screen, bmp) << "Paint, angle " << a;

        // Print and Internalprint at an offset on a larger page.
        for (const bool internal : {false, true}) {
            QImage page = Filled(600, 400, Qt::white);
            QPainter painter(&page);
            internal ? c.Internalprint(&painter, {100, 50}) : c.Print(&painter, {100, 50});
            painter.end();
            EXPECT_EQ(page.copy(QRect(QPoint(100, 50), bmp.size())), bmp)
                << (internal ? "Internalprint" : "Print") << ", angle " << a;
            EXPECT_TRUE(QRect(QPoint(100, 50), bmp.size()).contains(PaintedBox(page, Qt::white)));
        }
    }
}

TEST(SingleBarCode, EveryPathPaintsTheSameBarsAndSpaces)
{
    // The bitmap paths write bars and spaces into pixels, Print gives them to a
    // painter: on a white page an opaque control's coloured spaces, its half
    // bars and its retail guards must come out alike from both, at every angle.
    // A translucent bar colour blends on every path.
    const std::pair<TBarType, const char*> samples[] = {
        {Code39, "AB-1"},        {PostNet, "12345"},   {EAN13, "4006381333931"}, {EAN8, "01234565"},
        {UPC_A, "036000291452"}, {UPC_E0, "12345650"}, {ISSN, "9771234567003"},
    };
    for (const auto& [type, value] : samples)
        for (int a = 0; a < 4; ++a)
            for (const QColor bars : {QColor(Qt::black), QColor(0, 0, 128, 128)}) {
                TCustomSingleBarCode c;
                c.resize(a % 2 ? 100 : 300, a % 2 ? 300 : 100);
                c.FSetBarType(type);
                c.FSetBarValue(value);
                c.FSetAngle(TAngleType(a));
                c.FSetBarBackColor(Qt::yellow);
                c.FSetBarColor(bars);
                const QRect area(QPoint(20, 10), c.size());
                QImage printed = Filled(340, 340, Qt::white);
                QImage internal = printed;
                {
                    QPainter painter(&printed);
                    c.Print(&painter, {20, 10});
                }
                {
                    QPainter painter(&internal);
                    c.Internalprint(&painter, {20, 10});
                }
                ASSERT_GT(CountColor(printed, Qt::yellow), 0) << type << " angle " << a;
                EXPECT_EQ(printed, internal) << type << " angle " << a << " alpha " << bars.alpha();
                // Over a page of the background colour, Print is the bitmap.
                QImage page = Filled(340, 340, Qt::yellow);
                {
                    QPainter painter(&page);
                    c.Print(&painter, {20, 10});
                }
                EXPECT_EQ(page.copy(area), Bitmap(c)) << type << " angle " << a << " alpha " << bars.alpha();
            }
}

TEST(SingleBarCode, NarrowControlDrawsNoBars)
{
    TCustomSingleBarCode c;
    MakeCode39(c, "ABC-123", 60, 100);
    c.FSetShowText(false);
    const QImage img = Bitmap(c);
    EXPECT_EQ(c.ModuleWidth, 0);
    EXPECT_EQ(CountColor(img, Qt::black), 0);
}

TEST(SingleBarCode, CheckDigitCompletionInTheSetters)
{
    struct Case {
        TBarType type;
        const char* value;
        bool calcuCheck;
        const char* stored;
    };
    const Case cases[] = {
        {EAN13, "400638133393", true, "4006381333931"},   // completed
        {EAN13, "4006381333938", true, "4006381333931"},  // wrong check digit replaced
        {EAN13, "4006381333938", false, "4006381333938"}, // not verified
        {UPC_A, "03600029145", true, "03600029145"},      // wrong length: untouched
        {EAN8, "01234560", true, "01234565"},
        {Code39, "ABC", true, "ABC"}, // not a retail type
    };
    for (const Case& k : cases) {
        TCustomSingleBarCode c;
        c.FSetCalcuCheck(k.calcuCheck);
        c.FSetBarType(k.type);
        c.FSetBarValue(k.value);
        EXPECT_EQ(c.BarValue(), k.stored) << k.value;
    }
}

TEST(SingleBarCode, CalcuCheckCompletesTheHeldValueOnEveryTrue)
{
    TCustomSingleBarCode c;
    c.FSetCalcuCheck(false);
    c.FSetBarType(EAN13);
    c.FSetBarValue("4006381333938");
    int repaints = 0;
    QObject::connect(&c, &TBarCode::invalidated, [&] { ++repaints; });
    c.FSetCalcuCheck(true);
    EXPECT_EQ(c.BarValue(), "4006381333931");
    EXPECT_EQ(repaints, 1);
    c.FSetCalcuCheck(false); // turning it off restores nothing
    EXPECT_EQ(c.BarValue(), "4006381333931");
    c.FSetCalcuCheck(true);
    EXPECT_EQ(repaints, 2);
}

TEST(SingleBarCode, SettersRepaintOnlyOnChange)
{
    TCustomSingleBarCode c;
    int repaints = 0;
    QObject::connect(&c, &TBarCode::invalidated, [&] { ++repaints; });
    c.FSetBarType(Inter2_5);
    c.FSetBarValue("123456");
    c.FSetShowText(true);
    EXPECT_EQ(repaints, 0);
    c.FSetBarType(Code39);
    c.FSetBarValue("X");
    c.FSetShowText(false);
    EXPECT_EQ(repaints, 3);
    TFont font = c.Font();
    font.Height = -20;
    c.FSetFont(font);
    EXPECT_EQ(repaints, 4);
    EXPECT_EQ(c.Font().Height, -20);
    c.Font().Height = -30; // direct changes of the font do not repaint
    EXPECT_EQ(repaints, 4);
}

TEST(SingleBarCode, PublishedPropertiesGoThroughTheMetaObject)
{
    TCustomSingleBarCode c;
    EXPECT_TRUE(c.setProperty("BarType", QVariant::fromValue(Code39)));
    EXPECT_TRUE(c.setProperty("BarValue", QString("AB-1")));
    EXPECT_TRUE(c.setProperty("Angle", QVariant::fromValue(_270)));
    EXPECT_EQ(c.BarType(), Code39);
    EXPECT_EQ(c.BarValue(), "AB-1");
    EXPECT_EQ(c.Angle(), _270);
    EXPECT_EQ(c.property("BarType").value<TBarType>(), Code39);
}

} // namespace VandrelTest
