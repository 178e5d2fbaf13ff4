#pragma once
// The library's units, started in a fixed order when the library is loaded
// and stopped in the reverse order when it is unloaded. Two of them set up
// process-wide state: BarVPrt creates VirtualPrinter (and frees it), BarPrView
// registers the preview's cursors. Each unit keeps a counter so that its
// actions run once per process however often it is started: start counts
// down and acts on 0 -> -1, stop counts up and acts on the return to 0.
#include "core/Export.h"

#include <span>
#include <string_view>

namespace Vandrel {

struct TUnit {
    std::string_view Name;
    void (*Start)(); // null: nothing to do
    void (*Stop)();
};

// The units in start order.
VANDREL_EXPORT std::span<const TUnit> Units();

// A unit's counter: 0 when stopped, -1 once started, lower when started again.
VANDREL_EXPORT int UnitCounter(std::string_view name);

// Start or stop one unit. An unknown name is a programming error (EListError).
VANDREL_EXPORT void StartUnit(std::string_view name);
VANDREL_EXPORT void StopUnit(std::string_view name);

// Every unit in order, or in reverse; the library calls them when it is loaded
// and unloaded.
VANDREL_EXPORT void StartUnits();
VANDREL_EXPORT void StopUnits();

} // namespace Vandrel
