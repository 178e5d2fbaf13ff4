// vandrel scan as a user runs it: pictures of several symbols, whole and
// incomplete sequences, damaged pictures, and files that are no pictures.
#include "support/Pictures.h"
#include "support/Tool.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>
#include <vector>

namespace VandrelTest {

namespace {

ToolRun Vandrel(const QStringList& args)
{
    return RunTool(args);
}

ToolRun Scan(const QStringList& args)
{
    return Vandrel(QStringList{"scan"} + args);
}

// Draws with `vandrel pdf417` into `file` and loads the picture.
QImage Pdf417(const QStringList& args, const QString& file)
{
    const ToolRun r = Vandrel(QStringList{"pdf417"} + args + QStringList{"-o", file});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    return QImage(file);
}

QByteArray Letters(int count)
{
    QByteArray letters;
    for (int i = 0; i < count; ++i)
        letters += char('a' + i % 26);
    return letters;
}

// `a` and `b` in one picture, side by side or one above the other, on white.
QImage Compose(const QImage& a, const QImage& b, bool sideBySide)
{
    const QSize size = sideBySide ? QSize(a.width() + b.width(), std::max(a.height(), b.height()))
                                  : QSize(std::max(a.width(), b.width()), a.height() + b.height());
    QImage both(size, QImage::Format_RGB32);
    both.fill(Qt::white);
    QPainter painter(&both);
    painter.drawImage(0, 0, a);
    painter.drawImage(sideBySide ? QPoint(a.width(), 0) : QPoint(0, a.height()), b);
    return both;
}

QByteArray Header(const char* kind, int n, int of, const QByteArray& where, qsizetype bytes)
{
    return kind + QByteArray(" ") + QByteArray::number(n) + " of " + QByteArray::number(of) + ": " +
           (where.isEmpty() ? QByteArray() : where + ", ") + QByteArray::number(bytes) + " bytes\n";
}

} // namespace

TEST(ScanCommand, FilesThatAreNoPicturesSaySo)
{
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return dir.filePath(name);
    };
    QDir(dir.path()).mkdir("folder.png");
    const QImage good = Pdf417({"--value", "cut short"}, dir.filePath("good.png"));
    QFile png(dir.filePath("good.png"));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    const QByteArray head = png.read(60);
    QImage white(200, 80, QImage::Format_RGB32);
    white.fill(Qt::white);
    white.save(dir.filePath("white.png"));
    struct Case {
        QString file;
        QString err; // the whole of standard error
    };
    const Case cases[] = {
        {"missing.png", "vandrel: cannot read '%1': No such file or directory\n"},
        {dir.filePath("folder.png"), "vandrel: '%1' is a directory, not a picture\n"},
        {write("x.txt", "not a picture\n"), "vandrel: '%1' is not a picture (Unsupported image format)\n"},
        {write("empty.png", ""), "vandrel: '%1' is not a picture (Unsupported image format)\n"},
        // The picture decoder may have its say first ("libpng error: ...").
        {write("cut.png", head), "vandrel: '%1' is not a picture ("},
        {dir.filePath("white.png"), "No any Information!\nDon't Scan barcode picture\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        const ToolRun r = Scan({c.file});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.bytes.isEmpty());
        const QString err = c.err.contains("%1") ? c.err.arg(c.file) : c.err;
        if (err.endsWith('\n')) {
            EXPECT_EQ(r.err, err);
        } else {
            const QString last = r.err.section('\n', -2, -2);
            EXPECT_TRUE(last.startsWith(err)) << r.err.toStdString();
            EXPECT_FALSE(r.err.contains("Don't Scan")) << r.err.toStdString();
        }
    }
    // Usage errors come first.
    for (const QStringList& args : {QStringList{}, QStringList{"a.png", "b.png"}, QStringList{"--bogus", "a.png"}}) {
        const ToolRun r = Scan(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
}

TEST(ScanCommand, ASequenceReadsWhole)
{
    QTemporaryDir dir;
    const QByteArray value = Letters(600);
    struct Case {
        const char* name;
        QStringList args;
        int symbols;
    };
    const Case cases[] = {
        {"one symbol per line", {"--type", "MicroPDF417"}, 2},
        {"truncated", {"--type", "TruncatedMicroPDF417", "--module", "1"}, 2},
        {"two symbols per line", {"--type", "MicroPDF417", "--width", "600", "--height", "600", "--level", "4"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = dir.filePath(QString("seq-%1.png").arg(&c - cases));
        Pdf417(QStringList{"--value", value} + c.args, file);
        const ToolRun whole = Scan({file});
        EXPECT_EQ(whole.code, 0) << whole.err.toStdString();
        EXPECT_EQ(whole.bytes, value);
        EXPECT_EQ(whole.err, "");

        // Each symbol alone, with its segment index: the pieces in order.
        const ToolRun each = Scan({file, "--each"});
        EXPECT_EQ(each.code, 0) << each.err.toStdString();
        QByteArray rest = each.bytes, pieces, fileId;
        for (int i = 0; i < c.symbols; ++i) {
            const qsizetype eol = rest.indexOf('\n');
            ASSERT_GT(eol, 0);
            const QByteArray header = rest.left(eol + 1);
            const QByteArray expected = "symbol " + QByteArray::number(i + 1) + " of " + QByteArray::number(c.symbols) +
                                        ": segment " + QByteArray::number(i) + (i + 1 == c.symbols ? " (last)" : "") +
                                        " of file ";
            ASSERT_TRUE(header.startsWith(expected)) << header.toStdString();
            const QByteArray id = header.mid(expected.size()).split(',').front();
            EXPECT_EQ(id, fileId.isEmpty() ? id : fileId);
            fileId = id;
            const qsizetype bytes = header.split(' ').at(header.split(' ').size() - 2).toLongLong();
            pieces += rest.mid(eol + 1, bytes);
            EXPECT_EQ(rest.at(eol + 1 + bytes), '\n');
            rest = rest.mid(eol + 2 + bytes);
        }
        EXPECT_TRUE(rest.isEmpty());
        EXPECT_EQ(pieces, value);
    }
}

TEST(ScanCommand, AProtectedSequence)
{
    QTemporaryDir dir;
    const QByteArray value = Letters(500);
    const QString file = dir.filePath("secret.png");
    Pdf417({"--value", value, "--type", "MicroPDF417", "--encrypt", "--password", "s3cret"}, file);
    const ToolRun r = Scan({file, "--password", "s3cret"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.bytes, value + QByteArray(4, '\0')); // 500 bytes: 4 of padding fill the last block
}

TEST(ScanCommand, UnrelatedSymbolsEachAResult)
{
    QTemporaryDir dir;
    const QImage first = Pdf417({"--value", "first symbol"}, dir.filePath("a.png"));
    const QImage second =
        Pdf417({"--value", "second\nsymbol", "--type", "Truncated", "--columns", "5"}, dir.filePath("b.png"));
    const QImage sequence = Pdf417({"--value", Letters(600), "--type", "MicroPDF417"}, dir.filePath("s.png"));
    const QByteArray firstOut = Header("result", 1, 2, {}, 12) + "first symbol\n";
    struct Case {
        const char* name;
        QImage picture;
        QStringList options;
        QByteArray out;
    };
    const Case cases[] = {
        {"stacked", Compose(first, second, false), {}, firstOut + Header("result", 2, 2, {}, 13) + "second\nsymbol\n"},
        {"side by side",
         Compose(second, first, true),
         {},
         Header("result", 1, 2, {}, 13) + "second\nsymbol\n" + Header("result", 2, 2, {}, 12) + "first symbol\n"},
        {"each",
         Compose(first, second, true),
         {"--each"},
         Header("symbol", 1, 2, "no segment", 12) + "first symbol\n" + Header("symbol", 2, 2, "no segment", 13) +
             "second\nsymbol\n"},
        {"a symbol and a sequence", Compose(first, sequence, false), {}, firstOut},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = dir.filePath("both.png");
        ASSERT_TRUE(c.picture.save(file));
        const ToolRun r = Scan(QStringList{file} + c.options);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(r.err, "");
        EXPECT_TRUE(r.bytes.startsWith(c.out)) << r.bytes.left(200).toStdString();
        if (QByteArray(c.name) == "a symbol and a sequence") {
            const QByteArray rest = r.bytes.mid(c.out.size());
            ASSERT_TRUE(rest.startsWith("result 2 of 2: segments 0-1 of file ")) << rest.left(80).toStdString();
            EXPECT_TRUE(rest.endsWith(", 600 bytes\n" + Letters(600) + "\n"));
        } else {
            EXPECT_EQ(r.bytes, c.out);
        }
        // -o writes the same.
        const ToolRun o = Scan(QStringList{file, "-o", dir.filePath("out.bin")} + c.options);
        EXPECT_EQ(o.code, 0);
        EXPECT_TRUE(o.bytes.isEmpty());
        QFile out(dir.filePath("out.bin"));
        ASSERT_TRUE(out.open(QIODevice::ReadOnly));
        EXPECT_EQ(out.readAll(), r.bytes);
    }
}

TEST(ScanCommand, AnIncompleteSequenceNamesWhatIsMissing)
{
    QTemporaryDir dir;
    const QImage sequence = Pdf417({"--value", Letters(1500), "--type", "MicroPDF417"}, dir.filePath("s.png"));
    const auto bands = DarkBands(sequence);
    ASSERT_EQ(bands.size(), 3u) << "three symbols, one per line";
    struct Case {
        std::vector<size_t> blank; // symbols painted over
        QString err;
    };
    const Case cases[] = {
        {{1}, "Macro PDF417 sequence incomplete: segment 1 missing\n"},
        {{0}, "Macro PDF417 sequence incomplete: segment 0 missing\n"},
        {{2}, "Macro PDF417 sequence incomplete: segments after 1 missing\n"},
        {{0, 2}, "Macro PDF417 sequence incomplete: segment 0 and those after 1 missing\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err.toStdString());
        QImage picture = sequence;
        QPainter painter(&picture);
        for (const size_t gone : c.blank)
            painter.fillRect(0, bands[gone].first, picture.width(), bands[gone].second - bands[gone].first, Qt::white);
        painter.end();
        const QString file = dir.filePath("partial.png");
        ASSERT_TRUE(picture.save(file));
        const ToolRun r = Scan({file});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.bytes.isEmpty());
        EXPECT_EQ(r.err, c.err);
        // Each symbol alone still reads.
        const ToolRun each = Scan({file, "--each"});
        EXPECT_EQ(each.code, 0);
        EXPECT_EQ(each.bytes.count("symbol "), qsizetype(3 - c.blank.size()));
    }

    // Half a symbol gone: that symbol cannot be read, and so the sequence is incomplete.
    QImage picture = sequence;
    QPainter painter(&picture);
    painter.fillRect(0, bands[1].first, picture.width(), (bands[1].second - bands[1].first) / 2, Qt::white);
    painter.end();
    ASSERT_TRUE(picture.save(dir.filePath("half.png")));
    const ToolRun half = Scan({dir.filePath("half.png")});
    EXPECT_EQ(half.code, 1);
    EXPECT_TRUE(half.bytes.isEmpty());
    EXPECT_TRUE(half.err.endsWith("1 of 3 symbols in the picture could not be read\n")) << half.err.toStdString();
    const ToolRun each = Scan({dir.filePath("half.png"), "--each"});
    EXPECT_EQ(each.code, 1);
    EXPECT_EQ(each.bytes.count("symbol "), 2);
    EXPECT_TRUE(each.err.endsWith("1 of 3 symbols in the picture could not be read\n"));
}

// A picture cut one module into the stop pattern once read as a truncated
// symbol with its right row indicator taken for data ("Vandradel pro"); cut
// anywhere behind the data columns it reads exactly.
TEST(ScanCommand, ACutPictureIsNotMisread)
{
    QTemporaryDir dir;
    const QImage picture = Pdf417({"--value", "Vandrel probe"}, dir.filePath("probe.png"));
    const int module = 2;
    int right = 0; // one past the stop pattern's closing bar
    for (int x = 0; x < picture.width(); ++x)
        for (int y = 0; y < picture.height(); ++y)
            if (qGray(picture.pixel(x, y)) < 128)
                right = x + 1;
    const int stop = right - 18 * module;
    struct Case {
        int width;
        bool reads;
    };
    // Cut into the stop pattern it reads as a truncated symbol, as wide as its
    // left row indicators declare.
    const Case cases[] = {
        {picture.width(), true}, {right, true}, {stop + module, true}, {stop + 3 * module, true}, {stop, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const QString file = dir.filePath("cut.png");
        ASSERT_TRUE(picture.copy(0, 0, c.width, picture.height()).save(file));
        const ToolRun r = Scan({file});
        EXPECT_EQ(r.code, c.reads ? 0 : 1);
        EXPECT_EQ(r.bytes, c.reads ? QByteArray("Vandrel probe") : QByteArray());
        if (!c.reads) {
            EXPECT_TRUE(r.err.endsWith("Don't Scan barcode picture\n")) << r.err.toStdString();
        }
    }
}

// The tool's own output, turned, truncated and at the smallest module, reads
// back exactly.
TEST(ScanCommand, QuarterTurnsRead)
{
    QTemporaryDir dir;
    const QByteArray value = "Vandrel turns 0123456789";
    for (const int angle : {0, 90, 180, 270})
        for (const char* type : {"Normal", "Truncated"})
            for (const char* module : {"1", "2"}) {
                SCOPED_TRACE(testing::Message() << angle << " " << type << " module " << module);
                const QString file = dir.filePath(QString("turn-%1-%2-%3.png").arg(angle).arg(type).arg(module));
                Pdf417({"--value", value, "--angle", QString::number(angle), "--type", type, "--module", module}, file);
                const ToolRun r = Scan({file});
                EXPECT_EQ(r.code, 0) << r.err.toStdString();
                EXPECT_EQ(r.bytes, value);
            }
}

TEST(ScanCli, PasswordsNeedNotStandOnTheCommandLine)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath("secret.png");
    Pdf417({"--value", "Vandrel secret", "--encrypt", "--password", "s3cret"}, picture);
    QFile file(dir.filePath("password"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("s3cret\n");
    file.close();
    // The value deciphers, followed by the zero padding of its last cipher block.
    const QByteArray expected = QByteArray("Vandrel secret") + QByteArray(2, '\0');
    EXPECT_EQ(Scan({picture, "--password-file", file.fileName()}).bytes, expected);
    EXPECT_EQ(RunTool({"scan", picture}, {"VANDREL_PASSWORD=s3cret"}).bytes, expected);
    // The option wins over the environment.
    EXPECT_NE(RunTool({"scan", picture, "--password", "other"}, {"VANDREL_PASSWORD=s3cret"}).bytes, expected);

    const ToolRun both = Scan({picture, "--password", "a", "--password-file", file.fileName()});
    EXPECT_EQ(both.code, 2);
    const ToolRun missing = Scan({picture, "--password-file", dir.filePath("none")});
    EXPECT_EQ(missing.code, 2);
    EXPECT_TRUE(missing.err.contains("No such file or directory")) << missing.err.toStdString();
}

} // namespace VandrelTest
