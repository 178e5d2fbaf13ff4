#pragma once
// What the report's barcode elements share about the control they own: its
// drawing on the run's page, and its size following the element's.
#include <QSize>
#include <QString>

#include <functional>

namespace Vandrel {

class TBarCode;
class TQRPrintable;

// Draws `control` on the run's page at the element's place for band offsets
// X, Y, then the element's frame over it. `prepare` sets the control up for
// the place's size in device pixels and answers why it cannot draw there,
// which is raised as EReportError before anything is drawn.
void PrintControl(TQRPrintable& element, TBarCode& control, double X, double Y,
                  const std::function<QString(QSize)>& prepare);

// The control sized as the element, its symbol size the element's in the
// report's own units; the element repainted.
void FollowSize(TQRPrintable& element, TBarCode& control);

} // namespace Vandrel
