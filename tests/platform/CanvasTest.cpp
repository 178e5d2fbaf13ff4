// The drawing surface: exact rectangle pixels, brush styles, clipped text at a
// reference point, and the spreading of text along a symbol.
#include "platform/Canvas.h"
#include "core/Enums.h"
#include "core/TextDraw.h"
#include "support/Pictures.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace VandrelTest {

using namespace Vandrel;

TEST(Canvas, FillRectCoversExactlyTheDeviceRectangle)
{
    QImage img = Filled(20, 20, Qt::white);
    {
        QPainter p(&img);
        TCanvas c(&p);
        c.BrushColor = Qt::black;
        c.FillRect({3, 4, 7, 9});
        c.BrushStyle = bsClear;
        c.FillRect({10, 10, 15, 15}); // a clear brush paints nothing
        c.BrushStyle = bsSolid;
        c.FillRect({12, 2, 12, 8}); // empty
    }
    EXPECT_EQ(PaintedBox(img, Qt::white), QRect(QPoint(3, 4), QPoint(6, 8)));
    EXPECT_EQ(CountColor(img, Qt::black), 4 * 5);
}

TEST(Canvas, RectangleOutlinesWithThePenAndFillsWithTheBrush)
{
    QImage img = Filled(20, 20, Qt::white);
    {
        QPainter p(&img);
        TCanvas c(&p);
        c.PenColor = Qt::red;
        c.BrushColor = Qt::blue;
        c.Rectangle({2, 2, 12, 8});
    }
    EXPECT_EQ(PaintedBox(img, Qt::white), QRect(QPoint(2, 2), QPoint(11, 7)));
    EXPECT_EQ(CountColor(img, Qt::red), 2 * 10 + 2 * 4);
    EXPECT_EQ(CountColor(img, Qt::blue), 8 * 4);
}

TEST(Canvas, TextIsClippedToItsRectangle)
{
    QImage img = Filled(120, 60, Qt::white);
    {
        QPainter p(&img);
        TCanvas c(&p);
        TLogFont lf;
        MakeNewFont(TFont{}, lf, 0, 0);
        c.SelectFont(lf, Qt::black);
        c.TextRect({10, 10, 40, 20}, {5, 5}, "WWWWWWWW");
    }
    const QRect box = PaintedBox(img, Qt::white);
    EXPECT_FALSE(box.isEmpty());
    EXPECT_TRUE(QRect(10, 10, 30, 10).contains(box));
}

TEST(Canvas, MakeNewFontFillsTheLogicalFont)
{
    TFont font;
    font.Name = "DejaVu Sans";
    font.Height = -14;
    font.Charset = 204;
    font.Style = fsBold | fsUnderline;
    TLogFont lf;
    lf.lfQuality = 5; // untouched
    MakeNewFont(font, lf, 90, 0);
    EXPECT_EQ(lf.lfHeight, -14);
    EXPECT_EQ(lf.lfEscapement, 900);
    EXPECT_EQ(lf.lfOrientation, 0);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfCharSet, 204);
    EXPECT_EQ(lf.lfQuality, 5);
    EXPECT_STREQ(lf.lfFaceName, "DejaVu Sans");
}

TEST(Canvas, DrawBottomTextSpreadsCharactersAlongTheSymbol)
{
    // Each character must land where a single output at the expected reference
    // point puts it: 7 characters in 100 pixels are 14 apart, starting 1 in.
    struct Case {
        int angle;
        TRect r;
        TPoint first;
        TPoint step;
    };
    const Case cases[] = {
        {0, {0, 80, 100, 92}, {1, 80}, {14, 0}},
        {1, {80, 0, 92, 100}, {80, 99}, {0, -14}},
        {2, {0, 8, 100, 20}, {99, 20}, {-14, 0}},
        {3, {8, 0, 20, 100}, {20, 1}, {0, 14}},
    };
    const std::string text = "1234567";
    for (const Case& k : cases) {
        QImage spread = Filled(100, 100, Qt::white);
        QImage single = spread;
        TFont font;
        {
            QPainter p(&spread);
            TCanvas c(&p);
            DrawBottomText(text, k.r, k.angle, tFull, c, font);
        }
        {
            QPainter p(&single);
            TCanvas c(&p);
            TLogFont lf;
            MakeNewFont(font, lf, k.angle * 90, 0);
            c.SelectFont(lf, font.Color);
            for (size_t i = 0; i < text.size(); ++i)
                c.TextRect(k.r, {k.first.x + int(i) * k.step.x, k.first.y + int(i) * k.step.y}, text.substr(i, 1));
        }
        // The digits stay inside their band and spread along it, not piled at one end.
        const QRect band(QPoint(k.r.Left, k.r.Top), QPoint(k.r.Right - 1, k.r.Bottom - 1));
        const QRect ink = PaintedBox(spread, Qt::white);
        EXPECT_TRUE(band.contains(ink)) << "angle " << k.angle;
        EXPECT_GT(k.step.x != 0 ? ink.width() : ink.height(), 5 * 14) << "angle " << k.angle;
        EXPECT_NE(spread, Filled(100, 100, Qt::white)) << k.angle;
        EXPECT_EQ(spread, single) << "angle " << k.angle;
    }
}

TEST(Canvas, DigitCellsDrawnAgainAreThePixelsOfDrawingThem)
{
    // Each cell drawn several times, at several places, in a picture the
    // canvas draws on plainly (its drawn cells kept and copied in again) and
    // in one whose painter clips to the whole picture (every cell drawn anew):
    // the pictures must be equal pixel for pixel.
    struct Look {
        const char* family;
        int height;
        int weight;
        bool italic;
        QColor ink;
        QColor paper;
    };
    const Look looks[] = {
        {"DejaVu Sans", -11, 400, false, Qt::black, Qt::white},
        {"DejaVu Sans", -14, 700, false, QColor(0, 0, 0x80), QColor(0xFF, 0xFF, 0xE0)},
        {"DejaVu Sans", -8, 400, false, Qt::white, QColor(0x80, 0x80, 0x80)},
        {"DejaVu Serif", -17, 400, true, QColor(0x20, 0x40, 0x60), QColor(0xF0, 0xF0, 0xF0)},
        {"DejaVu Sans Mono", -12, 400, false, QColor(200, 0, 0, 128), Qt::white}, // translucent ink
        {"DejaVu Sans", -30, 400, false, Qt::black, Qt::white},                   // taller than its cell
    };
    const std::string texts[] = {"0", "1", "4", "7", "9", "12", ">", ""};
    const QSize cells[] = {{7, 13}, {14, 15}, {15, 16}, {1, 1}, {30, 40}};
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        for (const Look& look : looks) {
            QImage kept(400, 300, format), fresh(400, 300, format);
            kept.fill(look.paper);
            // Cells over more than one colour are drawn anew too.
            QPainter(&kept).fillRect(0, 250, 400, 50, QBrush(Qt::gray, Qt::Dense4Pattern));
            fresh = kept.copy();
            for (QImage* picture : {&kept, &fresh}) {
                QPainter p(picture);
                if (picture == &fresh)
                    p.setClipRect(picture->rect());
                TCanvas c(&p);
                TFont font;
                font.Name = look.family;
                font.Height = look.height;
                font.Style = (look.weight > 400 ? fsBold : 0) | (look.italic ? fsItalic : 0);
                TLogFont lf;
                MakeNewFont(font, lf, 0, 0);
                c.SelectFont(lf, look.ink);
                int x = 0, y = 0;
                for (int round = 0; round < 3; ++round)
                    for (const QSize& size : cells)
                        for (const std::string& text : texts) {
                            if (x + size.width() > 400)
                                x = 0, y += 42;
                            const int top = round == 2 ? 255 : y % 240; // the last round over the pattern
                            c.DrawTextCentredBottom({x, top, x + size.width(), top + size.height()}, text);
                            x += size.width() + 1;
                        }
            }
            EXPECT_EQ(kept, fresh) << look.family << " " << look.height << " format " << format;
            EXPECT_NE(kept.copy(0, 0, 400, 240), Filled(400, 240, look.paper).convertToFormat(format));
        }
    }
}

} // namespace VandrelTest
