#include "report/Labels.h"

#include "platform/DataSet.h"
#include "report/QuickRep.h"

#include <QFontMetrics>
#include <QPainter>

namespace Vandrel {

namespace {
Qt::Alignment HorizontalFlag(TAlignment alignment)
{
    switch (alignment) {
    case taLeft: return Qt::AlignLeft;
    case taRight: return Qt::AlignRight;
    case taCenter: return Qt::AlignHCenter;
    }
    return Qt::AlignLeft;
}
} // namespace

TQRCustomLabel::TQRCustomLabel(QWidget* parent) : TQRPrintable(parent)
{
    FFont.setPointSizeF(10);
}

void TQRCustomLabel::SetFont(const QFont& value)
{
    if (value == FFont)
        return;
    FFont = value;
    Invalidate();
}

void TQRCustomLabel::SetAlignment(TAlignment value)
{
    if (value == FAlignment)
        return;
    FAlignment = value;
    Invalidate();
}

void TQRCustomLabel::SetWordWrap(bool value)
{
    if (value == FWordWrap)
        return;
    FWordWrap = value;
    Invalidate();
}

// The painter's own font resolution turns points into its pixels: the
// screen's in the designer, the printer's (or the preview recording's) on paper.
void TQRCustomLabel::DrawText(QPainter& painter, const QRect& rect, const QString& text) const
{
    painter.save();
    painter.setFont(FFont);
    painter.setPen(Qt::black);
    const Qt::Alignment flags = HorizontalFlag(FAlignment) | Qt::AlignTop;
    if (FWordWrap)
        painter.drawText(rect, int(flags | Qt::TextWordWrap), text);
    else
        painter.drawText(rect, int(flags), painter.fontMetrics().elidedText(text, Qt::ElideRight, rect.width()));
    painter.restore();
}

void TQRCustomLabel::Print(double X, double Y)
{
    TQRPrintable::Print(X, Y);
    const QString text = Text();
    if (!text.isEmpty())
        DrawText(*QRPrinter()->Canvas(), PageRect(X, Y), text);
}

void TQRCustomLabel::Paint()
{
    TQRPrintable::Paint();
    DrawText(*Canvas(), rect(), Text());
}

TQRLabel::TQRLabel(QWidget* parent) : TQRCustomLabel(parent) {}

void TQRLabel::SetCaption(const QString& value)
{
    if (value == FCaption)
        return;
    FCaption = value;
    Invalidate();
}

TQRDBText::TQRDBText(QWidget* parent) : TQRCustomLabel(parent) {}

void TQRDBText::SetDataSet(TDataSet* value)
{
    if (value == FDataSet)
        return;
    FDataSet = value;
    Invalidate();
}

void TQRDBText::SetDataField(const QString& value)
{
    if (value == FDataField)
        return;
    FDataField = value;
    Invalidate();
}

QString TQRDBText::Text() const
{
    if (!FDataSet || !FDataSet->Active())
        return QString();
    return FDataSet->FieldByName(FDataField)->DisplayText();
}

// The designer shows which field will be printed.
void TQRDBText::Paint()
{
    TQRPrintable::Paint();
    QPainter& painter = *Canvas();
    painter.setFont(Font());
    painter.drawText(rect(), int(Qt::AlignTop | Qt::AlignLeft), FDataField.isEmpty() ? objectName() : FDataField);
}

} // namespace Vandrel
