// The demo application: its window drawn by `vandrel-demo --grab` and read
// back by an independent reader, its refusals, its property panel and window
// driven in this process, and the reader example of the README.
#define ZX_USE_UTF8 1
#include "apps/demo/DemoWindow.h"
#include "apps/demo/PropertyPanel.h"
#include "print/PrinterPreview.h"
#include "support/Oracle.h"
#include "support/Tool.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <ZXing/ReadBarcode.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace VandrelTest {

using namespace Vandrel;

namespace {

// Runs a program with neither a platform nor a display named: whatever it
// needs of them it must arrange itself.
ToolRun RunHeadless(const QString& program, const QStringList& args)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    return RunProgram(program, args, environment);
}

// Every PDF417 symbol of a picture: the window shows two, and ReadSymbol
// answers with one.
std::multiset<std::string> Pdf417Texts(const QImage& picture)
{
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::PDF417);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                                int(grey.bytesPerLine()));
    std::multiset<std::string> texts;
    for (const ZXing::Result& result : ZXing::ReadBarcodes(view, hints))
        texts.insert(result.text());
    return texts;
}

template <typename T>
T* Child(const QObject& parent, const char* name)
{
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

QPushButton* Button(const QWidget& window, const QString& text)
{
    for (QPushButton* button : window.findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

} // namespace

TEST(DemoGrab, TheWindowsSymbolsReadBack)
{
    QTemporaryDir dir;
    const QString png = dir.filePath("window.png");
    const ToolRun run = RunHeadless(VANDREL_DEMO, {"--grab", png});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QImage window(png);
    ASSERT_FALSE(window.isNull());
    // The controls with the values their panel shows, and the first product.
    EXPECT_EQ(ReadSymbol(window, ZXing::BarcodeFormat::Code128), "Vandrel demo");
    EXPECT_EQ(ReadSymbol(window, ZXing::BarcodeFormat::EAN13), "4006381333931");
    EXPECT_EQ(Pdf417Texts(window), (std::multiset<std::string>{"PDF417 drawn by a Qt widget", "Green tea, 100 g"}));
}

TEST(DemoGrab, RefusalsSayWhyAndWriteNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.png"));
    const QString notDatabase = dir.filePath("notes.sqlite");
    QFile notes(notDatabase);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly) && notes.write("not a database, only notes\n") > 0);
    notes.close();
    const QString png = dir.filePath("window.png");
    struct TCase {
        const char* why;
        QStringList args;
        const char* message;
    };
    const TCase cases[] = {
        {"a folder that does not exist", {"--grab", dir.filePath("missing/window.png")}, "cannot write"},
        {"a name taken by a folder", {"--grab", dir.filePath("taken.png")}, "cannot write"},
        {"no PNG name", {"--grab", dir.filePath("window.jpg")}, "--grab writes a .png file"},
        {"a database file that is missing", {"--db", dir.filePath("none.sqlite"), "--grab", png}, "no database file"},
        {"a file that is no database", {"--db", notDatabase, "--grab", png}, "not a database"},
        {"a window without a display", {}, "needs a display"},
    };
    for (const TCase& c : cases) {
        const ToolRun run = RunHeadless(VANDREL_DEMO, c.args);
        EXPECT_EQ(run.code, 1) << c.why;
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(c.message))) << c.why << ": " << run.err.toStdString();
        // Nothing written, not even a temporary file; a missing database is not created.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"notes.sqlite"}) << c.why;
        EXPECT_TRUE(QDir(dir.filePath("taken.png")).isEmpty()) << c.why;
    }
}

TEST(DemoGrab, HelpNeedsNoDisplay)
{
    const ToolRun run = RunHeadless(VANDREL_DEMO, {"--help"});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("--grab <FILE.png>") && run.out.contains("--db <FILE>")) << run.out.toStdString();
}

TEST(DemoPanel, EditsReachTheControlAtOnce)
{
    TSingleBarCode control;
    VandrelDemo::TPropertyPanel panel(&control);

    Child<QComboBox>(panel, "BarType")->setCurrentText("EAN13");
    EXPECT_EQ(control.BarType(), EAN13);
    QLineEdit* value = Child<QLineEdit>(panel, "BarValue");
    value->clear();
    QTest::keyClicks(value, "400638133393");
    EXPECT_EQ(control.BarValue(), "4006381333931"); // completed by the control
    Child<QCheckBox>(panel, "ShowText")->click();
    EXPECT_FALSE(control.ShowText());
    Child<QSpinBox>(panel, "PrintDPIX")->setValue(600);
    EXPECT_EQ(control.PrintDPIX, 600);
    Child<QDoubleSpinBox>(panel, "SymbolWidth")->setValue(1.5);
    EXPECT_FLOAT_EQ(control.SymbolWidth(), 1.5f);

    QLineEdit* color = Child<QLineEdit>(panel, "BarColor");
    color->clear();
    QTest::keyClicks(color, "navy");
    EXPECT_EQ(control.BarColor(), QColor(Qt::darkBlue));
    QTest::keyClicks(color, "x"); // names no colour: the last one stays
    EXPECT_EQ(control.BarColor(), QColor(Qt::darkBlue));

    Child<QWidget>(panel, "Font")->findChild<QSpinBox*>()->setValue(20);
    EXPECT_EQ(control.FontAsQFont().pixelSize(), 20);
}

TEST(DemoPanel, ShowsWhatIsDesignable)
{
    TBarPDF417 pdf417;
    const VandrelDemo::TPropertyPanel pdf417Panel(&pdf417);
    EXPECT_EQ(Child<QComboBox>(pdf417Panel, "ErrorLevel")->count(), 9);
    EXPECT_EQ(pdf417Panel.findChild<QWidget*>("geometry"), nullptr); // every widget's, not the control's

    // The data-aware value comes from its field: not edited. A data source is
    // no value a panel can take.
    TDBSingleBarCode bound;
    const VandrelDemo::TPropertyPanel boundPanel(&bound);
    EXPECT_NE(boundPanel.findChild<QLineEdit*>("DataField"), nullptr);
    EXPECT_EQ(boundPanel.findChild<QWidget*>("BarValue"), nullptr);
    EXPECT_EQ(boundPanel.findChild<QWidget*>("DataSource"), nullptr);
}

class DemoWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(VandrelDemo::OpenProducts(VANDREL_SAMPLE_DB), QString()); }
};

TEST_F(DemoWindow, ScrollsThroughTheProducts)
{
    VandrelDemo::TDemoWindow window;
    const auto* ean = Child<TDBSingleBarCode>(window, "DBLinear");
    const auto* name = Child<TDBBarPDF417>(window, "DBPdf417");
    const auto* record = Child<QLabel>(window, "Record");
    struct TStep {
        const char* button;
        int n;
        const char* ean; // null: the product has no EAN, and no symbol shows
        const char* name;
    };
    const TStep steps[] = {
        {nullptr, 1, "4006381333931", "Green tea, 100 g"}, {"Next", 2, "5901234123457", "Tea cup"},
        {"Next", 3, nullptr, "Tea pot, no code yet"},      {"Next", 4, nullptr, "Sugar, 500 g"},
        {"Last", 6, "9771234567003", "Lemon slices"},      {"Prior", 5, "9780201379624", "Honey jar"},
        {"First", 1, "4006381333931", "Green tea, 100 g"},
    };
    for (const TStep& step : steps) {
        if (step.button)
            Button(window, step.button)->click();
        const std::string at = "product " + std::to_string(step.n);
        EXPECT_TRUE(record->text().startsWith(QStringLiteral("Product %1 of 6: %2").arg(step.n).arg(step.name)))
            << record->text().toStdString();
        EXPECT_EQ(ean->isHidden(), step.ean == nullptr) << at;
        if (step.ean) {
            EXPECT_EQ(ean->BarValue(), step.ean) << at;
        }
        EXPECT_EQ(name->BarValue(), step.name) << at;
        EXPECT_EQ(Button(window, "Prior")->isEnabled(), step.n > 1) << at;
        EXPECT_EQ(Button(window, "Next")->isEnabled(), step.n < 6) << at;
    }
}

TEST_F(DemoWindow, ReadsBackWhatItCopies)
{
    VandrelDemo::TDemoWindow window;
    auto* choice = Child<QComboBox>(window, "Control");
    const auto* text = Child<QPlainTextEdit>(window, "ReadText");
    const auto* messages = Child<QPlainTextEdit>(window, "Messages");
    choice->setCurrentIndex(1);
    Button(window, "Copy to clipboard")->click();
    window.ReadClipboard();
    EXPECT_EQ(text->toPlainText(), "PDF417 drawn by a Qt widget");

    // A protected payload reads back with the password given in the window.
    auto* pdf417 = Child<TBarPDF417>(window, "Pdf417");
    pdf417->FSetCodeMode(bMode); // a protected payload is bytes
    pdf417->SetPasswordText("teapot");
    pdf417->FSetIsEncrypt(true);
    Button(window, "Copy to clipboard")->click();
    Child<QLineEdit>(window, "ReaderPassword")->setText("teapot");
    window.ReadClipboard();
    EXPECT_EQ(text->toPlainText(), "PDF417 drawn by a Qt widget") << text->toPlainText().toStdString();
    EXPECT_TRUE(messages->toPlainText().isEmpty()) << messages->toPlainText().toStdString();

    // What cannot be read is said in the window, and the text box emptied.
    choice->setCurrentIndex(0);
    Button(window, "Copy to clipboard")->click(); // a 1D symbol: no PDF417 in it
    window.ReadClipboard();
    EXPECT_TRUE(text->toPlainText().isEmpty());
    EXPECT_TRUE(messages->toPlainText().endsWith("Don't Scan barcode picture"))
        << messages->toPlainText().toStdString();
    window.ReadFile(VANDREL_SAMPLE_DB);
    EXPECT_TRUE(messages->toPlainText().contains(QStringLiteral("Cannot read '%1'").arg(VANDREL_SAMPLE_DB)))
        << messages->toPlainText().toStdString();
}

TEST_F(DemoWindow, PreviewRecordsTheChosenControl)
{
    VandrelDemo::TDemoWindow window;
    Button(window, "Preview")->click();
    ASSERT_NE(BarPreviewForm, nullptr);
    EXPECT_EQ(PrinterPreview()->Pages().size(), 1u);
    EXPECT_TRUE(Child<QPlainTextEdit>(window, "Messages")->toPlainText().isEmpty());
}

TEST(DemoExamples, TheReaderPrintsTheBytesOfAPicture)
{
    QTemporaryDir dir;
    const QString png = dir.filePath("zint.png");
    // zint draws the symbol: a reader of our own pictures only would prove less.
    const ToolRun zint = RunProgram("zint", {"--barcode=PDF417", "--data=Read by the example", "--output=" + png});
    ASSERT_EQ(zint.code, 0) << zint.err.toStdString();

    const ToolRun read = RunHeadless(VANDREL_EXAMPLE_READER, {png});
    EXPECT_EQ(read.code, 0) << read.err.toStdString();
    EXPECT_EQ(read.out, "Read by the example");
    const ToolRun missing = RunHeadless(VANDREL_EXAMPLE_READER, {dir.filePath("none.png")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains("Don't Scan barcode picture")) << missing.err.toStdString();
}

} // namespace VandrelTest
