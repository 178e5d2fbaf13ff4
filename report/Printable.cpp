#include "report/Printable.h"

#include "report/QuickRep.h"

#include <QPainter>
#include <QPen>

#include <cmath>

namespace Vandrel {

namespace {
double DesignPixels(double mm)
{
    return mm / 25.4 * DesignPixelsPerInch;
}

double Millimetres(double designPixels)
{
    return designPixels * 25.4 / DesignPixelsPerInch;
}

int Rounded(double value)
{
    return int(std::nearbyint(value));
}
} // namespace

double TQRPrintableSize::GetValue(int index) const
{
    FollowGeometry();
    const TQuickRep* report = FOwner.ParentReport();
    const double mm = FMillimetres.at(index);
    return report ? report->FromMillimetres(mm) : mm;
}

void TQRPrintableSize::SetValue(int index, double value)
{
    FollowGeometry();
    const TQuickRep* report = FOwner.ParentReport();
    FMillimetres.at(index) = report ? report->ToMillimetres(value) : value;
    const QRect geometry(Rounded(DesignPixels(FMillimetres[LeftIndex])), Rounded(DesignPixels(FMillimetres[TopIndex])),
                         Rounded(DesignPixels(FMillimetres[WidthIndex])),
                         Rounded(DesignPixels(FMillimetres[HeightIndex])));
    FOwner.FPlacing = true;
    FOwner.setGeometry(geometry);
    FOwner.FPlacing = false;
    if (index == HeightIndex || index == WidthIndex)
        FOwner.SizeChanged();
}

void TQRPrintableSize::FollowGeometry() const
{
    if (FOwner.FPlacing)
        return;
    const QRect g = FOwner.geometry();
    const auto follow = [this](int index, int designPixels) {
        if (Rounded(DesignPixels(FMillimetres[index])) != designPixels)
            FMillimetres[index] = Millimetres(designPixels);
    };
    follow(LeftIndex, g.left());
    follow(TopIndex, g.top());
    follow(WidthIndex, g.width());
    follow(HeightIndex, g.height());
}

TQRPrintable::TQRPrintable(QWidget* parent) : QWidget(parent), FSize(*this)
{
    FSize.FollowGeometry();
}

void TQRPrintable::SetFrame(const TQRFrame& value)
{
    if (value == FFrame)
        return;
    FFrame = value;
    Invalidate();
}

TQRBand* TQRPrintable::ParentBand() const
{
    for (QObject* p = parent(); p; p = p->parent())
        if (auto* band = qobject_cast<TQRBand*>(p))
            return band;
    return nullptr;
}

TQuickRep* TQRPrintable::ParentReport() const
{
    for (QObject* p = parent(); p; p = p->parent())
        if (auto* report = qobject_cast<TQuickRep*>(p))
            return report;
    return nullptr;
}

TQRPrinter* TQRPrintable::QRPrinter() const
{
    const TQuickRep* report = ParentReport();
    return report ? report->QRPrinter() : nullptr;
}

QRect TQRPrintable::PageRect(double X, double Y) const
{
    const TQRPrinter* printer = QRPrinter();
    if (!printer)
        throw EReportError("A report element prints only while its report runs");
    return QRect(printer->XPos(FSize.Left() + X), printer->YPos(FSize.Top() + Y), printer->XSize(FSize.Width()),
                 printer->YSize(FSize.Height()));
}

void TQRPrintable::Print(double X, double Y)
{
    if (!FFrame.Any())
        return;
    const TQRPrinter* printer = QRPrinter();
    const QRect rect = PageRect(X, Y);
    QPainter* canvas = printer->Canvas();
    canvas->save();
    DrawFrame(*canvas, rect, printer->ScaleX());
    canvas->restore();
}

void TQRPrintable::Invalidate()
{
    update();
    Q_EMIT invalidated();
}

void TQRPrintable::Paint()
{
    DrawFrame(*FCanvas, rect(), 1);
}

// The lines lie inside the rectangle, so a frame never reaches a neighbour.
void TQRPrintable::DrawFrame(QPainter& painter, const QRect& rect, double scale) const
{
    if (!FFrame.Any())
        return;
    const double width = std::max(1.0, FFrame.Width * scale);
    const double half = width / 2;
    const QRectF r = QRectF(rect.left(), rect.top(), rect.width(), rect.height()).adjusted(half, half, -half, -half);
    painter.setPen(QPen(FFrame.Color, width, Qt::SolidLine, Qt::SquareCap));
    if (FFrame.DrawLeft)
        painter.drawLine(r.topLeft(), r.bottomLeft());
    if (FFrame.DrawTop)
        painter.drawLine(r.topLeft(), r.topRight());
    if (FFrame.DrawRight)
        painter.drawLine(r.topRight(), r.bottomRight());
    if (FFrame.DrawBottom)
        painter.drawLine(r.bottomLeft(), r.bottomRight());
}

// Qt cannot pass an exception out of an event handler: an element that
// fails to draw shows a red cross and the reason instead.
void TQRPrintable::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    FCanvas = &painter;
    try {
        Paint();
    } catch (const std::exception& e) {
        painter.setPen(Qt::red);
        painter.drawLine(rect().topLeft(), rect().bottomRight());
        painter.drawLine(rect().bottomLeft(), rect().topRight());
        painter.drawText(rect(), int(Qt::AlignCenter | Qt::TextWordWrap), QString::fromUtf8(e.what()));
    }
    FCanvas = nullptr;
}

void TQRPrintable::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (FPlacing)
        return; // Size announces its own change
    FSize.FollowGeometry();
    SizeChanged();
}

void TQRPrintable::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    FSize.FollowGeometry();
}

} // namespace Vandrel
