// The PDF417 control's two drawing paths agree: the bitmap (bars written
// straight into the image) and the painter (merged rectangles for printers,
// PDF and pictures), at every quarter turn, opaque or transparent, for single
// symbols, truncated ones and sequences in several lines.
#include "pdf417/BarPDF417.h"
#include "support/Pictures.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace VandrelTest {

using namespace Vandrel;

namespace {

const QColor Bar(200, 0, 0);
const QColor Background(250, 240, 100);
const QColor Page(0, 0, 255);

struct TLook {
    TAngleType angle;
    bool transparent;
    TPDFType type;
    TAlignment alignment;
    int32_t shown;
};

void Configure(TBarPDF417& c, const TLook& look)
{
    c.resize(look.angle == _0 || look.angle == _180 ? 520 : 700, look.angle == _0 || look.angle == _180 ? 700 : 520);
    c.FSetAngle(look.angle);
    c.FSetBarColor(Bar);
    c.FSetBarBackColor(Background);
    c.FSetTransparent(look.transparent);
    c.FSetAlignment(look.alignment);
    c.FSetPDFType(look.type);
    c.FSetBarX(2);
    c.FSetDataColumn(2);
    // Print encodes afresh: the same file ID each time keeps the symbols alike.
    c.Encoder().SetFileIdSources([] { return 0.5; }, [](int32_t) { return 7; });
    std::string value;
    for (int i = 0; i < 100; ++i)
        value += "row " + std::to_string(i) + "; ";
    c.FSetBarValue(look.type == MicroPDF417 || look.type == TruncatedMicroPDF417 ? value : "one symbol");
    c.SetShownSymbol(look.shown);
}

} // namespace

TEST(BarPDF417Draw, BitmapAndPainterDrawTheSamePixels)
{
    const TLook looks[] = {
        {_0, false, Normal, taLeft, TCustomBarPDF417::AllSymbols},
        {_0, true, Truncated, taCenter, TCustomBarPDF417::AllSymbols},
        {_90, false, MicroPDF417, taRight, TCustomBarPDF417::AllSymbols},
        {_180, true, MicroPDF417, taCenter, TCustomBarPDF417::AllSymbols},
        {_270, false, TruncatedMicroPDF417, taLeft, TCustomBarPDF417::AllSymbols},
        {_180, false, TruncatedMicroPDF417, taRight, 1},
    };
    for (const TLook& look : looks) {
        SCOPED_TRACE(testing::Message() << "angle " << look.angle << ", transparent " << look.transparent << ", type "
                                        << look.type << ", shown " << look.shown);
        TBarPDF417 c;
        Configure(c, look);
        if (look.type == MicroPDF417 || look.type == TruncatedMicroPDF417) {
            ASSERT_GE(c.Encoder().SymbolCount(), 3);
        }
        QImage bmp;
        c.CreateBMP(bmp);
        ASSERT_FALSE(bmp.isNull());
        ASSERT_TRUE(PaintedBox(bmp, look.transparent ? QColor(Qt::white) : Background).isValid());

        // Print over a page of the bitmap's background: the same picture.
        QImage page = Filled(bmp.width(), bmp.height(), look.transparent ? QColor(Qt::white) : Background);
        {
            QPainter painter(&page);
            c.Print(&painter, {0, 0});
        }
        EXPECT_EQ(page, bmp);

        // Over a page of another colour an opaque control paints the rows of
        // its symbols in its background, a transparent one only its bars.
        QImage over = Filled(bmp.width(), bmp.height(), Page);
        {
            QPainter painter(&over);
            c.Print(&painter, {0, 0});
        }
        for (int y = 0; y < bmp.height(); ++y)
            for (int x = 0; x < bmp.width(); ++x) {
                const QRgb drawn = over.pixel(x, y);
                if (bmp.pixel(x, y) == Bar.rgb())
                    ASSERT_EQ(drawn, Bar.rgb()) << x << ',' << y;
                else if (look.transparent)
                    ASSERT_EQ(drawn, Page.rgb()) << x << ',' << y;
                else
                    ASSERT_TRUE(drawn == Page.rgb() || drawn == Background.rgb()) << x << ',' << y;
            }
    }
}

// Within a symbol's rows every pixel is bar or background: the opaque
// control's Print leaves none of the page showing between its bars.
TEST(BarPDF417Draw, OpaquePrintCoversTheRowsOfItsSymbol)
{
    TBarPDF417 c;
    Configure(c, {_0, false, Normal, taLeft, TCustomBarPDF417::AllSymbols});
    QImage over = Filled(c.width(), c.height(), Page);
    {
        QPainter painter(&over);
        c.Print(&painter, {0, 0});
    }
    const auto extent = c.DrawingExtent(c.width());
    const int margin = 2 * c.BarX();
    const QRect rows(QPoint(int(extent.Left) + margin, margin),
                     QPoint(int(extent.Right) - margin - 1, int(extent.Bottom) - margin - 1));
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(PaintedBox(over, Page), rows);
    for (int y = rows.top(); y <= rows.bottom(); ++y)
        for (int x = rows.left(); x <= rows.right(); ++x)
            ASSERT_TRUE(over.pixel(x, y) == Bar.rgb() || over.pixel(x, y) == Background.rgb()) << x << ',' << y;
}

} // namespace VandrelTest
