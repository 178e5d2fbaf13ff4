// The renderer's two paths agree with a painter filling every bar on its own,
// at every quarter turn, in every pixel format it writes, with bars that
// reach past the image's edges.
#include "render/Bars.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <random>

namespace VandrelTest {

using namespace Vandrel;

namespace {

// Rows of bars like a PDF417 symbol's (equal heights, runs of varying
// widths), then single bars of mixed heights like a retail symbol's, some
// partly outside the picture.
std::vector<TRect> SampleBars()
{
    std::mt19937 random(417);
    std::vector<TRect> bars;
    for (int row = 0; row < 6; ++row) {
        for (int x = -3; x < 90;) {
            const int width = 1 + int(random() % 5);
            bars.push_back({x, row * 5 - 2, x + width, row * 5 + 3});
            x += width + 1 + int(random() % 4);
        }
    }
    for (int x = 0; x < 80; x += 3)
        bars.push_back({x, 30, x + 1 + int(random() % 2), 34 + int(random() % 30)});
    // Wholly outside the picture, across or along the symbol, at every turn.
    for (const TRect& far :
         {TRect{3, 200, 6, 204}, TRect{3, -90, 6, -85}, TRect{200, 3, 204, 6}, TRect{-90, 3, -85, 6}})
        bars.push_back(far);
    return bars;
}

QImage Blank(QImage::Format format)
{
    QImage image(70, 60, format);
    if (format == QImage::Format_Mono || format == QImage::Format_MonoLSB || format == QImage::Format_Indexed8)
        image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(Qt::white);
    return image;
}

// Every bar filled on its own by a painter.
QImage Reference(const std::vector<TRect>& bars, const TQuarterTurn& turn)
{
    QImage image = Blank(QImage::Format_RGB32);
    QPainter painter(&image);
    for (const TRect& bar : bars) {
        const TRect r = turn.Apply(bar);
        painter.fillRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, Qt::black);
    }
    return image;
}

} // namespace

TEST(Bars, BothPathsDrawWhatAPainterDrawsBarByBar)
{
    const std::vector<TRect> bars = SampleBars();
    // Origins that put each turn's frame partly off the 70 × 60 picture.
    const TQuarterTurn turns[] = {{_0, {-5, 4}}, {_90, {3, 75}}, {_180, {75, 62}}, {_270, {66, -4}}};
    for (const QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_Indexed8, QImage::Format_Grayscale8,
          QImage::Format_Mono, QImage::Format_MonoLSB}) {
        for (const TQuarterTurn& turn : turns) {
            SCOPED_TRACE(testing::Message() << "format " << format << ", angle " << turn.Angle);
            const QImage expected = Reference(bars, turn);

            QImage raster = Blank(format);
            FillBars(raster, bars, turn, PixelOf(raster, Qt::black));
            EXPECT_EQ(raster.convertToFormat(QImage::Format_RGB32), expected);

            // Painters draw on the 32-bit formats only.
            if (raster.depth() == 32) {
                QImage painted = Blank(format);
                {
                    QPainter painter(&painted);
                    PaintBars(painter, bars, turn, Qt::black);
                }
                EXPECT_EQ(painted.convertToFormat(QImage::Format_RGB32), expected);
            }
        }
    }
}

TEST(Bars, MergingJoinsColumnsAndTouchingRunsOnly)
{
    // A start pattern's first bar down three rows; two touching runs of one
    // row; a bar under a widened one that must stay apart.
    const std::vector<TRect> bars = {{0, 0, 8, 3},   {10, 0, 12, 3}, {12, 0, 13, 3}, {0, 3, 8, 6},
                                     {10, 3, 12, 6}, {0, 6, 8, 9},   {20, 0, 21, 3}};
    const std::vector<TRect> merged = MergeBars(bars);
    EXPECT_EQ(merged, (std::vector<TRect>{{0, 0, 8, 9}, {10, 0, 13, 3}, {10, 3, 12, 6}, {20, 0, 21, 3}}));
}

} // namespace VandrelTest
