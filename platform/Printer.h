#pragma once
// The platform printer: a printer object over QPrinter with the operations
// the printing components use, a process-wide current printer that can be
// read and swapped, and PDF output wherever no printer is installed.
//
// Positions and sizes are device pixels of the printer; (0, 0) is the
// top-left corner of the printable area. The canvas is a QPainter that is
// active between BeginDoc and EndDoc.
#include "core/Exceptions.h"
#include "core/Export.h"

#include <QFlags>
#include <QString>
#include <QStringList>

#include <memory>

class QPageSize;
class QPainter;
class QPaintDevice;
class QPrinter;

namespace Vandrel {

class VANDREL_EXPORT EPrinter : public Exception {
public:
    using Exception::Exception;
};

enum TPrinterOrientation : int { poPortrait, poLandscape };

enum TPrinterCapability : int { pcCopies = 1, pcOrientation = 2, pcCollation = 4 };
Q_DECLARE_FLAGS(TPrinterCapabilities, TPrinterCapability)

class VANDREL_EXPORT TPrinter {
public:
    // The system's default printer, or PDF output when none is installed.
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    bool Aborted() const { return FAborted; }
    // The job's painter; null outside a job.
    QPainter* Canvas() const { return FCanvas.get(); }
    TPrinterCapabilities Capabilities() const;
    QStringList Fonts() const;
    // The device: what GetDeviceCaps and a painter take.
    QPaintDevice* Handle() const;
    QPrinter& Device() const { return *FPrinter; }
    int Copies() const;
    void SetCopies(int value);
    TPrinterOrientation Orientation() const;
    void SetOrientation(TPrinterOrientation value);
    int PageWidth() const;
    int PageHeight() const;
    int PageNumber() const { return FPageNumber; }
    bool Printing() const { return FCanvas != nullptr; }
    QString Title() const;
    void SetTitle(const QString& value);

    // The installed printers by name; -1 for PDF output.
    QStringList Printers() const;
    int PrinterIndex() const;
    // Selects an installed printer; EPrinter for an index outside the list.
    void SetPrinterIndex(int index);
    // The selected device by name ("" for PDF output); driver and port are
    // the print system's ("CUPS", the queue's name).
    void GetPrinter(QString& device, QString& driver, QString& port) const;
    // Selects the installed printer named `device`; EPrinter when there is none.
    void SetPrinter(const QString& device, const QString& driver = {}, const QString& port = {});
    // Prints into a PDF file instead of a printer; its printable area is
    // the whole sheet.
    void SetOutputFileName(const QString& fileName);
    QString OutputFileName() const;
    // Resolution of PDF output in dots per inch; a printer keeps its own.
    void SetResolution(int dpi);
    // The sheet, portrait (Orientation turns it). A printer that lacks it
    // keeps its own; a PDF takes any size.
    void SetPageSize(const QPageSize& size);

    // A job: BeginDoc, draw on Canvas, NewPage between pages, EndDoc. EPrinter
    // when a job is begun twice, or a page or the end comes outside a job, or
    // the device cannot be opened (with the reason).
    void BeginDoc();
    void NewPage();
    void EndDoc();
    // Ends the job, discarding what the device allows; sets Aborted.
    void Abort();

private:
    void RequirePrinting(const char* operation) const;
    void RequireIdle() const;

    std::unique_ptr<QPrinter> FPrinter;
    std::unique_ptr<QPainter> FCanvas;
    bool FAborted = false;
    int FPageNumber = 0;
};

// The process-wide current printer, made on first use.
VANDREL_EXPORT TPrinter* Printer();
// Installs `printer` as the current printer (null restores the process's own)
// and returns the previous one. The caller keeps ownership of what it installs.
VANDREL_EXPORT TPrinter* SetPrinter(TPrinter* printer);

// Installs a printer as the current one for the life of the scope; the
// previous one comes back on every path out.
class TInstalledPrinter {
public:
    explicit TInstalledPrinter(TPrinter* printer) : FPrevious(SetPrinter(printer)) {}
    ~TInstalledPrinter() { SetPrinter(FPrevious); }
    TInstalledPrinter(const TInstalledPrinter&) = delete;
    TInstalledPrinter& operator=(const TInstalledPrinter&) = delete;

private:
    TPrinter* FPrevious;
};

} // namespace Vandrel

Q_DECLARE_OPERATORS_FOR_FLAGS(Vandrel::TPrinterCapabilities)
