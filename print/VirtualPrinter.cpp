#include "print/VirtualPrinter.h"

#include "platform/DeviceCaps.h"

#include <utility>

namespace Vandrel {

bool TVirtualPrinter::GetAborted()
{
    return Printer()->Aborted();
}
QPainter* TVirtualPrinter::GetCanvas()
{
    return Printer()->Canvas();
}
TPrinterCapabilities TVirtualPrinter::GetCapabilities()
{
    return Printer()->Capabilities();
}
QStringList TVirtualPrinter::GetFonts()
{
    return Printer()->Fonts();
}
QPaintDevice* TVirtualPrinter::GetHandle()
{
    return Printer()->Handle();
}
int TVirtualPrinter::GetNumCopies()
{
    return Printer()->Copies();
}
TPrinterOrientation TVirtualPrinter::GetOrientation()
{
    return Printer()->Orientation();
}
int TVirtualPrinter::GetPageHeight()
{
    return Printer()->PageHeight();
}
int TVirtualPrinter::GetPageWidth()
{
    return Printer()->PageWidth();
}
int TVirtualPrinter::GetPageNumber()
{
    return Printer()->PageNumber();
}
bool TVirtualPrinter::GetPrinting()
{
    return Printer()->Printing();
}
QString TVirtualPrinter::GetTitle()
{
    return Printer()->Title();
}

int TVirtualPrinter::GetFullPageWidth()
{
    TPrinter* p = Printer();
    return p->PageWidth() + 2 * GetDeviceCaps(p->Handle(), PHYSICALOFFSETX);
}

int TVirtualPrinter::GetFullPageHeight()
{
    TPrinter* p = Printer();
    return p->PageHeight() + 2 * GetDeviceCaps(p->Handle(), PHYSICALOFFSETY);
}

int TVirtualPrinter::GetPrinterIndex()
{
    return Printer()->PrinterIndex();
}
QStringList TVirtualPrinter::GetPrinters()
{
    return Printer()->Printers();
}
void TVirtualPrinter::SetPrinterIndex(int value)
{
    Printer()->SetPrinterIndex(value);
}
void TVirtualPrinter::SetNumCopies(int value)
{
    Printer()->SetCopies(value);
}
void TVirtualPrinter::SetOrientation(TPrinterOrientation value)
{
    Printer()->SetOrientation(value);
}
void TVirtualPrinter::SetTitle(const QString& value)
{
    Printer()->SetTitle(value);
}
void TVirtualPrinter::Abort()
{
    Printer()->Abort();
}
void TVirtualPrinter::BeginDoc()
{
    Printer()->BeginDoc();
}
void TVirtualPrinter::EndDoc()
{
    Printer()->EndDoc();
}
void TVirtualPrinter::NewPage()
{
    Printer()->NewPage();
}

void TVirtualPrinter::GetPrinter(QString& device, QString& driver, QString& port)
{
    Printer()->GetPrinter(device, driver, port);
}

void TVirtualPrinter::SetPrinter(const QString& device, const QString& driver, const QString& port)
{
    Printer()->SetPrinter(device, driver, port);
}

int TVirtualPrinter::GetPixelsPerInchX()
{
    return GetDeviceCaps(Printer()->Handle(), LOGPIXELSX);
}
int TVirtualPrinter::GetPixelsPerInchY()
{
    return GetDeviceCaps(Printer()->Handle(), LOGPIXELSY);
}
void TVirtualPrinter::SetPageSize(const QPageSize& size)
{
    Printer()->SetPageSize(size);
}

void EndFailedJob(TVirtualPrinter& printer) noexcept
{
    try {
        printer.Abort();
    } catch (...) {
    }
    try {
        if (printer.GetPrinting())
            printer.EndDoc();
    } catch (...) {
    }
}

TVirtualPrinter* VirtualPrinter = nullptr;

void CreateVirtualPrinter()
{
    VirtualPrinter = new TVirtualPrinter();
}

void FreeVirtualPrinter()
{
    delete std::exchange(VirtualPrinter, nullptr);
}

} // namespace Vandrel
