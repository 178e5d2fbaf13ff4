#pragma once
// TBarPrint: prints a barcode control as a one-page job on a virtual printer,
// the real one (Print) or any other, such as a recording preview printer
// (PrintTo). The control is referred to, not owned: when it is destroyed the
// reference is cleared.
#include "core/BarCode.h"
#include "core/Export.h"
#include "core/Geometry.h"
#include "platform/Font.h"

#include <QFont>
#include <QMetaObject>
#include <QObject>

namespace Vandrel {

class TVirtualPrinter;

class VANDREL_EXPORT TBarPrint : public QObject {
    Q_OBJECT
    Q_PROPERTY(Vandrel::TBarCode* BarCode READ BarCode WRITE SetBarCode)
    Q_PROPERTY(QFont Font READ FontAsQFont WRITE SetFontFromQFont)

public:
    explicit TBarPrint(QObject* owner = nullptr);

    TBarCode* BarCode() const { return FBarCode; }
    void SetBarCode(TBarCode* value);

    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    // Copies the attributes; the component keeps its own font.
    void FSetFont(const TFont& value) { FFont = value; }
    QFont FontAsQFont() const { return FFont.ToQFont(); }
    void SetFontFromQFont(const QFont& value) { FFont = TFont::FromQFont(value, FFont.Color); }

    // PrintTo(VirtualPrinter, position).
    void Print(const TPoint& position);
    // One complete job on `printer`: the control drawn with its area's
    // top-left at `position`, in device pixels of the printable area. When the
    // job cannot be completed it is ended before the error passes on, so no
    // printer is left with an open job.
    void PrintTo(TVirtualPrinter* printer, TPoint position);
    // The job recorded in the current preview printer (the preview window is
    // made and shown on first use, shown again later), with this component
    // as the job's set-up owner.
    void Preview(const TPoint& position);
    // There is nothing to set up: always true.
    bool PrinterSetupDialog() { return true; }
    // A preview printer's set-up handler: assigned to one, the preview box's
    // set-up command makes the preview again instead of showing a dialog.
    void PrinterSetupDialogPreview(QObject* sender);

private:
    TBarCode* FBarCode = nullptr;
    QMetaObject::Connection FRemoval;
    TFont FFont;
};

} // namespace Vandrel
