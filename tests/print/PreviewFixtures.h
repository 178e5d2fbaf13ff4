#pragma once
// Preview printers with and without an installed printer, whatever the
// machine has, and a box on a form to report to.
#include "platform/DeviceCaps.h"
#include "print/PreBox.h"
#include "print/PrinterPreview.h"

#include <QPaintDevice>
#include <QPainter>
#include <QWidget>

#include <functional>

namespace VandrelTest {

// No printer installed: the default-printer variables give the page.
class NoPrinterPreview : public Vandrel::TPrinterPreview {
public:
    QStringList GetPrinters() override { return {}; }
};

// A device reporting what a printer driver would; unset values are zero.
class FakePrinterDevice : public QPaintDevice {
public:
    int DpiX = 600, DpiY = 600, WidthMM = 198, HeightMM = 285;
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmDpiX:
        case PdmPhysicalDpiX: return DpiX;
        case PdmDpiY:
        case PdmPhysicalDpiY: return DpiY;
        case PdmWidthMM: return WidthMM;
        case PdmHeightMM: return HeightMM;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 0;
        }
    }
};

// An installed printer whose device is the fake above.
class FakePrinterPreview : public Vandrel::TPrinterPreview {
public:
    FakePrinterDevice Device;
    int PageWidth = 4676, PageHeight = 6744;
    QStringList GetPrinters() override { return {QStringLiteral("Fake")}; }
    QPaintDevice* GetHandle() override { return &Device; }
    int GetPageWidth() override { return PageWidth; }
    int GetPageHeight() override { return PageHeight; }
};

// Records a job of `pages` pages; `draw` paints on each page's canvas.
inline void Record(Vandrel::TPrinterPreview& printer, int pages,
                   const std::function<void(QPainter&, int page)>& draw = {})
{
    printer.BeginDoc();
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            printer.NewPage();
        if (draw)
            draw(*printer.GetCanvas(), page);
    }
    printer.EndDoc();
}

// A box on a form, 600 x 400 pixels, reporting for a printer without a
// printer installed (or for `printer` when given).
struct BoxOnForm {
    explicit BoxOnForm(Vandrel::TPrinterPreview* other = nullptr)
    {
        Box = new Vandrel::TBarPreBox(&Form);
        Vandrel::TPrinterPreview* used = other ? other : &Printer;
        Box->SetPrinter(used);
        used->SetPreviewer(Box);
        Form.resize(600, 400);
        Box->setGeometry(0, 0, 600, 400);
    }
    NoPrinterPreview Printer;
    QWidget Form;
    Vandrel::TBarPreBox* Box;
};

} // namespace VandrelTest
