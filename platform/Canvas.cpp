#include "platform/Canvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

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
    FPainter->save();
    FPainter->setClipRect(q);
    FPainter->setFont(FFont);
    FPainter->setPen(FFontColor);
    FPainter->drawText(q, Qt::AlignHCenter | Qt::AlignBottom, Latin1(text));
    FPainter->restore();
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
