// The reader component on pictures our PDF417 controls draw: every source,
// protected payloads, and the failure paths.
#include "reader/ScanBarCode.h"
#include "pdf417/BarPDF417.h"
#include "support/Capture.h"
#include "support/Pictures.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace VandrelTest {

using namespace Vandrel;

namespace {

std::string Bytes(const TMemoryStream& s)
{
    return std::string(reinterpret_cast<const char*>(s.Bytes().data()), s.Size());
}

struct Drawing {
    TCodeMode mode = tMode;
    TPDFType type = Normal;
    int level = 1;
    int barX = 2;
    float aspect = 3.0f;
    QColor back = Qt::white;
};

QImage Draw(const std::string& value, const Drawing& d = {}, const std::string& password = {})
{
    TBarPDF417 c;
    c.resize(900, 900);
    c.FSetBarBackColor(d.back);
    c.FSetCodeMode(d.mode);
    c.FSetPDFType(d.type);
    c.FSetErrorLevel(TErrorLevel(d.level));
    c.FSetBarX(d.barX);
    c.FSetAspect(d.aspect);
    c.FSetDataColumn(6);
    if (!password.empty()) {
        c.FSetIsEncrypt(true);
        c.FSetPassword(password);
    }
    c.FSetBarValue(value);
    QImage bmp;
    c.CreateBMP(bmp);
    return bmp;
}

std::string Scan(const QImage& picture, const std::string& password = {})
{
    TScanBarCode scanner;
    scanner.FSetPWD(password);
    scanner.SetSourceBitmap(picture);
    TMemoryStream out;
    scanner.ScanBarCode(out);
    return Bytes(out);
}

} // namespace

TEST(ScanBarCode, ReadsWhatTheControlsDraw)
{
    std::string binary;
    for (int i = 255; i >= 0; --i)
        binary += char(i);
    struct Case {
        std::string value;
        Drawing drawing;
    };
    const Case cases[] = {
        {"AB", {}},
        {"Vandrel reads what it writes", {tMode, Truncated, 0, 1}},
        {"1234567890123456789012345678901234567890", {nMode, Normal, 8, 3}},
        {binary, {bMode, Truncated, 4, 4, 4.0f}},
        {"Mixed 123456789012345 and \x01 bytes", {cMode, Normal, 2, 2, 5.0f, QColor(200, 200, 200)}},
    };
    for (const Case& k : cases)
        EXPECT_EQ(Scan(Draw(k.value, k.drawing)), k.value) << k.value.substr(0, 20);
}

TEST(ScanBarCode, ProtectedPayloads)
{
    const std::string value = "Vandrel reads what it writes"; // 28 bytes: 4 of padding follow
    const QImage picture = Draw(value, {bMode}, "s3cret");
    const std::string padded = value + std::string(4, '\0');
    EXPECT_EQ(Scan(picture, "s3cret"), padded);
    const std::string wrong = Scan(picture, "wrong");
    EXPECT_EQ(wrong.size(), padded.size());
    EXPECT_NE(wrong, padded);

    // Without a password the user is asked.
    QStringList asked;
    const TInputHandler previous = SetInputHandler([&](const QString& caption, const QString& prompt, const QString&) {
        asked << caption << prompt;
        return QStringLiteral("s3cret");
    });
    EXPECT_EQ(Scan(picture), padded);
    SetInputHandler(previous);
    EXPECT_EQ(asked, (QStringList{"PLEASE INPUT PASSWORD", "PASSWORD:"}));
}

TEST(ScanBarCode, FileAndClipboardSources)
{
    QTemporaryDir dir;
    TBarPDF417 c;
    c.resize(400, 200);
    c.FSetBarValue("from a file");
    c.SaveToJpg(dir.filePath("code.jpg")); // a lossy picture reads all the same
    QImage bmp;
    c.CreateBMP(bmp);
    bmp.save(dir.filePath("code.png"));

    TScanBarCode scanner;
    scanner.FSetSourceType(SoureFile);
    for (const char* name : {"code.png", "code.jpg"}) {
        scanner.PicFileName = dir.filePath(name);
        TMemoryStream out;
        scanner.ScanBarCode(out);
        EXPECT_EQ(Bytes(out), "from a file") << name;
    }

    c.CopyToClipboard();
    scanner.FSetSourceType(SourceClipBoard);
    TMemoryStream out;
    scanner.ScanBarCode(out);
    EXPECT_EQ(Bytes(out), "from a file");
}

TEST(ScanBarCode, UnreadablePicturesRaiseAndLeaveTheStreamAlone)
{
    QTemporaryDir dir;
    QFile notAPicture(dir.filePath("text.png"));
    ASSERT_TRUE(notAPicture.open(QIODevice::WriteOnly));
    notAPicture.write("not a picture");
    notAPicture.close();
    QImage blank(300, 100, QImage::Format_RGB32);
    blank.fill(Qt::white);

    MessageCapture capture;
    const auto attempt = [](TScanBarCode& scanner) {
        TMemoryStream out;
        out.Write("keep", 4);
        try {
            scanner.ScanBarCode(out);
            ADD_FAILURE() << "a read that finds no symbol must raise";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Don't Scan barcode picture");
        }
        EXPECT_EQ(Bytes(out), "keep");
    };
    TScanBarCode scanner;
    scanner.SetSourceBitmap(Draw("first")); // a successful read first...
    TMemoryStream first;
    scanner.ScanBarCode(first);
    scanner.SetSourceBitmap(blank); // ...must not leak into the next
    attempt(scanner);
    scanner.FSetSourceType(SoureFile);
    for (const QString& name : {dir.filePath("missing.png"), dir.filePath("text.png")}) {
        scanner.PicFileName = name;
        attempt(scanner);
    }
    QGuiApplication::clipboard()->clear();
    scanner.FSetSourceType(SourceClipBoard);
    attempt(scanner);
    EXPECT_TRUE(capture.Messages.contains("ClipBoard isn't Picture!"));
    EXPECT_TRUE(capture.Messages.contains("No any Information!"));
}

TEST(ScanBarCode, PasswordLengthAndSequenceSegments)
{
    TScanBarCode scanner;
    MessageCapture capture;
    scanner.FSetPWD(std::string(32, 'p'));
    scanner.FSetPWD(std::string(33, 'q'));
    EXPECT_EQ(scanner.Password(), std::string(32, 'p'));
    EXPECT_EQ(capture.Messages, QStringList{"Length of Password <= 32!"});

    // One symbol of a linked sequence reads back to its own piece.
    TBarPDF417 c;
    c.resize(300, 400);
    c.FSetPDFType(MicroPDF417);
    c.FSetBarValue("only one piece");
    QImage bmp;
    c.CreateBMP(bmp);
    scanner.FSetPWD("");
    scanner.SetSourceBitmap(bmp);
    TMemoryStream out;
    scanner.ScanBarCode(out);
    EXPECT_EQ(Bytes(out), "only one piece");
    ASSERT_TRUE(scanner.Macro().has_value());
    EXPECT_EQ(scanner.Macro()->SegmentIndex, 0);
}

namespace {

// A Micro control's whole sequence, one symbol per line.
QImage Sequence(const std::string& value, int width = 300, int height = 2000)
{
    TBarPDF417 c;
    c.resize(width, height);
    c.FSetPDFType(MicroPDF417);
    c.FSetBarValue(value);
    QImage bmp;
    c.CreateBMP(bmp);
    return bmp;
}

} // namespace

TEST(ScanBarCode, ASequenceReadsJoined)
{
    const std::string value = std::string(1400, 'S') + " end";
    const QImage picture = Sequence(value);
    ASSERT_EQ(DarkBands(picture).size(), 3u) << "three symbols, one per line";
    TScanBarCode scanner;
    scanner.SetSourceBitmap(picture);
    TMemoryStream out;
    scanner.ScanBarCode(out);
    EXPECT_EQ(Bytes(out), value);
    ASSERT_TRUE(scanner.Macro().has_value());
    EXPECT_EQ(scanner.Macro()->SegmentIndex, 2);
    EXPECT_TRUE(scanner.Macro()->Last);

    const TPictureScan each = scanner.ScanAll(TScanJoin::Each);
    EXPECT_EQ(each.Error, "");
    ASSERT_EQ(each.Results.size(), 3u);
    std::string joined;
    for (size_t i = 0; i < each.Results.size(); ++i) {
        EXPECT_EQ(each.Results[i].Segments, std::vector<int32_t>{int32_t(i)});
        joined += Bytes(each.Results[i].Data);
    }
    EXPECT_EQ(joined, value);
}

TEST(ScanBarCode, AnIncompleteSequenceSaysWhatIsMissing)
{
    QImage picture = Sequence(std::string(1400, 'S'));
    const auto bands = DarkBands(picture);
    ASSERT_EQ(bands.size(), 3u);
    QPainter painter(&picture);
    painter.fillRect(QRect(0, bands[1].first, picture.width(), bands[1].second - bands[1].first), Qt::white);
    painter.end();

    MessageCapture capture;
    TScanBarCode scanner;
    scanner.SetSourceBitmap(picture);
    TMemoryStream out;
    out.Write("keep", 4);
    try {
        scanner.ScanBarCode(out);
        ADD_FAILURE() << "an incomplete sequence must raise";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Don't Scan barcode picture");
    }
    EXPECT_EQ(Bytes(out), "keep");
    EXPECT_EQ(capture.Messages, QStringList{"Macro PDF417 sequence incomplete: segment 1 missing"});
    const TPictureScan scan = scanner.ScanAll();
    EXPECT_EQ(scan.Error, "Macro PDF417 sequence incomplete: segment 1 missing");
    EXPECT_TRUE(scan.Results.empty());
}

TEST(ScanBarCode, SeveralSymbolsGiveTheFirstAndScanAllGivesEvery)
{
    const QImage left = Draw("on the left"), right = Draw("on the right", {tMode, Truncated});
    QImage both(left.width() + right.width(), std::max(left.height(), right.height()), QImage::Format_RGB32);
    both.fill(Qt::white);
    QPainter painter(&both);
    painter.drawImage(0, 0, left);
    painter.drawImage(left.width(), 0, right);
    painter.end();

    TScanBarCode scanner;
    scanner.SetSourceBitmap(both);
    TMemoryStream out;
    scanner.ScanBarCode(out);
    EXPECT_EQ(Bytes(out), "on the left");
    const TPictureScan scan = scanner.ScanAll();
    EXPECT_EQ(scan.Error, "");
    ASSERT_EQ(scan.Results.size(), 2u);
    EXPECT_EQ(Bytes(scan.Results[0].Data), "on the left");
    EXPECT_EQ(Bytes(scan.Results[1].Data), "on the right");
}

// The engine shows nothing by itself; the component reports through the
// library's message hook.
TEST(ScanBarCode, HugeArithmeticReportsInvalidCharacters)
{
    struct Case {
        std::string (*operation)(std::string_view, std::string_view);
        const char* a;
        const char* b;
        const char* result;
    };
    const Case cases[] = {
        {TScanBarCode::HugeAdd, "99", "1", "100"},
        {TScanBarCode::HugeMulti, "12", "900", "10800"},
        {TScanBarCode::HugeAdd, "12a", "1", ""},
        {TScanBarCode::HugeMulti, "2", "+3", ""},
    };
    for (const Case& c : cases) {
        MessageCapture capture;
        EXPECT_EQ(c.operation(c.a, c.b), c.result) << c.a << ", " << c.b;
        EXPECT_EQ(capture.Messages, *c.result ? QStringList{} : QStringList{"Invalid char in Parameter!"});
    }
    TStrings decoded;
    EXPECT_TRUE(TScanBarCode::EncodeBC_Num("12@434@", 2, decoded));
    EXPECT_EQ(decoded, (TStrings{"49", "50", "51", "52"}));
}

} // namespace VandrelTest
