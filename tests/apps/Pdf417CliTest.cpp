// vandrel pdf417 as a user runs it.
#include "support/Oracle.h"
#include "support/Tool.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using VandrelTest::ToolRun;

ToolRun Pdf417(const QStringList& args, const QString& password = QString())
{
    return VandrelTest::RunTool(QStringList{"pdf417"} + args,
                                password.isNull() ? QStringList() : QStringList{"VANDREL_PASSWORD=" + password});
}

QString Letters(int count)
{
    return QString(count, 'A');
}

// A value whose pieces differ, so that a sequence read back out of order shows.
QString Lines(int count)
{
    QString value;
    for (int i = 0; i < count; ++i)
        value += QStringLiteral("line %1; ").arg(i);
    return value;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
}

// What zxing-cpp reads in a picture file of any format Qt loads. An SVG
// drawing is rendered at its view box, a pixel to a unit as it was drawn,
// rather than at its physical size.
VandrelTest::TReading ReadFile(const QString& fileName)
{
    QImageReader reader(fileName);
    if (fileName.endsWith(".svg")) {
        QFile file(fileName);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        static const QRegularExpression viewBox("viewBox=\"0 0 (\\d+) (\\d+)\"");
        const QRegularExpressionMatch box = viewBox.match(QString::fromUtf8(file.read(4096)));
        EXPECT_TRUE(box.hasMatch()) << fileName.toStdString();
        reader.setScaledSize(QSize(box.captured(1).toInt(), box.captured(2).toInt()));
    }
    return VandrelTest::ReadDetails(reader.read(), ZXing::BarcodeFormat::PDF417);
}

const QString DefaultSymbol = "3x3: 5 453 178 121 239 452 327 657 619\n";

} // namespace

TEST(Pdf417Cli, PrintsEachSymbolWithItsSize)
{
    struct Case {
        QStringList args;
        QString out; // the whole output, or its start when it ends in a space
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
         "4x3: 8 453 ",
         ""},
        {{"--value", "PDF417", "--type", "Truncated"}, DefaultSymbol, ""},
        {{"--value", "PDF417", "--type", "MicroPDF417"}, "6x3: 14 453 178 121 239 900 900 928 111 100 ", ""},
        {{"--value", "A", "--mode", "byte", "--encrypt", "--password", "pw"}, "6x3: 14 901 ", ""},
        // A wide, flat area gets more rows rather than more than 30 columns.
        {{"--value", Letters(200), "--columns", "0", "--rows", "0", "--width", "4000", "--height", "50"},
         "4x27: 104 0 ",
         ""},
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
    QTemporaryDir dir;
    const std::pair<QStringList, QString> cases[] = {
        {{"--value", "PDF417", "--mode", "text", "--encrypt", "--password", "pw"}, "PLEASE SET CODEMODE AS bMode"},
        {{"--value", "PDF417", "--mode", "numeric"}, "Invalid string"},
        {{"--value", Letters(1848), "--columns", "29"}, "Code Words is too Large!"},
        {{"--value", Letters(532), "--columns", "3"}, "recalcu is error!"},
        {{"--value", "PDF417", "--level", "8", "--type", "MicroPDF417", "--columns", "3"}, "recalcu is error!"},
        // 35 columns in 3 rows would not read.
        {{"--value", Letters(200), "--columns", "0", "--rows", "3"}, "Num of CodeWord is too Big!"},
        {{"--value", ""}, "vandrel: nothing to encode: the value is empty"},
        {{"--value", "ABCDEFGHIJ", "--columns", "2", "--rows", "3"},
         "vandrel: the value does not fit --columns by --rows"},
    };
    for (const auto& [args, message] : cases) {
        const ToolRun r = Pdf417(QStringList{"--codewords", "-o", dir.filePath("p.png")} + args);
        SCOPED_TRACE(args.join(' ').left(80).toStdString());
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, message + "\n");
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// Values too long to carry and pictures too large to draw are refused before
// anything is drawn, with the limit that refused them.
TEST(Pdf417Cli, WhatCannotBeCarriedOrDrawnIsRefusedWithItsLimit)
{
    QTemporaryDir dir;
    const QString sequence = WriteFile(dir, "sequence.txt", QByteArray(1 << 20, 'A'));
    const QString tooLong = WriteFile(dir, "too-long.txt", QByteArray((1 << 20) + 1, 'A'));
    const QStringList micro{"--type", "MicroPDF417"};
    const std::pair<QStringList, QString> cases[] = {
        // Read no further than the limit: /dev/zero ends in no time.
        {{"--input-file", "/dev/zero", "--mode", "byte"},
         "longer than 1110 bytes, the most one symbol carries in byte"},
        {{"--input-file", "/dev/zero", "--mode", "byte", "--encrypt", "--password", "pw"}, "longer than 1110 bytes"},
        {{"--input-file", "/dev/zero"}, "longer than 1850 bytes, the most one symbol carries in text mode"},
        {{"--input-file", "/dev/zero", "--mode", "numeric"}, "longer than 2713 bytes"},
        {{"--input-file", "/dev/zero", "--mode", "auto"}, "longer than 2713 bytes"},
        {QStringList{"--input-file", "/dev/zero"} + micro,
         "longer than 1048576 bytes, the most a Macro PDF417 sequence"},
        {QStringList{"--input-file", tooLong} + micro, "longer than 1048576 bytes"},
        {{"--value", Letters(1851)}, "longer than 1850 bytes"},
        {{"--hex", QString(2 * 1111, 'a'), "--mode", "byte"}, "longer than 1110 bytes"},
        // The whole sequence in one picture: taller than the pixel budget.
        {QStringList{"--input-file", sequence} + micro,
         "pixels allowed; choose a smaller module width or size, or --split"},
        {{"--value", Letters(1000), "--module", "50", "--aspect", "100", "--columns", "6"},
         "the picture would be 8750 x 425200 pixels, more than the 64 million pixels allowed"},
        {{"--value", Letters(100), "--width", "100", "--height", "300"},
         "the symbol needs 248 x 122 pixels, more than the 100 x 300 that --width and --height give"},
        {{"--value", Letters(100), "--width", "100", "--height", "300", "--angle", "90"},
         "the symbol needs 122 x 248 pixels, more than the 100 x 300"},
    };
    for (const auto& [args, message] : cases) {
        const ToolRun r = Pdf417(QStringList{"--codewords", "-o", dir.filePath("p.png")} + args);
        SCOPED_TRACE(args.join(' ').left(80).toStdString());
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.startsWith("vandrel: ") && r.err.contains(message)) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(QFile::exists(dir.filePath("p.png")));
    }
    // At the limit, the value is the encoder's to judge.
    const ToolRun atLimit = Pdf417({"--codewords", "--mode", "byte", "--value", Letters(1110)});
    EXPECT_EQ(atLimit.err, "Code Words is too Large!\n");
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

// Out-of-range options name the option and its range; nothing is written.
TEST(Pdf417Cli, OptionsOutOfRangeAreUsageErrors)
{
    QTemporaryDir dir;
    const QString png = dir.filePath("p.png");
    const QString empty = WriteFile(dir, "empty.txt", "");
    const std::pair<QStringList, QString> cases[] = {
        {{"--level", "9"}, "--level takes a whole number from 0 to 8"},
        {{"--level", "-1"}, "--level takes"},
        {{"--columns", "31"}, "--columns takes a whole number from 1 to 30, or 0"},
        {{"--rows", "2"}, "--rows takes a whole number from 3 to 90, or 0"},
        {{"--rows", "91"}, "--rows takes"},
        {{"--aspect", "2"}, "--aspect takes a number from 3 to 100"},
        {{"--aspect", "2.5"}, "--aspect takes"},
        {{"--aspect", "101"}, "--aspect takes"},
        {{"--aspect", "1e9"}, "--aspect takes"},
        {{"--aspect", "3e8"}, "--aspect takes"},
        {{"--aspect", "inf"}, "--aspect takes"},
        {{"--aspect", "nan"}, "--aspect takes"},
        {{"--module", "1000"}, "--module takes a length from 1 to 50 pixels"},
        {{"--module", "51"}, "--module takes"},
        {{"--module", "5mm"}, "--module takes"},
        {{"--module", "2", "--dpi", "5"}, "--dpi takes"},
        {{"--width", "20001"}, "--width takes a length from 1 to 20000 pixels"},
        {{"--height", "2m"}, "--height takes"},
        {{"--password", "pw"}, "--password and --password-file go with --encrypt"},
        {{"--password-file", empty}, "--password and --password-file go with --encrypt"},
        {{"--encrypt"}, "--encrypt needs a password"},
        {{"--encrypt", "--password-file", empty}, "--encrypt needs a password"},
        {{"--encrypt", "--password", QString(33, 'p')}, "the password takes at most 32 characters, it has 33"},
        {{"--encrypt", "--password", "a", "--password-file", empty}, "exclude each other"},
    };
    for (const auto& [args, message] : cases) {
        const ToolRun r = Pdf417(QStringList{"--value", "PDF417", "-o", png} + args);
        SCOPED_TRACE(args.join(' ').toStdString());
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.err.startsWith("vandrel: ") && r.err.contains(message)) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    // Output names that cannot be made, or that two outputs would share.
    const QStringList micro{"--type", "MicroPDF417"};
    const QStringList outputs[] = {
        micro + QStringList{"-o", dir.filePath("p-%300d.png"), "--split"},
        micro + QStringList{"-o", dir.filePath("p.png"), "--split"},
        micro + QStringList{"-o", dir.filePath("p-%d-%d.png"), "--split"},
        micro + QStringList{"-o", "-", "--split"},
        micro + QStringList{"--split", "--codewords"},
        QStringList{"-o", dir.filePath("p-%d.png"), "--split"}, // not a sequence
        QStringList{"-o", "-", "--codewords"},
    };
    for (const QStringList& args : outputs) {
        const ToolRun r = Pdf417(QStringList{"--value", "PDF417"} + args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"empty.txt"});
}

TEST(Pdf417Cli, HelpNamesEveryOption)
{
    const ToolRun r = Pdf417({"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains("Usage: vandrel pdf417")) << r.out.toStdString();
    for (const char* option :
         {"--codewords", "--value",   "--input-file", "--hex",           "--mode",           "--level",
          "--columns",   "--rows",    "--type",       "--aspect",        "--module",         "--width",
          "--height",    "--encrypt", "--password",   "--password-file", "VANDREL_PASSWORD", "--dpi",
          "--split",     "--db",      "Exit codes",   "1048576 bytes",   "\nExamples:\n"})
        EXPECT_TRUE(r.out.contains(option)) << option;
    // Qt wraps the descriptions; a line broken by hand would stick out.
    for (const QString& line : r.out.section("\nExamples:", 0, 0).split('\n'))
        EXPECT_LE(line.size(), 80) << line.toStdString();
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
// What the tool read, byte for byte.
ToolRun Scan(const QStringList& args)
{
    ToolRun r = VandrelTest::RunTool(QStringList{"scan"} + args);
    r.out = QString::fromLatin1(r.bytes);
    return r;
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
    // Over 32 characters: a usage error, as in pdf417.
    EXPECT_EQ(Scan({"a.png", "--password", QString(33, 'p')}).code, 2);
}

// Whatever the format, the picture holds the grid encoded and printed: never
// more than 30 columns, also for an area far wider than high.
TEST(Pdf417Cli, PicturesOfAFlatAreaHoldTheEncodedGrid)
{
    QTemporaryDir dir;
    const QString value = Letters(200);
    const QStringList grid{"--value", value, "--columns", "0", "--rows", "0", "--codewords"};
    const QStringList areas[] = {{"--width", "4000", "--height", "50"}, {}, {"--angle", "90"}};
    for (const QStringList& area : areas) {
        for (const char* format : {"png", "svg", "bmp"}) {
            const QString file = dir.filePath(QStringLiteral("flat.%1").arg(format));
            SCOPED_TRACE(area.join(' ').toStdString() + " " + format);
            const ToolRun r = Pdf417(grid + area + QStringList{"-o", file});
            ASSERT_EQ(r.code, 0) << r.err.toStdString();
            EXPECT_LE(r.out.section(':', 0, 0).section('x', 1).toInt(), 30) << r.out.left(40).toStdString();
            EXPECT_EQ(QString::fromStdString(ReadFile(file).bytes), value);
        }
    }
}

TEST(Pdf417Cli, SplitWritesOneReadableSymbolPerFile)
{
    const QString value = Lines(150);
    struct Case {
        QStringList args;
        QString pattern;
        QString first;
    };
    const Case cases[] = {
        {{"--type", "MicroPDF417"}, "part-%d.png", "part-1.png"},
        {{"--type", "TruncatedMicroPDF417", "--angle", "90", "--module", "3"}, "part-%03d.svg", "part-001.svg"},
        {{"--type", "MicroPDF417", "--columns", "0", "--rows", "12", "--width", "1200", "--height", "150"},
         "part-%02d.tif",
         "part-01.tif"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        QTemporaryDir dir;
        const ToolRun r = Pdf417(QStringList{"--value", value, "--split", "-o", dir.filePath(c.pattern)} + c.args);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const QStringList files = r.out.split('\n', Qt::SkipEmptyParts);
        ASSERT_GE(files.size(), 3);
        EXPECT_EQ(files[0], dir.filePath(c.first));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), files.size());
        std::string joined;
        std::string id;
        for (int i = 0; i < files.size(); ++i) {
            const VandrelTest::TReading reading = ReadFile(files[i]);
            ASSERT_TRUE(reading.valid) << files[i].toStdString();
            EXPECT_EQ(reading.sequenceIndex, i);
            EXPECT_EQ(reading.lastInSequence, i + 1 == files.size());
            if (i == 0)
                id = reading.sequenceId;
            EXPECT_EQ(reading.sequenceId, id);
            joined += reading.bytes;
        }
        EXPECT_EQ(QString::fromStdString(joined), value);
    }
}

TEST(Pdf417Cli, PasswordsComeFromAFileOrTheEnvironment)
{
    QTemporaryDir dir;
    const QString file = WriteFile(dir, "password.txt", "s3cret\nnot this line\n");
    const QStringList value{"--codewords", "--value", "payroll", "--encrypt"};
    const ToolRun given = Pdf417(value + QStringList{"--password", "s3cret"});
    ASSERT_EQ(given.code, 0) << given.err.toStdString();
    EXPECT_EQ(Pdf417(value + QStringList{"--password-file", file}).out, given.out);
    EXPECT_EQ(Pdf417(value, "s3cret").out, given.out);
    // An option given wins over the environment.
    EXPECT_EQ(Pdf417(value + QStringList{"--password", "s3cret"}, "other").out, given.out);
    EXPECT_NE(Pdf417(value, "other").out, given.out);
}

// A record the encoder refuses, or too long to carry, is skipped and named;
// the others are written; the batch ends with 3.
TEST(Pdf417Cli, DatabaseRecordsTheEncoderRefusesAreSkipped)
{
    struct Case {
        QString sql;
        QStringList args;
        QStringList written; // the record numbers
        QStringList said;
        int code;
    };
    const Case cases[] = {
        {"SELECT CASE id WHEN 2 THEN printf('%2000s', 'x') WHEN 3 THEN printf('%600s', 'x') ELSE name END "
         "AS v FROM products ORDER BY id",
         {"--columns", "3"},
         {"1", "4", "5", "6"},
         {"record 2: the value is longer than 1850 bytes", "record 3: recalcu is error!; skipped",
          "wrote 4 labels, skipped 2 records"},
         3},
        {"SELECT ean AS v FROM products ORDER BY id",
         {"--mode", "numeric"},
         {"1", "2", "5", "6"},
         {"record 3: the field 'v' is empty; skipped", "record 4: the field 'v' is null; skipped"},
         3},
        {"SELECT name AS v FROM products ORDER BY id",
         {"--mode", "numeric"},
         {},
         {"record 1: Invalid string; skipped", "record 6: Invalid string; skipped"},
         3},
        {"SELECT '' AS v UNION ALL SELECT 'x'",
         {"--on-empty", "repeat"},
         {"2"},
         {"record 1: the field is empty and no record before it was written; skipped"},
         3},
        {"SELECT name AS v FROM products",
         {"--encrypt", "--mode", "text", "--password", "pw"},
         {},
         {"PLEASE SET CODEMODE AS bMode"},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql.toStdString());
        QTemporaryDir dir;
        const ToolRun r = Pdf417(
            QStringList{"--db", VANDREL_SAMPLE_DB, "--sql", c.sql, "--field", "v", "-o", dir.filePath("p-%d.png")} +
            c.args);
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        for (const QString& said : c.said)
            EXPECT_TRUE(r.err.contains(said)) << r.err.toStdString();
        QStringList written;
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files, QDir::Name))
            written << name.section('-', 1).section('.', 0, 0);
        EXPECT_EQ(written, c.written);
    }
}
