#include "support/Distort.h"

#include "pdf417/BarPDF417.h"

#include <QBuffer>
#include <QFont>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

namespace VandrelTest {

using namespace Vandrel;

namespace {

// The bounding box of the dark pixels: the symbol's bars.
QRect DarkBox(const QImage& picture)
{
    QRect box;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qGray(picture.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

// The symbol's rows as [top, bottom) pixel lines: a row starts where a line of
// the box differs from the one above it. Exact on the clean picture only.
std::vector<std::pair<int, int>> SymbolRows(const QImage& clean)
{
    const QRect box = DarkBox(clean);
    const size_t bytes = size_t(box.width()) * 4;
    const auto line = [&](int y) { return clean.constScanLine(y) + box.left() * 4; };
    std::vector<std::pair<int, int>> rows{{box.top(), box.top()}};
    for (int y = box.top(); y <= box.bottom(); ++y) {
        if (y > rows.back().first && std::memcmp(line(y), line(rows.back().first), bytes) != 0)
            rows.emplace_back(y, y);
        rows.back().second = y + 1;
    }
    return rows;
}

// `picture` laid on a white page of its size: what a transformation leaves
// uncovered is paper, not transparency.
QImage OnWhite(const QImage& picture)
{
    QImage page(picture.size(), QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter(&page).drawImage(0, 0, picture);
    return page;
}

// A generator whose numbers are the same on every platform: std::mt19937's
// sequence is fixed by the standard, the distributions' are not.
class TRandom {
public:
    explicit TRandom(uint32_t seed) : FEngine(seed) {}

    // In (0, 1).
    double Uniform() { return (double(FEngine()) + 0.5) / 4294967296.0; }

    // Mean 0, deviation 1 (Box-Muller).
    double Normal() { return std::sqrt(-2 * std::log(Uniform())) * std::cos(2 * std::numbers::pi * Uniform()); }

private:
    std::mt19937 FEngine;
};

uint8_t Level(double level)
{
    return uint8_t(std::clamp(std::lround(level), 0L, 255L));
}

// Each grey level of the picture replaced by `f(x, y, level)`.
template <typename F>
QImage MapGrey(const QImage& picture, F f)
{
    QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y) {
        uint8_t* line = grey.scanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            line[x] = f(x, y, line[x]);
    }
    return grey.convertToFormat(QImage::Format_RGB32);
}

// ---- The distortions ------------------------------------------------------

QImage Clean(const QImage& clean)
{
    return clean;
}

template <int Degrees>
QImage Turned(const QImage& clean)
{
    return clean.transformed(QTransform().rotate(Degrees));
}

QImage Mirrored(const QImage& clean)
{
    return clean.mirrored(true, false);
}

template <int TenthsOfDegree>
QImage Skewed(const QImage& clean)
{
    return OnWhite(clean.transformed(QTransform().rotate(TenthsOfDegree / 10.0), Qt::SmoothTransformation));
}

// Photographed from below: the top edge narrower than the bottom by
// `Percent` of the width, the sides leaning in.
template <int Percent>
QImage InPerspective(const QImage& clean)
{
    const QRectF r(clean.rect());
    const double in = r.width() * Percent / 200.0;
    QTransform t;
    QTransform::quadToQuad(
        QPolygonF({r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()}),
        QPolygonF({r.topLeft() + QPointF(in, 0), r.topRight() - QPointF(in, 0), r.bottomRight(), r.bottomLeft()}), t);
    return OnWhite(clean.transformed(t, Qt::SmoothTransformation));
}

// Separable, the kernel cut at 3 sigma; the edges repeat the border pixels.
QImage Blurred(const QImage& clean)
{
    constexpr double sigma = 0.7;
    constexpr int radius = 3;
    double kernel[2 * radius + 1];
    double sum = 0;
    for (int i = -radius; i <= radius; ++i)
        sum += kernel[i + radius] = std::exp(-i * i / (2 * sigma * sigma));
    const auto pass = [&](const QImage& picture, int dx, int dy) {
        const QImage from = picture.convertToFormat(QImage::Format_Grayscale8);
        const auto at = [&](int x, int y) {
            return from.constScanLine(std::clamp(y, 0, from.height() - 1))[std::clamp(x, 0, from.width() - 1)];
        };
        return MapGrey(from, [&](int x, int y, uint8_t) {
            double level = 0;
            for (int i = -radius; i <= radius; ++i)
                level += kernel[i + radius] * at(x + i * dx, y + i * dy);
            return Level(level / sum);
        });
    };
    return pass(pass(clean, 1, 0), 0, 1);
}

// Salt and pepper: one pixel in twenty turned black or white.
QImage Specked(const QImage& clean)
{
    TRandom random(5);
    return MapGrey(clean, [&](int, int, uint8_t level) {
        return random.Uniform() < 0.05 ? (random.Uniform() < 0.5 ? uint8_t(0) : uint8_t(255)) : level;
    });
}

template <uint32_t Seed>
QImage Noisy(const QImage& clean)
{
    TRandom random(Seed);
    return MapGrey(clean, [&](int, int, uint8_t level) { return Level(level + 25 * random.Normal()); });
}

template <int Percent>
QImage Scaled(const QImage& clean)
{
    return clean.scaled(clean.size() * (Percent / 100.0), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage Jpeg(const QImage& clean)
{
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    clean.save(&buffer, "JPG", 20);
    return QImage::fromData(file, "JPG").convertToFormat(QImage::Format_RGB32);
}

// The picture starts 2 pixels into the start pattern's first bar.
QImage CutLeft(const QImage& clean)
{
    const int left = DarkBox(clean).left() + 2;
    return clean.copy(left, 0, clean.width() - left, clean.height());
}

// A dot of one module 4 modules left of each row's start pattern.
QImage SpeckBesideRows(const QImage& clean)
{
    QImage picture = clean;
    QPainter painter(&picture);
    const int x = DarkBox(clean).left() - 10;
    for (const auto& [top, bottom] : SymbolRows(clean))
        painter.fillRect(x, (top + bottom) / 2 - 1, 2, 2, Qt::black);
    return picture;
}

// A thin line drawn round the symbol, 4 modules clear of its bars.
QImage Framed(const QImage& clean)
{
    QImage picture = clean;
    QPainter painter(&picture);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(DarkBox(clean).adjusted(-8, -8, 8, 8));
    return picture;
}

// A rule across the whole picture, 4 modules above the symbol.
QImage RuleAbove(const QImage& clean)
{
    QImage picture = clean;
    QPainter(&picture).fillRect(0, DarkBox(clean).top() - 10, picture.width(), 2, Qt::black);
    return picture;
}

QImage Inverted(const QImage& clean)
{
    QImage picture = clean;
    picture.invertPixels();
    return picture;
}

// Light falling off from the top left corner to 40% in the bottom right one.
QImage UnevenLight(const QImage& clean)
{
    const double w = clean.width(), h = clean.height();
    return MapGrey(clean, [&](int x, int y, uint8_t level) { return Level(level * (1 - 0.3 * (x / w + y / h))); });
}

// The symbol on a label: a line of text above it, one below and a column of
// them on its right.
QImage AmongText(const QImage& clean)
{
    constexpr int band = 30, column = 140;
    QImage label(clean.width() + column, clean.height() + 2 * band, QImage::Format_RGB32);
    label.fill(Qt::white);
    QPainter painter(&label);
    painter.drawImage(0, band, clean);
    QFont font;
    font.setPixelSize(14);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(DistortMargin, 20, "Consignment 4471-B  Vandrel Freight");
    painter.drawText(DistortMargin, label.height() - 10, "Handle with care  0123456789");
    for (int line = 0; line < 4; ++line)
        painter.drawText(clean.width(), band + 20 + 18 * line, QString("Box %1 of 4").arg(line + 1));
    return label;
}

constexpr TDistortion Set[] = {
    {"clean", Clean},
    {"turned 90", Turned<90>},
    {"turned 180", Turned<180>},
    {"turned 270", Turned<270>},
    {"mirrored", Mirrored},
    {"skewed 0.5", Skewed<5>},
    {"skewed 1", Skewed<10>},
    {"skewed 2", Skewed<20>},
    {"skewed 3", Skewed<30>},
    {"skewed 10", Skewed<100>},
    {"skewed 30", Skewed<300>},
    {"skewed 45", Skewed<450>},
    {"perspective 4%", InPerspective<4>},
    {"perspective 10%", InPerspective<10>},
    {"blurred 0.7", Blurred},
    {"specks 5%", Specked},
    {"noise 25 seed 1", Noisy<1>},
    {"noise 25 seed 2", Noisy<2>},
    {"noise 25 seed 3", Noisy<3>},
    {"scaled 1.5", Scaled<150>},
    {"scaled 2.3", Scaled<230>},
    {"jpeg 20", Jpeg},
    {"cut left 2", CutLeft},
    {"speck beside rows", SpeckBesideRows},
    {"framed", Framed},
    {"rule above", RuleAbove},
    {"inverted", Inverted},
    {"uneven light", UnevenLight},
    {"among text", AmongText},
};

} // namespace

QImage WithMargin(const QImage& picture, int margin)
{
    QImage page(picture.width() + 2 * margin, picture.height() + 2 * margin, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter(&page).drawImage(margin, margin, picture);
    return page;
}

QImage CleanPdf417(const std::string& value)
{
    TBarPDF417 control;
    control.FSetErrorLevel(Level2);
    control.FSetDataColumn(4);
    control.FSetBarX(2);
    control.resize(4000, 4000);
    control.FSetBarValue(value);
    const auto extent = control.DrawingExtent(0);
    control.resize(int(extent.Right - extent.Left), int(extent.Bottom));
    QImage drawn;
    control.CreateBMP(drawn);
    // The control draws a margin of its own; ours replaces it.
    return WithMargin(drawn.copy(DarkBox(drawn)), DistortMargin);
}

std::span<const TDistortion> Distortions()
{
    return Set;
}

} // namespace VandrelTest
