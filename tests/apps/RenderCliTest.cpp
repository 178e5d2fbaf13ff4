// vandrel render as a user runs it: pictures sized to the symbol, refusals
// that leave nothing behind, every output format, and database batches.
#include "support/Database.h"
#include "support/Oracle.h"
#include "support/Pictures.h"
#include "support/Tool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

using VandrelTest::Explain;
using VandrelTest::RunTool;
using VandrelTest::ToolRun;
using ZXing::BarcodeFormat;

ToolRun Render(const QStringList& args)
{
    return RunTool(QStringList{"render"} + args);
}

// The symbol pictured on a white page, as a printer or a viewer shows it.
QImage OnWhite(const QImage& image)
{
    QImage page(image.size(), QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter(&page).drawImage(0, 0, image);
    return page;
}

} // namespace

TEST(RenderCli, PicturesAreSizedToTheSymbolAndReadBack)
{
    // Each of these drew a blank picture at the old fixed 200 x 100 size.
    struct Case {
        QStringList args;
        BarcodeFormat format;
        std::string text;
        QSize size; // modules x module width, quiet zones included; across: bars + margins + text
    };
    const Case cases[] = {
        {{"--type", "Code39", "--value", "ABC-123", "--angle", "90"}, BarcodeFormat::Code39, "ABC-123", {115, 248}},
        {{"--type", "Code128_B", "--value", "SHIP-2026-12-10-0004711"},
         BarcodeFormat::Code128,
         "SHIP-2026-12-10-0004711",
         {592, 115}},
        {{"--type", "EAN13", "--value", "4006381333931", "--xdim", "3"},
         BarcodeFormat::EAN13,
         "4006381333931",
         {339, 164}},
        {{"--type", "EAN-13", "--value", "400638133393", "--angle", "180"},
         BarcodeFormat::EAN13,
         "4006381333931",
         {226, 110}},
        // 0.5 mm at 254 dpi is 5 pixels; the bars are 10 mm long.
        {{"--type", "code128b", "--value", "Ab1", "--xdim", "0.5mm", "--bar-height", "10mm", "--dpi", "254"},
         BarcodeFormat::Code128,
         "Ab1",
         {5 * 76, 100 + 4 + 28}},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QString file = dir.filePath("x.png");
        const QStringList args = c.args + QStringList{"-o", file};
        const ToolRun r = Render(args);
        ASSERT_EQ(r.code, 0) << Explain(args, r).toStdString();
        const QImage img(file);
        EXPECT_EQ(img.size(), c.size) << args.join(' ').toStdString();
        EXPECT_EQ(VandrelTest::ReadSymbol(img, c.format), c.text) << args.join(' ').toStdString();
    }
}

TEST(RenderCli, RefusalsExitWithOneNameTheReasonAndWriteNothing)
{
    struct Case {
        QStringList args;
        const char* message;
    };
    const Case cases[] = {
        {{"--type", "EAN13", "--value", "HELLO"}, "EAN13 takes 12 or 13 digits"},
        {{"--type", "ISSN", "--value", "123"}, "ISSN takes 13 digits starting with 977"},
        {{"--type", "Code128_C", "--value", "123"}, "Code128_C takes an even number of digits"},
        {{"--type", "Code39", "--value", "abc"}, "cannot encode 'abc'"},
        {{"--type", "EAN13", "--value", "4006381333932"}, "the check digit of 4006381333932 should be 1"},
        {{"--type", "UPC_A", "--value", "036000291453"}, "should be 2"},
        // A size the symbol does not fit: no module width, or no room for the bars.
        {{"--type", "EAN13", "--value", "4006381333931", "--width", "100", "--height", "100"},
         "needs at least 113 pixels along it"},
        {{"--type", "Code39", "--value", "ABC", "--angle", "90", "--width", "100", "--height", "60"},
         "--height gives 60"},
        {{"--type", "Code39", "--value", "ABC", "--width", "300", "--height", "10"}, "pixels across it"},
        // Above the pixel budget: refused before anything is drawn.
        {{"--type", "Code128_B", "--value", QString(200, 'x'), "--xdim", "100", "--bar-height", "20000"},
         "million pixels allowed"},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QStringList args = QStringList{"render"} + c.args + QStringList{"-o", dir.filePath("x.png")};
        const ToolRun r = RunTool(args);
        EXPECT_EQ(r.code, 1) << Explain(args, r).toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << Explain(args, r).toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    // --no-check draws the value as given.
    const ToolRun asGiven =
        Render({"--type", "EAN13", "--value", "4006381333932", "--no-check", "-o", dir.filePath("given.png")});
    EXPECT_EQ(asGiven.code, 0) << asGiven.err.toStdString();
}

TEST(RenderCli, OptionsOutOfRangeAreUsageErrors)
{
    const QStringList base{"render", "--type", "Code39", "--value", "A", "-o", "/nonexistent/x.png"};
    const std::vector<std::pair<QStringList, const char*>> cases = {
        {{"--width", "200"}, "--width and --height together"},
        {{"--xdim", "0"}, "--xdim takes a length from 1 to 100 pixels"},
        {{"--xdim", "1km"}, "--xdim"},
        {{"--xdim", "-2"}, "--xdim"},
        {{"--bar-height", "nan"}, "--bar-height"},
        {{"--dpi", "5"}, "--dpi takes a whole number from 10 to 10000"},
        {{"--width", "10", "--height", "10", "--xdim", "3"}, "give one pair"},
        {{"--back-color", "#12345"}, "RRGGBB or #RRGGBB"},
        {{"--font-size", "0"}, "--font-size"},
    };
    for (const auto& [extra, message] : cases) {
        const ToolRun r = RunTool(base + extra);
        EXPECT_EQ(r.code, 2) << Explain(base + extra, r).toStdString();
        EXPECT_TRUE(r.err.contains(message)) << Explain(base + extra, r).toStdString();
    }
}

TEST(RenderCli, VectorFilesReadBackAfterRasterising)
{
    QTemporaryDir dir;
    const QString svg = dir.filePath("x.svg");
    const QString pdf = dir.filePath("x.pdf");
    for (const QString& file : {svg, pdf}) {
        const ToolRun r = Render({"--type", "EAN13", "--value", "4006381333931", "-o", file});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(r.out.trimmed(), file);
    }
    // Qt's SVG renderer draws the file at four times its size.
    QSvgRenderer renderer(svg);
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBox(), QRect(0, 0, 226, 110));
    QImage drawn(renderer.defaultSize() * 4, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    {
        QPainter painter(&drawn);
        renderer.render(&painter);
    }
    EXPECT_EQ(VandrelTest::ReadSymbol(drawn, BarcodeFormat::EAN13), "4006381333931");
    // Vector means shapes, not an embedded picture.
    QFile svgFile(svg);
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    EXPECT_FALSE(svgFile.readAll().contains("<image"));

    // poppler draws the PDF page as a viewer shows it.
    QProcess pdftoppm;
    pdftoppm.start("pdftoppm", {"-r", "600", "-png", "-singlefile", pdf, dir.filePath("page")});
    ASSERT_TRUE(pdftoppm.waitForFinished(60000));
    ASSERT_EQ(pdftoppm.exitCode(), 0) << pdftoppm.readAllStandardError().toStdString();
    const QImage page(dir.filePath("page.png"));
    // 226 x 110 pixels at 300 dpi make a page of 0.753 x 0.367 inches.
    EXPECT_NEAR(page.width(), 452, 2);
    EXPECT_EQ(VandrelTest::ReadSymbol(page, BarcodeFormat::EAN13), "4006381333931");
}

TEST(RenderCli, RasterFormatsTransparencyResolutionAndStandardOutput)
{
    QTemporaryDir dir;
    const QStringList symbol{"--type", "Code128_B", "--value", "Vandrel", "--bar-color", "#000080"};
    for (const char* name : {"x.jpeg", "x.tif", "x.bmp", "x.png"}) {
        const ToolRun r = Render(symbol + QStringList{"--dpi", "600", "-o", dir.filePath(name)});
        ASSERT_EQ(r.code, 0) << name << r.err.toStdString();
        const QImage img(dir.filePath(name));
        EXPECT_EQ(VandrelTest::ReadSymbol(img, BarcodeFormat::Code128), "Vandrel") << name;
        if (QByteArray(name) != "x.bmp") { // BMP rounds its resolution differently; PNG, JPEG and TIFF keep it
            EXPECT_NEAR(img.dotsPerMeterX() * 0.0254, 600, 1) << name;
        }
    }

    const ToolRun clear = Render(symbol + QStringList{"--transparent", "-o", dir.filePath("clear.png")});
    ASSERT_EQ(clear.code, 0) << clear.err.toStdString();
    const QImage img(dir.filePath("clear.png"));
    ASSERT_TRUE(img.hasAlphaChannel());
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
    EXPECT_EQ(VandrelTest::ReadSymbol(OnWhite(img), BarcodeFormat::Code128), "Vandrel");
    EXPECT_GT(VandrelTest::CountColor(img, QColor(0, 0, 128)), 0);

    // "-o -": the PNG on standard output, and nothing else there.
    const ToolRun piped = Render(symbol + QStringList{"-o", "-"});
    ASSERT_EQ(piped.code, 0) << piped.err.toStdString();
    const QImage fromPipe = QImage::fromData(piped.bytes, "PNG");
    EXPECT_EQ(VandrelTest::ReadSymbol(fromPipe, BarcodeFormat::Code128), "Vandrel");
    EXPECT_EQ(fromPipe, QImage(dir.filePath("x.png")).convertToFormat(fromPipe.format()));
}

TEST(RenderCli, OutputsReplaceFilesWholeAndReportTheSystemsReason)
{
    QTemporaryDir dir;
    const QStringList symbol{"--type", "Code39", "--value", "WHOLE"};
    // Writers racing for one EMF file: whichever renames last wins, and a
    // complete file is always there.
    const QString emf = dir.filePath("race.emf");
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int i = 0; i < 4; ++i) {
            writers.push_back(std::make_unique<QProcess>());
            writers.back()->start(VANDREL_CLI, QStringList{"render"} + symbol + QStringList{"-o", emf});
        }
        for (auto& w : writers) {
            ASSERT_TRUE(w->waitForFinished(60000));
            EXPECT_EQ(w->exitCode(), 0) << w->readAllStandardError().toStdString();
        }
        QFile file(emf);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "round " << round;
        const QByteArray bytes = file.readAll();
        ASSERT_GE(bytes.size(), 108);
        // The header's size of the whole file (bytes 48-51) matches the file.
        EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 48), quint32(bytes.size()));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"race.emf"}); // no temporary file left

    // A failure leaves the previous file as it was.
    QFile::copy(emf, dir.filePath("before.emf"));
    QDir(dir.path()).mkdir("taken.png");
    struct Case {
        QString output;
        const char* reason;
    };
    const Case cases[] = {
        {dir.filePath("taken.png"), "Is a directory"},
        {dir.filePath("missing/x.png"), "No such file or directory"},
        {dir.filePath("missing/x.emf"), "No such file or directory"},
        {dir.filePath("missing/x.svg"), "No such file or directory"},
    };
    for (const Case& c : cases) {
        const ToolRun r = Render(symbol + QStringList{"-o", c.output});
        EXPECT_EQ(r.code, 1) << c.output.toStdString();
        EXPECT_TRUE(r.err.contains("Cannot write '" + c.output + "': " + c.reason)) << r.err.toStdString();
    }
    QFile before(dir.filePath("before.emf")), after(emf);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly) && after.open(QIODevice::ReadOnly));
    EXPECT_EQ(before.readAll(), after.readAll());
}

TEST(RenderCli, NamesVersionAndHelp)
{
    // Type names in any case and common spellings.
    const ToolRun canonical = RunTool({"modules", "--type", "Code128_B", "--value", "Ab"});
    for (const char* name : {"code128b", "CODE-128-B", "Code128_B", "code 128 b"}) {
        const ToolRun r = RunTool({"modules", "--type", name, "--value", "Ab"});
        EXPECT_EQ(r.out, canonical.out) << name;
    }
    EXPECT_EQ(RunTool({"modules", "--type", "ean13", "--value", "4006381333931"}).code, 0);
    EXPECT_EQ(RunTool({"modules", "--type", "upce", "--value", "12345670"}).code, 0);

    const ToolRun version = RunTool({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, QStringLiteral("vandrel " VANDREL_VERSION "\n"));

    const ToolRun help = RunTool({"render", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains("\nExamples:\n"));
    for (const QString& line : help.out.split('\n'))
        EXPECT_LE(line.size(), 100) << line.toStdString();
}

namespace {
// A product table with the cases a label run meets.
VandrelTest::TestDatabase Products(const QString& connection)
{
    return VandrelTest::TestDatabase(
        connection, {"CREATE TABLE p (id INTEGER, ean TEXT, name TEXT)",
                     "INSERT INTO p VALUES (1, '4006381333931', 'Tea, green'), (2, NULL, 'No code'),"
                     " (3, 'HELLO', 'Bad code'), (4, '400638133393', '../../escape'), (5, '', 'Empty'),"
                     " (6, '9780201379624', 'Tea, green'), (7, '4006381333932', '.hidden')"});
}
} // namespace

TEST(RenderCli, DatabaseBatchesSkipWhatTheyCannotLabel)
{
    const VandrelTest::TestDatabase db = Products("render-batch");
    QTemporaryDir dir;
    const QStringList query{"--type",  "EAN13", "--db", db.FileName(), "--sql", "SELECT * FROM p ORDER BY id",
                            "--field", "ean"};

    // The default: empty, null and refused values are skipped, each named.
    const ToolRun skip = Render(query + QStringList{"-o", dir.filePath("a-%d.png")});
    EXPECT_EQ(skip.code, 3) << skip.err.toStdString();
    EXPECT_EQ(skip.out.split('\n', Qt::SkipEmptyParts),
              (QStringList{dir.filePath("a-1.png"), dir.filePath("a-4.png"), dir.filePath("a-6.png")}));
    for (const char* said : {"record 2: the field 'ean' is null; skipped", "record 3: cannot encode 'HELLO'",
                             "record 5: the field 'ean' is empty; skipped", "record 7: the check digit",
                             "wrote 3 labels, skipped 4 records"})
        EXPECT_TRUE(skip.err.contains(said)) << said << "\n" << skip.err.toStdString();
    EXPECT_EQ(VandrelTest::ReadSymbol(QImage(dir.filePath("a-4.png")), BarcodeFormat::EAN13), "4006381333931");

    // error: the first empty field stops the run.
    const ToolRun error = Render(query + QStringList{"--on-empty", "error", "-o", dir.filePath("b-%d.png")});
    EXPECT_EQ(error.code, 1);
    EXPECT_TRUE(error.err.contains("record 2: the field 'ean' is null")) << error.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("b-2.png")));

    // Names from a field stay inside the output directory, and never clash.
    QDir(dir.path()).mkdir("named");
    const ToolRun named = Render(query + QStringList{"--name-field", "name", "-o", dir.filePath("named/%s.png")});
    EXPECT_EQ(named.code, 3) << named.err.toStdString();
    QStringList files = QDir(dir.filePath("named")).entryList(QDir::Files);
    files.sort();
    EXPECT_EQ(files, (QStringList{"Tea__green-6.png", "Tea__green.png", "_.._escape.png"}));
}

TEST(RenderCli, DatabaseFailures)
{
    const VandrelTest::TestDatabase db = Products("render-failures");
    QTemporaryDir dir;
    const QString out = dir.filePath("l-%d.png");
    const QStringList query{"render", "--type", "EAN13", "--db", db.FileName(), "--field", "ean"};

    const ToolRun none = RunTool(query + QStringList{"--sql", "SELECT ean FROM p WHERE id > 99", "-o", out});
    EXPECT_EQ(none.code, 1);
    EXPECT_TRUE(none.err.contains("the query gave no records")) << none.err.toStdString();

    for (const QString& pattern : {dir.filePath("l-%300d.png"), dir.filePath("l-%d-%d.png")}) {
        const ToolRun r = RunTool(query + QStringList{"--sql", "SELECT ean FROM p", "-o", pattern});
        EXPECT_EQ(r.code, 2) << pattern.toStdString();
    }
    const ToolRun noPlace =
        RunTool(query + QStringList{"--sql", "SELECT ean, name FROM p", "--name-field", "name", "-o", out});
    EXPECT_EQ(noPlace.code, 2);

    // A database another program holds locked is a runtime failure, not a usage error.
    QSqlDatabase writer = QSqlDatabase::database(db.Name());
    QSqlQuery lock(writer);
    ASSERT_TRUE(lock.exec("BEGIN EXCLUSIVE"));
    const ToolRun locked = RunTool(query + QStringList{"--sql", "SELECT ean FROM p", "-o", out});
    EXPECT_EQ(locked.code, 1) << locked.err.toStdString();
    EXPECT_TRUE(locked.err.contains("locked")) << locked.err.toStdString();
    lock.exec("ROLLBACK");
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

namespace {
// A PNG's bit depth and colour type, from its header chunk.
std::pair<int, int> PngDepthAndColourType(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {-1, -1};
    const QByteArray head = file.read(26);
    return head.size() == 26 ? std::pair{int(uchar(head[24])), int(uchar(head[25]))} : std::pair{-1, -1};
}
} // namespace

TEST(RenderCli, BatchPngsArePaletteImagesOfTheTrueColourPixels)
{
    const VandrelTest::TestDatabase db(
        "render-palette", {"CREATE TABLE p (id INTEGER, ean TEXT)",
                           "INSERT INTO p VALUES (1, '4006381333931'), (2, '9780201379624'), (3, '5901234123457')"});
    QTemporaryDir dir;
    struct Case {
        QStringList look;
        int depth; // 1 for two colours, 8 for a palette of smoothed digits
    };
    const Case cases[] = {
        {{"--no-text"}, 1},
        {{"--no-text", "--bar-color", "000080", "--back-color", "FFFFE0"}, 1},
        {{}, 8},
    };
    for (const Case& c : cases) {
        const QString pattern = dir.filePath(c.look.join("").remove('-') + "-%d.png");
        const QStringList args =
            QStringList{"--type",  "EAN13", "--db",  db.FileName(), "--sql", "SELECT ean FROM p ORDER BY id",
                        "--field", "ean",   "--dpi", "600"} +
            c.look + QStringList{"-o", pattern};
        const ToolRun batch = Render(args);
        ASSERT_EQ(batch.code, 0) << Explain(args, batch).toStdString();
        int n = 0;
        for (const char* value : {"4006381333931", "9780201379624", "5901234123457"}) {
            const QString png = QString(pattern).replace("%d", QString::number(++n));
            EXPECT_EQ(PngDepthAndColourType(png), std::pair(c.depth, 3)) << png.toStdString(); // 3: palette
            const QImage picture(png);
            EXPECT_EQ(VandrelTest::ReadSymbol(picture, BarcodeFormat::EAN13), value) << png.toStdString();
            EXPECT_NEAR(picture.dotsPerMeterX() * 0.0254, 600, 1) << png.toStdString();
            // BMP files stay true colour: the same label drawn into one is the reference.
            const QString bmp = dir.filePath("reference.bmp");
            ASSERT_EQ(Render(QStringList{"--type", "EAN13", "--value", value} + c.look + QStringList{"-o", bmp}).code,
                      0);
            EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32), QImage(bmp).convertToFormat(QImage::Format_RGB32))
                << png.toStdString();
        }
    }
}

TEST(RenderCli, ReplacedFilesKeepTheirPermissionsAndLinks)
{
    QTemporaryDir dir;
    const QStringList symbol{"--type", "Code39", "--value", "KEEP"};
    const QString file = dir.filePath("kept.png");
    ASSERT_EQ(Render(symbol + QStringList{"-o", file}).code, 0);
    const auto restricted = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(file, restricted));
    ASSERT_TRUE(QFile::link(file, dir.filePath("link.png")));

    const ToolRun r = Render(QStringList{"--type", "Code39", "--value", "NEW", "-o", dir.filePath("link.png")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo(dir.filePath("link.png")).isSymLink());
    EXPECT_EQ(VandrelTest::ReadSymbol(QImage(file), BarcodeFormat::Code39), "NEW");
    const auto ownerGroupOther = QFile::Permissions(0x7077); // the user's own bits depend on who runs the test
    EXPECT_EQ(QFile::permissions(file) & ownerGroupOther, restricted & ownerGroupOther);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 2); // no temporary file left

    // A file its owner made read-only is refused, not replaced (unless the
    // test runs as a user who may write any file).
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner));
    if (!QFileInfo(file).isWritable()) {
        const ToolRun refused = Render(symbol + QStringList{"-o", file});
        EXPECT_EQ(refused.code, 1);
        EXPECT_TRUE(refused.err.contains("Cannot write '" + file + "': Permission denied"))
            << refused.err.toStdString();
        EXPECT_EQ(VandrelTest::ReadSymbol(QImage(file), BarcodeFormat::Code39), "NEW");
    }
}
