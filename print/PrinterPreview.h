#pragma once
// TPrinterPreview: a printer that records instead of printing. Each page of a
// job becomes one vector recording (a QPicture) in the printer's device
// pixels, which the preview box replays at any zoom and Print replays on the
// real printer. Page metrics, printer choice, copies and title belong to a
// private printer object, so settings made for the preview leave the
// application's current printer alone.
#include "core/Export.h"
#include "print/VirtualPrinter.h"

#include <QPicture>
#include <QPointer>
#include <QSizeF>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QObject;

namespace Vandrel {

class TBarPreBox;
class TBarPreviewForm;

// The printer the preview lays out for when no printer is installed: 600 dpi
// A4. The application may change them; unusable values (zero, negative or
// absurdly large) are replaced by the initial ones where the preview divides
// by them.
extern VANDREL_EXPORT int DefaultPrinterPhysicalOffSetX;  // 130, unprintable margin left and right, pixels
extern VANDREL_EXPORT int DefaultPrinterPhysicalOffSetY;  // 150, unprintable margin top and bottom, pixels
extern VANDREL_EXPORT int DefaultPrinterPageWidth;        // 4676, printable width, pixels
extern VANDREL_EXPORT int DefaultPrinterPageHeight;       // 6744, printable height, pixels
extern VANDREL_EXPORT int DefaultPrinterPixelsPerInchX;   // 600
extern VANDREL_EXPORT int DefaultPrinterPixelsPerInchY;   // 600 (the preview computes with X)
extern VANDREL_EXPORT int DefaultPrinterVerticalSizeMM;   // 285, printable height
extern VANDREL_EXPORT int DefaultPrinterHorizontalSizeMM; // 198, printable width

// The page geometry a preview lays out and paints with.
struct TPreviewMetrics {
    int PixelsPerInch;     // LOGPIXELSX: device pixels per inch across the page
    int FontPixelsPerInch; // the smaller of LOGPIXELSX and LOGPIXELSY
    int HorzSizeMM;        // printable width
    int VertSizeMM;        // printable height
    int PageWidth;         // printable area, device pixels
    int PageHeight;
    int OffsetX; // unprintable margin, device pixels
    int OffsetY;
    int FullWidth() const { return PageWidth + 2 * OffsetX; }
    int FullHeight() const { return PageHeight + 2 * OffsetY; }
};

// One recorded page. A plain QPicture reports the screen's resolution, so
// fonts set by point size would be recorded screen-sized; this one reports
// the printer's, and the recording keeps each font's resolution.
class VANDREL_EXPORT TPagePicture : public QPicture {
public:
    TPagePicture(int resolution, int fontPixelsPerInch) : FResolution(resolution), FFontPixelsPerInch(fontPixelsPerInch)
    {
    }
    // Device pixels per inch of the recorded coordinates.
    int Resolution() const { return FResolution; }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    int FResolution;
    int FFontPixelsPerInch;
};

class VANDREL_EXPORT TPrinterPreview : public TVirtualPrinter {
public:
    using TNotifyEvent = std::function<void(QObject* sender)>;

    TPrinterPreview();
    ~TPrinterPreview() override;

    bool GetAborted() override;
    QPainter* GetCanvas() override;
    TPrinterCapabilities GetCapabilities() override;
    QStringList GetFonts() override;
    QPaintDevice* GetHandle() override;
    int GetNumCopies() override;
    TPrinterOrientation GetOrientation() override;
    int GetPageHeight() override;
    int GetPageWidth() override;
    int GetPageNumber() override;
    bool GetPrinting() override;
    QString GetTitle() override;
    int GetFullPageWidth() override;
    int GetFullPageHeight() override;
    int GetPrinterIndex() override;
    QStringList GetPrinters() override;
    void SetPrinterIndex(int value) override;
    void SetNumCopies(int value) override;
    void SetOrientation(TPrinterOrientation value) override;
    void SetTitle(const QString& value) override;
    // Sets the flag only; the job goes on being recorded.
    void Abort() override;
    // Discards the recorded pages and starts recording page 1.
    void BeginDoc() override;
    // Completes the last page. EPrinter outside a job.
    void EndDoc() override;
    // Completes the page and starts the next. EPrinter outside a job.
    void NewPage() override;
    void GetPrinter(QString& device, QString& driver, QString& port) override;
    void SetPrinter(const QString& device, const QString& driver, const QString& port) override;
    int GetPixelsPerInchX() override;
    int GetPixelsPerInchY() override;
    // Sets PropPrinter's sheet; with no printer installed the preview lays
    // out that sheet at the default printer's resolution and margins.
    void SetPageSize(const QPageSize& size) override;
    // A hook for descendants; does nothing here.
    virtual void ShowProgress(int value);

    // A printer is installed when PropPrinter's list (GetPrinters) has an
    // entry; otherwise the default-printer variables stand in for it.
    bool PrinterInstalled();
    TPreviewMetrics Metrics();

    TPrinter* GetPropPrinter() const { return FPropPrinter.get(); }
    const std::vector<std::unique_ptr<TPagePicture>>& Pages() const { return FPages; }
    int PageNumber() const { return FPageNumber; }
    bool Printing() const { return FPrinting; }
    bool Aborted() const { return FAborted; }

    TBarPreBox* Previewer() const { return FPreviewer; }
    void SetPreviewer(TBarPreBox* value) { FPreviewer = value; }

    // The component that produced the job: set by the print component before
    // each job and handed to the previewer (then cleared) by EndDoc. Not owned.
    QObject* PrinterSetupOwner() const { return FPrinterSetupOwner; }
    void SetPrinterSetupOwner(QObject* value) { FPrinterSetupOwner = value; }

    // Handed to the previewer (then cleared) by EndDoc.
    TNotifyEvent OnPrinterSetupChanged;
    TNotifyEvent OnPrinterSetupDialog;
    void SetOnPrinterSetupDialog(TNotifyEvent value) { OnPrinterSetupDialog = std::move(value); }

    // Draws recorded page `page` (1-based) with its top-left corner at the
    // logical origin of `canvas`, in whatever mapping the canvas has.
    // EListError for a page outside the recorded ones.
    void DrawPage(QObject* sender, QPainter* canvas, int page);
    // Fires the previewer's OnOpenPreviewer.
    void OpenPreview();
    // Replays every recorded page on PropPrinter as one job.
    void Print();
    // Replays pages `from` … `to` on the current printer as one job, scaled
    // from the recording's resolution to the printer's. The job is aborted
    // when drawing fails, so the printer is left idle.
    void PrintPages(int from, int to);

private:
    TPreviewMetrics DefaultMetrics();
    const TPagePicture& Page(int page) const;
    void StartPage();
    void FirePreviewChanged();

    std::unique_ptr<TPrinter> FPropPrinter;
    std::optional<QSizeF> FPaper; // millimetres, portrait
    std::vector<std::unique_ptr<TPagePicture>> FPages;
    // Declared after the pages: it must end before the page it records on goes.
    std::unique_ptr<QPainter> FCanvas;
    QPointer<QObject> FPrinterSetupOwner;
    TBarPreBox* FPreviewer = nullptr;
    int FPageNumber = 0;
    bool FPrinting = false;
    bool FAborted = false;
};

// The preview printer print components draw into. On first use it creates the
// preview window (BarPreviewForm), shows it and returns the window's printer;
// later it shows the window again.
VANDREL_EXPORT TPrinterPreview* PrinterPreview();
// Routes PrinterPreview to another preview printer; returns the previous one.
VANDREL_EXPORT TPrinterPreview* SetPrinterPreview(TPrinterPreview* value);

// The preview window made by PrinterPreview; freed with the application.
extern VANDREL_EXPORT TBarPreviewForm* BarPreviewForm;

} // namespace Vandrel
