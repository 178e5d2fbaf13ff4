// The command-line tool as a user runs it.
#include "support/Oracle.h"
#include "support/Pictures.h"
#include "support/Tool.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace VandrelTest {

namespace {

ToolRun Vandrel(const QStringList& args)
{
    return RunTool(args);
}

} // namespace

TEST(Cli, TypesListsTheOrdinals)
{
    const ToolRun r = Vandrel({"types"});
    EXPECT_EQ(r.code, 0);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 23);
    EXPECT_EQ(lines[0], "0 Inter2_5");
    EXPECT_EQ(lines[3], "3 Code39");
    EXPECT_EQ(lines[22], "22 ISBN");
}

TEST(Cli, ModulesPrintsTheModuleString)
{
    const ToolRun empty = Vandrel({"modules", "--type", "Code39", "--value", ""});
    EXPECT_EQ(empty.code, 0);
    EXPECT_EQ(empty.out, "515060605"
                         "0"
                         "515060605\n"); // start, gap, stop: 25 modules

    const ToolRun invalid = Vandrel({"modules", "--type", "Code39", "--value", "abc"});
    EXPECT_EQ(invalid.code, 1);
    EXPECT_EQ(invalid.err, "invalid value\n");
    EXPECT_TRUE(invalid.out.isEmpty());
}

TEST(Cli, RenderWritesASymbolThatReadsBack)
{
    QTemporaryDir dir;
    const QString png = dir.filePath("x.png");
    const ToolRun r =
        Vandrel({"render", "--type", "Code39", "--value", "ABC-123", "--width", "200", "--height", "100", "-o", png});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QImage img(png);
    ASSERT_EQ(img.size(), QSize(200, 100));
    EXPECT_EQ(ReadSymbol(img, ZXing::BarcodeFormat::Code39), "ABC-123");

    const ToolRun turned =
        Vandrel({"render", "--type", "Code39", "--value", "TURN", "--angle", "270", "--width", "100", "--height", "300",
                 "--no-text", "--bar-color", "000080", "-o", dir.filePath("t.bmp")});
    ASSERT_EQ(turned.code, 0) << turned.err.toStdString();
    EXPECT_EQ(ReadSymbol(QImage(dir.filePath("t.bmp")), ZXing::BarcodeFormat::Code39), "TURN");
}

TEST(Cli, ModulesCarryTheCheckCharacters)
{
    // MSI 1234: check digit 4 ("51605151"), then the stop.
    const ToolRun msi = Vandrel({"modules", "--type", "MSI", "--value", "1234"});
    EXPECT_EQ(msi.code, 0);
    EXPECT_TRUE(msi.out.trimmed().endsWith("51605151"
                                           "515"))
        << msi.out.toStdString();
    // Code 128 B "AB": check value 102 ("411131"), then the stop.
    const ToolRun code128 = Vandrel({"modules", "--type", "Code128_B", "--value", "AB"});
    EXPECT_EQ(code128.code, 0);
    EXPECT_TRUE(code128.out.trimmed().endsWith("805070"
                                               "6270506"))
        << code128.out.toStdString();
}

TEST(Cli, EveryTypeRendersAtEveryAngle)
{
    QTemporaryDir dir;
    const ToolRun types = Vandrel({"types"});
    const QStringList lines = types.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 23);
    // A value every symbology accepts once completed: 13 digits beginning 977.
    const auto valueFor = [](const QString& type) -> QString {
        if (type == "ISBN")
            return "9780201379624";
        if (type == "EAN8" || type.startsWith("UPC_E"))
            return "12345670";
        if (type == "UPC_A")
            return "036000291452";
        if (type == "CodaBar")
            return "A1234B";
        return type == "ISSN" || type == "EAN13" ? "9771234567003" : "12345678";
    };
    for (const QString& line : lines) {
        const QString type = line.section(' ', 1);
        for (const char* angle : {"0", "90", "180", "270"}) {
            const bool upright = QByteArray(angle) == "90" || QByteArray(angle) == "270";
            const QString file = dir.filePath(type + angle + ".png");
            const ToolRun r = Vandrel({"render", "--type", type, "--value", valueFor(type), "--angle", angle, "--width",
                                       upright ? "120" : "400", "--height", upright ? "400" : "120", "-o", file});
            ASSERT_EQ(r.code, 0) << type.toStdString() << " " << angle << ": " << r.err.toStdString();
            const QImage img(file);
            ASSERT_FALSE(img.isNull()) << file.toStdString();
            EXPECT_LT(CountColor(img, Qt::white), img.width() * img.height()) << file.toStdString();
        }
    }
    // Read back through an independent reader, turned.
    EXPECT_EQ(ReadSymbol(QImage(dir.filePath("EAN13270.png")), ZXing::BarcodeFormat::EAN13), "9771234567003");
    EXPECT_EQ(ReadSymbol(QImage(dir.filePath("Code128_C90.png")), ZXing::BarcodeFormat::Code128), "12345678");
}

TEST(Cli, RenderExportsJpegAndEmf)
{
    QTemporaryDir dir;
    const ToolRun jpg = Vandrel({"render", "--type", "Code39Ex", "--value", "A-1", "-o", dir.filePath("x.jpg")});
    ASSERT_EQ(jpg.code, 0) << jpg.err.toStdString();
    EXPECT_FALSE(QImage(dir.filePath("x.jpg")).isNull());

    const ToolRun emf = Vandrel({"render", "--type", "Code39", "--value", "A", "-o", dir.filePath("x.emf")});
    ASSERT_EQ(emf.code, 0) << emf.err.toStdString();
    // The tool writes exactly the file named (the control's SaveToEmf would write x.EMF).
    EXPECT_EQ(emf.out.trimmed(), dir.filePath("x.emf"));
    EXPECT_TRUE(QFile::exists(dir.filePath("x.emf")));
}

TEST(Cli, UsageErrorsExitWithTwo)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("x.png");
    const QStringList cases[] = {
        {},
        {"draw"},
        {"render", "--type", "Code39", "--value", "A"},
        {"render", "--type", "Nope", "--value", "A", "-o", out},
        {"render", "--type", "Code39", "-o", out},
        {"render", "--type", "Code39", "--value", "A", "-o", dir.filePath("x.gif")},
        {"render", "--type", "Code39", "--value", "A", "-o", out, "--angle", "45"},
        {"render", "--type", "Code39", "--value", "A", "-o", out, "--width", "0"},
        {"render", "--type", "Code39", "--value", "A", "-o", out, "--bar-color", "red"},
        {"render", "--type", "Code39", "--value", "A", "-o", out, "--frobnicate"},
        {"render", "--type", "Code39", "--value", QString::fromUtf8("\u20ac"), "-o", out},
        {"modules", "--type", "Code39"},
    };
    for (const QStringList& args : cases) {
        const ToolRun r = Vandrel(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.trimmed().isEmpty()) << args.join(' ').toStdString();
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(Cli, UnwritableOutputExitsWithOneAndLeavesNothing)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing") + "/";
    const ToolRun r = Vandrel({"render", "--type", "Code39", "--value", "A", "-o", missing + "x.png"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("No such file or directory")) << r.err.toStdString();
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(Cli, RenderDrawsOneSymbolPerDatabaseRecord)
{
    // The shipped sample: a 13-digit code, a 12-digit one completed with its
    // check digit, an empty and a null code (--on-empty repeat: both repeat
    // the previous symbol, as the data-aware control does).
    QTemporaryDir dir;
    const ToolRun r = Vandrel({"render", "--type", "EAN13", "--width", "240", "--height", "110", "--db",
                               VANDREL_SAMPLE_DB, "--sql", "SELECT ean FROM products ORDER BY id", "--field", "ean",
                               "--on-empty", "repeat", "-o", dir.filePath("label-%02d.png")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList files = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(files.size(), 6);
    EXPECT_EQ(files[0], dir.filePath("label-01.png"));
    const char* const expected[] = {"4006381333931", "5901234123457", "5901234123457",
                                    "5901234123457", "9780201379624", "9771234567003"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(ReadSymbol(QImage(files[i]), ZXing::BarcodeFormat::EAN13), expected[i]) << i;
}

TEST(Cli, DatabaseErrorsExitWithTwoAndWriteNothing)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("l-%d.png");
    const QStringList cases[] = {
        {"--db", dir.filePath("missing.sqlite"), "--sql", "SELECT ean FROM products", "--field", "ean", "-o", out},
        {"--db", VANDREL_SAMPLE_DB, "--sql", "SELEKT ean", "--field", "ean", "-o", out},
        {"--db", VANDREL_SAMPLE_DB, "--sql", "SELECT ean FROM products", "--field", "price", "-o", out},
        {"--db", VANDREL_SAMPLE_DB, "--sql", "SELECT ean FROM products", "--field", "ean", "-o", dir.filePath("l.png")},
        {"--db", VANDREL_SAMPLE_DB, "--sql", "SELECT ean FROM products", "-o", out},
        {"--db", VANDREL_SAMPLE_DB, "--value", "1", "--sql", "SELECT ean FROM products", "--field", "ean", "-o", out},
    };
    for (const QStringList& args : cases) {
        const ToolRun r = Vandrel(QStringList{"render", "--type", "EAN13"} + args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(Cli, HelpForEveryCommand)
{
    for (const char* command : {"render", "modules", "types", "gallery"}) {
        const ToolRun r = Vandrel({command, "--help"});
        EXPECT_EQ(r.code, 0) << command;
        EXPECT_TRUE(r.out.contains("Usage: vandrel " + QString(command))) << r.out.toStdString();
    }
    const ToolRun top = Vandrel({"--help"});
    EXPECT_EQ(top.code, 0);
    EXPECT_TRUE(top.out.contains("render"));
}

TEST(Cli, GalleryListsTheFilesItWrote)
{
    QTemporaryDir dir;
    const ToolRun r = Vandrel({"gallery", "--dir", dir.path()});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList files = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& f : files)
        EXPECT_FALSE(QImage(f).isNull()) << f.toStdString();
    EXPECT_TRUE(files.contains(dir.filePath("Code39_90.png")));
}

} // namespace VandrelTest
