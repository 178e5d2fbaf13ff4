// Build and run from the repository root: g++ -std=c++20 -O2 -Wall -Wextra -fPIC $(pkg-config --cflags Qt6Gui)
// scripts/draw-palette-icons.cpp $(pkg-config --libs Qt6Gui) -o /tmp/draw-palette-icons && /tmp/draw-palette-icons
// package/palette
//
// Draws the 24 x 24 palette icons of the registered components, one PNG per
// class named after it in capitals. Each icon is built from a few layers: the
// symbol (bars for the linear controls, stacked rows for PDF417), a blue band
// heading for the report-band elements, a database drum for the data-aware
// ones and a scan line with a lens for the reader. Drawn without smoothing in
// the sixteen standard colours, fuchsia standing for transparency as it
// traditionally does, and saved with that palette.
#include <QDir>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

enum class TSymbol { Linear, Stacked };

struct TIcon {
    const char* Name;
    TSymbol Symbol;
    bool Report;
    bool Database;
    bool Scan;
};

constexpr TIcon Icons[] = {
    {"TBARPDF417", TSymbol::Stacked, false, false, false},
    {"TDBBARPDF417", TSymbol::Stacked, false, true, false},
    {"TQRPDF417", TSymbol::Stacked, true, false, false},
    {"TDBQRPDF417", TSymbol::Stacked, true, true, false},
    {"TSINGLEBARCODE", TSymbol::Linear, false, false, false},
    {"TQRSINGLEBARCODE", TSymbol::Linear, true, false, false},
    {"TDBSINGLEBARCODE", TSymbol::Linear, false, true, false},
    {"TDBQRSINGLEBARCODE", TSymbol::Linear, true, true, false},
    {"TSCANBARCODE", TSymbol::Stacked, false, false, true},
};

constexpr int Size = 24;

// The sixteen standard colours; fuchsia's place holds transparency.
const QList<QRgb> Palette{
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgba(0, 0, 0, 0), qRgb(0, 255, 255), qRgb(255, 255, 255),
};

const QColor Black(0, 0, 0), Gray(128, 128, 128), Silver(192, 192, 192), White(255, 255, 255), Navy(0, 0, 128),
    Teal(0, 128, 128), Aqua(0, 255, 255), Red(255, 0, 0), Yellow(255, 255, 0);

// A white label with a grey edge.
void Card(QPainter& p, QRect r)
{
    p.fillRect(r, White);
    p.setPen(Gray);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

// Bars and spaces of the given widths (bar first) from x, `height` high.
int Run(QPainter& p, int x, int y, int height, std::initializer_list<int> widths)
{
    bool bar = true;
    for (int w : widths) {
        if (bar)
            p.fillRect(x, y, w, height, Black);
        x += w;
        bar = !bar;
    }
    return x;
}

void Linear(QPainter& p, QRect card)
{
    Card(p, card);
    // 18 modules, centred on the label.
    const int top = card.top() + 2, height = card.height() - 4;
    Run(p, card.left() + (card.width() - 18) / 2, top, height, {1, 1, 2, 1, 1, 2, 3, 1, 1, 1, 2, 1, 1});
}

void Stacked(QPainter& p, QRect card)
{
    Card(p, card);
    // Start pattern, a row's own codewords, stop pattern: each row differs.
    static constexpr std::initializer_list<int> Rows[] = {
        {1, 2, 1, 1, 2, 1, 1, 1, 1},
        {2, 1, 1, 2, 1, 1, 3, 1, 1},
        {1, 1, 3, 1, 1, 2, 1, 1, 1},
        {1, 2, 2, 1, 1, 1, 2, 1, 1},
    };
    const int rowHeight = (card.height() - 4) / 4;
    int y = card.top() + 2;
    for (const auto& row : Rows) {
        const int x = Run(p, card.left() + 2, y, rowHeight, {2, 1});
        Run(p, x, y, rowHeight, row);
        Run(p, card.right() - 3, y, rowHeight, {2});
        y += rowHeight;
    }
}

// A report band's heading above the element.
void Band(QPainter& p)
{
    p.fillRect(0, 0, Size, 5, Navy);
    p.fillRect(2, 2, 8, 1, White);
    p.fillRect(12, 2, 4, 1, Silver);
}

// A database drum in the lower right corner.
void Database(QPainter& p)
{
    const QRect body(14, 15, 9, 8);
    p.fillRect(body, Teal);
    p.setPen(Black);
    p.setBrush(Teal);
    p.drawEllipse(QRect(14, 20, 8, 3));
    p.fillRect(QRect(14, 15, 9, 6), Teal);
    p.setBrush(Aqua);
    p.drawEllipse(QRect(14, 13, 8, 4));
    p.drawLine(14, 15, 14, 21);
    p.drawLine(22, 15, 22, 21);
}

// A red scan line across the symbol and a lens over it.
void Scan(QPainter& p)
{
    p.fillRect(0, 10, Size, 2, Red);
    p.setPen(QPen(Navy, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRect(12, 12, 7, 7));
    p.setPen(QPen(Yellow, 2));
    p.drawLine(19, 19, 22, 22);
}

QImage Draw(const TIcon& icon)
{
    QImage image(Size, Size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const QRect card = icon.Report ? QRect(1, 6, 22, 16) : QRect(0, 3, 24, 18);
    if (icon.Report)
        Band(p);
    if (icon.Symbol == TSymbol::Linear)
        Linear(p, card);
    else
        Stacked(p, card);
    if (icon.Database)
        Database(p);
    if (icon.Scan)
        Scan(p);
    p.end();
    return image.convertToFormat(QImage::Format_Indexed8, Palette, Qt::ThresholdDither | Qt::AvoidDither);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    for (const TIcon& icon : Icons) {
        const QString file = dir.filePath(QString::fromLatin1(icon.Name) + QStringLiteral(".png"));
        if (!Draw(icon).save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
