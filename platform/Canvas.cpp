#include "platform/Canvas.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace Vandrel {

namespace {
QRect ToQRect(const TRect& r)
{
    return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

QString Latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// Drawn text cells kept for drawing them again. A cell's text drawn onto a
// picture, straight (no transformation, no clipping but the cell's own),
// plainly (source over, fully opaque) over one opaque colour, comes out as
// the same pixels wherever the cell lies: they depend only on what the key
// holds. A batch of labels draws the same few digit cells thousands of times,
// and each drawing (a text layout, glyphs blended) cost more than the bars.
struct TTextCellKey {
    std::string text;
    QSize size;
    QRgb background;
    quint64 colour; // the pen's, 16 bits a channel
    QImage::Format format;
    QPainter::RenderHints hints;
    Qt::LayoutDirection direction;
    int dotsPerMeterX;
    int dotsPerMeterY;
    qreal pixelRatio;
    QFont font; // with what it leaves to the application's font filled in from that
    bool operator==(const TTextCellKey&) const = default;
};

struct TTextCell {
    TTextCellKey key;
    QImage pixels;
};

class TTextCells {
public:
    const TTextCell* Find(const TTextCellKey& key) const
    {
        for (const TTextCell& cell : FCells)
            if (cell.key == key)
                return &cell;
        return nullptr;
    }
    void Keep(TTextCellKey key, QImage pixels)
    {
        if (FCells.size() < Capacity) {
            FCells.push_back({std::move(key), std::move(pixels)});
            return;
        }
        FCells[FNext] = {std::move(key), std::move(pixels)};
        FNext = (FNext + 1) % Capacity;
    }

private:
    static constexpr size_t Capacity = 64; // a few labels' worth of digits in each of a few looks
    std::vector<TTextCell> FCells;
    size_t FNext = 0;
};

thread_local TTextCells TextCells;

// The picture `painter` draws on, when it draws there straight and plainly
// and the cell `q` lies inside it, in a format of 32 bits a pixel.
QImage* PlainPicture(QPainter* painter, const QRect& q)
{
    QPaintDevice* device = painter->device();
    if (!device || device->devType() != QInternal::Image)
        return nullptr;
    auto* image = static_cast<QImage*>(device);
    const QImage::Format format = image->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    // Written to directly: it must be the painter's own buffer, shared with no other image.
    if (!image->isDetached() || q.isEmpty() || !image->rect().contains(q))
        return nullptr;
    if (!painter->combinedTransform().isIdentity() || painter->hasClipping() ||
        painter->compositionMode() != QPainter::CompositionMode_SourceOver || painter->opacity() != 1.0 ||
        painter->backgroundMode() != Qt::TransparentMode)
        return nullptr;
    return image;
}

// The one opaque colour of every pixel of `q`, if it is that.
std::optional<QRgb> OneOpaqueColour(const QImage& image, const QRect& q)
{
    const QRgb first = reinterpret_cast<const QRgb*>(image.constScanLine(q.top()))[q.left()];
    if (qAlpha(first) != 255)
        return std::nullopt;
    for (int y = q.top(); y <= q.bottom(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y)) + q.left();
        for (int x = 0; x < q.width(); ++x)
            if (row[x] != first)
                return std::nullopt;
    }
    return first;
}
} // namespace

TCanvas::TCanvas(QPainter* dc) : FPainter(dc)
{
    FPainter->save();
    // Symbols are drawn in whole pixels: no smoothing of element edges.
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    FPainter->setBackgroundMode(Qt::TransparentMode);
    FFont = FPainter->font();
}

TCanvas::~TCanvas()
{
    FPainter->restore();
}

void TCanvas::FillRect(const TRect& r)
{
    const QRect q = ToQRect(r);
    if (q.isEmpty())
        return;
    switch (BrushStyle) {
    case bsSolid: FPainter->fillRect(q, BrushColor); break;
    case bsFDiagonal: FPainter->fillRect(q, QBrush(BrushColor, Qt::FDiagPattern)); break;
    case bsClear: break;
    }
}

void TCanvas::Rectangle(const TRect& r)
{
    const QRect q = ToQRect(r);
    if (q.isEmpty())
        return;
    FillRect({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1});
    // The outline as four one-pixel strips, so its pixels do not depend on the
    // painter's pen geometry.
    FPainter->fillRect(QRect(q.left(), q.top(), q.width(), 1), PenColor);
    FPainter->fillRect(QRect(q.left(), q.bottom(), q.width(), 1), PenColor);
    FPainter->fillRect(QRect(q.left(), q.top(), 1, q.height()), PenColor);
    FPainter->fillRect(QRect(q.right(), q.top(), 1, q.height()), PenColor);
}

void TCanvas::SelectFont(const TLogFont& lf, QColor color)
{
    FFont = FontFromLogFont(lf);
    FFontColor = color;
    FEscapement = lf.lfEscapement;
}

void TCanvas::SetFontState(const TFontState& state)
{
    FFont = state.Font;
    FFontColor = state.Color;
    FEscapement = state.Escapement;
}

void TCanvas::TextRect(const TRect& clip, TPoint ref, std::string_view text)
{
    if (text.empty())
        return;
    FPainter->save();
    FPainter->setClipRect(ToQRect(clip));
    FPainter->setFont(FFont);
    FPainter->setPen(FFontColor);
    FPainter->translate(ref.x, ref.y);
    FPainter->rotate(-FEscapement / 10.0);
    FPainter->drawText(QPoint(0, QFontMetrics(FFont).ascent()), Latin1(text));
    FPainter->restore();
}

void TCanvas::DrawTextCentredBottom(const TRect& cell, std::string_view text)
{
    const QRect q = ToQRect(cell);
    QImage* image = FFontColor.isValid() ? PlainPicture(FPainter, q) : nullptr;
    const std::optional<QRgb> background = image ? OneOpaqueColour(*image, q) : std::nullopt;
    std::optional<TTextCellKey> key;
    if (background) {
        key = TTextCellKey{std::string(text),
                           q.size(),
                           *background,
                           quint64(FFontColor.rgba64()),
                           image->format(),
                           FPainter->renderHints(),
                           FPainter->layoutDirection(),
                           image->dotsPerMeterX(),
                           image->dotsPerMeterY(),
                           image->devicePixelRatio(),
                           FFont.resolve(QGuiApplication::font())};
        if (const TTextCell* drawn = TextCells.Find(*key)) {
            const size_t rowBytes = size_t(q.width()) * sizeof(QRgb);
            for (int y = 0; y < q.height(); ++y)
                std::memcpy(reinterpret_cast<QRgb*>(image->scanLine(q.top() + y)) + q.left(),
                            drawn->pixels.constScanLine(y), rowBytes);
            return;
        }
    }
    FPainter->save();
    FPainter->setClipRect(q);
    FPainter->setFont(FFont);
    FPainter->setPen(FFontColor);
    FPainter->drawText(q, Qt::AlignHCenter | Qt::AlignBottom, Latin1(text));
    FPainter->restore();
    if (key)
        TextCells.Keep(std::move(*key), image->copy(q));
}

int32_t TCanvas::TextWidth(std::string_view text) const
{
    return QFontMetrics(FFont).horizontalAdvance(Latin1(text));
}

int32_t TCanvas::TextHeight() const
{
    return QFontMetrics(FFont).height();
}

// A symbol must reach paper exactly: PDF output would otherwise store the
// picture as JPEG, whose artefacts blur the edges of bars.
void TCanvas::CopyRect(const TRect& dest, const QImage& src, const TRect& srcRect)
{
    const bool lossless = FPainter->testRenderHint(QPainter::LosslessImageRendering);
    FPainter->setRenderHint(QPainter::LosslessImageRendering);
    FPainter->drawImage(ToQRect(dest), src, ToQRect(srcRect));
    FPainter->setRenderHint(QPainter::LosslessImageRendering, lossless);
}

} // namespace Vandrel
