#include "print/PrinterPreview.h"

#include "platform/DeviceCaps.h"
#include "print/PreBox.h"
#include "print/PreviewForm.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace Vandrel {

namespace {
// 600 dpi A4: what the default-printer variables start as, and what the
// preview falls back to when a device or the application gives sizes it
// cannot divide by.
constexpr TPreviewMetrics DefaultA4{600, 600, 198, 285, 4676, 6744, 130, 150};

// Large enough for any sheet at any printer resolution, small enough that
// the layout's products cannot overflow.
constexpr int MaxMetric = 1 << 20;

bool InRange(int value, int low)
{
    return value >= low && value <= MaxMetric;
}

bool Usable(const TPreviewMetrics& m)
{
    return InRange(m.PixelsPerInch, 1) && InRange(m.FontPixelsPerInch, 1) && InRange(m.HorzSizeMM, 1) &&
           InRange(m.VertSizeMM, 1) && InRange(m.PageWidth, 1) && InRange(m.PageHeight, 1) && InRange(m.OffsetX, 0) &&
           InRange(m.OffsetY, 0);
}

// A page size plus the margins on both sides, kept within int whatever the
// application set the default variables to.
int FullSize(int page, int offset)
{
    const std::int64_t full = std::int64_t(page) + 2 * std::int64_t(offset);
    return int(std::clamp<std::int64_t>(full, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

TPrinterPreview* CurrentPrinterPreview = nullptr;

void FreeBarPreviewForm()
{
    delete BarPreviewForm;
}
} // namespace

int DefaultPrinterPhysicalOffSetX = DefaultA4.OffsetX;
int DefaultPrinterPhysicalOffSetY = DefaultA4.OffsetY;
int DefaultPrinterPageWidth = DefaultA4.PageWidth;
int DefaultPrinterPageHeight = DefaultA4.PageHeight;
int DefaultPrinterPixelsPerInchX = DefaultA4.PixelsPerInch;
int DefaultPrinterPixelsPerInchY = DefaultA4.PixelsPerInch;
int DefaultPrinterVerticalSizeMM = DefaultA4.VertSizeMM;
int DefaultPrinterHorizontalSizeMM = DefaultA4.HorzSizeMM;

TBarPreviewForm* BarPreviewForm = nullptr;

int TPagePicture::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return FFontPixelsPerInch;
    default: return QPicture::metric(metric);
    }
}

TPrinterPreview::TPrinterPreview() : FPropPrinter(std::make_unique<TPrinter>()) {}

TPrinterPreview::~TPrinterPreview()
{
    if (CurrentPrinterPreview == this)
        CurrentPrinterPreview = nullptr;
}

bool TPrinterPreview::GetAborted()
{
    return FAborted;
}
QPainter* TPrinterPreview::GetCanvas()
{
    return FCanvas.get();
}
TPrinterCapabilities TPrinterPreview::GetCapabilities()
{
    return FPropPrinter->Capabilities();
}
QStringList TPrinterPreview::GetFonts()
{
    return FPropPrinter->Fonts();
}
QPaintDevice* TPrinterPreview::GetHandle()
{
    return FPropPrinter->Handle();
}
int TPrinterPreview::GetNumCopies()
{
    return FPropPrinter->Copies();
}
TPrinterOrientation TPrinterPreview::GetOrientation()
{
    return FPropPrinter->Orientation();
}

int TPrinterPreview::GetPageHeight()
{
    return PrinterInstalled() ? FPropPrinter->PageHeight() : DefaultMetrics().PageHeight;
}

int TPrinterPreview::GetPageWidth()
{
    return PrinterInstalled() ? FPropPrinter->PageWidth() : DefaultMetrics().PageWidth;
}

int TPrinterPreview::GetPixelsPerInchX()
{
    return Metrics().PixelsPerInch;
}
// The recording keeps one resolution for both directions.
int TPrinterPreview::GetPixelsPerInchY()
{
    return Metrics().PixelsPerInch;
}

void TPrinterPreview::SetPageSize(const QPageSize& size)
{
    FPropPrinter->SetPageSize(size);
    FPaper = size.size(QPageSize::Millimeter);
}

int TPrinterPreview::GetPageNumber()
{
    return FPageNumber;
}
bool TPrinterPreview::GetPrinting()
{
    return FPrinting;
}
QString TPrinterPreview::GetTitle()
{
    return FPropPrinter->Title();
}

int TPrinterPreview::GetFullPageWidth()
{
    const int offset = PrinterInstalled() ? GetDeviceCaps(GetHandle(), PHYSICALOFFSETX) : DefaultMetrics().OffsetX;
    return FullSize(GetPageWidth(), offset);
}

int TPrinterPreview::GetFullPageHeight()
{
    const int offset = PrinterInstalled() ? GetDeviceCaps(GetHandle(), PHYSICALOFFSETY) : DefaultMetrics().OffsetY;
    return FullSize(GetPageHeight(), offset);
}

int TPrinterPreview::GetPrinterIndex()
{
    return FPropPrinter->PrinterIndex();
}
QStringList TPrinterPreview::GetPrinters()
{
    return FPropPrinter->Printers();
}
void TPrinterPreview::SetPrinterIndex(int value)
{
    FPropPrinter->SetPrinterIndex(value);
}
void TPrinterPreview::SetNumCopies(int value)
{
    FPropPrinter->SetCopies(value);
}
void TPrinterPreview::SetOrientation(TPrinterOrientation value)
{
    FPropPrinter->SetOrientation(value);
}
void TPrinterPreview::SetTitle(const QString& value)
{
    FPropPrinter->SetTitle(value);
}
void TPrinterPreview::Abort()
{
    FAborted = true;
}

void TPrinterPreview::GetPrinter(QString& device, QString& driver, QString& port)
{
    FPropPrinter->GetPrinter(device, driver, port);
}

void TPrinterPreview::SetPrinter(const QString& device, const QString& driver, const QString& port)
{
    FPropPrinter->SetPrinter(device, driver, port);
}

void TPrinterPreview::ShowProgress(int) {}

bool TPrinterPreview::PrinterInstalled()
{
    return !GetPrinters().isEmpty();
}

TPreviewMetrics TPrinterPreview::Metrics()
{
    if (!PrinterInstalled())
        return DefaultMetrics();
    QPaintDevice* device = GetHandle();
    const int x = GetDeviceCaps(device, LOGPIXELSX);
    const TPreviewMetrics m{x,
                            std::min(x, GetDeviceCaps(device, LOGPIXELSY)),
                            GetDeviceCaps(device, HORZSIZE),
                            GetDeviceCaps(device, VERTSIZE),
                            GetPageWidth(),
                            GetPageHeight(),
                            GetDeviceCaps(device, PHYSICALOFFSETX),
                            GetDeviceCaps(device, PHYSICALOFFSETY)};
    return Usable(m) ? m : DefaultA4;
}

// The default-printer variables, with the printable area of the sheet set by
// SetPageSize (turned as the printer is) in place of theirs.
TPreviewMetrics TPrinterPreview::DefaultMetrics()
{
    TPreviewMetrics m{DefaultPrinterPixelsPerInchX,  DefaultPrinterPixelsPerInchX, DefaultPrinterHorizontalSizeMM,
                      DefaultPrinterVerticalSizeMM,  DefaultPrinterPageWidth,      DefaultPrinterPageHeight,
                      DefaultPrinterPhysicalOffSetX, DefaultPrinterPhysicalOffSetY};
    if (!Usable(m))
        m = DefaultA4;
    if (!FPaper)
        return m;
    const QSizeF paper = GetOrientation() == poLandscape ? FPaper->transposed() : *FPaper;
    const auto printable = [&m](double mm, int offset) {
        return int(std::clamp<double>(std::nearbyint(mm / 25.4 * m.PixelsPerInch) - 2.0 * offset, 1, MaxMetric));
    };
    m.PageWidth = printable(paper.width(), m.OffsetX);
    m.PageHeight = printable(paper.height(), m.OffsetY);
    m.HorzSizeMM = std::max(1, int(std::nearbyint(m.PageWidth * 25.4 / m.PixelsPerInch)));
    m.VertSizeMM = std::max(1, int(std::nearbyint(m.PageHeight * 25.4 / m.PixelsPerInch)));
    return m;
}

void TPrinterPreview::StartPage()
{
    const TPreviewMetrics m = Metrics();
    FPages.push_back(std::make_unique<TPagePicture>(m.PixelsPerInch, m.FontPixelsPerInch));
    auto canvas = std::make_unique<QPainter>();
    if (!canvas->begin(FPages.back().get()))
        throw EPrinter("Cannot start recording a page");
    FCanvas = std::move(canvas);
}

// The preview printer is no QObject; its notifications name the box it
// reports to, whose Printer() it is.
void TPrinterPreview::FirePreviewChanged()
{
    if (FPreviewer)
        FPreviewer->Fire(FPreviewer->OnPrinterPreviewChanged);
}

void TPrinterPreview::BeginDoc()
{
    FCanvas.reset();
    FPages.clear();
    StartPage();
    FPageNumber = 1;
    FAborted = false;
    FPrinting = true;
    if (FPreviewer) {
        FPreviewer->FPageCount = 1;
        FPreviewer->FPageIndex = 1;
    }
    FirePreviewChanged();
}

void TPrinterPreview::NewPage()
{
    if (!FPrinting)
        throw EPrinter("Printer is not currently printing (NewPage)");
    FCanvas.reset();
    if (FPages.size() == 1 && FPreviewer)
        FPreviewer->UpdatePageSetup();
    StartPage();
    ++FPageNumber;
    if (FPreviewer)
        FPreviewer->FPageCount = int(FPages.size()) - 1;
    OpenPreview();
    FirePreviewChanged();
}

void TPrinterPreview::EndDoc()
{
    if (!FPrinting)
        throw EPrinter("Printer is not currently printing (EndDoc)");
    FCanvas.reset();
    if (FPreviewer) {
        FPreviewer->FPageCount = int(FPages.size());
        if (FPages.size() == 1)
            FPreviewer->UpdatePageSetup();
    }
    FPageNumber = -1;
    FPrinting = false;
    // Every job hands these over afresh: a job that set none clears the box's.
    TNotifyEvent dialog = std::exchange(OnPrinterSetupDialog, {});
    TNotifyEvent changed = std::exchange(OnPrinterSetupChanged, {});
    QObject* owner = std::exchange(FPrinterSetupOwner, nullptr);
    if (FPreviewer) {
        FPreviewer->OnPrinterSetupDialog = std::move(dialog);
        FPreviewer->OnPrinterSetupChanged = std::move(changed);
        FPreviewer->SetPrinterSetupOwner(owner);
    }
    OpenPreview();
    FirePreviewChanged();
}

const TPagePicture& TPrinterPreview::Page(int page) const
{
    if (page < 1 || page > int(FPages.size()))
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(page - 1).toStdString());
    return *FPages[page - 1];
}

void TPrinterPreview::DrawPage(QObject*, QPainter* canvas, int page)
{
    const TPagePicture& picture = Page(page);
    if (!canvas)
        throw Exception("No canvas to draw the page on");
    // The page being recorded has nothing to show yet.
    if (FCanvas && page == int(FPages.size()))
        return;
    // QPicture takes a picture's units for screen pixels and scales them by
    // the device's resolution over the screen's when it plays them. Pages
    // are recorded in device pixels: that scaling is undone.
    const QPaintDevice* device = canvas->device();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double screenX = screen ? std::round(screen->logicalDotsPerInchX()) : 96;
    const double screenY = screen ? std::round(screen->logicalDotsPerInchY()) : 96;
    canvas->save();
    canvas->scale(screenX / std::max(1, device->logicalDpiX()), screenY / std::max(1, device->logicalDpiY()));
    canvas->drawPicture(0, 0, picture);
    canvas->restore();
}

void TPrinterPreview::OpenPreview()
{
    if (FPreviewer)
        FPreviewer->Fire(FPreviewer->OnOpenPreviewer);
}

void TPrinterPreview::Print()
{
    if (FPages.empty())
        return;
    const TInstalledPrinter installed(FPropPrinter.get());
    PrintPages(1, int(FPages.size()));
}

void TPrinterPreview::PrintPages(int from, int to)
{
    TPrinter* printer = ::Vandrel::Printer();
    printer->BeginDoc();
    try {
        for (int page = from; page <= to; ++page) {
            QPainter* canvas = printer->Canvas();
            // Pages are recorded at the preview printer's resolution; PDF
            // output or another printer chosen since may have a different one.
            const int dpi = GetDeviceCaps(printer->Handle(), LOGPIXELSX);
            const double scale = dpi > 0 ? double(dpi) / Page(page).Resolution() : 1.0;
            canvas->save();
            canvas->scale(scale, scale);
            DrawPage(nullptr, canvas, page);
            canvas->restore();
            if (page != to)
                printer->NewPage();
        }
    } catch (...) {
        printer->Abort();
        throw;
    }
    printer->EndDoc();
}

TPrinterPreview* PrinterPreview()
{
    if (!CurrentPrinterPreview) {
        if (!BarPreviewForm) {
            BarPreviewForm = new TBarPreviewForm;
            // Widgets must go before the application object does.
            qAddPostRoutine(FreeBarPreviewForm);
        }
        CurrentPrinterPreview = BarPreviewForm->PreviewBox->Printer();
    }
    if (BarPreviewForm)
        BarPreviewForm->show();
    return CurrentPrinterPreview;
}

TPrinterPreview* SetPrinterPreview(TPrinterPreview* value)
{
    return std::exchange(CurrentPrinterPreview, value);
}

} // namespace Vandrel
