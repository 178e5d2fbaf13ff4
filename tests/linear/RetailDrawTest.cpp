// Retail symbols on the control: guard bars reaching into the digit band, the
// ISSN add-on, short PostNet bars, and where the digits go.
#include "linear/SingleBarcode.h"
#include "support/Pictures.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace VandrelTest {

using namespace Vandrel;

namespace {

QImage Draw(TCustomSingleBarCode& c)
{
    QImage bmp;
    c.CreateBMP(bmp);
    return bmp;
}

void Configure(TCustomSingleBarCode& c, TBarType type, const char* value, int w, int h, bool text)
{
    c.resize(w, h);
    c.FSetBarType(type);
    c.FSetBarValue(value);
    c.FSetShowText(text);
}

// The first and last black row of column x, or {-1, -1}.
std::pair<int, int> BlackRun(const QImage& img, int x)
{
    int first = -1;
    int last = -1;
    for (int y = 0; y < img.height(); ++y)
        if (img.pixel(x, y) == QColor(Qt::black).rgb()) {
            if (first < 0)
                first = y;
            last = y;
        }
    return {first, last};
}

// Region where pictures with and without text differ.
QRect TextRegion(TBarType type, const char* value, int w, int h, TAngleType angle = _0)
{
    TCustomSingleBarCode with;
    TCustomSingleBarCode without;
    Configure(with, type, value, w, h, true);
    Configure(without, type, value, w, h, false);
    with.FSetAngle(angle);
    without.FSetAngle(angle);
    return DifferenceBox(Draw(with), Draw(without));
}

} // namespace

TEST(RetailDraw, GuardsAreLongerThanDataBars)
{
    // 113 modules of 3 pixels; H = 100 - 6 - 2 * 2 = 90 from y = 2; data bars are
    // |F| - G = 5 pixels shorter.
    TCustomSingleBarCode c;
    Configure(c, EAN13, "4006381333931", 339, 100, false);
    const QImage img = Draw(c);
    EXPECT_EQ(c.TotalModules, 113);
    EXPECT_EQ(c.ModuleWidth, 3);
    EXPECT_EQ(c.BarHeight, 90);
    EXPECT_EQ(BlackRun(img, 27), std::make_pair(2, 91)); // start guard, after 9 quiet modules
    // First digit 0 from set A: "2605" -> space 3, bar 2 at modules 12+3.
    EXPECT_EQ(BlackRun(img, (9 + 3 + 3) * 3), std::make_pair(2, 86));
    EXPECT_EQ(BlackRun(img, (9 + 45) * 3 + 3), std::make_pair(2, 91)); // centre guard bar
}

TEST(RetailDraw, LayoutsOfEveryRetailType)
{
    struct Case {
        TBarType type;
        const char* value;
        int totalModules;
        int guardColumn; // module of a guard bar from the symbol's edge
    };
    const Case cases[] = {
        {EAN8, "01234565", 81, 7},       {EAN13, "4006381333931", 113, 9}, {ISBN, "9780201379624", 113, 9},
        {UPC_A, "036000291452", 113, 9}, {UPC_E0, "12345650", 65, 7},      {ISSN, "9771234567003", 142, 9},
    };
    for (const Case& k : cases) {
        TCustomSingleBarCode c;
        Configure(c, k.type, k.value, 2 * k.totalModules, 100, false);
        const QImage img = Draw(c);
        EXPECT_EQ(c.TotalModules, k.totalModules) << k.value;
        EXPECT_EQ(c.ModuleWidth, 2) << k.value;
        EXPECT_EQ(BlackRun(img, 2 * k.guardColumn).first, 2) << k.value;
        EXPECT_EQ(BlackRun(img, 2 * k.guardColumn - 1), std::make_pair(-1, -1)) << k.value;
    }
}

TEST(RetailDraw, IssnAddOnLeavesItsDigitBandFree)
{
    // One margin only: H = 100 - 6 - 2 = 92. The add-on begins at module 113
    // with a bar that starts one digit band (11 pixels) below the top.
    TCustomSingleBarCode c;
    Configure(c, ISSN, "9771234567003", 284, 100, false);
    const QImage img = Draw(c);
    EXPECT_EQ(c.BarHeight, 92);
    EXPECT_EQ(BlackRun(img, 113 * 2), std::make_pair(13, 93));
    EXPECT_EQ(BlackRun(img, 112 * 2), std::make_pair(-1, -1)); // the gap
    EXPECT_EQ(BlackRun(img, 9 * 2), std::make_pair(2, 93));    // guard, level with the add-on's end
}

TEST(RetailDraw, PostNetShortBarsShareTheBaseLine)
{
    TCustomSingleBarCode c;
    Configure(c, PostNet, "0", 200, 100, false);
    const QImage img = Draw(c);
    const int x = c.StartPoint.x + 4 * c.ModuleWidth;
    const int step = 3 * c.ModuleWidth; // a bar and its wide space
    const auto tall = BlackRun(img, x); // frame bar
    EXPECT_EQ(tall, std::make_pair(2, 2 + c.BarHeight - 1));
    EXPECT_EQ(BlackRun(img, x + step), tall); // digit 0: tall, tall,
    EXPECT_EQ(BlackRun(img, x + 2 * step), tall);
    const auto shortBar = BlackRun(img, x + 3 * step); // then short ones
    EXPECT_EQ(shortBar.second, tall.second);
    EXPECT_EQ(shortBar.second - shortBar.first + 1, c.BarHeight / 2);
}

TEST(RetailDraw, DigitsStayInTheirCells)
{
    // 3-pixel modules: the digit band ends at TextOrigin, 11 pixels deep.
    struct Case {
        TBarType type;
        const char* value;
        QRect region; // where the digits may go at 0 degrees
    };
    const Case cases[] = {
        // first digit in the quiet zone, then both halves; the band is y 87..97
        {EAN13, "4006381333931", QRect(0, 87, (9 + 3 + 42 + 5 + 42) * 3, 11)},
        {EAN8, "01234565", QRect((7 + 3) * 3, 87, (28 + 5 + 28) * 3, 11)},
        // UPC: two groups of six under the digit halves, in the same band
        {UPC_A, "036000291452", QRect(12 * 3, 87, (101 - 12) * 3, 11)},
        {UPC_E0, "12345650", QRect(10 * 3, 87, 42 * 3, 11)},
    };
    for (const Case& k : cases) {
        const int totalModules = k.type == EAN8 ? 81 : k.type == UPC_E0 ? 65 : 113;
        const QRect changed = TextRegion(k.type, k.value, 3 * totalModules, 100);
        EXPECT_FALSE(changed.isEmpty()) << k.value;
        EXPECT_TRUE(k.region.contains(changed)) << k.value << ": " << changed.x() << "," << changed.y() << " "
                                                << changed.width() << "x" << changed.height();
    }
}

TEST(RetailDraw, RotatedDigitsStayInTheirBand)
{
    // At 90 degrees the symbol reads bottom to top and the digits stand in the
    // band after the bars' ends, on the right: x 87..97.
    const QRect changed = TextRegion(EAN13, "4006381333931", 100, 339, _90);
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_TRUE(QRect(87, 339 - (9 + 3 + 42 + 5 + 42) * 3, 11, (9 + 3 + 42 + 5 + 42) * 3).contains(changed));
    // At 270 the band is on the left: x 2..12.
    const QRect turned = TextRegion(EAN13, "4006381333931", 100, 339, _270);
    EXPECT_FALSE(turned.isEmpty());
    EXPECT_TRUE(QRect(2, 0, 11, 339).contains(turned));
}

TEST(RetailDraw, IssnAddOnDigitsAlongTheTopEdge)
{
    TCustomSingleBarCode with;
    Configure(with, ISSN, "9771234567003", 284, 100, true);
    TCustomSingleBarCode without;
    Configure(without, ISSN, "9771234567003", 284, 100, false);
    // Above the add-on (x from module 113 on) only the top band [0, 11) changes.
    const QRect addOn(113 * 2, 0, 284 - 113 * 2, 100);
    const QRect changed = DifferenceBox(Draw(with).copy(addOn), Draw(without).copy(addOn));
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_LE(changed.bottom(), 10);
}

TEST(RetailDraw, TransparentLeavesRetailSpacesUntouched)
{
    TCustomSingleBarCode c;
    Configure(c, EAN13, "4006381333931", 339, 100, false);
    c.FSetTransparent(true);
    QImage page = Filled(339, 100, Qt::green);
    QPainter painter(&page);
    c.Print(&painter, {0, 0});
    painter.end();
    EXPECT_EQ(CountColor(page, Qt::white), 0);
    EXPECT_GT(CountColor(page, Qt::black), 0);
}

} // namespace VandrelTest
