// The recording preview printer: page metrics with and without a printer,
// the recording's resolution, what the box is told while a job is recorded,
// and replaying the pages on a printer.
#include "PreviewFixtures.h"

#include "platform/Printer.h"
#include "print/PreviewForm.h"
#include "support/Pictures.h"
#include "support/PrintedPages.h"

#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace VandrelTest {

using namespace Vandrel;

namespace {

// Height in pixels of what is not white.
int InkHeight(const QImage& image)
{
    int top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                top = std::min(top, y);
                bottom = y;
            }
    return bottom < top ? 0 : bottom - top + 1;
}

QImage Replay(TPrinterPreview& printer, QSize size, qreal zoom)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(zoom, zoom);
    printer.DrawPage(nullptr, &painter, 1);
    return image;
}
} // namespace

TEST(PrinterPreview, WithoutPrinterTheDefaultA4PrinterGivesThePage)
{
    NoPrinterPreview printer;
    EXPECT_FALSE(printer.PrinterInstalled());
    EXPECT_EQ(printer.GetPageWidth(), 4676);
    EXPECT_EQ(printer.GetPageHeight(), 6744);
    EXPECT_EQ(printer.GetFullPageWidth(), 4936);
    EXPECT_EQ(printer.GetFullPageHeight(), 7044);
    EXPECT_EQ(printer.Metrics().FontPixelsPerInch, 600);
    EXPECT_EQ(printer.GetPageNumber(), 0);
}

TEST(PrinterPreview, ExtremeDefaultsDoNotOverflowTheFullPage)
{
    NoPrinterPreview printer;
    const int width = DefaultPrinterPageWidth;
    DefaultPrinterPageWidth = std::numeric_limits<int>::max();
    // Unusable: the default A4 printer instead, in every measure the preview gives.
    EXPECT_EQ(printer.Metrics().PageWidth, 4676);
    EXPECT_EQ(printer.GetPageWidth(), 4676);
    EXPECT_EQ(printer.GetFullPageWidth(), 4676 + 2 * 130);
    DefaultPrinterPageWidth = width;
}

// A point size must come out at the printer's resolution, the smaller of its
// two; the recording keeps it when the page is replayed.
TEST(PrinterPreview, FontsAreRecordedAtThePrinterResolution)
{
    struct Case {
        int dpiX, dpiY, expected;
    };
    for (const Case c : {Case{600, 600, 600}, Case{600, 1200, 600}, Case{1200, 600, 600}, Case{300, 300, 300}}) {
        FakePrinterPreview printer;
        printer.Device.DpiX = c.dpiX;
        printer.Device.DpiY = c.dpiY;
        EXPECT_EQ(printer.Metrics().FontPixelsPerInch, c.expected) << c.dpiX << "x" << c.dpiY;
    }

    NoPrinterPreview printer;
    printer.BeginDoc();
    QPainter* canvas = printer.GetCanvas();
    canvas->setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    EXPECT_NEAR(QFontInfo(canvas->font()).pixelSize(), 600 * 10 / 72, 1);
    canvas->drawText(100, 200, QStringLiteral("H"));
    printer.EndDoc();
    // A capital at 10 points and 600 dpi is some 60 pixels high, not the 9 of a screen.
    const int ink = InkHeight(Replay(printer, QSize(400, 400), 1.0));
    EXPECT_GT(ink, 45);
    EXPECT_LT(ink, 80);
}

// Replayed at two zooms a recorded circle is round at both: a vector
// recording, not a bitmap enlarged into blocks.
TEST(PrinterPreview, PagesAreRecordedAsVectors)
{
    NoPrinterPreview printer;
    Record(printer, 1, [](QPainter& canvas, int) {
        canvas.setPen(Qt::NoPen);
        canvas.setBrush(Qt::black);
        canvas.drawEllipse(0, 0, 10, 10);
    });
    for (const int zoom : {1, 20}) {
        const QImage image = Replay(printer, QSize(10 * zoom, 10 * zoom), zoom);
        std::set<int> widths;
        for (int y = 0; y < image.height(); ++y) {
            int black = 0;
            for (int x = 0; x < image.width(); ++x)
                black += qGray(image.pixel(x, y)) < 128;
            widths.insert(black);
        }
        EXPECT_GE(int(widths.size()), zoom == 1 ? 3 : 40) << "zoom " << zoom;
    }
}

// What the box sees after each step of a job: its page count, and whether
// the page panel was laid out by that step.
TEST(PrinterPreview, TellsTheBoxAboutEachStepOfAJob)
{
    struct Step {
        int pageCount;
        bool laidOut;
        int pageNumber;
    };
    struct Case {
        int pages;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {1, {{1, false, 1}, {1, true, -1}}},
        {3, {{1, false, 1}, {1, true, 2}, {2, false, 3}, {3, false, -1}}},
    };
    for (const Case& c : cases) {
        BoxOnForm f;
        const QRect sentinel(1, 1, 1, 1);
        int changed = 0, opened = 0;
        f.Box->OnPrinterPreviewChanged = [&](QObject* sender) {
            ++changed;
            EXPECT_EQ(sender, f.Box);
        };
        f.Box->OnOpenPreviewer = [&](QObject*) { ++opened; };
        std::vector<Step> seen;
        auto look = [&] {
            seen.push_back({f.Box->PageCount(), f.Box->DrawPanel()->geometry() != sentinel, f.Printer.GetPageNumber()});
            f.Box->DrawPanel()->setGeometry(sentinel);
        };
        f.Box->DrawPanel()->setGeometry(sentinel);
        f.Printer.BeginDoc();
        look();
        for (int page = 2; page <= c.pages; ++page) {
            f.Printer.NewPage();
            look();
        }
        f.Printer.EndDoc();
        look();
        ASSERT_EQ(seen.size(), c.steps.size());
        for (size_t i = 0; i < seen.size(); ++i) {
            EXPECT_EQ(seen[i].pageCount, c.steps[i].pageCount) << c.pages << " pages, step " << i;
            EXPECT_EQ(seen[i].laidOut, c.steps[i].laidOut) << c.pages << " pages, step " << i;
            EXPECT_EQ(seen[i].pageNumber, c.steps[i].pageNumber) << c.pages << " pages, step " << i;
        }
        EXPECT_EQ(changed, int(c.steps.size()));
        EXPECT_EQ(opened, c.pages); // each NewPage and EndDoc
        EXPECT_EQ(f.Box->PageIndex(), 1);
        EXPECT_FALSE(f.Printer.GetPrinting());
        EXPECT_EQ(f.Printer.GetCanvas(), nullptr);
        EXPECT_EQ(int(f.Printer.Pages().size()), c.pages);
    }
}

TEST(PrinterPreview, PagesOutsideTheJobAndStepsOutsideAJobAreRefused)
{
    BoxOnForm f;
    EXPECT_THROW(f.Printer.NewPage(), EPrinter);
    EXPECT_THROW(f.Printer.EndDoc(), EPrinter);
    Record(f.Printer, 2);
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    for (const int page : {0, 3, -1})
        EXPECT_THROW(f.Printer.DrawPage(nullptr, &painter, page), EListError) << page;
    EXPECT_NO_THROW(f.Printer.DrawPage(nullptr, &painter, 2));
}

// The set-up fields go to the box at the end of every job and are cleared
// here: a job that set none clears the box's.
TEST(PrinterPreview, EndDocHandsTheSetUpFieldsToTheBox)
{
    BoxOnForm f;
    int dialogs = 0, changes = 0;
    auto owner = std::make_unique<QObject>();
    f.Box->OnPrinterSetupDialog = [](QObject*) { FAIL() << "replaced by the job's"; };
    f.Printer.SetOnPrinterSetupDialog([&](QObject*) { ++dialogs; });
    f.Printer.OnPrinterSetupChanged = [&](QObject*) { ++changes; };
    f.Printer.SetPrinterSetupOwner(owner.get());
    Record(f.Printer, 1);
    EXPECT_FALSE(f.Printer.OnPrinterSetupDialog);
    EXPECT_FALSE(f.Printer.OnPrinterSetupChanged);
    EXPECT_EQ(f.Printer.PrinterSetupOwner(), nullptr);
    ASSERT_TRUE(f.Box->OnPrinterSetupDialog);
    ASSERT_TRUE(f.Box->OnPrinterSetupChanged);
    f.Box->OnPrinterSetupDialog(f.Box);
    f.Box->OnPrinterSetupChanged(f.Box);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(f.Box->PrinterSetupOwner(), owner.get());

    // Removing the owner clears the box's reference and tells the box's user.
    int notified = 0;
    f.Box->OnPrinterPreviewChanged = [&](QObject*) { ++notified; };
    owner.reset();
    EXPECT_EQ(f.Box->PrinterSetupOwner(), nullptr);
    EXPECT_EQ(notified, 1);

    Record(f.Printer, 1);
    EXPECT_FALSE(f.Box->OnPrinterSetupDialog);
    EXPECT_FALSE(f.Box->OnPrinterSetupChanged);
}

TEST(PrinterPreview, PrintReplaysThePagesOnItsOwnPrinterAndRestoresTheCurrentOne)
{
    QTemporaryDir dir;
    BoxOnForm f;
    TPrinter* current = Printer();
    f.Printer.GetPropPrinter()->SetOutputFileName(dir.filePath("none.pdf"));
    f.Printer.Print(); // nothing recorded: no job
    EXPECT_FALSE(QFile::exists(dir.filePath("none.pdf")));

    Record(f.Printer, 3, [](QPainter& canvas, int page) { canvas.fillRect(600, 600, 300 * page, 300, Qt::black); });
    f.Printer.GetPropPrinter()->SetOutputFileName(dir.filePath("job.pdf"));
    f.Printer.Print();
    EXPECT_EQ(Printer(), current);
    EXPECT_EQ(PdfPageCount(dir.filePath("job.pdf")), 3);

    f.Printer.GetPropPrinter()->SetOutputFileName(dir.filePath("missing/job.pdf"));
    EXPECT_THROW(f.Printer.Print(), EPrinter);
    EXPECT_EQ(Printer(), current);
    EXPECT_FALSE(f.Printer.GetPropPrinter()->Printing());
}

// Pages are recorded in the printer's pixels; printed, each mark keeps its
// place and size on paper, pictures (as symbols are drawn) as well as fills.
TEST(PrinterPreview, PrintedPagesKeepEveryMarksPlaceAndSize)
{
    QTemporaryDir dir;
    NoPrinterPreview printer; // 600 dpi, margins of 130 and 150 pixels
    QImage picture(300, 150, QImage::Format_RGB32);
    picture.fill(Qt::black);
    Record(printer, 1, [&](QPainter& canvas, int) {
        canvas.fillRect(600, 600, 300, 150, Qt::black);
        canvas.drawImage(QRect(1200, 600, 300, 150), picture);
    });
    printer.GetPropPrinter()->SetOutputFileName(dir.filePath("job.pdf"));
    printer.GetPropPrinter()->SetResolution(600);
    printer.Print();
    // At 100 dpi a recorded pixel is 1/6 of a pixel: each mark is 50 x 25.
    const QImage page = PdfPage(dir.filePath("job.pdf"), 100);
    ASSERT_FALSE(page.isNull());
    const int offsetX = GetDeviceCaps(printer.GetPropPrinter()->Handle(), PHYSICALOFFSETX);
    const int offsetY = GetDeviceCaps(printer.GetPropPrinter()->Handle(), PHYSICALOFFSETY);
    for (const int x : {600, 1200}) {
        SCOPED_TRACE(x);
        const QRect expected((x + offsetX) / 6, (600 + offsetY) / 6, 50, 25);
        const QRect found = PaintedBox(page.copy(expected.adjusted(-20, -20, 20, 20)), Qt::white);
        EXPECT_NEAR(found.left(), 20, 1);
        EXPECT_NEAR(found.top(), 20, 1);
        EXPECT_NEAR(found.width(), 50, 1);
        EXPECT_NEAR(found.height(), 25, 1);
    }
}

TEST(PrinterPreview, PrinterPreviewMakesOneWindowAndShowsItAgain)
{
    TPrinterPreview* first = PrinterPreview();
    ASSERT_NE(BarPreviewForm, nullptr);
    TBarPreviewForm* window = BarPreviewForm;
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(first, window->PreviewBox->Printer());
    EXPECT_EQ(first->Previewer(), window->PreviewBox);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(PrinterPreview(), first);
    EXPECT_EQ(BarPreviewForm, window);
    EXPECT_TRUE(window->isVisible());

    // An application may route the preview to a box of its own.
    BoxOnForm own;
    TPrinterPreview* previous = SetPrinterPreview(&own.Printer);
    EXPECT_EQ(previous, first);
    EXPECT_EQ(PrinterPreview(), &own.Printer);
    SetPrinterPreview(previous);
    window->hide();
}

} // namespace VandrelTest
