// The renderer's rows of runs (FillRows, FillPicture) write exactly the
// pixels of their rows' rectangles (AppendBars) filled one pixel at a time:
// at every quarter turn, in every pixel format FillBars writes, for symbols
// with missing codewords, truncated rows, sequences, symbols partly or
// wholly outside the picture, symbols that overlap, and hand-made rows the
// encoder never gives (shorter or longer than RowModules, runs of more than
// 32 modules, a row that starts with a space). Where the caller's background
// is one colour they also match the rectangle path, FillBars.
#include "pdf417/Symbol.h"
#include "render/Bars.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace VandrelTest {

using namespace Vandrel;

namespace {

constexpr int Width = 203; // not a whole number of bytes at one bit a pixel
constexpr int Height = 171;

const QImage::Format Formats[] = {QImage::Format_RGB32,    QImage::Format_ARGB32_Premultiplied,
                                  QImage::Format_Indexed8, QImage::Format_Grayscale8,
                                  QImage::Format_Mono,     QImage::Format_MonoLSB};

// A picture of `format`, every pixel `pixel` (its raw value), or noise.
QImage Picture(QImage::Format format, std::optional<uint32_t> pixel, unsigned seed = 7)
{
    QImage image(Width, Height, format);
    if (format == QImage::Format_Mono || format == QImage::Format_MonoLSB)
        image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    if (format == QImage::Format_Indexed8)
        image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(250, 240, 100), qRgb(0, 0, 255)});
    std::mt19937 random(seed);
    for (int y = 0; y < Height; ++y) {
        uchar* line = image.scanLine(y);
        for (qsizetype i = 0; i < image.bytesPerLine(); ++i) {
            const uint32_t value = pixel ? *pixel : random();
            switch (image.depth()) {
            case 32: line[i] = uchar(value >> (8 * (i % 4))); break;
            case 8: line[i] = format == QImage::Format_Indexed8 ? uchar(value % 4) : uchar(value); break;
            default: line[i] = pixel ? (*pixel ? 0xFF : 0) : uchar(value); break;
            }
        }
    }
    return image;
}

// The oracle: each rectangle turned, clipped and set pixel by pixel.
void SetPixels(QImage& image, const std::vector<TRect>& rects, const TQuarterTurn& turn, uint32_t pixel)
{
    for (const TRect& rect : rects) {
        const TRect r = turn.Apply(rect);
        for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, Height); ++y) {
            uchar* line = image.scanLine(y);
            for (int x = std::max(r.Left, 0); x < std::min(r.Right, Width); ++x) {
                switch (image.depth()) {
                case 32: reinterpret_cast<uint32_t*>(line)[x] = pixel; break;
                case 8: line[x] = uchar(pixel); break;
                default: {
                    const uchar bit =
                        image.format() == QImage::Format_MonoLSB ? uchar(1u << (x & 7)) : uchar(0x80u >> (x & 7));
                    line[x >> 3] = pixel ? uchar(line[x >> 3] | bit) : uchar(line[x >> 3] & ~bit);
                }
                }
            }
        }
    }
}

// Pixels only, raw: the padding at the end of a line is no pixel.
void ExpectSamePixels(const QImage& actual, const QImage& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    ASSERT_EQ(actual.format(), expected.format());
    const int bits = actual.width() * actual.depth();
    for (int y = 0; y < actual.height(); ++y) {
        const uchar* a = actual.constScanLine(y);
        const uchar* e = expected.constScanLine(y);
        for (int i = 0; i < (bits + 7) / 8; ++i) {
            uchar mask = 0xFF;
            if (i == bits / 8) // the last byte, partly padding
                mask = actual.format() == QImage::Format_MonoLSB ? uchar((1u << (bits % 8)) - 1)
                                                                 : uchar(0xFFu << (8 - bits % 8));
            if ((a[i] & mask) != (e[i] & mask)) {
                ADD_FAILURE() << "first differing byte " << i << " of line " << y;
                return;
            }
        }
    }
}

uint32_t Pixel(const QImage& image, QColor colour)
{
    return PixelOf(image, colour);
}

// Symbols the encoder gives, some codewords missing.
TPdf417Symbol Encoded(int32_t rows, int32_t columns, bool fullRows, size_t missing)
{
    std::vector<int16_t> codewords;
    for (int32_t i = 0; i < rows * columns; ++i)
        codewords.push_back(int16_t((i * 37 + 11) % 929));
    codewords.resize(codewords.size() - std::min(missing, codewords.size()));
    return Pdf417Symbol(codewords, {rows, columns}, 2, fullRows);
}

// A symbol of hand-made rows of runs, RowModules as given.
TPdf417Symbol HandMade(const std::vector<std::vector<TElementRun>>& rows, int32_t rowModules)
{
    TPdf417Symbol symbol;
    symbol.Size = {int32_t(rows.size()), 1};
    symbol.RowModules = rowModules;
    for (const auto& row : rows) {
        symbol.RowStarts.push_back(symbol.Runs.size());
        symbol.Runs.insert(symbol.Runs.end(), row.begin(), row.end());
    }
    symbol.RowStarts.push_back(symbol.Runs.size());
    return symbol;
}

constexpr TElementRun B(uint8_t m)
{
    return {TRunKind::Bar, m};
}
constexpr TElementRun S(uint8_t m)
{
    return {TRunKind::Space, m};
}
constexpr TElementRun N(uint8_t m)
{
    return {TRunKind::Blank, m};
}

struct TCase {
    std::string name;
    std::vector<TPlacedRows> symbols;
    int32_t barX;
    int32_t rowHeight;
    TPoint shift; // added to the origin of every turn
    // Symbols that overlap are drawn as the rectangle path draws them, which
    // copies each band's first line down over whatever lies beneath.
    bool apart = true;
};

// The corner each turn turns about (as the controls' SetInitValue), moved.
TQuarterTurn Turn(TAngleType angle, TPoint shift)
{
    static constexpr int CornerX[4] = {0, 0, 1, 1};
    static constexpr int CornerY[4] = {0, 1, 1, 0};
    return {angle, {CornerX[angle] * Width + shift.x, CornerY[angle] * Height + shift.y}};
}

struct TRects {
    std::vector<TRect> bars;
    std::vector<TRect> light;
};

TRects RectsOf(const TCase& c)
{
    TRects rects;
    for (const TPlacedRows& placed : c.symbols)
        AppendBars(*placed.Symbol, placed.At, c.barX, c.rowHeight, rects.bars, &rects.light);
    return rects;
}

class TRowsTest : public testing::Test {
protected:
    const TPdf417Symbol full = Encoded(5, 2, true, 3);
    const TPdf417Symbol truncated = Encoded(4, 3, false, 1);
    const TPdf417Symbol whole = Encoded(3, 1, true, 0);
    // Rows shorter than RowModules, runs longer than 32 modules, a row
    // starting with a space and one that is no more than a Blank.
    const TPdf417Symbol odd = HandMade({{B(3), S(1), B(2)},
                                        {N(40), B(33), S(2), B(1)},
                                        {S(2), B(70), S(4)},
                                        {N(5)},
                                        {B(1), S(1), B(1), S(1), B(1), S(1), B(1)}},
                                       80);
    // A row longer than RowModules says.
    const TPdf417Symbol overlong = HandMade({{B(2), S(2), B(2)}, {B(4), S(30), B(10)}}, 20);

    std::vector<TCase> Cases() const
    {
        return {
            {"inside", {{&full, {10, 8}}}, 1, 3, {0, 0}},
            {"two-pixel modules", {{&full, {4, 4}}}, 2, 4, {0, 0}},
            {"three-pixel modules", {{&whole, {5, 6}}}, 3, 2, {0, 0}},
            {"five-pixel modules", {{&whole, {-40, 2}}}, 5, 5, {0, 0}},
            {"truncated", {{&truncated, {3, 3}}}, 1, 1, {0, 0}},
            {"past the near edges", {{&full, {-25, -6}}}, 2, 3, {0, 0}},
            {"past the far edges", {{&full, {0, 0}}}, 1, 3, {Width - 70, Height - 9}},
            {"past every edge", {{&full, {-5, -5}}}, 3, 40, {0, 0}},
            {"wholly outside", {{&full, {500, 0}}, {&whole, {0, -400}}}, 1, 3, {0, 0}},
            {"sequence", {{&full, {2, 2}}, {&truncated, {110, 2}}, {&whole, {2, 40}}}, 1, 3, {0, 0}},
            {"overlapping", {{&full, {2, 2}}, {&whole, {30, 6}}}, 1, 3, {0, 0}, false},
            {"hand-made rows", {{&odd, {7, 3}}}, 2, 3, {0, 0}},
            {"hand-made rows, one-pixel modules", {{&odd, {-1, 1}}}, 1, 2, {0, 0}},
            {"a row longer than the symbol", {{&overlong, {4, 4}}, {&whole, {4, 30}}}, 2, 3, {0, 0}},
            {"no rows", {}, 1, 3, {0, 0}},
        };
    }

    // `check(c, rects, turn, format)` for every case, quarter turn and pixel format.
    template <typename Check>
    void EveryConfiguration(const Check& check) const
    {
        for (const TCase& c : Cases()) {
            const TRects rects = RectsOf(c);
            for (const TAngleType angle : {_0, _90, _180, _270}) {
                const TQuarterTurn turn = Turn(angle, c.shift);
                for (const QImage::Format format : Formats) {
                    SCOPED_TRACE(testing::Message() << c.name << ", angle " << angle << ", format " << format);
                    check(c, rects, turn, format);
                }
            }
        }
    }
};

} // namespace

// Bars and each row's light over noise: exactly the rectangles, light first;
// Blank places keep the noise.
TEST_F(TRowsTest, RowsWithLightAreTheirRectanglesOverAnyPicture)
{
    EveryConfiguration([](const TCase& c, const TRects& rects, const TQuarterTurn& turn, QImage::Format format) {
        if (!c.apart)
            return;
        const QImage noise = Picture(format, std::nullopt);
        const uint32_t bar = Pixel(noise, Qt::black);
        const uint32_t light = Pixel(noise, QColor(250, 240, 100));
        QImage expected = noise;
        SetPixels(expected, rects.light, turn, light);
        SetPixels(expected, rects.bars, turn, bar);
        QImage drawn = noise;
        FillRows(drawn, c.symbols, c.barX, c.rowHeight, turn, bar, light);
        ExpectSamePixels(drawn, expected);
    });
}

// Bars alone over a one-colour background: exactly the bar rectangles, and
// the very pixels of the rectangle path.
TEST_F(TRowsTest, BarsAloneAreTheRectanglePath)
{
    EveryConfiguration([](const TCase& c, const TRects& rects, const TQuarterTurn& turn, QImage::Format format) {
        const QImage blank = Picture(format, 0u);
        const uint32_t bar = Pixel(blank, Qt::black);
        QImage expected = blank;
        SetPixels(expected, rects.bars, turn, bar);
        QImage drawn = blank;
        FillRows(drawn, c.symbols, c.barX, c.rowHeight, turn, bar);
        if (c.apart)
            ExpectSamePixels(drawn, expected);
        QImage old = blank;
        FillBars(old, rects.bars, turn, bar);
        ExpectSamePixels(drawn, old);

        // Light over a one-colour background: as the rectangle path,
        // light first.
        const uint32_t light = Pixel(blank, QColor(250, 240, 100));
        FillBars(old, rects.light, turn, light);
        FillBars(old, rects.bars, turn, bar);
        QImage lit = blank;
        FillRows(lit, c.symbols, c.barX, c.rowHeight, turn, bar, light);
        ExpectSamePixels(lit, old);
    });
}

// The whole picture, whatever was there before: the background, then the
// bars; as filling the picture and drawing the bars as rectangles.
TEST_F(TRowsTest, PictureIsBackgroundAndBars)
{
    EveryConfiguration([](const TCase& c, const TRects& rects, const TQuarterTurn& turn, QImage::Format format) {
        const QImage noise = Picture(format, std::nullopt, 11);
        const uint32_t bar = Pixel(noise, QColor(200, 0, 0));
        const uint32_t background = Pixel(noise, QColor(250, 240, 100));
        QImage expected = Picture(format, background);
        SetPixels(expected, rects.bars, turn, bar);
        QImage drawn = noise;
        FillPicture(drawn, c.symbols, c.barX, c.rowHeight, turn, bar, background);
        if (c.apart)
            ExpectSamePixels(drawn, expected);

        QImage old = Picture(format, background);
        FillBars(old, rects.bars, turn, bar);
        ExpectSamePixels(drawn, old);
    });
}

// The 32-bit picture as a painter draws it: background, then every bar.
TEST_F(TRowsTest, PictureIsWhatAPainterDraws)
{
    for (const TCase& c : Cases()) {
        const TRects rects = RectsOf(c);
        for (const TAngleType angle : {_0, _90, _180, _270}) {
            SCOPED_TRACE(testing::Message() << c.name << ", angle " << angle);
            const TQuarterTurn turn = Turn(angle, c.shift);
            QImage painted(Width, Height, QImage::Format_RGB32);
            painted.fill(QColor(250, 240, 100));
            {
                QPainter painter(&painted);
                for (const TRect& bar : rects.bars) {
                    const TRect r = turn.Apply(bar);
                    painter.fillRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, QColor(200, 0, 0));
                }
            }
            QImage drawn = Picture(QImage::Format_RGB32, std::nullopt);
            FillPicture(drawn, c.symbols, c.barX, c.rowHeight, turn, Pixel(drawn, QColor(200, 0, 0)),
                        Pixel(drawn, QColor(250, 240, 100)));
            if (c.apart) {
                EXPECT_EQ(drawn, painted);
            }
        }
    }
}

} // namespace VandrelTest
