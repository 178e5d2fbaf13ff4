// The PDF417 control's bitmap is, pixel for pixel, its symbols' bar
// rectangles (AppendBars) drawn the way the rectangle path always drew them:
// the background filled, then the bars through FillBars (a painter for
// colours the bitmap shows through); Internalprint the same with each row's
// light. At every quarter turn, opaque and transparent, for single symbols,
// truncated ones, sequences and a symbol of a sequence shown alone, module
// widths that fill whole bytes or not. Drawing again into the same QImage
// reuses its pixels; a QImage shared with another is left alone.
#include "pdf417/BarPDF417.h"
#include "pdf417/Symbol.h"
#include "render/Bars.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace VandrelTest {

using namespace Vandrel;

namespace {

struct TLook {
    TAngleType angle;
    bool transparent;
    TPDFType type;
    TAlignment alignment;
    int32_t shown;
    int32_t barX;
    QColor bar;
    QColor background;
};

void Configure(TBarPDF417& c, const TLook& look)
{
    const bool along = look.angle == _0 || look.angle == _180;
    c.resize(along ? 530 : 690, along ? 690 : 530);
    c.FSetAngle(look.angle);
    c.FSetBarColor(look.bar);
    c.FSetBarBackColor(look.background);
    c.FSetTransparent(look.transparent);
    c.FSetAlignment(look.alignment);
    c.FSetPDFType(look.type);
    c.FSetBarX(look.barX);
    c.FSetDataColumn(2);
    c.Encoder().SetFileIdSources([] { return 0.5; }, [](int32_t) { return 7; });
    const bool sequence = look.type == MicroPDF417 || look.type == TruncatedMicroPDF417;
    std::string value;
    for (int i = 0; i < (sequence ? 100 : 12); ++i)
        value += "row " + std::to_string(i) + "; ";
    c.FSetBarValue(value);
    c.SetShownSymbol(look.shown);
}

// The shown symbols' bars and light as AppendBars gives them, where the
// control lays them out.
void ShownRects(const TBarPDF417& c, std::vector<TRect>& bars, std::vector<TRect>& light)
{
    std::span<const TSymbolSize> sizes = c.Encoder().SymbolSizes();
    std::span<const TPdf417Symbol> symbols = c.Encoder().Symbols();
    if (c.ShownSymbol() != TCustomBarPDF417::AllSymbols) {
        sizes = sizes.subspan(size_t(c.ShownSymbol()), 1);
        symbols = symbols.subspan(size_t(c.ShownSymbol()), 1);
    }
    const bool along = c.Angle() == _0 || c.Angle() == _180;
    const TSequenceLayout layout = LayOutSequence(
        sizes, {c.BarX(), c.RowHeight(), c.Encoder().FullRows(), c.Alignment()}, along ? c.width() : c.height());
    for (size_t k = 0; k < symbols.size(); ++k)
        AppendBars(symbols[k], {int32_t(layout.Places[k].X), int32_t(layout.Places[k].Y)}, c.BarX(), c.RowHeight(),
                   bars, &light);
}

// The bitmap the rectangle path drew.
QImage RectanglePath(const TBarPDF417& c)
{
    std::vector<TRect> bars;
    std::vector<TRect> light;
    ShownRects(c, bars, light);
    const TQuarterTurn turn{c.Angle(), c.RotateOrigin};
    QImage bmp(c.width(), c.height(), QImage::Format_RGB32);
    bmp.fill(Qt::white);
    if (!c.Transparent())
        QPainter(&bmp).fillRect(0, 0, bmp.width(), bmp.height(), c.BarBackColor());
    if (c.BarColor().alpha() < 255) {
        QPainter painter(&bmp);
        PaintBars(painter, bars, turn, c.BarColor());
    } else {
        FillBars(bmp, bars, turn, PixelOf(bmp, c.BarColor()));
    }
    return bmp;
}

const TLook Looks[] = {
    {_0, false, Normal, taLeft, TCustomBarPDF417::AllSymbols, 2, QColor(200, 0, 0), QColor(250, 240, 100)},
    {_0, false, Normal, taRight, TCustomBarPDF417::AllSymbols, 1, Qt::black, Qt::white},
    {_0, true, Truncated, taCenter, TCustomBarPDF417::AllSymbols, 3, Qt::black, Qt::white},
    {_90, false, Normal, taCenter, TCustomBarPDF417::AllSymbols, 2, QColor(200, 0, 0), QColor(250, 240, 100)},
    {_90, false, MicroPDF417, taRight, TCustomBarPDF417::AllSymbols, 1, Qt::black, QColor(250, 240, 100)},
    {_180, false, Normal, taLeft, TCustomBarPDF417::AllSymbols, 2, QColor(200, 0, 0), QColor(250, 240, 100)},
    {_180, true, MicroPDF417, taCenter, TCustomBarPDF417::AllSymbols, 1, Qt::black, Qt::white},
    {_180, false, MicroPDF417, taRight, TCustomBarPDF417::AllSymbols, 1, Qt::black, Qt::white},
    {_180, false, TruncatedMicroPDF417, taRight, 1, 3, QColor(0, 0, 120), QColor(250, 240, 100)},
    {_270, false, TruncatedMicroPDF417, taLeft, TCustomBarPDF417::AllSymbols, 2, Qt::black, Qt::white},
    {_270, true, Normal, taLeft, TCustomBarPDF417::AllSymbols, 2, Qt::black, Qt::white},
    {_0, false, MicroPDF417, taLeft, 2, 5, QColor(200, 0, 0), QColor(250, 240, 100)},
    {_0, false, MicroPDF417, taCenter, TCustomBarPDF417::AllSymbols, 2, QColor(0, 0, 0, 128), Qt::white},
    {_0, false, Normal, taLeft, TCustomBarPDF417::AllSymbols, 2, Qt::black, QColor(250, 240, 100, 100)},
    {_180, true, Normal, taLeft, TCustomBarPDF417::AllSymbols, 2, QColor(0, 0, 0, 200), Qt::white},
};

} // namespace

TEST(BarPDF417Pixels, BitmapIsTheRectanglePath)
{
    for (const TLook& look : Looks) {
        SCOPED_TRACE(testing::Message() << "angle " << look.angle << ", transparent " << look.transparent << ", type "
                                        << look.type << ", shown " << look.shown << ", bar x " << look.barX
                                        << ", bar alpha " << look.bar.alpha() << ", background alpha "
                                        << look.background.alpha());
        TBarPDF417 c;
        Configure(c, look);
        if (look.type == MicroPDF417 || look.type == TruncatedMicroPDF417) {
            ASSERT_GE(c.Encoder().SymbolCount(), 3);
        }
        QImage bmp;
        c.CreateBMP(bmp);
        ASSERT_FALSE(bmp.isNull());
        QImage empty = bmp;
        empty.fill(bmp.pixel(0, 0));
        ASSERT_NE(bmp, empty) << "no symbol drawn";
        EXPECT_EQ(bmp, RectanglePath(c));

        // Again into the same bitmap: its own pixels, drawn alike.
        const uchar* const pixels = bmp.constBits();
        c.CreateBMP(bmp);
        EXPECT_EQ(bmp.constBits(), pixels);
        EXPECT_EQ(bmp, RectanglePath(c));

        // A bitmap shared with another QImage: that one keeps its pixels.
        QImage held = bmp;
        held.detach();
        const QImage before = held;
        QImage shared = held;
        c.CreateBMP(shared);
        EXPECT_EQ(shared, RectanglePath(c));
        EXPECT_EQ(held, before);
    }
}

// A bitmap of another size, format or resolution is replaced, not reused.
TEST(BarPDF417Pixels, BitmapOfAnotherKindIsReplaced)
{
    TBarPDF417 c;
    Configure(c, Looks[0]);
    const QImage expected = RectanglePath(c);
    QImage small(10, 10, QImage::Format_RGB32);
    QImage indexed(c.width(), c.height(), QImage::Format_Indexed8);
    QImage dense(c.width(), c.height(), QImage::Format_RGB32);
    dense.setDotsPerMeterX(20000);
    QImage tagged(c.width(), c.height(), QImage::Format_RGB32);
    tagged.setText("Author", "someone");
    for (QImage* bmp : {&small, &indexed, &dense, &tagged}) {
        c.CreateBMP(*bmp);
        EXPECT_EQ(*bmp, expected);
        EXPECT_EQ(bmp->format(), QImage::Format_RGB32);
        EXPECT_EQ(bmp->dotsPerMeterX(), expected.dotsPerMeterX());
        EXPECT_TRUE(bmp->textKeys().isEmpty());
    }
}

// Internalprint: a white bitmap, an opaque control's rows in its background,
// then the bars; as the rectangle path drew it.
TEST(BarPDF417Pixels, InternalprintIsTheRectanglePath)
{
    for (const TLook& look : Looks) {
        if (look.bar.alpha() < 255 || look.background.alpha() < 255)
            continue;
        SCOPED_TRACE(testing::Message() << "angle " << look.angle << ", transparent " << look.transparent << ", type "
                                        << look.type << ", shown " << look.shown << ", bar x " << look.barX);
        TBarPDF417 c;
        Configure(c, look);
        QImage page(c.width() + 30, c.height() + 20, QImage::Format_RGB32);
        page.fill(QColor(0, 0, 255));
        {
            QPainter painter(&page);
            c.Internalprint(&painter, {30, 20});
        }
        std::vector<TRect> bars;
        std::vector<TRect> light;
        ShownRects(c, bars, light);
        const TQuarterTurn turn{c.Angle(), c.RotateOrigin};
        QImage expected(c.width(), c.height(), QImage::Format_RGB32);
        expected.fill(Qt::white);
        if (!c.Transparent())
            FillBars(expected, light, turn, PixelOf(expected, c.BarBackColor()));
        FillBars(expected, bars, turn, PixelOf(expected, c.BarColor()));
        EXPECT_EQ(page.copy(30, 20, c.width(), c.height()), expected);
    }
}

} // namespace VandrelTest
