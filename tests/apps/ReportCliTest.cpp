// vandrel report as a user runs it: sheets of labels from a database, read
// back label by label from the rendered pages by an independent reader.
#include "support/Database.h"
#include "support/Oracle.h"
#include "support/Pictures.h"
#include "support/PrintedPages.h"
#include "support/Tool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace VandrelTest {

namespace {

using ZXing::BarcodeFormat;

ToolRun Report(const QStringList& args)
{
    return RunTool(QStringList{"report"} + args);
}

// Millimetres on a page rendered at 300 dpi.
int Px(double mm)
{
    return int(std::nearbyint(mm / 25.4 * 300));
}

// The label of slot `slot` on an A4 sheet of 3 x 7 labels of 63.5 x 38.1 mm,
// the grid centred: 9.75 mm from the left, 15.15 mm from the top.
QRect LabelCell(int slot)
{
    const double left = 9.75 + (slot % 3) * 63.5;
    const double top = 15.15 + (slot / 3) * 38.1;
    return QRect(Px(left), Px(top), Px(63.5), Px(38.1));
}

// 25 products: more than the 21 labels of one sheet.
QStringList Products()
{
    QStringList sql{"CREATE TABLE products (id INTEGER PRIMARY KEY, name TEXT, ean TEXT)"};
    for (int i = 1; i <= 25; ++i)
        sql << QStringLiteral("INSERT INTO products (name, ean) VALUES ('Product no. %1', '40063813%2')")
                   .arg(i)
                   .arg(1000 + i);
    return sql;
}

// The EAN-13 check digit that completes 12 digits.
std::string WithCheckDigit(const std::string& digits)
{
    int sum = 0;
    for (size_t i = 0; i < digits.size(); ++i)
        sum += (digits[i] - '0') * (i % 2 ? 3 : 1);
    return digits + char('0' + (10 - sum % 10) % 10);
}

} // namespace

TEST(ReportCli, EveryRecordsLabelReadsBackAtItsPlaceOnItsPage)
{
    TestDatabase db("reportcli", Products());
    const struct {
        const char* name;
        QStringList symbol;
        BarcodeFormat format;
        std::function<std::string(int)> expected;
    } cases[] = {
        {"EAN-13 with names",
         {"--field", "ean", "--type", "EAN13", "--text-field", "name"},
         BarcodeFormat::EAN13,
         [](int i) { return WithCheckDigit("40063813" + std::to_string(1000 + i)); }},
        {"PDF417 of names",
         {"--field", "name", "--pdf417"},
         BarcodeFormat::PDF417,
         [](int i) { return "Product no. " + std::to_string(i); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("labels.pdf");
        const QStringList args = QStringList{"--db",      db.FileName(),
                                             "--sql",     "SELECT ean, name FROM products ORDER BY id",
                                             "--label",   "63.5x38.1mm",
                                             "--columns", "3",
                                             "--pdf",     pdf} +
                                 c.symbol;
        const ToolRun r = Report(args);
        ASSERT_EQ(r.code, 0) << qPrintable(Explain(args, r));
        EXPECT_EQ(r.out.trimmed(), pdf);
        EXPECT_TRUE(r.err.contains("wrote 25 labels")) << qPrintable(r.err);
        const mode_t mask = umask(0);
        umask(mask);
        EXPECT_EQ(QFileInfo(pdf).permission(QFileDevice::ReadOther), !(mask & S_IROTH))
            << "the PDF is readable as any new file is, not private to the tool";
        ASSERT_EQ(PdfPageCount(pdf), 2);
        EXPECT_FALSE(RunProgram("pdfimages", {"-list", pdf}).out.contains("jpeg")) << "symbols are stored losslessly";
        const QImage pages[] = {PdfPage(pdf, 300, 1), PdfPage(pdf, 300, 2)};
        for (int i = 1; i <= 25; ++i) {
            SCOPED_TRACE(i);
            const int slot = (i - 1) % 21;
            EXPECT_EQ(ReadSymbol(pages[(i - 1) / 21].copy(LabelCell(slot)), c.format), c.expected(i));
        }
        // The slots after the last label stay empty.
        EXPECT_TRUE(PaintedBox(pages[1].copy(LabelCell(4)), Qt::white).isEmpty());
    }
}

// The sample catalogue, as the main job prints it.
TEST(ReportCli, SampleProductLabelsCarryTheirCompletedCodesAndNames)
{
    const QString sql = "SELECT ean, name FROM products WHERE ean IS NOT NULL AND ean <> '' ORDER BY id";
    const struct {
        QStringList symbol;
        BarcodeFormat format;
        std::vector<std::string> expected;
    } cases[] = {
        {{"--field", "ean", "--type", "EAN13", "--text-field", "name"},
         BarcodeFormat::EAN13,
         {"4006381333931", "5901234123457", "9780201379624", "9771234567003"}},
        {{"--pdf417", "--field", "name"},
         BarcodeFormat::PDF417,
         {"Green tea, 100 g", "Tea cup", "Honey jar", "Lemon slices"}},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QStringList args =
            QStringList{"--db",        VANDREL_SAMPLE_DB, "--sql", sql,     "--label",
                        "63.5x38.1mm", "--columns",       "3",     "--pdf", dir.filePath("labels.pdf")} +
            c.symbol;
        const ToolRun r = Report(args);
        ASSERT_EQ(r.code, 0) << qPrintable(Explain(args, r));
        const QImage page = PdfPage(dir.filePath("labels.pdf"));
        for (size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(ReadSymbol(page.copy(LabelCell(int(i))), c.format), c.expected[i]) << i;
    }
}

TEST(ReportCli, RefusedRecordsAreNamedAndSkippedAndNoLabelMeansNoFile)
{
    TestDatabase db("reportrefusals",
                    {"CREATE TABLE t (id INTEGER PRIMARY KEY, code TEXT)",
                     "INSERT INTO t (code) VALUES ('4006381333931'), ('4006381333932'), (''), ('ABC'), (NULL)"});
    QTemporaryDir dir;
    const QString pdf = dir.filePath("labels.pdf");
    const QStringList common{"--db", db.FileName(), "--field", "code", "--type", "EAN13", "--pdf", pdf};

    QStringList args = common + QStringList{"--sql", "SELECT code FROM t ORDER BY id"};
    ToolRun r = Report(args);
    EXPECT_EQ(r.code, 3) << qPrintable(Explain(args, r));
    for (const char* why :
         {"record 2: the check digit of 4006381333932 should be 1", "record 3: the field 'code' is empty",
          "record 4:", "record 5: the field 'code' is null", "wrote 1 label, skipped 4 records"})
        EXPECT_TRUE(r.err.contains(why)) << why << "\n" << qPrintable(r.err);
    EXPECT_EQ(ReadSymbol(PdfPage(pdf).copy(LabelCell(0)), BarcodeFormat::EAN13), "4006381333931")
        << "the one good record takes the first label";

    QFile::remove(pdf);
    args = common + QStringList{"--sql", "SELECT code FROM t WHERE id > 1"};
    r = Report(args);
    EXPECT_EQ(r.code, 1) << qPrintable(Explain(args, r));
    EXPECT_TRUE(r.err.contains("no record gave a label: nothing was written")) << qPrintable(r.err);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});

    args = common + QStringList{"--sql", "SELECT code FROM t ORDER BY id", "--on-empty", "error"};
    r = Report(args);
    EXPECT_EQ(r.code, 1) << qPrintable(Explain(args, r));
    EXPECT_TRUE(r.err.contains("record 3: the field 'code' is empty")) << qPrintable(r.err);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

TEST(ReportCli, UsageErrorsNameTheOption)
{
    TestDatabase db("reportusage", Products());
    const QStringList base{"--db", db.FileName(), "--sql", "SELECT ean, name FROM products", "--field", "ean"};
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {base + QStringList{"--type", "EAN13"}, "give one of --pdf FILE, --printer NAME and --grab FILE.png"},
        {base + QStringList{"--type", "EAN13", "--pdf", "a.pdf", "--grab", "a.png"}, "give one of --pdf FILE"},
        {base + QStringList{"--pdf", "a.pdf"}, "give one of --type T and --pdf417"},
        {base + QStringList{"--type", "EAN13", "--pdf", "a.pdf", "--label", "60mm"}, "--label takes WxH"},
        {base + QStringList{"--type", "EAN13", "--pdf", "a.pdf", "--columns", "4"},
         "4 columns of 63.5 mm labels do not fit across the A4 sheet; 3 do"},
        {base + QStringList{"--type", "EAN13", "--pdf", "a.pdf", "--label", "300x20mm"},
         "a 300.0 x 20.0 mm label does not fit on the printable area of the A4 sheet (210.0 x 297.0 mm)"},
        {base + QStringList{"--type", "EAN13", "--pdf", "a.pdf", "--page", "B5"}, "--page takes A4 or Letter"},
        {base + QStringList{"--type", "EAN13", "--pdf", "a.pdf", "--text-field", "nom"}, "unknown field 'nom'"},
        {base + QStringList{"--pdf417", "--pdf", "a.pdf", "--data-columns", "31"}, "--data-columns takes"},
    };
    for (const auto& c : cases) {
        const ToolRun r = Report(c.args);
        EXPECT_EQ(r.code, 2) << qPrintable(Explain(c.args, r));
        EXPECT_TRUE(r.err.contains(c.message)) << c.message << "\n" << qPrintable(r.err);
    }
}

TEST(ReportCli, GrabShowsTheFirstSheetInThePreviewWindow)
{
    QTemporaryDir dir;
    const QString png = dir.filePath("sheet.png");
    const QStringList args{"--db",    VANDREL_SAMPLE_DB,
                           "--sql",   "SELECT ean FROM products WHERE ean <> '' ORDER BY id",
                           "--field", "ean",
                           "--type",  "EAN13",
                           "--grab",  png,
                           "--zoom",  "100",
                           "--size",  "1000x700"};
    const ToolRun r = Report(args);
    ASSERT_EQ(r.code, 0) << qPrintable(Explain(args, r));
    EXPECT_EQ(r.out.trimmed(), png);
    const QImage grabbed(png);
    ASSERT_EQ(grabbed.size(), QSize(1000, 700));
    // At 100 % the window shows the sheet's top-left corner: the first label.
    EXPECT_EQ(ReadSymbol(grabbed.copy(0, 0, 420, 250), BarcodeFormat::EAN13), "4006381333931");
}

TEST(ReportCli, ThePrinterGetsTheSheets)
{
    if (!QPrinterInfo::availablePrinterNames().contains(TestQueue))
        GTEST_SKIP() << "no print queue " << qPrintable(TestQueue)
                     << " (scripts/test-printer.sh sets it up, as root with CUPS installed)";
    const QString title = UniqueTitle("ReportCli");
    const QStringList args{"--db",     VANDREL_SAMPLE_DB,
                           "--sql",    "SELECT name FROM products ORDER BY id",
                           "--field",  "name",
                           "--pdf417", "--printer",
                           TestQueue,  "--title",
                           title};
    const ToolRun r = Report(args);
    ASSERT_EQ(r.code, 0) << qPrintable(Explain(args, r));
    const QString file = CupsPdfOf(title);
    ASSERT_FALSE(file.isEmpty()) << "no PDF of job " << qPrintable(title);
    EXPECT_EQ(ReadSymbol(PdfPage(file).copy(LabelCell(0)), BarcodeFormat::PDF417), "Green tea, 100 g");
    QFile::remove(file);
}

} // namespace VandrelTest
