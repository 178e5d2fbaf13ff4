#include "platform/Printer.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <utility>

namespace Vandrel {

TPrinter::TPrinter() : FPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    // QPrinter picks the system's default printer itself, and falls back to
    // PDF output when the print system has none.
    const QPrinterInfo preferred = QPrinterInfo::defaultPrinter();
    if (!preferred.isNull())
        FPrinter->setPrinterName(preferred.printerName());
}

TPrinter::~TPrinter()
{
    if (FCanvas)
        FCanvas->end();
}

TPrinterCapabilities TPrinter::Capabilities() const
{
    TPrinterCapabilities caps = pcCopies | pcOrientation;
    if (FPrinter->supportsMultipleCopies())
        caps |= pcCollation;
    return caps;
}

QStringList TPrinter::Fonts() const
{
    return QFontDatabase::families();
}

QPaintDevice* TPrinter::Handle() const
{
    return FPrinter.get();
}

int TPrinter::Copies() const
{
    return FPrinter->copyCount();
}

void TPrinter::SetCopies(int value)
{
    FPrinter->setCopyCount(std::max(value, 1));
}

TPrinterOrientation TPrinter::Orientation() const
{
    return FPrinter->pageLayout().orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation value)
{
    FPrinter->setPageOrientation(value == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int TPrinter::PageWidth() const
{
    return FPrinter->pageRect(QPrinter::DevicePixel).toRect().width();
}

int TPrinter::PageHeight() const
{
    return FPrinter->pageRect(QPrinter::DevicePixel).toRect().height();
}

QString TPrinter::Title() const
{
    return FPrinter->docName();
}

void TPrinter::SetTitle(const QString& value)
{
    FPrinter->setDocName(value);
}

QStringList TPrinter::Printers() const
{
    return QPrinterInfo::availablePrinterNames();
}

int TPrinter::PrinterIndex() const
{
    if (FPrinter->outputFormat() == QPrinter::PdfFormat)
        return -1;
    return int(Printers().indexOf(FPrinter->printerName()));
}

void TPrinter::SetPrinterIndex(int index)
{
    const QStringList names = Printers();
    if (index < 0 || index >= names.size())
        throw EPrinter(QStringLiteral("Printer index %1 out of range (%2 printers installed)")
                           .arg(index)
                           .arg(names.size())
                           .toStdString());
    SetPrinter(names.at(index));
}

void TPrinter::GetPrinter(QString& device, QString& driver, QString& port) const
{
    const bool pdf = FPrinter->outputFormat() == QPrinter::PdfFormat;
    device = pdf ? QString() : FPrinter->printerName();
    driver = pdf ? QStringLiteral("PDF") : QStringLiteral("CUPS");
    port = pdf ? FPrinter->outputFileName() : device;
}

void TPrinter::SetPrinter(const QString& device, const QString&, const QString&)
{
    RequireIdle();
    if (!Printers().contains(device))
        throw EPrinter(QStringLiteral("No printer named '%1' is installed").arg(device).toStdString());
    FPrinter->setOutputFileName(QString());
    FPrinter->setOutputFormat(QPrinter::NativeFormat);
    FPrinter->setPrinterName(device);
}

void TPrinter::SetOutputFileName(const QString& fileName)
{
    RequireIdle();
    FPrinter->setOutputFormat(QPrinter::PdfFormat);
    FPrinter->setOutputFileName(fileName);
    // A PDF file has no unprintable margin: the whole sheet is the page.
    FPrinter->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

QString TPrinter::OutputFileName() const
{
    return FPrinter->outputFileName();
}

void TPrinter::SetResolution(int dpi)
{
    RequireIdle();
    if (FPrinter->outputFormat() == QPrinter::PdfFormat)
        FPrinter->setResolution(dpi);
}

void TPrinter::SetPageSize(const QPageSize& size)
{
    RequireIdle();
    FPrinter->setPageSize(size);
}

void TPrinter::BeginDoc()
{
    RequireIdle();
    if (FPrinter->outputFormat() == QPrinter::PdfFormat && FPrinter->outputFileName().isEmpty())
        throw EPrinter("No printer is installed and no PDF file was named");
    auto canvas = std::make_unique<QPainter>();
    if (!canvas->begin(FPrinter.get()))
        throw EPrinter(QStringLiteral("Cannot start printing on '%1'")
                           .arg(FPrinter->outputFormat() == QPrinter::PdfFormat ? FPrinter->outputFileName()
                                                                                : FPrinter->printerName())
                           .toStdString());
    FCanvas = std::move(canvas);
    FAborted = false;
    FPageNumber = 1;
}

void TPrinter::NewPage()
{
    RequirePrinting("NewPage");
    if (!FPrinter->newPage())
        throw EPrinter("Cannot start a new page");
    ++FPageNumber;
}

void TPrinter::EndDoc()
{
    RequirePrinting("EndDoc");
    const bool ended = FCanvas->end();
    FCanvas.reset();
    FPageNumber = 0;
    if (!ended && !FAborted)
        throw EPrinter("Cannot finish the print job");
}

void TPrinter::Abort()
{
    RequirePrinting("Abort");
    FAborted = true;
    FPrinter->abort();
    FCanvas->end();
    FCanvas.reset();
    FPageNumber = 0;
}

void TPrinter::RequirePrinting(const char* operation) const
{
    if (!FCanvas)
        throw EPrinter(std::string("Printer is not currently printing (") + operation + ")");
}

void TPrinter::RequireIdle() const
{
    if (FCanvas)
        throw EPrinter("Printing in progress");
}

namespace {
TPrinter*& Installed()
{
    static TPrinter* installed = nullptr;
    return installed;
}

// The process's own printer lives as long as the application object: the
// print system's plug-in is gone once that is destroyed.
TPrinter*& Own()
{
    static TPrinter* own = nullptr;
    return own;
}

void FreeOwn()
{
    if (Installed() == Own())
        Installed() = nullptr;
    delete std::exchange(Own(), nullptr);
}
} // namespace

TPrinter* Printer()
{
    if (TPrinter* installed = Installed())
        return installed;
    if (!Own()) {
        Own() = new TPrinter;
        qAddPostRoutine(FreeOwn);
    }
    return Own();
}

TPrinter* SetPrinter(TPrinter* printer)
{
    TPrinter* previous = Printer();
    Installed() = printer;
    return previous;
}

} // namespace Vandrel
