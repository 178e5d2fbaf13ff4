#include "platform/DeviceCaps.h"

#include <QPaintDevice>
#include <QPrinter>

namespace Vandrel {

int GetDeviceCaps(const QPaintDevice* device, TDeviceCap index)
{
    if (!device)
        return 0;
    // A printer's drawable area lies inside the paper; everything else is all drawable.
    const auto* printer = dynamic_cast<const QPrinter*>(device);
    const QRect paper =
        printer ? printer->paperRect(QPrinter::DevicePixel).toRect() : QRect(0, 0, device->width(), device->height());
    const QRect page = printer ? printer->pageRect(QPrinter::DevicePixel).toRect() : paper;
    switch (index) {
    case LOGPIXELSX: return device->logicalDpiX();
    case LOGPIXELSY: return device->logicalDpiY();
    case HORZSIZE: return device->widthMM();
    case VERTSIZE: return device->heightMM();
    case HORZRES: return device->width();
    case VERTRES: return device->height();
    case PHYSICALOFFSETX: return page.left() - paper.left();
    case PHYSICALOFFSETY: return page.top() - paper.top();
    case PHYSICALWIDTH: return paper.width();
    case PHYSICALHEIGHT: return paper.height();
    }
    return 0;
}

} // namespace Vandrel
