// Loads the library in a process that has no GUI application and no display,
// as the command-line tool or a server does, and exits: 0 when the units
// started on loading (VirtualPrinter made, the preview cursors registered).
// Exiting unloads the library, which stops the units again.
#include "package/Units.h"
#include "print/Cursors.h"
#include "print/VirtualPrinter.h"

int main()
{
    using namespace Vandrel;
    const bool started = VirtualPrinter != nullptr && crMagnifier > 0 && crHand > 0 && UnitCounter("BarcodeReg") == -1;
    return started ? 0 : 1;
}
