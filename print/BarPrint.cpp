#include "print/BarPrint.h"

#include "core/BarCode.h"
#include "core/Exceptions.h"
#include "print/PrinterPreview.h"
#include "print/VirtualPrinter.h"

#include <QPainter>

namespace Vandrel {

TBarPrint::TBarPrint(QObject* owner) : QObject(owner) {}

void TBarPrint::SetBarCode(TBarCode* value)
{
    if (value == FBarCode)
        return;
    disconnect(FRemoval);
    FBarCode = value;
    if (value)
        FRemoval = connect(value, &QObject::destroyed, this, [this] { SetBarCode(nullptr); });
}

void TBarPrint::Print(const TPoint& position)
{
    PrintTo(VirtualPrinter, position);
}

void TBarPrint::Preview(const TPoint& position)
{
    TPrinterPreview* preview = PrinterPreview();
    preview->SetPrinterSetupOwner(this);
    PrintTo(preview, position);
}

void TBarPrint::PrinterSetupDialogPreview(QObject*)
{
    if (PrinterSetupDialog())
        Preview({0, 0});
}

void TBarPrint::PrintTo(TVirtualPrinter* printer, TPoint position)
{
    if (!printer)
        throw Exception("No printer to print on");
    // Checked before the job begins: a job without a control would be a blank page.
    if (!FBarCode)
        throw Exception("No barcode control to print");
    printer->BeginDoc();
    try {
        QPainter* canvas = printer->GetCanvas();
        // A colour given to a clear brush makes it solid: white it is.
        canvas->setBrush(Qt::white);
        canvas->setFont(FFont.ToQFont());
        FBarCode->Print(canvas, position);
    } catch (...) {
        EndFailedJob(*printer);
        throw;
    }
    printer->EndDoc();
}

} // namespace Vandrel
