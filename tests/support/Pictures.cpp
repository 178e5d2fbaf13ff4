#include "support/Pictures.h"

#include <QTransform>

namespace VandrelTest {

QImage Filled(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QRect PaintedBox(const QImage& image, QColor background)
{
    QRect box;
    const QRgb bg = background.rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != bg)
                box |= QRect(x, y, 1, 1);
    return box;
}

QRect DifferenceBox(const QImage& a, const QImage& b)
{
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

int CountColor(const QImage& image, QColor color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == color.rgb();
    return n;
}

QImage TurnedCcw(const QImage& image, int quarterTurns)
{
    return image.transformed(QTransform().rotate(-90.0 * quarterTurns)).convertToFormat(QImage::Format_RGB32);
}

std::vector<std::pair<int, int>> DarkBands(const QImage& image)
{
    std::vector<std::pair<int, int>> bands;
    for (int y = 0; y < image.height(); ++y) {
        bool dark = false;
        for (int x = 0; x < image.width() && !dark; ++x)
            dark = qGray(image.pixel(x, y)) < 128;
        if (dark && !bands.empty() && bands.back().second == y)
            bands.back().second = y + 1;
        else if (dark)
            bands.emplace_back(y, y + 1);
    }
    return bands;
}

} // namespace VandrelTest
