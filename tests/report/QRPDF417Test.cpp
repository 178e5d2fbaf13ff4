// The PDF417 element of a band report: its properties reach the control
// only when they change, a value the control refuses leaves both at the old
// one, the designer and the page show the symbol (on the page with modules
// as wide on paper as in the designer), a symbol the element cannot hold is
// refused, and the data-aware element takes its value from a field. Then
// elements of both kinds together in report runs.
#include "report/QRPDF417.h"
#include "report/ElementFixtures.h"
#include "report/QRSingleBarCode.h"
#include "support/Capture.h"
#include "support/Oracle.h"
#include "support/Pictures.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <functional>

namespace VandrelTest {

using namespace Vandrel;
using ZXing::BarcodeFormat;

namespace {

// Three data columns of 2-pixel modules, printed at 600 dpi: 12-pixel
// modules, and rows three modules high. From the first bar of the start
// pattern to the last of the stop pattern a row is 120 modules long.
constexpr int PrintedBarX = 12;
constexpr int PrintedRowHeight = 36;
constexpr int PrintedSymbolWidth = 120 * PrintedBarX;

// An element that blackens its place on the page: what lies beneath the
// barcode elements placed after it.
class TBlackPatch : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    void Print(double X, double Y) override { QRPrinter()->Canvas()->fillRect(PageRect(X, Y), Qt::black); }
};

} // namespace

TEST(QRPDF417, AFreshElementStartsFromTheControlsValues)
{
    TQRPDF417 e;
    EXPECT_EQ(e.size(), QSize(120, 40));
    EXPECT_EQ(e.BarValue(), "PDF417");
    EXPECT_EQ(e.ErrorLevel(), Level1);
    EXPECT_EQ(e.DataColumn(), 3);
    EXPECT_EQ(e.DataRow(), 0);
    EXPECT_EQ(e.CodeMode(), tMode);
    EXPECT_EQ(e.PDFType(), Normal);
    EXPECT_EQ(e.Alignment(), taCenter);
    EXPECT_FLOAT_EQ(e.Aspect(), 3.0f);
    EXPECT_EQ(e.BarX(), 2);
    const TBarPDF417& c = *e.BarCodeControl();
    EXPECT_EQ(c.size(), e.size());
    EXPECT_EQ(c.BarValue(), "PDF417");
    EXPECT_FLOAT_EQ(c.Aspect(), e.Aspect());
    EXPECT_EQ(c.BarX(), e.BarX());
    EXPECT_EQ(c.RowHeight(), 6);
    EXPECT_EQ(c.parent(), nullptr);
    EXPECT_FALSE(c.isVisible());
}

TEST(QRPDF417, APropertyReachesTheControlOnlyWhenItChanges)
{
    TQRPDF417 e;
    ExpectMirrored(e, *e.BarCodeControl(),
                   {
                       {"BarValue", QString("Changed")},
                       {"Angle", QVariant::fromValue(_90)},
                       {"BarBackColor", QColor(Qt::yellow)},
                       {"BarColor", QColor(Qt::blue)},
                       {"Alignment", QVariant::fromValue(taLeft)},
                       {"ErrorLevel", QVariant::fromValue(Level3)},
                       {"DataColumn", 5},
                       {"DataRow", 10},
                       {"PDFType", QVariant::fromValue(Truncated)},
                       {"CodeMode", QVariant::fromValue(bMode)},
                       {"IsEncrypt", true}, // allowed in byte mode, set just above
                       {"Password", QString("secret")},
                       {"Aspect", 4.0f},
                       {"BarX", 3},
                       {"Transparent", true},
                   });
}

TEST(QRPDF417, AValueTheControlRefusesLeavesBothAtTheOldOne)
{
    struct Case {
        const char* name;
        std::function<void(TQRPDF417&)> prepare;
        std::function<void(TQRPDF417&)> refused;
        const char* property;
        const char* error;   // raised by the control
        const char* message; // or shown by it
    };
    const auto nothing = [](TQRPDF417&) {};
    const Case cases[] = {
        {"Aspect below 3.0", [](TQRPDF417& e) { e.FSetAspect(4.0f); }, [](TQRPDF417& e) { e.FSetAspect(2.5f); },
         "Aspect", "Aspect >= 3.00", nullptr},
        {"DataColumn above 30", nothing, [](TQRPDF417& e) { e.FSetDataColumn(31); }, "DataColumn", nullptr,
         "DataColumn <= 30 "},
        {"DataRow above 90", [](TQRPDF417& e) { e.FSetDataRow(10); }, [](TQRPDF417& e) { e.FSetDataRow(91); },
         "DataRow", nullptr, "DataRow <= 90 And DataRow >= 3"},
        {"IsEncrypt outside byte mode", nothing, [](TQRPDF417& e) { e.FSetIsEncrypt(true); }, "IsEncrypt", nullptr,
         "PLEASE SET CODEMODE AS bMode"},
        {"a password over 32 bytes", nothing, [](TQRPDF417& e) { e.FSetPassword(std::string(33, 'x')); }, "Password",
         nullptr, "Length of Password <= 32!"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TQRPDF417 e;
        k.prepare(e);
        const QVariant before = e.property(k.property);
        int repaints = 0;
        QObject::connect(&e, &TQRPrintable::invalidated, [&] { ++repaints; });
        MessageCapture messages;
        std::string error;
        try {
            k.refused(e);
        } catch (const Exception& x) {
            error = x.what();
        }
        EXPECT_EQ(error, k.error ? k.error : "");
        EXPECT_EQ(messages.Messages, k.message ? QStringList{k.message} : QStringList{});
        EXPECT_EQ(e.property(k.property), before);
        EXPECT_EQ(e.BarCodeControl()->property(k.property), before);
        EXPECT_EQ(repaints, 0);
    }
}

// The control keeps its row height until Aspect is set; the element keeps
// the rows Aspect module widths high.
TEST(QRPDF417, RowsStayAspectModulesHighWhenBarXChanges)
{
    TQRPDF417 e;
    e.FSetBarX(4);
    EXPECT_EQ(e.BarCodeControl()->RowHeight(), 12);
    e.FSetAspect(5.0f);
    EXPECT_EQ(e.BarCodeControl()->RowHeight(), 20);
    e.FSetBarX(3);
    EXPECT_EQ(e.BarCodeControl()->RowHeight(), 15);
}

TEST(QRPDF417, TheDesignerShowsTheSymbol)
{
    TQRPDF417 e;
    e.resize(300, 100);
    EXPECT_EQ(ReadSymbol(e.grab().toImage(), BarcodeFormat::PDF417), "PDF417");
}

TEST(QRPDF417, ResizingPassesTheReportsUnitsToTheSymbolSize)
{
    ExpectSymbolSizeInReportUnits<TQRPDF417>();
}

TEST(QRPDF417, ASymbolTheElementCannotHoldIsRefused)
{
    struct Case {
        const char* name;
        TAngleType angle;
        QRectF mm;
    };
    // The symbol needs 63 mm along its rows and some 7 mm across them.
    const Case cases[] = {
        {"too narrow for its columns", _0, {5, 5, 40, 30}},
        {"too low for its rows", _0, {5, 5, 80, 4}},
        {"upright, too low for its columns", _90, {5, 5, 80, 30}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ReportOnA4 r;
        auto* e = r.Place<TQRPDF417>(k.mm);
        e->FSetAngle(k.angle);
        // Asked before the band prints, the element tells what Print refuses.
        const auto [problem, error] = ProblemAndError(r, *e);
        EXPECT_NE(error.find("PDF417 element is too small"), std::string::npos) << error;
        EXPECT_EQ(problem, error);
        EXPECT_FALSE(r.Preview.Printing());
        // The designer's control is back.
        EXPECT_EQ(e->BarCodeControl()->size(), e->size());
        EXPECT_EQ(e->BarCodeControl()->BarX(), 2);
        EXPECT_EQ(e->BarCodeControl()->RowHeight(), 6);
    }
}

TEST(DBQRPDF417, TakesItsValueFromAModifiableNonEmptyField)
{
    ExpectTakesValuesFromTheField<TDBQRPDF417>("qr-pdf417-data");
}

// The symbols land inside their elements, read back, and are drawn at the
// printer's resolution: the linear one spans its element, the PDF417 one
// has modules as wide on paper as in the designer.
TEST(QRElements, OneOfEachKindPrintsReadableAtItsPlace)
{
    ReportOnA4 r;
    const QRectF linearMM(5, 5, 60, 20);
    const QRectF pdfMM(80, 5, 80, 30);
    auto* linear = r.Place<TQRSingleBarCode>(linearMM);
    linear->FSetBarType(Code128_B);
    linear->FSetBarValue("Vandrel report");
    auto* pdf = r.Place<TQRPDF417>(pdfMM);
    pdf->FSetBarValue("PDF417 on paper");
    r.Run();
    ASSERT_EQ(r.Preview.Pages().size(), 1u);

    struct Case {
        const char* name;
        QRect area;
        BarcodeFormat format;
        const char* value;
    };
    const Case cases[] = {
        {"linear", r.PageArea(linearMM), BarcodeFormat::Code128, "Vandrel report"},
        {"PDF417", r.PageArea(pdfMM), BarcodeFormat::PDF417, "PDF417 on paper"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const QRect around = k.area.adjusted(-60, -60, 60, 60);
        const QImage picture = r.Picture(around);
        const QRect painted = PaintedBox(picture, Qt::white).translated(around.topLeft());
        EXPECT_TRUE(k.area.contains(painted))
            << "painted " << painted.x() << "," << painted.y() << " " << painted.width() << "x" << painted.height();
        EXPECT_EQ(ReadSymbol(picture, k.format), k.value);
        if (k.format == BarcodeFormat::Code128) {
            EXPECT_GT(painted.width(), k.area.width() * 8 / 10);
        } else {
            EXPECT_EQ(painted.width(), PrintedSymbolWidth);
            EXPECT_EQ(painted.height() % PrintedRowHeight, 0) << painted.height();
        }
    }
}

// Printed symbols are opaque over whatever lies beneath; the elements stay
// transparent, and their controls are as the designer had them.
TEST(QRElements, TransparentElementsPrintOpaqueAndStayTransparent)
{
    ReportOnA4 r;
    r.Place<TBlackPatch>({0, 0, 190, 40});
    const QRectF linearMM(5, 5, 60, 20);
    const QRectF pdfMM(80, 5, 80, 30);
    auto* linear = r.Place<TQRSingleBarCode>(linearMM);
    linear->FSetBarType(Code128_B);
    linear->FSetBarValue("Over black");
    linear->FSetTransparent(true);
    auto* pdf = r.Place<TQRPDF417>(pdfMM);
    pdf->FSetBarValue("Over black");
    pdf->FSetTransparent(true);
    r.Run();

    EXPECT_EQ(ReadSymbol(r.Picture(r.PageArea(linearMM)), BarcodeFormat::Code128), "Over black");
    EXPECT_EQ(ReadSymbol(r.Picture(r.PageArea(pdfMM)), BarcodeFormat::PDF417), "Over black");
    EXPECT_TRUE(linear->Transparent());
    EXPECT_TRUE(pdf->Transparent());
    EXPECT_TRUE(linear->BarCodeControl()->Transparent());
    EXPECT_TRUE(pdf->BarCodeControl()->Transparent());
    EXPECT_EQ(linear->BarCodeControl()->size(), linear->size());
    EXPECT_EQ(linear->BarCodeControl()->Font(), linear->Font());
    EXPECT_EQ(pdf->BarCodeControl()->size(), pdf->size());
    EXPECT_EQ(pdf->BarCodeControl()->BarX(), 2);
    EXPECT_EQ(pdf->BarCodeControl()->RowHeight(), 6);
}

// Each detail band prints the record the report stands on; an empty or NULL
// field prints the previous record's value.
TEST(QRElements, DataAwareElementsPrintTheValueOfEachRecord)
{
    TestDatabase db("qr-run-data", Codes);
    TDataSet codes;
    codes.SetConnectionName(db.Name());
    codes.SetSQL("SELECT id, code FROM codes ORDER BY id");
    TDataSource source;
    source.SetDataSet(&codes);
    ReportOnA4 r;
    r.Report.SetDataSet(&codes);
    const QRectF linearMM(5, 5, 60, 20);
    const QRectF pdfMM(80, 5, 80, 30);
    auto* linear = r.Place<TDBQRSingleBarCode>(linearMM);
    linear->FSetBarType(Code128_B);
    auto* pdf = r.Place<TDBQRPDF417>(pdfMM);
    for (TDataAware* e : std::initializer_list<TDataAware*>{linear, pdf}) {
        e->SetDataField("code");
        e->SetDataSource(&source);
    }
    r.Run();

    const char* printed[] = {"1001", "1001", "1001", "1004"};
    for (int record = 0; record < 4; ++record) {
        SCOPED_TRACE(record);
        EXPECT_EQ(ReadSymbol(r.Picture(r.PageArea(linearMM, record)), BarcodeFormat::Code128), printed[record]);
        EXPECT_EQ(ReadSymbol(r.Picture(r.PageArea(pdfMM, record)), BarcodeFormat::PDF417), printed[record]);
    }
}

} // namespace VandrelTest
