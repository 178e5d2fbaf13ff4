// vandrel pdf417 as a user runs it.
#include "support/Oracle.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int code;
    QString out;
    QString err;
};

ToolRun Pdf417(const QStringList& args)
{
    QProcess p;
    p.start(VANDREL_CLI, QStringList{"pdf417"} + args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

QString Letters(int count)
{
    return QString(count, 'A');
}

const QString DefaultSymbol = "3x3: 5 453 178 121 239 452 327 657 619\n";

} // namespace

TEST(Pdf417Cli, PrintsEachSymbolWithItsSize)
{
    struct Case {
        QStringList args;
        QString out;    // the whole output, or its start when it ends in a space
        QString err;
    };
    const Case cases[] = {
        {{"--value", "PDF417"}, DefaultSymbol, ""},
        {{"--hex", "504446343137"}, DefaultSymbol, ""},
        {{"--value", "PDF417", "--module", "5", "--width", "300", "--height", "40"}, DefaultSymbol, ""},
        {{"--value", "PDF417", "--level", "0"}, "3x3: 7 453 178 121 239 900 900 ", ""},
        {{"--value", "0123456789", "--mode", "numeric"}, "4x3: 8 902 13 798 85 289 900 900 ", ""},
        {{"--value", "ABCDEF", "--mode", "byte"}, "4x3: 8 924 109 326 368 127 330 900 ", ""},
        {{"--value", "ABCD1234567890123XYZAB", "--mode", "auto"}, "6x3: 14 1 63 902 ", ""},
        {{"--value", "PDF417", "--rows", "5"}, "5x3: 11 453 ", ""},
        {{"--value", "PDF417", "--columns", "0", "--width", "100", "--height", "2000"}, "8x2: 12 453 ", ""},
        {{"--value", "PDF417", "--columns", "0", "--width", "100", "--height", "2000", "--aspect", "30"},
         "4x3: 8 453 ", ""},
        {{"--value", "PDF417", "--type", "Truncated"}, DefaultSymbol, ""},
        {{"--value", "PDF417", "--type", "MicroPDF417"}, "6x3: 14 453 178 121 239 900 900 928 111 100 ", ""},
        {{"--value", "A", "--mode", "byte", "--encrypt", "--password", "pw"}, "6x3: 14 901 ", ""},
        {{"--value", Letters(200), "--columns", "0", "--rows", "3"}, "3x35: 101 0 ", "Num of CodeWord is too Big!\n"},
        // Too long for 90 rows of the default 3 columns: the fewest columns that hold it.
        {{"--value", Letters(532)}, "68x4: 268 ", ""},
    };
    for (const Case& c : cases) {
        const ToolRun r = Pdf417(QStringList{"--codewords"} + c.args);
        SCOPED_TRACE(c.args.join(' ').left(80).toStdString());
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(r.err, c.err);
        if (c.out.endsWith(' '))
            EXPECT_TRUE(r.out.startsWith(c.out)) << r.out.left(200).toStdString();
        else
            EXPECT_EQ(r.out, c.out);
    }
}

TEST(Pdf417Cli, ASequencePrintsOneLinePerSymbol)
{
    const ToolRun r = Pdf417({"--codewords", "--value", Letters(1100), "--type", "MicroPDF417"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList size = lines[i].section(':', 0, 0).split('x');
        const QStringList codewords = lines[i].section(": ", 1).split(' ');
        ASSERT_EQ(size.size(), 2);
        EXPECT_EQ(codewords.size(), size[0].toInt() * size[1].toInt()) << i;
        const qsizetype block = codewords.indexOf("928");
        ASSERT_GE(block, 0) << i;
        EXPECT_EQ(codewords.mid(block + 1, 2), (QStringList{"111", QString::number(100 + i)})) << i;
        EXPECT_EQ(codewords.value(block + 6) == "922", i == 2) << i;
    }
}

TEST(Pdf417Cli, FilesAndHexCarryAnyByte)
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes += char(b);
    QTemporaryDir dir;
    QFile file(dir.filePath("bytes.bin"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const QStringList options{"--codewords", "--mode", "byte", "--columns", "10"};
    const ToolRun fromFile = Pdf417(options + QStringList{"--input-file", file.fileName()});
    const ToolRun fromHex = Pdf417(options + QStringList{"--hex", QString::fromLatin1(bytes.toHex())});
    ASSERT_EQ(fromFile.code, 0) << fromFile.err.toStdString();
    EXPECT_TRUE(fromFile.out.startsWith("22x10: 216 901 0 5 844 88 165 ")) << fromFile.out.left(80).toStdString();
    EXPECT_EQ(fromHex.out, fromFile.out);
}

TEST(Pdf417Cli, RefusedValuesPrintTheMessageAndExitWithOne)
{
    const std::pair<QStringList, QString> cases[] = {
        {{"--value", "PDF417", "--level", "9"}, "Out of Range!"},
        {{"--value", "PDF417", "--columns", "31"}, "DataColumn <= 30 "},
        {{"--value", "PDF417", "--rows", "2"}, "DataRow <= 90 And DataRow >= 3"},
        {{"--value", "PDF417", "--aspect", "2.5"}, "Aspect >= 3.00"},
        {{"--value", "PDF417", "--mode", "text", "--encrypt"}, "PLEASE SET CODEMODE AS bMode"},
        {{"--value", "PDF417", "--mode", "byte", "--encrypt", "--password", QString(33, 'p')},
         "Length of Password <= 32!"},
        {{"--value", "PDF417", "--mode", "numeric"}, "Invalid string"},
        {{"--value", Letters(1848), "--columns", "29"}, "Code Words is too Large!"},
        {{"--value", Letters(532), "--columns", "3"}, "recalcu is error!"},
        {{"--value", "PDF417", "--level", "8", "--type", "MicroPDF417", "--columns", "3"}, "recalcu is error!"},
        {{"--value", ""}, "vandrel: nothing to encode: the value is empty"},
        {{"--value", "ABCDEFGHIJ", "--columns", "2", "--rows", "3"},
         "vandrel: the value does not fit --columns by --rows"},
    };
    for (const auto& [args, message] : cases) {
        const ToolRun r = Pdf417(QStringList{"--codewords"} + args);
        SCOPED_TRACE(args.join(' ').left(80).toStdString());
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, message + "\n");
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(Pdf417Cli, UsageErrorsExitWithTwo)
{
    const QStringList cases[] = {
        {"--value", "PDF417"},
        {"--codewords"},
        {"--codewords", "--value", "A", "--hex", "41"},
        {"--codewords", "--hex", "414"},
        {"--codewords", "--hex", "4g"},
        {"--codewords", "--input-file", "/nonexistent/value.bin"},
        {"--codewords", "--value", QString::fromUtf8("\u20ac")},
        {"--codewords", "--value", "A", "--password", QString::fromUtf8("\u20ac")},
        {"--codewords", "--value", "A", "--mode", "kanji"},
        {"--codewords", "--value", "A", "--type", "QR"},
        {"--codewords", "--value", "A", "--level", "high"},
        {"--codewords", "--value", "A", "--columns", "256"},
        {"--codewords", "--value", "A", "--rows", "-1"},
        {"--codewords", "--value", "A", "--aspect", "wide"},
        {"--codewords", "--value", "A", "--module", "0"},
        {"--codewords", "--value", "A", "--width", "0"},
        {"--codewords", "--value", "A", "--frobnicate"},
        {"--codewords", "--value", "A", "extra"},
    };
    for (const QStringList& args : cases) {
        const ToolRun r = Pdf417(args);
        SCOPED_TRACE(args.join(' ').toStdString());
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(Pdf417Cli, HelpNamesEveryOption)
{
    const ToolRun r = Pdf417({"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains("Usage: vandrel pdf417")) << r.out.toStdString();
    for (const char* option : {"--codewords", "--value", "--input-file", "--hex", "--mode", "--level", "--columns",
                               "--rows", "--type", "--aspect", "--module", "--width", "--height", "--encrypt",
                               "--password"})
        EXPECT_TRUE(r.out.contains(option)) << option;
}

TEST(Pdf417Cli, PicturesReadBackInEveryMode)
{
    QTemporaryDir dir;
    const QString hello = "Hello, PDF417!";
    struct Case {
        QStringList args;
        QString value;
    };
    const Case cases[] = {
        {{}, hello},
        {{"--mode", "byte"}, hello},
        {{"--mode", "auto"}, hello},
        {{"--mode", "numeric"}, "12345678901234567890"},
        {{"--level", "8"}, hello},
        {{"--angle", "90"}, hello},
        {{"--angle", "270", "--type", "Truncated", "--module", "3"}, hello},
    };
    for (const Case& c : cases) {
        const QString file = dir.filePath("p.png");
        const ToolRun r = Pdf417(QStringList{"--value", c.value, "-o", file} + c.args);
        SCOPED_TRACE(c.args.join(' ').toStdString());
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(r.out.trimmed(), file);
        const auto reading = VandrelTest::ReadDetails(QImage(file), ZXing::BarcodeFormat::PDF417);
        EXPECT_EQ(QString::fromStdString(reading.bytes), c.value);
    }
}

TEST(Pdf417Cli, PictureHoldsTheWholeSymbolUnlessSized)
{
    QTemporaryDir dir;
    // 3 x 3 grid: ((3 + 4) * 17 + 5) modules by 3 rows of 6 pixels and 2 modules
    // above and below, at 2 pixels a module.
    ASSERT_EQ(Pdf417({"--value", "PDF417", "-o", dir.filePath("a.png")}).code, 0);
    EXPECT_EQ(QImage(dir.filePath("a.png")).size(), QSize(124 * 2, 3 * 6 + 8));
    ASSERT_EQ(Pdf417({"--value", "PDF417", "--angle", "90", "-o", dir.filePath("b.png")}).code, 0);
    EXPECT_EQ(QImage(dir.filePath("b.png")).size(), QSize(3 * 6 + 8, 124 * 2));
    ASSERT_EQ(Pdf417({"--value", "PDF417", "--width", "400", "--height", "300", "-o", dir.filePath("c.png")}).code, 0);
    EXPECT_EQ(QImage(dir.filePath("c.png")).size(), QSize(400, 300));
    // Codewords and picture together.
    const ToolRun both = Pdf417({"--value", "PDF417", "--codewords", "-o", dir.filePath("d.bmp")});
    EXPECT_EQ(both.out, DefaultSymbol + dir.filePath("d.bmp") + "\n");
}

TEST(Pdf417Cli, OnePicturePerDatabaseRecord)
{
    QTemporaryDir dir;
    const ToolRun r = Pdf417({"--db", VANDREL_SAMPLE_DB, "--sql", "SELECT name FROM products ORDER BY id", "--field",
                              "name", "--mode", "byte", "-o", dir.filePath("p-%d.png")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList files = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(files.size(), 6);
    EXPECT_EQ(VandrelTest::ReadDetails(QImage(files[0]), ZXing::BarcodeFormat::PDF417).bytes, "Green tea, 100 g");
    EXPECT_EQ(VandrelTest::ReadDetails(QImage(files[3]), ZXing::BarcodeFormat::PDF417).bytes, "Sugar, 500 g");
}

TEST(Pdf417Cli, PictureUsageErrors)
{
    QTemporaryDir dir;
    const QStringList cases[] = {
        {"--value", "x"},
        {"--value", "x", "-o", dir.filePath("p.gif")},
        {"--value", "x", "-o", dir.filePath("p.png"), "--angle", "45"},
        {"--db", VANDREL_SAMPLE_DB, "--sql", "SELECT name FROM products", "--field", "name", "--codewords", "-o",
         dir.filePath("p-%d.png")},
        {"--db", VANDREL_SAMPLE_DB, "--value", "x", "--sql", "SELECT name FROM products", "--field", "name", "-o",
         dir.filePath("p-%d.png")},
        {"--db", VANDREL_SAMPLE_DB, "--sql", "SELECT name FROM products", "--field", "price", "-o",
         dir.filePath("p-%d.png")},
    };
    for (const QStringList& args : cases) {
        const ToolRun r = Pdf417(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

namespace {
ToolRun Scan(const QStringList& args)
{
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice()); // no terminal to ask a password on
    p.start(VANDREL_CLI, QStringList{"scan"} + args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLatin1(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}
} // namespace

TEST(ScanCli, ReadsWhatPdf417Writes)
{
    QTemporaryDir dir;
    const QString value = "Vandrel reads what it writes";
    ASSERT_EQ(Pdf417({"--value", value, "-o", dir.filePath("r.png")}).code, 0);
    const ToolRun plain = Scan({dir.filePath("r.png")});
    EXPECT_EQ(plain.code, 0) << plain.err.toStdString();
    EXPECT_EQ(plain.out, value);

    ASSERT_EQ(Pdf417({"--value", value, "--encrypt", "--password", "s3cret", "-o", dir.filePath("e.png")}).code, 0);
    const ToolRun secret = Scan({dir.filePath("e.png"), "--password", "s3cret"});
    EXPECT_EQ(secret.code, 0);
    EXPECT_EQ(secret.out, value + QString(4, QChar(0))); // the zero padding of the last block
    const ToolRun noPassword = Scan({dir.filePath("e.png")});
    EXPECT_EQ(noPassword.code, 0); // read with an empty password: other bytes
    EXPECT_NE(noPassword.out, secret.out);

    ASSERT_EQ(Scan({dir.filePath("r.png"), "-o", dir.filePath("bytes.bin")}).code, 0);
    QFile out(dir.filePath("bytes.bin"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), value.toLatin1());
}

TEST(ScanCli, UnreadablePicturesAndUsageErrors)
{
    QTemporaryDir dir;
    const ToolRun missing = Scan({dir.filePath("missing.png")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.startsWith("vandrel: cannot read '")) << missing.err.toStdString();
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_EQ(Scan({}).code, 2);
    EXPECT_EQ(Scan({"a.png", "b.png"}).code, 2);
    EXPECT_EQ(Scan({"a.png", "--password", QString(33, 'p')}).code, 1);
}
