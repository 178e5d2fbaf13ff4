// vandrel print as a user runs it: into a PDF file and on the cups-pdf queue,
// read back by an independent reader; refusals that leave nothing behind.
#include "support/Oracle.h"
#include "support/Pictures.h"
#include "support/PrintedPages.h"
#include "support/Tool.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace VandrelTest {

namespace {

using ZXing::BarcodeFormat;

ToolRun Print(const QStringList& args)
{
    return RunTool(QStringList{"print"} + args);
}

const QStringList Ean13Label{"--type", "EAN13",    "--value", "4006381333931", "--width",
                             "60mm",   "--height", "30mm",    "--at",          "20mm,20mm"};

} // namespace

TEST(PrintCli, PdfFilesHoldOnePageThatReadsBack)
{
    const struct {
        QStringList args;
        BarcodeFormat format;
        std::string text;
    } cases[] = {
        {Ean13Label, BarcodeFormat::EAN13, "4006381333931"},
        {Ean13Label + QStringList{"--dpi", "300", "--angle", "90"}, BarcodeFormat::EAN13, "4006381333931"},
        {{"--pdf417", "--value", "Printed PDF417", "--width", "80mm", "--height", "30mm"},
         BarcodeFormat::PDF417,
         "Printed PDF417"},
        {{"--pdf417", "--value", "0123456789012345678901234567890", "--mode", "numeric", "--level", "4", "--columns",
          "0", "--rows", "0", "--width", "2in", "--height", "1in", "--at", "0,0"},
         BarcodeFormat::PDF417,
         "0123456789012345678901234567890"},
    };
    for (const auto& k : cases) {
        QTemporaryDir dir;
        const QStringList args = k.args + QStringList{"--pdf", dir.filePath("out.pdf")};
        const ToolRun r = Print(args);
        ASSERT_EQ(r.code, 0) << qPrintable(Explain(args, r));
        EXPECT_EQ(r.out.trimmed(), dir.filePath("out.pdf"));
        EXPECT_EQ(PdfPageCount(dir.filePath("out.pdf")), 1);
        EXPECT_EQ(ReadSymbol(PdfPage(dir.filePath("out.pdf")), k.format), k.text) << qPrintable(args.join(' '));
        // Nothing but the file asked for.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.pdf"});
    }
}

TEST(PrintCli, TheQueueMakesAPdfThatReadsBack)
{
    if (!QPrinterInfo::availablePrinterNames().contains(TestQueue))
        GTEST_SKIP() << "no print queue " << qPrintable(TestQueue)
                     << " (scripts/test-printer.sh sets it up, as root with CUPS installed)";
    const QString title = UniqueTitle("PrintCli");
    const QStringList args = Ean13Label + QStringList{"--printer", TestQueue, "--title", title};
    const ToolRun r = Print(args);
    ASSERT_EQ(r.code, 0) << qPrintable(Explain(args, r));
    const QString file = CupsPdfOf(title);
    ASSERT_FALSE(file.isEmpty()) << "no PDF of job " << qPrintable(title) << " in " << qPrintable(CupsPdfDirectory());
    EXPECT_EQ(ReadSymbol(PdfPage(file), BarcodeFormat::EAN13), "4006381333931");
    QFile::remove(file);

    const ToolRun list = Print({"--list"});
    EXPECT_EQ(list.code, 0);
    EXPECT_TRUE(list.out.split('\n').contains(TestQueue)) << qPrintable(list.out);
}

TEST(PrintCli, RefusalsSayWhyAndLeaveNoFile)
{
    const QStringList ean{"--type", "EAN13", "--value", "4006381333931"};
    const struct {
        QStringList args;
        int code;
        const char* message;
    } cases[] = {
        {ean + QStringList{"--printer", "NoSuchPrinter"}, 1, "No printer named 'NoSuchPrinter'"},
        {{"--type", "EAN13", "--value", "12AB", "--width", "60mm", "--height", "30mm"}, 1, "cannot encode '12AB'"},
        {{"--type", "EAN13", "--value", "4006381333932"}, 1, "the check digit of 4006381333932 should be 1"},
        {{"--type", "EAN13", "--value", "4006381333931", "--width", "3mm", "--height", "30mm"},
         1,
         "the symbol needs at least"},
        {ean + QStringList{"--width", "60mm", "--height", "30mm", "--at", "190mm,0"}, 1,
         "reaches beyond the printable area"},
        {{"--pdf417", "--value", "Printed PDF417", "--width", "3mm", "--height", "3mm"},
         1,
         "does not fit 71 x 71 pixels"},
        {{"--pdf417", "--value", "", "--width", "80mm", "--height", "30mm"}, 1, "nothing to encode"},
        {{"--pdf417", "--value", "x"}, 2, "--pdf417 needs --width and --height"},
        {{"--pdf417", "--value", "x", "--width", "80mm", "--height", "30mm", "--level", "9"}, 2, "--level takes"},
        {ean + QStringList{"--at", "20mm"}, 2, "--at takes two lengths"},
        {ean + QStringList{"--at", "-1,5"}, 2, "--at takes two lengths"},
        {ean + QStringList{"--dpi", "5"}, 2, "--dpi takes"},
        {{"--value", "4006381333931"}, 2, "give one of --type T and --pdf417"},
        {ean + QStringList{"--pdf417"}, 2, "give one of --type T and --pdf417"},
        {ean + QStringList{"--printer", "VandrelPDF", "--pdf", "elsewhere.pdf"}, 2,
         "give one of --pdf FILE and --printer NAME"},
        {ean + QStringList{"--copies", "2"}, 2, "--copies is for --printer"},
    };
    for (const auto& k : cases) {
        QTemporaryDir dir;
        // Cases without a printer print into a PDF file: none may appear, nor a temporary one.
        const QStringList args =
            k.args.contains("--printer") ? k.args : k.args + QStringList{"--pdf", dir.filePath("out.pdf")};
        const ToolRun r = Print(args);
        EXPECT_EQ(r.code, k.code) << qPrintable(Explain(args, r));
        EXPECT_TRUE(r.err.contains(k.message)) << qPrintable(Explain(args, r));
        EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty()) << qPrintable(args.join(' '));
    }
}

TEST(PrintCli, AnUnwritablePdfPathFailsAndLeavesNoFile)
{
    QTemporaryDir dir;
    const QString cases[] = {dir.filePath("missing/out.pdf"), dir.path()};
    for (const QString& target : cases) {
        const QStringList args = Ean13Label + QStringList{"--pdf", target};
        const ToolRun r = Print(args);
        EXPECT_EQ(r.code, 1) << qPrintable(Explain(args, r));
        EXPECT_TRUE(r.err.contains("Cannot write '" + target + "'")) << qPrintable(Explain(args, r));
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

TEST(PrintCli, PreviewGrabsTheWindowWithTheSymbolOnThePage)
{
    QTemporaryDir dir;
    const QStringList symbol{"preview", "--type", "Code128_B", "--value", "Preview me",
                             "--width", "80mm",   "--height",  "25mm"};
    // The whole page in a tall window: the symbol reads, with the sheet around it.
    const QString page = dir.filePath("page.png");
    const ToolRun r = RunTool(symbol + QStringList{"--size", "1200x1600", "--grab", page});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QImage window(page);
    ASSERT_EQ(window.size(), QSize(1200, 1600));
    EXPECT_EQ(ReadSymbol(window, BarcodeFormat::Code128), "Preview me");

    // In a small window 150 % shows the page larger than the whole-page view:
    // more of the window is bars.
    const auto darkPixels = [&](const char* zoom) {
        const QString file = dir.filePath(QStringLiteral("small-%1.png").arg(zoom));
        const ToolRun small = RunTool(symbol + QStringList{"--size", "600x800", "--zoom", zoom, "--grab", file});
        EXPECT_EQ(small.code, 0) << small.err.toStdString();
        return CountColor(QImage(file).convertToFormat(QImage::Format_RGB32), Qt::black);
    };
    EXPECT_GT(darkPixels("150"), 3 * darkPixels("page"));

    for (const QStringList& bad : {QStringList{"--zoom", "33", "--grab", dir.filePath("x.png")},
                                   QStringList{"--size", "1x1", "--grab", dir.filePath("x.png")},
                                   QStringList{"--grab", dir.filePath("x.jpg")}}) {
        const ToolRun r = RunTool(symbol + bad);
        EXPECT_EQ(r.code, 2) << bad.join(' ').toStdString();
    }
    EXPECT_EQ(RunTool({"preview", "--type", "EAN13", "--value", "HELLO", "--grab", dir.filePath("h.png")}).code, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("x.png")));
    EXPECT_FALSE(QFile::exists(dir.filePath("h.png")));
}

} // namespace VandrelTest
