#pragma once
// Small picture helpers shared by the component tests.
#include <QColor>
#include <QImage>
#include <QRect>

#include <utility>
#include <vector>

namespace VandrelTest {

// A picture of the given size filled with one colour.
QImage Filled(int width, int height, QColor color);

// The bounding box of the pixels that differ from `background`.
QRect PaintedBox(const QImage& image, QColor background);

// The bounding box of the pixels in which two pictures of one size differ.
QRect DifferenceBox(const QImage& a, const QImage& b);

// Count of pixels of exactly `color`.
int CountColor(const QImage& image, QColor color);

// `image` turned by quarter turns counter-clockwise on screen.
QImage TurnedCcw(const QImage& image, int quarterTurns);

// The runs of pixel rows that hold a dark pixel, as [first, end) pairs: the
// lines of symbols.
std::vector<std::pair<int, int>> DarkBands(const QImage& image);

} // namespace VandrelTest
