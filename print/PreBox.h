#pragma once
// TBarPreBox: a scrolling box that shows one recorded page of its preview
// printer at a time on a white page panel with a drop shadow, in ten zoom
// modes. Click to zoom, drag to pan, keyboard and wheel to scroll, the wheel
// turns pages while the page fits. It also offers the print and printer
// set-up dialogs for the recorded job.
//
// The box sets its scroll ranges itself: a range is the extent of the
// content (page plus margins); the scroll bar's maximum is that range less
// the client extent, as positions are clamped to it.
//
// Events are std::function members fired with the sender; the box fires them
// with itself as sender.
#include "core/Export.h"

#include <QAbstractScrollArea>
#include <QMetaObject>
#include <QPointer>

#include <functional>
#include <memory>

namespace Vandrel {

namespace ViewModes {
Q_NAMESPACE_EXPORT(VANDREL_EXPORT)
// Zoom modes; the ordinals are stored and used as the zoom menu's tags.
enum TViewMode : int {
    vm500 = 0,
    vm200 = 1,
    vm150 = 2,
    vm100 = 3,
    vm75 = 4,
    vm50 = 5,
    vm25 = 6,
    vm10 = 7,
    vmPageWidth = 8,
    vmFullPage = 9
};
Q_ENUM_NS(TViewMode)
} // namespace ViewModes
using ViewModes::TViewMode;
using enum ViewModes::TViewMode;

class TPrinterPreview;
class TBarPreBox;
struct TPreviewMetrics;

// The white page panel. It replays the box's current page through a mapping
// that fits the whole sheet into the panel, so the printable area's corner
// lands at the scaled unprintable margin.
class VANDREL_EXPORT TDrawPanel : public QWidget {
    Q_OBJECT
public:
    explicit TDrawPanel(TBarPreBox* box, QWidget* parent);

    // Where the last press or the last drag step was, in panel coordinates.
    QPoint DownPoint() const { return FDownPoint; }
    bool Dragging() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Zoom(QPoint at);

    TBarPreBox* FBox;
    QPoint FDownPoint;
    // Qt keeps sending mouse events to the pressed widget until the release:
    // the panel holds the mouse between the two.
    bool FCaptured = false;
};

class VANDREL_EXPORT TBarPreBox : public QAbstractScrollArea {
    Q_OBJECT
    Q_PROPERTY(Vandrel::ViewModes::TViewMode ViewMode READ ViewMode WRITE SetViewMode)
public:
    using TNotifyEvent = std::function<void(QObject* sender)>;

    // Line step of both scroll bars, pixels.
    static constexpr int LineStep = 8;

    // `owner` must be a form (a top-level widget): the layout reads its
    // resolution. The box becomes its child.
    explicit TBarPreBox(QWidget* owner);
    ~TBarPreBox() override;

    TDrawPanel* DrawPanel() const { return FDrawPanel; }
    QWidget* ShadowPanel() const { return FShadowPanel; }

    // The preview printer shown. The box makes and owns its own; SetPrinter
    // only points the box at another one, which stays the caller's.
    TPrinterPreview* Printer() const { return FPrinter; }
    void SetPrinter(TPrinterPreview* value) { FPrinter = value; }

    TViewMode ViewMode() const { return FViewMode; }
    // Lays out when the mode changes; fires OnPrinterPreviewChanged always.
    void SetViewMode(TViewMode value);
    int PageCount() const { return FPageCount; }
    int PageIndex() const { return FPageIndex; }
    // Clamped to 1 … PageCount (0 without pages).
    void SetPageIndex(int value);
    // The component that produced the job; not owned, cleared when it is destroyed.
    QObject* PrinterSetupOwner() const { return FPrinterSetupOwner; }
    void SetPrinterSetupOwner(QObject* value);
    // Current zoom in percent.
    int Scale() const { return FScale; }

    // Lays out the page panel for the view mode. EInvalidCast when the owner
    // is not a form.
    void UpdatePageSetup();
    // Redraws the current page.
    void UpdatePreview();
    // The print dialog with a page range over the recorded pages; prints the
    // chosen ones on the preview's own printer.
    void PrintDialog();
    // OnPrinterSetupDialog when assigned, else the page set-up dialog for the
    // preview's own printer; lays out again when it is confirmed.
    void PrinterSetupDialog();

    // The scroll ranges as last laid out, and the client area they leave.
    int HorzRange() const { return FHorzRange; }
    int VertRange() const { return FVertRange; }
    QSize ClientSize() const;

    TNotifyEvent OnOpenPreviewer;         // pages became available (fired by the preview printer)
    TNotifyEvent OnPrinterPreviewChanged; // job, page, zoom or set-up owner changed
    TNotifyEvent OnPrinterSetupChanged;   // the built-in set-up dialog was confirmed
    TNotifyEvent OnPrinterSetupDialog;    // replaces the built-in set-up dialog

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class TPrinterPreview;
    friend class TDrawPanel;

    // The owner is a form, so the page can be laid out; event handlers lay
    // out only then, where an exception could not be handled.
    bool CanLayOut() const;
    QWidget* OwnerForm() const;
    void Fire(TNotifyEvent event);
    void SetRanges(int horz, int vert);
    void UpdateScrollBars();
    QRect FixedZoomLayout(const TPreviewMetrics& m, int zoom, int ppi);
    QRect PageWidthLayout(const TPreviewMetrics& m, int ppi);
    QRect FullPageLayout(const TPreviewMetrics& m);

    QPointer<QWidget> FOwner;
    QWidget* FShadowPanel;
    TDrawPanel* FDrawPanel;
    std::unique_ptr<TPrinterPreview> FOwnPrinter;
    TPrinterPreview* FPrinter;
    QObject* FPrinterSetupOwner = nullptr;
    QMetaObject::Connection FOwnerWatch;
    TViewMode FViewMode = vmFullPage;
    int FPageCount = 0;
    int FPageIndex = 1;
    int FScale = 100;
    int FHorzRange = 0;
    int FVertRange = 0;
};

} // namespace Vandrel
