#include "package/Units.h"

#include "core/Exceptions.h"
#include "print/Cursors.h"
#include "print/VirtualPrinter.h"

#include <algorithm>
#include <array>
#include <string>

namespace Vandrel {

namespace {

// The units with start or stop actions are BarVPrt and BarPrView; the others
// are listed for their place in the order. Nothing undoes the cursors.
constexpr std::array<TUnit, 13> TheUnits{{
    {"Data", nullptr, nullptr},
    {"BarCode", nullptr, nullptr},
    {"SingleBarcode", nullptr, nullptr},
    {"Gost", nullptr, nullptr},
    {"BarPDF417", nullptr, nullptr},
    {"QRSingleBarCode", nullptr, nullptr},
    {"ScanBarCode", nullptr, nullptr},
    {"BarVPrt", CreateVirtualPrinter, FreeVirtualPrinter},
    {"BarPreviewFrm", nullptr, nullptr},
    {"BarPrView", RegisterPreviewCursors, nullptr},
    {"BarPrint", nullptr, nullptr},
    {"QRPDF417", nullptr, nullptr},
    {"BarcodeReg", nullptr, nullptr},
}};

// Constant-initialised like the table, so both are ready before any of the
// library's static objects is built.
std::array<int, TheUnits.size()> Counters{};

std::size_t IndexOf(std::string_view name)
{
    const auto it =
        std::find_if(TheUnits.begin(), TheUnits.end(), [name](const TUnit& unit) { return unit.Name == name; });
    if (it == TheUnits.end())
        throw EListError("No unit " + std::string(name));
    return std::size_t(it - TheUnits.begin());
}

void Start(std::size_t index)
{
    if (--Counters[index] == -1 && TheUnits[index].Start)
        TheUnits[index].Start();
}

void Stop(std::size_t index)
{
    if (++Counters[index] == 0 && TheUnits[index].Stop)
        TheUnits[index].Stop();
}

// Starts the units when the library is loaded and stops them when it is
// unloaded. The unit actions rely on nothing that another static object of
// the library builds (the cursor unit registers its resources itself).
// An exception here, such as a missing cursor resource, fails the loading of
// the library: it ends the process.
struct TLoader {
    TLoader() { StartUnits(); }
    ~TLoader() { StopUnits(); }
    TLoader(const TLoader&) = delete;
    TLoader& operator=(const TLoader&) = delete;
};
const TLoader Loader;

} // namespace

std::span<const TUnit> Units()
{
    return TheUnits;
}

int UnitCounter(std::string_view name)
{
    return Counters[IndexOf(name)];
}

void StartUnit(std::string_view name)
{
    Start(IndexOf(name));
}

void StopUnit(std::string_view name)
{
    Stop(IndexOf(name));
}

void StartUnits()
{
    for (std::size_t i = 0; i < TheUnits.size(); ++i)
        Start(i);
}

void StopUnits()
{
    for (std::size_t i = TheUnits.size(); i-- > 0;)
        Stop(i);
}

} // namespace Vandrel
