// The library's units: their order, their counters, what the two units with
// actions set up, and loading without a GUI application.
#include "package/Units.h"
#include "core/Exceptions.h"
#include "print/Cursors.h"
#include "print/VirtualPrinter.h"
#include "support/Tool.h"

#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace VandrelTest {

using namespace Vandrel;

TEST(Units, AllStartedInOrderWhenTheLibraryIsLoaded)
{
    const std::vector<std::string_view> order{
        "Data",    "BarCode",       "SingleBarcode", "Gost",     "BarPDF417", "QRSingleBarCode", "ScanBarCode",
        "BarVPrt", "BarPreviewFrm", "BarPrView",     "BarPrint", "QRPDF417",  "BarcodeReg"};
    std::vector<std::string_view> names;
    for (const TUnit& unit : Units()) {
        names.push_back(unit.Name);
        EXPECT_EQ(UnitCounter(unit.Name), -1) << unit.Name;
    }
    EXPECT_EQ(names, order);
    EXPECT_THROW(StartUnit("NoSuchUnit"), EListError);
}

TEST(Units, StartActsOnlyOnTheFirstStartAndStopOnlyOnTheLast)
{
    TVirtualPrinter* const loaded = VirtualPrinter;
    StartUnit("BarVPrt");
    EXPECT_EQ(UnitCounter("BarVPrt"), -2);
    EXPECT_EQ(VirtualPrinter, loaded);
    StopUnit("BarVPrt");
    EXPECT_EQ(UnitCounter("BarVPrt"), -1);
    EXPECT_EQ(VirtualPrinter, loaded);

    StopUnit("BarVPrt");
    EXPECT_EQ(UnitCounter("BarVPrt"), 0);
    EXPECT_EQ(VirtualPrinter, nullptr);
    StartUnit("BarVPrt");
    EXPECT_EQ(UnitCounter("BarVPrt"), -1);
    EXPECT_NE(VirtualPrinter, nullptr);

    // The cursors stay registered across a stop; a new start finds them there.
    const int magnifier = crMagnifier;
    ASSERT_GT(magnifier, 0);
    StopUnit("BarPrView");
    StartUnit("BarPrView");
    EXPECT_EQ(crMagnifier, magnifier);
    EXPECT_EQ(UnitCounter("BarPrView"), -1);
}

// The probe creates no TBarPrint and no GUI application: VirtualPrinter and
// the cursors are there as soon as the library is loaded, and nothing at unit
// start or stop needs a display. Nor does loading look up any Qt plugin: done
// before the application exists, the lookup would miss the plugins beside it.
TEST(Units, LoadingStartsTheUnitsWithoutADisplay)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_DEBUG_PLUGINS"), QStringLiteral("1"));
    const ToolRun probe = RunProgram(QStringLiteral(VANDREL_LOAD_PROBE), {}, environment);
    const QString& said = probe.err;
    EXPECT_EQ(probe.code, 0) << said.toStdString();
    EXPECT_FALSE(said.contains(QStringLiteral("plugin"))) << said.toStdString();
}

} // namespace VandrelTest
