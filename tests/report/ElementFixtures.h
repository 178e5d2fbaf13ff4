#pragma once
// What the tests of the report's barcode elements share: an A4 report in
// millimetres run into a recording preview that stands for a 600-dpi
// printer, the check that a property reaches the control only when it
// changes, and a table of codes for the data-aware elements.
#include "core/BarCode.h"
#include "platform/DataSet.h"
#include "print/PreviewFixtures.h"
#include "report/Printable.h"
#include "report/QuickRep.h"
#include "support/Database.h"

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QVariant>

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace VandrelTest {

// The preview's resolution when no printer is installed.
constexpr int PreviewDpi = 600;
// The report's margins and its detail band's height, in millimetres.
constexpr double MarginMM = 10;
constexpr double BandMM = 40;

// An A4 report in millimetres with one detail band, whatever printers the
// machine has.
struct ReportOnA4 {
    ReportOnA4() { Band->SetHeight(BandMM); }

    // A new element of type E on the band, at `mm` from the band's corner.
    template <typename E>
    E* Place(const QRectF& mm)
    {
        auto* e = new E(Band);
        e->Size().SetLeft(mm.left());
        e->Size().SetTop(mm.top());
        e->Size().SetWidth(mm.width());
        e->Size().SetHeight(mm.height());
        return e;
    }

    void Run() { Report.PrintTo(&Preview); }

    // Where an element at `mm` on the band lands on page 1 for the detail
    // band of record `record` (0-based): device pixels of the printable area.
    QRect PageArea(const QRectF& mm, int record = 0)
    {
        const int offsetX = (Preview.GetFullPageWidth() - Preview.GetPageWidth()) / 2;
        const int offsetY = (Preview.GetFullPageHeight() - Preview.GetPageHeight()) / 2;
        const auto pixels = [](double v) { return int(std::nearbyint(v / 25.4 * PreviewDpi)); };
        const double top = MarginMM + record * BandMM;
        return QRect(pixels(MarginMM + mm.left()) - offsetX, pixels(top + mm.top()) - offsetY, pixels(mm.width()),
                     pixels(mm.height()));
    }

    // What page 1 of the last run shows within `area`, on white.
    QImage Picture(const QRect& area)
    {
        QImage image(area.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(-area.topLeft());
        Preview.DrawPage(nullptr, &painter, 1);
        return image;
    }

    Vandrel::TQuickRep Report;
    Vandrel::TQRBand* Band = new Vandrel::TQRBand(&Report, Vandrel::TQRBandType::rbDetail);
    NoPrinterPreview Preview;
};

// The message of the EReportError that `run` raises; empty when none.
template <typename Run>
std::string ReportError(Run&& run)
{
    try {
        run();
    } catch (const Vandrel::EReportError& e) {
        return e.what();
    }
    return {};
}

// Runs the report: what `element` tells, asked before its band prints, and
// the message of the EReportError the run raises (empty for none).
template <typename Element>
std::pair<std::string, std::string> ProblemAndError(ReportOnA4& r, Element& element)
{
    std::string problem;
    r.Report.OnFilter = [&] {
        problem = element.PrintProblem().toStdString();
        return true;
    };
    return {problem, ReportError([&] { r.Run(); })};
}

struct MirroredCase {
    const char* property;
    QVariant changed;
};

// Each property, set to the value it has, reaches neither the control nor
// the screen; set to `changed`, it repaints the element once and the control
// holds the value too. The rows run in order on the one element.
inline void ExpectMirrored(Vandrel::TQRPrintable& element, Vandrel::TBarCode& control,
                           std::initializer_list<MirroredCase> cases)
{
    QObject counting;
    int elementRepaints = 0;
    int controlRepaints = 0;
    QObject::connect(&element, &Vandrel::TQRPrintable::invalidated, &counting, [&] { ++elementRepaints; });
    QObject::connect(&control, &Vandrel::TBarCode::invalidated, &counting, [&] { ++controlRepaints; });
    for (const MirroredCase& k : cases) {
        SCOPED_TRACE(k.property);
        const QVariant before = element.property(k.property);
        ASSERT_NE(before, k.changed) << "the row must change the value";
        elementRepaints = controlRepaints = 0;
        ASSERT_TRUE(element.setProperty(k.property, before));
        EXPECT_EQ(elementRepaints, 0);
        EXPECT_EQ(controlRepaints, 0);
        element.setProperty(k.property, k.changed);
        EXPECT_EQ(element.property(k.property), k.changed);
        EXPECT_EQ(control.property(k.property), k.changed);
        EXPECT_EQ(elementRepaints, 1);
    }
}

// Resizing an element on a report passes its size in the report's units,
// unconverted, to the control's SymbolWidth and SymbolHeight; the control
// takes the element's size in design pixels.
template <typename Element>
void ExpectSymbolSizeInReportUnits()
{
    struct Case {
        Vandrel::TQRUnit units;
        double width;
        double height;
    };
    for (const Case& k : {Case{Vandrel::TQRUnit::MM, 50, 20}, Case{Vandrel::TQRUnit::Inch, 2, 0.75}}) {
        SCOPED_TRACE(int(k.units));
        ReportOnA4 r;
        r.Report.SetUnits(k.units);
        auto* e = new Element(r.Band);
        int repaints = 0;
        QObject::connect(e, &Vandrel::TQRPrintable::invalidated, [&] { ++repaints; });
        e->Size().SetWidth(k.width);
        e->Size().SetHeight(k.height);
        EXPECT_FLOAT_EQ(e->BarCodeControl()->SymbolWidth(), float(k.width));
        EXPECT_FLOAT_EQ(e->BarCodeControl()->SymbolHeight(), float(k.height));
        EXPECT_EQ(e->BarCodeControl()->size(), e->size());
        EXPECT_EQ(repaints, 2);
    }
}

// Codes for the data-aware elements: one empty and one NULL among them.
inline const QStringList Codes{
    "CREATE TABLE codes (id INTEGER PRIMARY KEY, code TEXT)",
    "INSERT INTO codes VALUES (1, '1001')",
    "INSERT INTO codes VALUES (2, '')",
    "INSERT INTO codes VALUES (3, NULL)",
    "INSERT INTO codes VALUES (4, '1004')",
};

// A data-aware element bound to the codes through a data source.
template <typename T>
struct BoundElement {
    BoundElement(const QString& connection, bool readOnly)
    {
        DataSet.SetConnectionName(connection);
        DataSet.SetSQL("SELECT id, code FROM codes ORDER BY id");
        DataSet.SetReadOnly(readOnly);
        Source.SetDataSet(&DataSet);
        Element.SetDataField("code");
        Element.SetDataSource(&Source);
    }
    Vandrel::TDataSet DataSet;
    Vandrel::TDataSource Source;
    T Element;
};

// The value follows the records, an empty or NULL field keeps the previous
// record's, a read-only dataset is never taken from, and opening and
// closing the dataset repaint.
template <typename Element>
void ExpectTakesValuesFromTheField(const QString& connection)
{
    TestDatabase db(connection, Codes);
    {
        BoundElement<Element> b(db.Name(), false);
        int repaints = 0;
        QObject::connect(&b.Element, &Vandrel::TQRPrintable::invalidated, [&] { ++repaints; });
        b.DataSet.Open();
        EXPECT_GE(repaints, 1);
        std::vector<std::string> seen;
        for (b.DataSet.First(); !b.DataSet.Eof(); b.DataSet.Next())
            seen.push_back(b.Element.BarValue());
        EXPECT_EQ(seen, (std::vector<std::string>{"1001", "1001", "1001", "1004"}));
        EXPECT_EQ(b.Element.BarCodeControl()->BarValueText(), "1004");
        repaints = 0;
        b.DataSet.Close();
        EXPECT_EQ(repaints, 1);
    }
    {
        BoundElement<Element> b(db.Name(), true);
        const std::string initial = b.Element.BarValue();
        b.DataSet.Open();
        for (b.DataSet.First(); !b.DataSet.Eof(); b.DataSet.Next())
            EXPECT_EQ(b.Element.BarValue(), initial);
    }
}

} // namespace VandrelTest
