// The base control: property rules, quarter-turn geometry, device metrics and
// image export.
#include "core/BarCode.h"
#include "linear/SingleBarcode.h"
#include "support/Capture.h"
#include "support/Oracle.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace VandrelTest {

using namespace Vandrel;

namespace {

// Counts the repaint requests of a control.
struct InvalidateCounter {
    explicit InvalidateCounter(TBarCode& control)
    {
        QObject::connect(&control, &TBarCode::invalidated, [this] { ++count; });
    }
    int count = 0;
};

QStringList Entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

TEST(BarCode, NewControlHasPublishedDefaults)
{
    TBarCode c;
    EXPECT_EQ(c.width(), 200);
    EXPECT_EQ(c.height(), 100);
    EXPECT_EQ(c.Alignment(), taCenter);
    EXPECT_EQ(c.Angle(), _0);
    EXPECT_EQ(c.BarBackColor(), QColor(Qt::white));
    EXPECT_EQ(c.BarColor(), QColor(Qt::black));
    EXPECT_FALSE(c.Transparent());
    EXPECT_EQ(c.UnitType(), Inch);
    EXPECT_EQ(c.PrintDPIX, 300);
    EXPECT_EQ(c.PrintDPIY, 300);
    EXPECT_EQ(c.SymbolWidth(), 0.0f);
    EXPECT_EQ(c.SymbolHeight(), 0.0f);
}

TEST(BarCode, SettersRepaintOnlyOnChange)
{
    struct Case {
        const char* name;
        std::function<void(TBarCode&)> sameValue;
        std::function<void(TBarCode&)> newValue;
        int repaints; // for the new value
    };
    const Case cases[] = {
        {"Alignment", [](TBarCode& c) { c.FSetAlignment(taCenter); }, [](TBarCode& c) { c.FSetAlignment(taLeft); }, 1},
        {"Angle", [](TBarCode& c) { c.FSetAngle(_0); }, [](TBarCode& c) { c.FSetAngle(_270); }, 1},
        {"BarBackColor", [](TBarCode& c) { c.FSetBarBackColor(Qt::white); },
         [](TBarCode& c) { c.FSetBarBackColor(Qt::yellow); }, 1},
        {"BarColor", [](TBarCode& c) { c.FSetBarColor(Qt::black); }, [](TBarCode& c) { c.FSetBarColor(Qt::blue); }, 1},
        {"Transparent", [](TBarCode& c) { c.FSetTransparent(false); }, [](TBarCode& c) { c.FSetTransparent(true); }, 1},
        {"SymbolWidth", [](TBarCode& c) { c.FSetSymbolWidth(0); }, [](TBarCode& c) { c.FSetSymbolWidth(25.4f); }, 0},
        {"SymbolHeight", [](TBarCode& c) { c.FSetSymbolHeight(0); }, [](TBarCode& c) { c.FSetSymbolHeight(10); }, 0},
        {"UnitType", [](TBarCode& c) { c.FSetUnitType(Inch); }, [](TBarCode& c) { c.FSetUnitType(MM); }, 0},
    };
    for (const Case& k : cases) {
        TBarCode c;
        InvalidateCounter counter(c);
        k.sameValue(c);
        EXPECT_EQ(counter.count, 0) << k.name;
        k.newValue(c);
        EXPECT_EQ(counter.count, k.repaints) << k.name;
    }
}

TEST(BarCode, TransparentIsTheAbsenceOfTheOpaqueFlag)
{
    TBarCode c;
    EXPECT_TRUE(c.testAttribute(Qt::WA_OpaquePaintEvent));
    c.FSetTransparent(true);
    EXPECT_FALSE(c.testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_TRUE(c.Transparent());
    EXPECT_TRUE(c.property("Transparent").toBool());
}

TEST(BarCode, ResizeRepaints)
{
    TBarCode c;
    InvalidateCounter counter(c);
    c.resize(300, 120);
    c.show(); // resize events reach a visible widget at once
    EXPECT_GE(counter.count, 1);
}

TEST(BarCode, GetRotateRectCoversTheTurnedRectangle)
{
    struct Case {
        TAngleType angle;
        TRect r;
        TPoint t;
        TRect expected;
    };
    const Case cases[] = {
        {_0, {0, 0, 10, 4}, {0, 100}, {0, 100, 10, 104}},       {_90, {0, 0, 10, 4}, {0, 100}, {0, 90, 4, 100}},
        {_180, {0, 0, 10, 4}, {200, 100}, {190, 96, 200, 100}}, {_270, {0, 0, 10, 4}, {200, 0}, {196, 0, 200, 10}},
        {_90, {3, 5, 13, 9}, {0, 100}, {5, 87, 9, 97}},
    };
    for (const Case& k : cases) {
        TBarCode c;
        c.FSetAngle(k.angle);
        TRect r = k.r;
        c.GetRotateRect(r, k.t);
        EXPECT_EQ(r, k.expected) << "angle " << k.angle;
    }
}

TEST(BarCode, GetRotatePointFollowsTheQuarterTurns)
{
    const TPoint expected[] = {{13, 25}, {15, 17}, {7, 15}, {5, 23}};
    for (int a = 0; a < 4; ++a) {
        TBarCode c;
        c.FSetAngle(TAngleType(a));
        EXPECT_EQ(c.GetRotatePoint({3, 5}, {10, 20}), expected[a]) << a;
        EXPECT_EQ(c.GetRotatePoint({3, 5}, {10, 20}), Translate2D(Rotate2D({3, 5}, a * M_PI / 2), {10, 20})) << a;
    }
}

TEST(BarCode, PixelsPerMillimetreRoundToNearest)
{
    struct Case {
        int dpi;
        int perMM;
    };
    for (const Case k : {Case{300, 12}, Case{96, 4}, Case{600, 24}}) {
        QImage device(10, 10, QImage::Format_RGB32);
        device.setDotsPerMeterX(qRound(k.dpi / 0.0254));
        device.setDotsPerMeterY(qRound(k.dpi / 0.0254));
        EXPECT_EQ(TBarCode::GetPixPerInchSX(&device), k.dpi);
        EXPECT_EQ(TBarCode::GetPixPerMMSX(&device), k.perMM) << k.dpi;
        EXPECT_EQ(TBarCode::GetPixPerMMSY(&device), k.perMM) << k.dpi;
    }
}

TEST(BarCode, EmfFileNameCutsTheFileNameAtItsFirstDot)
{
    const std::pair<const char*, const char*> cases[] = {
        {"code.wmf", "code.EMF"},
        {"code.emf", "code.EMF"},
        {"out/code.bmp", "out/code.EMF"},
        {"out.v2/code", "out.v2/code.EMF"}, // a dot in a directory does not cut the path
        {"out.v2/code.tar.gz", "out.v2/code.EMF"},
        {"code", "code.EMF"}, // no dot: the extension is added
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(TBarCode::EmfFileName(in), QString(out)) << in;
}

TEST(BarCode, CheckFilePathNeverTouchesUserFiles)
{
    QTemporaryDir dir;
    const QString path = dir.path() + '/';
    for (const char* name : {"tmp.txt", "keep.dat"}) {
        QFile f(path + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("user data");
    }
    TBarCode c;
    MessageCapture capture;
    EXPECT_TRUE(c.CheckFilePath(path));
    EXPECT_TRUE(capture.Messages.isEmpty());
    EXPECT_EQ(Entries(dir.path()), (QStringList{"keep.dat", "tmp.txt"}));
    for (const char* name : {"tmp.txt", "keep.dat"}) {
        QFile f(path + name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("user data")) << name;
    }
}

TEST(BarCode, ExportsIntoAMissingDirectoryTellTheUserAndWriteNothing)
{
    QTemporaryDir dir;
    const QString missing = dir.path() + "/missing/";
    TCustomSingleBarCode c;
    MessageCapture capture;
    EXPECT_FALSE(c.CheckFilePath(missing));
    c.SaveToJpg(missing + "code.jpg");
    c.SaveToEmf(missing + "code.emf");
    ASSERT_EQ(capture.Messages.size(), 3);
    for (const QString& m : capture.Messages)
        EXPECT_EQ(m, "'" + missing + "' Isn't Exsit!");
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

TEST(BarCode, ExportsWriteDecodablePictures)
{
    QTemporaryDir dir;
    TCustomSingleBarCode c;
    c.FSetBarType(Code39);
    c.FSetBarValue("ABC");
    QImage expected;
    c.CreateBMP(expected);

    c.SaveToJpg(dir.path() + "/code.jpg");
    const QImage jpg(dir.path() + "/code.jpg", "jpg");
    ASSERT_FALSE(jpg.isNull());
    EXPECT_EQ(jpg.size(), QSize(200, 100));

    c.SaveToEmf(dir.path() + "/code.wmf");
    QFile emf(dir.path() + "/code.EMF");
    ASSERT_TRUE(emf.open(QIODevice::ReadOnly));
    const QByteArray bytes = emf.readAll();
    ASSERT_GE(bytes.size(), 88);
    EXPECT_EQ(bytes.left(4), QByteArray("\x01\0\0\0", 4)); // EMR_HEADER
    EXPECT_TRUE(bytes.contains(QByteArray("b\0m\0p\0 \0t\0o\0 \0e\0m\0f\0", 20)));
    EXPECT_TRUE(bytes.contains(QByteArray("V\0"
                                          "1\0.\0"
                                          "0\0",
                                          8)));
    EXPECT_EQ(Entries(dir.path()), (QStringList{"code.EMF", "code.jpg"}));
}

TEST(BarCode, ClipboardGetsTheControlsSymbol)
{
    for (const bool transparent : {false, true}) {
        TCustomSingleBarCode c;
        c.resize(240, 90);
        c.FSetBarType(Code39);
        c.FSetBarValue("CLIP");
        c.FSetTransparent(transparent);
        QGuiApplication::clipboard()->clear();
        c.CopyToClipboard();
        const QImage pasted = QGuiApplication::clipboard()->image();
        EXPECT_EQ(pasted.size(), QSize(240, 90)) << transparent;
        EXPECT_EQ(ReadSymbol(pasted, ZXing::BarcodeFormat::Code39), "CLIP") << transparent;
    }
}

} // namespace VandrelTest
