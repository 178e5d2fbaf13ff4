// The platform printer and the virtual printer that forwards to it, on PDF
// output (there is always one) and with printers swapped in and out.
#include "print/VirtualPrinter.h"
#include "platform/DeviceCaps.h"
#include "platform/Printer.h"
#include "support/PrintedPages.h"

#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace VandrelTest {

using namespace Vandrel;

TEST(VirtualPrinter, ForwardsToTheCurrentPrinterFetchedPerCall)
{
    QTemporaryDir dir;
    TPrinter pdf;
    pdf.SetOutputFileName(dir.filePath("job.pdf"));
    pdf.SetResolution(600);
    pdf.Device().setPageSize(QPageSize(QPageSize::A4));
    {
        const TInstalledPrinter swap(&pdf);
        // A4 at 600 dpi (595 x 842 points): 4958 x 7017 pixels of paper, with
        // margins equal on both sides.
        EXPECT_EQ(VirtualPrinter->GetFullPageWidth(), 4958);
        EXPECT_EQ(VirtualPrinter->GetFullPageHeight(), 7017);
        EXPECT_EQ(VirtualPrinter->GetPageWidth(), pdf.PageWidth());
        EXPECT_EQ(VirtualPrinter->GetFullPageWidth(),
                  pdf.PageWidth() + 2 * GetDeviceCaps(pdf.Handle(), PHYSICALOFFSETX));
        EXPECT_EQ(VirtualPrinter->GetPrinterIndex(), -1);

        VirtualPrinter->SetTitle("Vandrel job");
        VirtualPrinter->SetNumCopies(2);
        VirtualPrinter->SetOrientation(poPortrait);
        EXPECT_EQ(pdf.Title(), "Vandrel job");
        EXPECT_EQ(pdf.Copies(), 2);

        VirtualPrinter->BeginDoc();
        EXPECT_TRUE(VirtualPrinter->GetPrinting());
        EXPECT_EQ(VirtualPrinter->GetPageNumber(), 1);
        ASSERT_NE(VirtualPrinter->GetCanvas(), nullptr);
        VirtualPrinter->GetCanvas()->fillRect(100, 100, 600, 300, Qt::black);
        VirtualPrinter->NewPage();
        EXPECT_EQ(VirtualPrinter->GetPageNumber(), 2);
        VirtualPrinter->EndDoc();
        EXPECT_FALSE(VirtualPrinter->GetPrinting());
        EXPECT_EQ(VirtualPrinter->GetCanvas(), nullptr);
    }
    EXPECT_NE(Printer(), &pdf);
    EXPECT_EQ(PdfPageCount(dir.filePath("job.pdf")), 2);
}

TEST(VirtualPrinter, ZeroOffsetMakesTheFullPageThePrintableArea)
{
    QTemporaryDir dir;
    TPrinter pdf;
    pdf.SetOutputFileName(dir.filePath("x.pdf"));
    pdf.Device().setFullPage(true); // no unprintable margin
    const TInstalledPrinter swap(&pdf);
    EXPECT_EQ(GetDeviceCaps(pdf.Handle(), PHYSICALOFFSETX), 0);
    EXPECT_EQ(VirtualPrinter->GetFullPageWidth(), VirtualPrinter->GetPageWidth());
}

TEST(VirtualPrinter, JobsOutOfOrderAndUnknownPrintersAreRefused)
{
    QTemporaryDir dir;
    TPrinter pdf;
    // Without an installed printer the default is PDF output, which needs a file.
    if (pdf.Printers().isEmpty()) {
        EXPECT_THROW(pdf.BeginDoc(), EPrinter);
    }
    pdf.SetOutputFileName(dir.filePath("x.pdf"));
    EXPECT_THROW(pdf.NewPage(), EPrinter);
    EXPECT_THROW(pdf.EndDoc(), EPrinter);
    EXPECT_THROW(pdf.SetPrinter("NoSuchPrinter"), EPrinter);
    EXPECT_THROW(pdf.SetPrinterIndex(pdf.Printers().size()), EPrinter);
    pdf.BeginDoc();
    EXPECT_THROW(pdf.BeginDoc(), EPrinter);
    EXPECT_THROW(pdf.SetOutputFileName(dir.filePath("y.pdf")), EPrinter);
    pdf.Abort();
    EXPECT_TRUE(pdf.Aborted());
    EXPECT_FALSE(pdf.Printing());
    pdf.BeginDoc(); // a new job clears the flag
    EXPECT_FALSE(pdf.Aborted());
    pdf.EndDoc();

    TPrinter unwritable;
    unwritable.SetOutputFileName(dir.filePath("missing/x.pdf"));
    EXPECT_THROW(unwritable.BeginDoc(), EPrinter);
    EXPECT_FALSE(unwritable.Printing());
}

} // namespace VandrelTest
