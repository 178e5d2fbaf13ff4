// TBarPrint: one-page jobs that put the control's symbol at the given place of
// the printable area, read back by an independent reader from the printed
// PDF; jobs that fail are ended before the error passes on.
#include "print/BarPrint.h"
#include "core/Exceptions.h"
#include "linear/SingleBarcode.h"
#include "pdf417/BarPDF417.h"
#include "platform/DeviceCaps.h"
#include "platform/Printer.h"
#include "print/PreviewForm.h"
#include "print/PrinterPreview.h"
#include "print/VirtualPrinter.h"
#include "support/Oracle.h"
#include "support/Pictures.h"
#include "support/PrintedPages.h"

#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace VandrelTest {

using namespace Vandrel;
using ZXing::BarcodeFormat;

namespace {

constexpr int PrinterDpi = 600;
constexpr int PageDpi = 300;

// A PDF printer at 600 dpi on A4, with the margins Qt gives a page.
struct PdfPrinter {
    QTemporaryDir dir;
    TPrinter printer;
    PdfPrinter()
    {
        printer.SetOutputFileName(dir.filePath("job.pdf"));
        printer.SetResolution(PrinterDpi);
        printer.Device().setPageSize(QPageSize(QPageSize::A4));
    }
    QString File() const { return dir.filePath("job.pdf"); }
};

// The smallest rectangle holding every pixel of a picture darker than `threshold`.
QRect DarkBounds(const QImage& picture, int threshold = 128)
{
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    QRect bounds;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            if (row[x] < threshold)
                bounds |= QRect(x, y, 1, 1);
    }
    return bounds;
}

// Where the control's printing path puts the symbol's first dark pixel,
// relative to its area, in printer pixels.
QPoint SymbolCornerInArea(TBarCode& control)
{
    QImage area(control.width(), control.height(), QImage::Format_RGB32);
    area.fill(Qt::white);
    {
        QPainter painter(&area);
        control.Print(&painter, {0, 0});
    }
    return DarkBounds(area).topLeft();
}

struct PlaceCase {
    const char* name;
    std::function<std::unique_ptr<TBarCode>()> make;
    BarcodeFormat format;
    const char* read;
    TPoint at;
};

std::unique_ptr<TBarCode> Ean13(TAngleType angle)
{
    auto c = std::make_unique<TSingleBarCode>();
    c->FSetBarType(EAN13);
    c->FSetBarValue("4006381333931");
    c->FSetAngle(angle);
    TFont font = c->Font();
    font.Height = -40;
    c->FSetFont(font);
    c->resize(angle == _90 ? QSize(720, 1400) : QSize(1400, 720));
    return c;
}

std::unique_ptr<TBarCode> Pdf417()
{
    auto c = std::make_unique<TBarPDF417>();
    c->resize(1800, 700);
    c->FSetBarX(6);
    c->FSetAspect(3);
    c->FSetBarValue("Printed PDF417");
    return c;
}

} // namespace

TEST(BarPrint, PrintPutsTheSymbolAtThePlaceOnThePrintableArea)
{
    const PlaceCase cases[] = {
        {"EAN-13", [] { return Ean13(_0); }, BarcodeFormat::EAN13, "4006381333931", {472, 472}},
        {"EAN-13 upright", [] { return Ean13(_90); }, BarcodeFormat::EAN13, "4006381333931", {1200, 300}},
        {"EAN-13 at the corner", [] { return Ean13(_0); }, BarcodeFormat::EAN13, "4006381333931", {0, 0}},
        {"PDF417", Pdf417, BarcodeFormat::PDF417, "Printed PDF417", {600, 2000}},
    };
    for (const PlaceCase& k : cases) {
        SCOPED_TRACE(k.name);
        PdfPrinter pdf;
        const auto control = k.make();
        TBarPrint print;
        print.SetBarCode(control.get());
        {
            const TInstalledPrinter swap(&pdf.printer);
            print.Print(k.at);
        }
        ASSERT_EQ(PdfPageCount(pdf.File()), 1);
        const QImage page = PdfPage(pdf.File(), PageDpi);
        ASSERT_FALSE(page.isNull());
        EXPECT_EQ(ReadSymbol(page, k.format), k.read);

        // The printable area starts at the paper's corner plus the physical offset.
        const QPoint offset(GetDeviceCaps(pdf.printer.Handle(), PHYSICALOFFSETX),
                            GetDeviceCaps(pdf.printer.Handle(), PHYSICALOFFSETY));
        const QPoint expected = (offset + QPoint(k.at.x, k.at.y) + SymbolCornerInArea(*control)) * PageDpi / PrinterDpi;
        const QPoint found = DarkBounds(page).topLeft();
        EXPECT_LE(std::abs(found.x() - expected.x()), 2) << found.x() << " vs " << expected.x();
        EXPECT_LE(std::abs(found.y() - expected.y()), 2) << found.y() << " vs " << expected.y();
    }
}

TEST(BarPrint, PrintsOnTheCupsQueue)
{
    TPrinter queue;
    if (!queue.Printers().contains(TestQueue))
        GTEST_SKIP() << "no print queue " << qPrintable(TestQueue)
                     << " (scripts/test-printer.sh sets it up, as root with CUPS installed)";
    queue.SetPrinter(TestQueue);
    const QString title = UniqueTitle("BarPrintTest");
    queue.SetTitle(title);
    const auto control = Ean13(_0);
    TBarPrint print;
    print.SetBarCode(control.get());
    {
        const TInstalledPrinter swap(&queue);
        print.Print({300, 300});
    }
    const QString file = CupsPdfOf(title);
    ASSERT_FALSE(file.isEmpty()) << "no PDF of job " << qPrintable(title) << " in " << qPrintable(CupsPdfDirectory());
    EXPECT_EQ(ReadSymbol(PdfPage(file), BarcodeFormat::EAN13), "4006381333931");
    QFile::remove(file);
}

namespace {

// A control that records the canvas it is handed and may fail to draw.
class TProbe : public TBarCode {
public:
    bool fail = false;
    QBrush brush;
    QFont font;
    void Print(QPainter* dc, TPoint) override
    {
        brush = dc->brush();
        font = dc->font();
        if (fail)
            throw Exception("Print barcode is error");
    }
};

// A printer whose Abort leaves the job open, as a printer that cannot abort does.
class TNoAbortPrinter : public TVirtualPrinter {
public:
    void Abort() override {}
};

} // namespace

TEST(BarPrint, TheControlGetsAWhiteBrushAndTheComponentsFont)
{
    PdfPrinter pdf;
    const TInstalledPrinter swap(&pdf.printer);
    TProbe probe;
    TBarPrint print;
    print.SetBarCode(&probe);
    print.Font().Name = "DejaVu Sans";
    print.Font().Height = -37;
    print.Print({0, 0});
    EXPECT_EQ(probe.brush.style(), Qt::SolidPattern);
    EXPECT_EQ(probe.brush.color(), QColor(Qt::white));
    EXPECT_EQ(probe.font.family(), "DejaVu Sans");
    EXPECT_EQ(probe.font.pixelSize(), 37);
}

TEST(BarPrint, AFailedJobIsEndedBeforeTheErrorPassesOn)
{
    TNoAbortPrinter noAbort;
    const struct {
        const char* name;
        TVirtualPrinter* printer;
        bool linked;
        const char* error;
    } cases[] = {
        {"no control", VirtualPrinter, false, "No barcode control to print"},
        {"drawing fails", VirtualPrinter, true, "Print barcode is error"},
        {"drawing fails, no abort", &noAbort, true, "Print barcode is error"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        PdfPrinter pdf;
        const TInstalledPrinter swap(&pdf.printer);
        TProbe probe;
        probe.fail = true;
        TBarPrint print;
        print.SetBarCode(k.linked ? &probe : nullptr);
        try {
            print.PrintTo(k.printer, {10, 10});
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), k.error);
        }
        EXPECT_FALSE(pdf.printer.Printing());
        // The printer takes the next job.
        probe.fail = false;
        print.SetBarCode(&probe);
        EXPECT_NO_THROW(print.PrintTo(k.printer, {10, 10}));
    }
}

TEST(BarPrint, ARefusedValuePrintsTheHatchedArea)
{
    PdfPrinter pdf;
    const TInstalledPrinter swap(&pdf.printer);
    TSingleBarCode control;
    control.FSetBarType(EAN13);
    control.FSetBarValue("NOT DIGITS");
    control.resize(600, 300);
    TBarPrint print;
    print.SetBarCode(&control);
    ASSERT_NO_THROW(print.Print({0, 0}));
    // Hatch lines are a device pixel thin: grey, not black, at the page's lower resolution.
    const QRect hatched = DarkBounds(PdfPage(pdf.File(), PageDpi), 250);
    EXPECT_FALSE(hatched.isEmpty());
    EXPECT_LE(hatched.width(), 600 * PageDpi / PrinterDpi + 2);
}

TEST(BarPrint, RemovingTheControlClearsTheReference)
{
    TBarPrint print;
    auto first = std::make_unique<TSingleBarCode>();
    auto second = std::make_unique<TSingleBarCode>();
    print.SetBarCode(first.get());
    print.SetBarCode(second.get());
    first.reset(); // no longer linked: nothing changes
    EXPECT_EQ(print.BarCode(), second.get());
    second.reset();
    EXPECT_EQ(print.BarCode(), nullptr);
    EXPECT_EQ(print.property("BarCode").value<TBarCode*>(), nullptr);
}

TEST(BarPrint, PreviewRecordsTheJobInThePreviewWindow)
{
    TSingleBarCode control;
    control.FSetBarType(Code128_B);
    control.FSetBarValue("Preview me");
    control.resize(600, 150);
    TBarPrint print;
    print.SetBarCode(&control);

    print.Preview({100, 200});
    TPrinterPreview* preview = PrinterPreview();
    ASSERT_NE(BarPreviewForm, nullptr);
    TBarPreBox* box = BarPreviewForm->PreviewBox;
    EXPECT_EQ(preview->Pages().size(), 1u);
    EXPECT_EQ(box->PageCount(), 1);
    EXPECT_EQ(box->PrinterSetupOwner(), &print); // handed over by the end of the job

    // A second preview replaces the first job; the recorded page replays the
    // symbol where Print puts it on the printable area.
    print.Preview({300, 400});
    EXPECT_EQ(preview->Pages().size(), 1u);
    QImage page(preview->GetPageWidth(), preview->GetPageHeight(), QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        preview->DrawPage(nullptr, &painter, 1);
    }
    QImage expected(page.size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QPainter painter(&expected);
        control.Print(&painter, {300, 400});
    }
    EXPECT_EQ(PaintedBox(page, Qt::white), PaintedBox(expected, Qt::white));

    // Assigned as the preview's set-up handler, the box's set-up command previews again.
    int previews = 0;
    preview->SetOnPrinterSetupDialog([&](QObject* sender) {
        ++previews;
        print.PrinterSetupDialogPreview(sender);
    });
    print.Preview({300, 400});
    box->PrinterSetupDialog();
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(preview->Pages().size(), 1u);
    EXPECT_EQ(box->PrinterSetupOwner(), &print);
    BarPreviewForm->hide();
}

} // namespace VandrelTest
