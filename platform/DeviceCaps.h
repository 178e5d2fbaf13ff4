#pragma once
// Device capability queries in the shape the drawing code expects.
#include "core/Export.h"

class QPaintDevice;

namespace Vandrel {

enum TDeviceCap : int {
    LOGPIXELSX,
    LOGPIXELSY,
    HORZSIZE,
    VERTSIZE,
    HORZRES,
    VERTRES,
    PHYSICALOFFSETX,
    PHYSICALOFFSETY,
    PHYSICALWIDTH,
    PHYSICALHEIGHT
};

// Value of `index` for `device`; 0 for a null device.
VANDREL_EXPORT int GetDeviceCaps(const QPaintDevice* device, TDeviceCap index);

} // namespace Vandrel
