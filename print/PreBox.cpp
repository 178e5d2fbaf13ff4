#include "print/PreBox.h"

#include "core/Exceptions.h"
#include "print/Cursors.h"
#include "print/Dialogs.h"
#include "print/PrinterPreview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>

namespace Vandrel {

namespace {
// Space around the page inside the scrolled area, and the shadow's offset.
constexpr int Margin = 8;
constexpr int ShadowOffset = 4;
const QColor ShadowColor(0x40, 0x40, 0x40);

// Zoom in percent of the fixed modes, by ordinal.
constexpr int Zooms[] = {500, 200, 150, 100, 75, 50, 25, 10};
static_assert(std::size(Zooms) == vmPageWidth);

// A computed extent as a widget can take it.
int Extent(std::int64_t value)
{
    return int(std::clamp<std::int64_t>(value, 0, QWIDGETSIZE_MAX));
}

int Clamped(std::int64_t value)
{
    return int(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// How a key moves one scroll bar.
enum TMove { mvNone, mvToStart, mvToEnd, mvLineBack, mvLineForward, mvPageBack, mvPageForward };

struct TKeyMoves {
    int Key;
    TMove Horz, Vert;         // without Ctrl
    TMove CtrlHorz, CtrlVert; // with Ctrl
};

constexpr TKeyMoves KeyMoves[] = {
    {Qt::Key_PageUp, mvNone, mvPageBack, mvNone, mvToStart},
    {Qt::Key_PageDown, mvNone, mvPageForward, mvNone, mvToEnd},
    {Qt::Key_Up, mvNone, mvLineBack, mvNone, mvPageBack},
    {Qt::Key_Down, mvNone, mvLineForward, mvNone, mvPageForward},
    {Qt::Key_Home, mvToStart, mvNone, mvToStart, mvToStart},
    {Qt::Key_End, mvToEnd, mvNone, mvToEnd, mvToEnd},
    {Qt::Key_Left, mvLineBack, mvNone, mvPageBack, mvNone},
    {Qt::Key_Right, mvLineForward, mvNone, mvPageForward, mvNone},
};

// A page step leaves one line of the previous view in sight.
void Apply(QScrollBar* bar, TMove move, int clientExtent)
{
    const int page = clientExtent - TBarPreBox::LineStep;
    switch (move) {
    case mvNone: break;
    case mvToStart: bar->setValue(0); break;
    case mvToEnd: bar->setValue(bar->maximum()); break;
    case mvLineBack: bar->setValue(bar->value() - TBarPreBox::LineStep); break;
    case mvLineForward: bar->setValue(bar->value() + TBarPreBox::LineStep); break;
    case mvPageBack: bar->setValue(bar->value() - page); break;
    case mvPageForward: bar->setValue(bar->value() + page); break;
    }
}
} // namespace

// --- TDrawPanel ---

TDrawPanel::TDrawPanel(TBarPreBox* box, QWidget* parent) : QWidget(parent), FBox(box)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(ScreenCursors().Cursor(crMagnifier));
}

bool TDrawPanel::Dragging() const
{
    return cursor() == ScreenCursors().Cursor(crHand);
}

void TDrawPanel::paintEvent(QPaintEvent*)
{
    QPainter canvas(this);
    canvas.fillRect(rect(), Qt::white);
    TPrinterPreview* printer = FBox->Printer();
    const int page = FBox->PageIndex();
    if (printer && page >= 1 && page <= std::min(FBox->PageCount(), int(printer->Pages().size()))) {
        // The whole sheet fills the panel; the recording's origin, the corner
        // of the printable area, lands at the scaled unprintable margin.
        const TPreviewMetrics m = printer->Metrics();
        const int fullWidth = m.FullWidth();
        const int fullHeight = m.FullHeight();
        canvas.save();
        canvas.setWindow(0, 0, fullWidth, fullHeight);
        canvas.setViewport(int(double(m.OffsetX) * width() / fullWidth), int(double(m.OffsetY) * height() / fullHeight),
                           width(), height());
        printer->DrawPage(this, &canvas, page);
        canvas.restore();
    }
    canvas.setPen(Qt::black);
    canvas.setBrush(Qt::NoBrush);
    canvas.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TDrawPanel::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    FDownPoint = event->position().toPoint();
    FCaptured = true;
}

void TDrawPanel::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    const QPoint at = event->position().toPoint();
    if (!(event->buttons() & Qt::LeftButton) || !FCaptured || (at == FDownPoint && !Dragging()))
        return;
    if (!Dragging())
        setCursor(ScreenCursors().Cursor(crHand));
    QScrollBar* horz = FBox->horizontalScrollBar();
    QScrollBar* vert = FBox->verticalScrollBar();
    const int oldHorz = horz->value();
    const int oldVert = vert->value();
    // The page follows the mouse; at a limit the reference follows it instead.
    vert->setValue(Clamped(std::int64_t(oldVert) + FDownPoint.y() - at.y()));
    horz->setValue(Clamped(std::int64_t(oldHorz) + FDownPoint.x() - at.x()));
    if (horz->value() == oldHorz)
        FDownPoint.setX(at.x());
    if (vert->value() == oldVert)
        FDownPoint.setY(at.y());
}

void TDrawPanel::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    FCaptured = false;
    if (Dragging()) {
        setCursor(ScreenCursors().Cursor(crMagnifier));
        return;
    }
    // The right button is the zoom menu's; a box that cannot lay out ignores clicks.
    if (event->button() != Qt::LeftButton || !FBox->CanLayOut())
        return;
    if (FBox->ViewMode() == vmFullPage)
        Zoom(event->position().toPoint());
    else
        FBox->SetViewMode(vmFullPage);
}

// Zooms to 150 % keeping the clicked point of the sheet near the mouse.
void TDrawPanel::Zoom(QPoint at)
{
    const QRect before = geometry();
    FBox->SetViewMode(vm150);
    if (before.width() <= 0 || before.height() <= 0)
        return;
    FBox->verticalScrollBar()->setValue(
        Clamped(std::int64_t(height()) * at.y() / before.height() + 2 * Margin - before.top() - at.y()));
    FBox->horizontalScrollBar()->setValue(
        Clamped(std::int64_t(width()) * at.x() / before.width() + 2 * Margin - before.left() - at.x()));
}

// --- TBarPreBox ---

TBarPreBox::TBarPreBox(QWidget* owner)
    : QAbstractScrollArea(owner), FOwner(owner), FShadowPanel(new QWidget(viewport())),
      FDrawPanel(new TDrawPanel(this, viewport())), FOwnPrinter(std::make_unique<TPrinterPreview>()),
      FPrinter(FOwnPrinter.get())
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Window);
    // Made after the shadow, the page lies above it.
    FShadowPanel->setAutoFillBackground(true);
    QPalette shadow = FShadowPanel->palette();
    shadow.setColor(QPalette::Window, ShadowColor);
    FShadowPanel->setPalette(shadow);
    FShadowPanel->setEnabled(false);
    FDrawPanel->setGeometry(Margin, Margin, 0, 0);
    FPrinter->SetPreviewer(this);
    horizontalScrollBar()->setSingleStep(LineStep);
    verticalScrollBar()->setSingleStep(LineStep);
    UpdateScrollBars();
}

TBarPreBox::~TBarPreBox() = default;

void TBarPreBox::Fire(TNotifyEvent event)
{
    // A copy: a handler may replace the one it was called through.
    if (event)
        event(this);
}

void TBarPreBox::SetViewMode(TViewMode value)
{
    if (value < vm500 || value > vmFullPage)
        return;
    if (value != FViewMode) {
        FViewMode = value;
        UpdatePageSetup();
    }
    Fire(OnPrinterPreviewChanged);
}

void TBarPreBox::SetPageIndex(int value)
{
    value = std::min(std::max(value, 1), FPageCount);
    if (value == FPageIndex)
        return;
    FPageIndex = value;
    UpdatePreview();
    Fire(OnPrinterPreviewChanged);
}

void TBarPreBox::SetPrinterSetupOwner(QObject* value)
{
    if (value == FPrinterSetupOwner)
        return;
    disconnect(FOwnerWatch);
    FPrinterSetupOwner = value;
    if (value)
        FOwnerWatch = connect(value, &QObject::destroyed, this, [this] { SetPrinterSetupOwner(nullptr); });
    Fire(OnPrinterPreviewChanged);
}

bool TBarPreBox::CanLayOut() const
{
    return FOwner && FOwner->isWindow();
}

QWidget* TBarPreBox::OwnerForm() const
{
    if (!CanLayOut())
        throw EInvalidCast("Invalid class typecast");
    return FOwner;
}

void TBarPreBox::UpdatePageSetup()
{
    const int ppi = OwnerForm()->logicalDpiX();
    if (!FPrinter)
        return;
    const TPreviewMetrics m = FPrinter->Metrics();
    const QRect page = FViewMode == vmFullPage    ? FullPageLayout(m)
                       : FViewMode == vmPageWidth ? PageWidthLayout(m, ppi)
                                                  : FixedZoomLayout(m, Zooms[FViewMode], ppi);
    FDrawPanel->update();
    FDrawPanel->setGeometry(page);
    FShadowPanel->setGeometry(page.translated(ShadowOffset, ShadowOffset));
}

QRect TBarPreBox::FixedZoomLayout(const TPreviewMetrics& m, int zoom, int ppi)
{
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    const int width = Extent(std::int64_t(m.PageWidth) * zoom * ppi / m.PixelsPerInch / 100);
    const int height = Extent(std::int64_t(width) * m.VertSizeMM / m.HorzSizeMM);
    SetRanges(width + 2 * Margin, height + 2 * Margin);
    const QSize client = ClientSize();
    const int left = client.width() > width + 2 * Margin ? (client.width() - width) / 2 : Margin;
    const int top = client.height() > height + 2 * Margin ? (client.height() - height) / 2 : Margin;
    FScale = zoom;
    return QRect(left, top, width, height);
}

QRect TBarPreBox::PageWidthLayout(const TPreviewMetrics& m, int ppi)
{
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    const int width = Extent(std::int64_t(this->width()) - 20 - verticalScrollBar()->sizeHint().width());
    const int height = Extent(std::int64_t(width) * m.VertSizeMM / m.HorzSizeMM);
    // Screen pixels of the page at 100 %; a tiny page on a low-resolution
    // form may round to none.
    const std::int64_t full = std::int64_t(m.PageWidth) * ppi / m.PixelsPerInch;
    FScale = full > 0 ? Clamped(std::int64_t(width) * 100 / full) : 100;
    SetRanges(0, height + 2 * Margin);
    return QRect(Margin, Margin, width, height);
}

QRect TBarPreBox::FullPageLayout(const TPreviewMetrics& m)
{
    SetRanges(0, 0);
    const QSize client = ClientSize();
    int height = Extent(client.height() - 2 * Margin);
    int width = Extent(std::int64_t(height) * m.HorzSizeMM / m.VertSizeMM);
    if (width > client.width() - 2 * Margin) {
        width = Extent(client.width() - 2 * Margin);
        height = Extent(std::int64_t(width) * m.VertSizeMM / m.HorzSizeMM);
    }
    FScale = 100;
    return QRect((client.width() - width) / 2, (client.height() - height) / 2, width, height);
}

void TBarPreBox::UpdatePreview()
{
    viewport()->update();
    FDrawPanel->update();
}

void TBarPreBox::SetRanges(int horz, int vert)
{
    FHorzRange = horz;
    FVertRange = vert;
    UpdateScrollBars();
}

// A bar shows when its range exceeds the room left by the other bar.
void TBarPreBox::UpdateScrollBars()
{
    const QSize area = contentsRect().size();
    const int vertExtent = verticalScrollBar()->sizeHint().width();
    const int horzExtent = horizontalScrollBar()->sizeHint().height();
    bool vert = FVertRange > area.height();
    const bool horz = FHorzRange > area.width() - (vert ? vertExtent : 0);
    vert = vert || (horz && FVertRange > area.height() - horzExtent);
    setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(horz ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const QSize client = ClientSize();
    horizontalScrollBar()->setRange(0, std::max(0, FHorzRange - client.width()));
    horizontalScrollBar()->setPageStep(std::max(1, client.width()));
    verticalScrollBar()->setRange(0, std::max(0, FVertRange - client.height()));
    verticalScrollBar()->setPageStep(std::max(1, client.height()));
}

QSize TBarPreBox::ClientSize() const
{
    QSize client = contentsRect().size();
    if (verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        client.rwidth() -= verticalScrollBar()->sizeHint().width();
    if (horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        client.rheight() -= horizontalScrollBar()->sizeHint().height();
    return client.expandedTo(QSize(0, 0));
}

void TBarPreBox::keyPressEvent(QKeyEvent* event)
{
    const auto row = std::find_if(std::begin(KeyMoves), std::end(KeyMoves),
                                  [event](const TKeyMoves& r) { return r.Key == event->key(); });
    if (row == std::end(KeyMoves)) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const QSize client = ClientSize();
    Apply(horizontalScrollBar(), ctrl ? row->CtrlHorz : row->Horz, client.width());
    Apply(verticalScrollBar(), ctrl ? row->CtrlVert : row->Vert, client.height());
    event->accept();
}

void TBarPreBox::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int direction = delta < 0 ? 1 : -1; // towards the user: later pages, further down
    if (ClientSize().height() > FVertRange) {
        SetPageIndex(FPageIndex + direction);
    } else {
        QScrollBar* vert = verticalScrollBar();
        const std::int64_t step = std::int64_t(LineStep) * QApplication::wheelScrollLines() * FScale / 100;
        vert->setValue(Clamped(vert->value() + direction * step));
    }
    event->accept();
}

void TBarPreBox::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    if (!CanLayOut())
        return;
    // A fixed zoom keeps its scroll positions unless the page can be centred.
    const QSize client = ClientSize();
    if (FViewMode >= vmPageWidth || client.width() > FDrawPanel->width() + 2 * Margin ||
        client.height() > FDrawPanel->height() + 2 * Margin)
        UpdatePageSetup();
}

void TBarPreBox::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy);
}

void TBarPreBox::PrintDialog()
{
    if (!FPrinter)
        return;
    const TInstalledPrinter installed(FPrinter->GetPropPrinter());
    const int last = std::max(FPageCount, 1);
    QPrintDialog dialog(&::Vandrel::Printer()->Device(), FOwner);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    dialog.setMinMax(1, last);
    dialog.setFromTo(1, last);
    const int pages = int(FPrinter->Pages().size());
    if (!ExecDialog(dialog) || pages == 0)
        return;
    // Qt reports "all pages" as 0 … 0; a range keeps to the recorded pages.
    const int from = std::clamp(dialog.fromPage(), 1, pages);
    const int to = dialog.toPage() == 0 ? pages : std::clamp(dialog.toPage(), from, pages);
    FPrinter->PrintPages(from, to);
}

void TBarPreBox::PrinterSetupDialog()
{
    if (!FPrinter)
        return;
    const TInstalledPrinter installed(FPrinter->GetPropPrinter());
    if (OnPrinterSetupDialog) {
        Fire(OnPrinterSetupDialog);
        return;
    }
    QPageSetupDialog dialog(&::Vandrel::Printer()->Device(), FOwner);
    if (!ExecDialog(dialog))
        return;
    UpdatePageSetup();
    Fire(OnPrinterSetupChanged);
}

} // namespace Vandrel
