#pragma once
// TVirtualPrinter: the printer a print job is drawn through. Every operation
// is virtual, so one piece of drawing code reaches the real printer through
// this class or the recording preview printer through its descendant. It
// keeps no state: each operation fetches the current platform printer anew,
// so a printer installed with SetPrinter for a while is honoured at once.
#include "core/Export.h"
#include "platform/Printer.h"

#include <QString>
#include <QStringList>

class QPageSize;
class QPainter;
class QPaintDevice;

namespace Vandrel {

class VANDREL_EXPORT TVirtualPrinter {
public:
    TVirtualPrinter() = default;
    virtual ~TVirtualPrinter() = default;
    TVirtualPrinter(const TVirtualPrinter&) = delete;
    TVirtualPrinter& operator=(const TVirtualPrinter&) = delete;

    virtual bool GetAborted();
    virtual QPainter* GetCanvas();
    virtual TPrinterCapabilities GetCapabilities();
    virtual QStringList GetFonts();
    virtual QPaintDevice* GetHandle();
    virtual int GetNumCopies();
    virtual TPrinterOrientation GetOrientation();
    // The printable area in device pixels.
    virtual int GetPageHeight();
    virtual int GetPageWidth();
    virtual int GetPageNumber();
    virtual bool GetPrinting();
    virtual QString GetTitle();
    // The whole sheet: the printable area and the unprintable margin, taken
    // as equal on both sides.
    virtual int GetFullPageWidth();
    virtual int GetFullPageHeight();
    virtual int GetPrinterIndex();
    virtual QStringList GetPrinters();
    virtual void SetPrinterIndex(int value);
    virtual void SetNumCopies(int value);
    virtual void SetOrientation(TPrinterOrientation value);
    virtual void SetTitle(const QString& value);
    virtual void Abort();
    virtual void BeginDoc();
    virtual void EndDoc();
    virtual void NewPage();
    virtual void GetPrinter(QString& device, QString& driver, QString& port);
    virtual void SetPrinter(const QString& device, const QString& driver, const QString& port);
    // Device pixels per inch of the canvas, across and down the page.
    virtual int GetPixelsPerInchX();
    virtual int GetPixelsPerInchY();
    // The sheet of the next job, portrait; GetOrientation turns it. Outside a job only.
    virtual void SetPageSize(const QPageSize& size);
};

// Ends a job that failed: aborted, or ended where the printer keeps it open
// after an abort. Its own errors would hide the one that ended the job.
VANDREL_EXPORT void EndFailedJob(TVirtualPrinter& printer) noexcept;

// The real printer, shared by the whole process; never freed by its users.
// The library's BarVPrt unit creates it when the library is loaded and frees
// it when the library is unloaded.
extern VANDREL_EXPORT TVirtualPrinter* VirtualPrinter;
VANDREL_EXPORT void CreateVirtualPrinter();
VANDREL_EXPORT void FreeVirtualPrinter();

} // namespace Vandrel
