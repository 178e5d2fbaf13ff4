// The reader component on pictures our PDF417 controls draw: every source,
// protected payloads, and the failure paths.
#include "pdf417/BarPDF417.h"
#include "reader/ScanBarCode.h"
#include "support/Capture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Vandrel;
using VandrelTest::MessageCapture;

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
