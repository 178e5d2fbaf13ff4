#include "report/QuickRep.h"
#include "report/Labels.h"

#include "platform/DataSet.h"
#include "platform/DeviceCaps.h"
#include "platform/Printer.h"
#include "print/PreviewFixtures.h"
#include "support/Database.h"
#include "support/Pictures.h"
#include "support/PrintedPages.h"

#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace VandrelTest {

using namespace Vandrel;

namespace {

// An element that notes where and when the report printed it.
class Probe : public TQRPrintable {
public:
    struct Printed {
        int page;
        int record;
        QRect rect;
    };
    using TQRPrintable::TQRPrintable;
    TDataSet* Data = nullptr;
    std::vector<Printed> Log;

    void Print(double X, double Y) override
    {
        TQRPrintable::Print(X, Y);
        Log.push_back({QRPrinter()->PageNumber(), Data ? Data->RecNo() : 0, PageRect(X, Y)});
    }
};

QStringList Records(int count)
{
    QStringList sql{"CREATE TABLE items (id INTEGER PRIMARY KEY, name TEXT)"};
    for (int i = 1; i <= count; ++i)
        sql << QStringLiteral("INSERT INTO items (name) VALUES ('item %1')").arg(i);
    return sql;
}

// Device pixels of the no-printer preview (600 dpi, margins 130 and 150
// pixels) for millimetres from the sheet's corner.
int PreviewX(double mm)
{
    return int(std::nearbyint(mm / 25.4 * 600)) - 130;
}
int PreviewY(double mm)
{
    return int(std::nearbyint(mm / 25.4 * 600)) - 150;
}

// A label sheet: A4 with 3 columns of 63.5 x 38.1 mm labels 2.54 mm apart,
// a 5 mm page header and footer.
struct LabelSheet {
    TQuickRep Report;
    TQRBand* Header = new TQRBand(&Report, TQRBandType::rbPageHeader);
    TQRBand* Detail = new TQRBand(&Report, TQRBandType::rbDetail);
    TQRBand* Footer = new TQRBand(&Report, TQRBandType::rbPageFooter);
    Probe* HeaderProbe = new Probe(Header);
    Probe* Label = new Probe(Detail);
    Probe* FooterProbe = new Probe(Footer);

    LabelSheet()
    {
        Report.SetLeftMargin(7.21);
        Report.SetRightMargin(7.21);
        Report.SetTopMargin(10);
        Report.SetBottomMargin(10);
        Report.SetColumns(3);
        Report.SetColumnSpace(2.54);
        Header->SetHeight(5);
        Footer->SetHeight(5);
        Detail->SetHeight(38.1);
        for (Probe* p : {HeaderProbe, FooterProbe}) {
            p->Size().SetWidth(20);
            p->Size().SetHeight(5);
        }
        Label->Size().SetLeft(0);
        Label->Size().SetTop(0);
        Label->Size().SetWidth(63.5);
        Label->Size().SetHeight(38.1);
    }
};

} // namespace

TEST(QuickRep, ThirtyLabelsInThreeColumnsFillTwoPagesAcrossThenDown)
{
    TestDatabase db("labels30", Records(30));
    TDataSet data;
    data.SetConnectionName(db.Name());
    data.SetSQL("SELECT id, name FROM items ORDER BY id");
    LabelSheet sheet;
    sheet.Report.SetDataSet(&data);
    sheet.Label->Data = &data;
    NoPrinterPreview printer;

    sheet.Report.PrintTo(&printer);

    // Between the header (ending at 15 mm) and the footer (from 282 mm) 7 rows
    // of 38.1 mm fit: 21 labels on page 1, 9 on page 2.
    EXPECT_NEAR(sheet.Report.ColumnWidth(), 63.5, 1e-9);
    EXPECT_EQ(sheet.Report.PageCount(), 2);
    EXPECT_EQ(printer.Pages().size(), 2u);
    EXPECT_FALSE(data.Active()) << "the run opened the dataset and closes it again";
    ASSERT_EQ(sheet.Label->Log.size(), 30u);
    for (int i = 0; i < 30; ++i) {
        const Probe::Printed& p = sheet.Label->Log[i];
        const int slot = i % 21;
        const double left = 7.21 + (slot % 3) * (63.5 + 2.54);
        const double top = 15 + (slot / 3) * 38.1;
        SCOPED_TRACE(i);
        EXPECT_EQ(p.record, i + 1);
        EXPECT_EQ(p.page, 1 + i / 21);
        EXPECT_NEAR(p.rect.left(), PreviewX(left), 1);
        EXPECT_NEAR(p.rect.top(), PreviewY(top), 1);
        EXPECT_NEAR(p.rect.right() + 1, PreviewX(left + 63.5), 1);
        EXPECT_NEAR(p.rect.bottom() + 1, PreviewY(top + 38.1), 1);
    }
    // Page header and footer on every page, at the margins.
    ASSERT_EQ(sheet.HeaderProbe->Log.size(), 2u);
    ASSERT_EQ(sheet.FooterProbe->Log.size(), 2u);
    for (int page = 1; page <= 2; ++page) {
        EXPECT_EQ(sheet.HeaderProbe->Log[page - 1].page, page);
        EXPECT_EQ(sheet.HeaderProbe->Log[page - 1].rect.top(), PreviewY(10));
        EXPECT_EQ(sheet.FooterProbe->Log[page - 1].page, page);
        EXPECT_NEAR(sheet.FooterProbe->Log[page - 1].rect.bottom() + 1, PreviewY(297 - 10), 1);
    }
}

TEST(QuickRep, BandsPrintInTheirOrderAndTheSummaryBreaksToANewPage)
{
    TQuickRep report;
    std::vector<std::pair<TQRBandType, Probe*>> bands;
    // Placed out of order on purpose: the band type decides the order.
    for (TQRBandType type : {TQRBandType::rbSummary, TQRBandType::rbDetail, TQRBandType::rbTitle,
                             TQRBandType::rbPageFooter, TQRBandType::rbColumnHeader, TQRBandType::rbPageHeader}) {
        auto* band = new TQRBand(&report, type);
        band->SetHeight(type == TQRBandType::rbDetail ? 255 : 5);
        auto* probe = new Probe(band);
        probe->Size().SetHeight(1);
        bands.emplace_back(type, probe);
    }
    NoPrinterPreview printer;
    report.PrintTo(&printer);

    // Header 10..15, title 15..20, column header 20..25, detail 25..280; the
    // summary (5 mm) no longer fits above the footer at 282 mm: page 2 has
    // the page header, the column header and the summary.
    const auto tops = [&](TQRBandType type) {
        std::vector<std::pair<int, int>> found;
        for (const auto& [t, probe] : bands)
            if (t == type)
                for (const Probe::Printed& p : probe->Log)
                    found.emplace_back(p.page, p.rect.top());
        return found;
    };
    using Tops = std::vector<std::pair<int, int>>;
    EXPECT_EQ(tops(TQRBandType::rbPageHeader), (Tops{{1, PreviewY(10)}, {2, PreviewY(10)}}));
    EXPECT_EQ(tops(TQRBandType::rbTitle), (Tops{{1, PreviewY(15)}}));
    EXPECT_EQ(tops(TQRBandType::rbColumnHeader), (Tops{{1, PreviewY(20)}, {2, PreviewY(15)}}));
    EXPECT_EQ(tops(TQRBandType::rbDetail), (Tops{{1, PreviewY(25)}}));
    EXPECT_EQ(tops(TQRBandType::rbSummary), (Tops{{2, PreviewY(20)}}));
    EXPECT_EQ(tops(TQRBandType::rbPageFooter), (Tops{{1, PreviewY(282)}, {2, PreviewY(282)}}));
}

TEST(QuickRep, DetailPrintsOnceWithoutDataNeverForNoRecordsAndNotForFilteredOnes)
{
    TestDatabase db("detailcounts", Records(5));
    TDataSet empty;
    empty.SetConnectionName(db.Name());
    empty.SetSQL("SELECT id FROM items WHERE id > 99");
    TDataSet five;
    five.SetConnectionName(db.Name());
    five.SetSQL("SELECT id FROM items ORDER BY id");
    struct Case {
        const char* name;
        TDataSet* data;
        bool filterOdd;
        std::vector<int> records;
    };
    for (const Case& c :
         {Case{"no dataset", nullptr, false, {0}}, Case{"no records", &empty, false, {}},
          Case{"five records", &five, false, {1, 2, 3, 4, 5}}, Case{"odd ones filtered", &five, true, {2, 4}}}) {
        SCOPED_TRACE(c.name);
        TQuickRep report;
        report.SetDataSet(c.data);
        if (c.filterOdd)
            report.OnFilter = [&] { return c.data->RecNo() % 2 == 0; };
        auto* detail = new TQRBand(&report, TQRBandType::rbDetail);
        auto* probe = new Probe(detail);
        probe->Data = c.data;
        NoPrinterPreview printer;
        report.PrintTo(&printer);
        std::vector<int> printed;
        for (const Probe::Printed& p : probe->Log)
            printed.push_back(p.record);
        EXPECT_EQ(printed, c.records);
        EXPECT_EQ(report.PageCount(), 1);
    }
}

TEST(QuickRep, UnitsConvertExactlyAndSizesFollowTheWidget)
{
    struct Case {
        TQRUnit unit;
        double value;
        double mm;
    };
    for (const Case c : {Case{TQRUnit::MM, 25.4, 25.4}, Case{TQRUnit::Inch, 1, 25.4}, Case{TQRUnit::Pixels, 96, 25.4},
                         Case{TQRUnit::Inch, 0.5, 12.7}, Case{TQRUnit::Pixels, 3, 0.79375}}) {
        TQuickRep report;
        report.SetUnits(c.unit);
        auto* band = new TQRBand(&report);
        auto* element = new Probe(band);
        element->Size().SetWidth(c.value);
        element->Size().SetLeft(c.value);
        EXPECT_DOUBLE_EQ(report.ToMillimetres(c.value), c.mm);
        EXPECT_DOUBLE_EQ(report.FromMillimetres(c.mm), c.value);
        EXPECT_DOUBLE_EQ(element->Size().Width(), c.value) << "set values read back unrounded";
        EXPECT_EQ(element->width(), int(std::nearbyint(c.mm / 25.4 * 96)));
        // The same place in other units: the element does not move.
        report.SetUnits(TQRUnit::MM);
        EXPECT_DOUBLE_EQ(element->Size().Left(), c.mm);
    }
    // Resizing the widget sets the size from design pixels.
    TQuickRep report;
    auto* band = new TQRBand(&report);
    auto* element = new Probe(band);
    element->setGeometry(48, 96, 192, 24);
    EXPECT_DOUBLE_EQ(element->Size().Left(), 12.7);
    EXPECT_DOUBLE_EQ(element->Size().Top(), 25.4);
    EXPECT_DOUBLE_EQ(element->Size().Width(), 50.8);
    EXPECT_DOUBLE_EQ(element->Size().GetValue(TQRPrintableSize::HeightIndex), 6.35);

    // And report units reach the page exactly: 1 inch is 600 pixels at 600 dpi.
    report.SetUnits(TQRUnit::Inch);
    report.SetLeftMargin(1);
    NoPrinterPreview printer;
    int x = 0;
    struct At : TQRPrintable {
        using TQRPrintable::TQRPrintable;
        int* X = nullptr;
        void Print(double X0, double) override { *X = QRPrinter()->XPos(X0 + 1); }
    };
    auto* at = new At(band);
    at->X = &x;
    report.PrintTo(&printer);
    EXPECT_EQ(x, 1200 - 130);
}

TEST(QuickRep, TheSheetSetsThePrintersPage)
{
    struct Case {
        const char* name;
        TQRPaperSize paper;
        bool landscape;
        double widthMM, heightMM;
    };
    for (const Case c :
         {Case{"A4", TQRPaperSize::A4, false, 210, 297}, Case{"Letter", TQRPaperSize::Letter, false, 215.9, 279.4},
          Case{"A4 landscape", TQRPaperSize::A4, true, 297, 210},
          Case{"label roll", TQRPaperSize::Custom, false, 100, 50}}) {
        SCOPED_TRACE(c.name);
        TQuickRep report;
        report.SetPaperSize(c.paper);
        if (c.paper == TQRPaperSize::Custom) {
            report.SetPaperWidth(100);
            report.SetPaperLength(50);
        }
        report.SetLandscape(c.landscape);
        new TQRBand(&report, TQRBandType::rbDetail);
        NoPrinterPreview printer;
        report.PrintTo(&printer);
        EXPECT_EQ(printer.GetFullPageWidth(), int(std::nearbyint(c.widthMM / 25.4 * 600)));
        EXPECT_EQ(printer.GetFullPageHeight(), int(std::nearbyint(c.heightMM / 25.4 * 600)));
    }
}

TEST(QuickRep, ARunThatCannotWorkIsRefusedBeforeAnythingIsPrinted)
{
    struct Case {
        const char* name;
        std::function<void(TQuickRep&)> setUp;
        const char* message;
    };
    const Case cases[] = {
        {"detail taller than the page", [](TQuickRep& r) { (new TQRBand(&r))->SetHeight(300); },
         "The detail band with the column header (300.0 mm) does not fit on a page: 277.0 mm are free"},
        {"column header and detail",
         [](TQuickRep& r) {
             (new TQRBand(&r))->SetHeight(100);
             (new TQRBand(&r, TQRBandType::rbColumnHeader))->SetHeight(180);
         },
         "The detail band with the column header (280.0 mm)"},
        {"margins",
         [](TQuickRep& r) {
             r.SetLeftMargin(105);
             r.SetRightMargin(105);
         },
         "The margins leave nothing of the 210.0 x 297.0 mm sheet to print on"},
        {"columns",
         [](TQuickRep& r) {
             r.SetColumns(3);
             r.SetColumnSpace(100);
         },
         "3 columns 100.0 mm apart do not fit between the margins"},
        // The preview's default printer cannot print within 5.5 mm across and 6.4 mm down.
        {"unprintable margin", [](TQuickRep& r) { r.SetTopMargin(5); },
         "The report's margins (left 10.0, top 5.0, right 10.0, bottom 10.0 mm) reach into the printer's "
         "unprintable margin of 5.5 mm across and 6.4 mm down"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TQuickRep report;
        c.setUp(report);
        NoPrinterPreview printer;
        try {
            report.PrintTo(&printer);
            ADD_FAILURE() << "printed";
        } catch (const EReportError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_FALSE(printer.GetPrinting());
        EXPECT_TRUE(printer.Pages().empty());
        EXPECT_EQ(report.QRPrinter(), nullptr);
    }
}

TEST(QuickRep, APrinterWithASmallerSheetIsRefused)
{
    FakePrinterPreview printer; // 4676 x 6744 pixels at 600 dpi, no margins
    TQuickRep report;
    new TQRBand(&report);
    try {
        report.PrintTo(&printer);
        ADD_FAILURE() << "printed";
    } catch (const EReportError& e) {
        EXPECT_STREQ(e.what(),
                     "The printer's sheet of 198.0 x 285.5 mm is smaller than the report's of 210.0 x 297.0 mm");
    }
    EXPECT_TRUE(printer.Pages().empty());
}

TEST(QuickRep, AFailingElementEndsTheJobAndTheErrorPassesOn)
{
    struct Failing : TQRPrintable {
        using TQRPrintable::TQRPrintable;
        void Print(double, double) override { throw EReportError("element failed"); }
    };
    TQuickRep report;
    new Failing(new TQRBand(&report));
    NoPrinterPreview printer;
    EXPECT_THROW(report.PrintTo(&printer), EReportError);
    EXPECT_FALSE(printer.GetPrinting());
    EXPECT_EQ(report.QRPrinter(), nullptr);
}

// The whole way to paper: a PDF of Letter sheets whose frames and words stand
// where the report put them.
TEST(QuickRep, PrintsFramedLabelsIntoAPdfOfTheReportsSheet)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    TPrinter pdfPrinter;
    pdfPrinter.SetOutputFileName(pdf);
    pdfPrinter.SetResolution(300);
    EXPECT_EQ(GetDeviceCaps(pdfPrinter.Handle(), PHYSICALOFFSETX), 0) << "a PDF can be printed to its edges";

    TestDatabase db("framed", Records(4));
    TDataSet data;
    data.SetConnectionName(db.Name());
    data.SetSQL("SELECT id, name FROM items ORDER BY id");
    TQuickRep report;
    report.SetPaperSize(TQRPaperSize::Letter);
    report.SetDataSet(&data);
    report.SetLeftMargin(20);
    report.SetTopMargin(20);
    report.SetColumns(2);
    report.SetColumnSpace(10);
    auto* detail = new TQRBand(&report);
    detail->SetHeight(120);
    auto* text = new TQRDBText(detail);
    text->SetDataSet(&data);
    text->SetDataField("name");
    text->Size().SetWidth(60);
    text->Size().SetHeight(20);
    TQRFrame frame;
    frame.DrawLeft = frame.DrawTop = frame.DrawRight = frame.DrawBottom = true;
    frame.Width = 2;
    text->SetFrame(frame);
    QFont font("DejaVu Sans");
    font.setPointSize(12);
    text->SetFont(font);
    {
        const TInstalledPrinter installed(&pdfPrinter);
        report.Print();
    }
    // Two rows of 120 mm fit on Letter (279.4 mm): 4 records on 1 page.
    ASSERT_EQ(PdfPageCount(pdf), 1);
    EXPECT_TRUE(RunProgram("pdfinfo", {pdf}).out.contains("612 x 792 pts")) << "a Letter sheet";
    const QImage page = PdfPage(pdf, 300);
    ASSERT_FALSE(page.isNull());
    const auto px = [](double mm) { return int(std::nearbyint(mm / 25.4 * 300)); };
    const double columnStep = (215.9 - 20 - 10 - 10) / 2 + 10;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const double left = 20 + (i % 2) * columnStep;
        const double top = 20 + (i / 2) * 120;
        const QRect cell(px(left) - 4, px(top) - 4, px(60) + 8, px(20) + 8);
        const QRect framed = PaintedBox(page.copy(cell), Qt::white);
        EXPECT_NEAR(framed.left(), 4, 2);
        EXPECT_NEAR(framed.top(), 4, 2);
        EXPECT_NEAR(framed.width(), px(60), 2);
        EXPECT_NEAR(framed.height(), px(20), 2);
    }
    EXPECT_EQ(PaintedBox(page.copy(px(20) + 10, px(140) + 10, px(60) - 20, px(20) - 20), Qt::white).isEmpty(), false)
        << "the third record's name is printed inside its frame";
}

} // namespace VandrelTest
