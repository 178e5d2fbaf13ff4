#include "report/ControlOnPage.h"

#include "core/BarCode.h"
#include "report/QuickRep.h"

namespace Vandrel {

void PrintControl(TQRPrintable& element, TBarCode& control, double X, double Y,
                  const std::function<QString(QSize)>& prepare)
{
    const QRect page = element.PageRect(X, Y);
    if (const QString problem = prepare(page.size()); !problem.isEmpty())
        throw EReportError(problem.toStdString());
    control.Internalprint(element.QRPrinter()->Canvas(), {page.left(), page.top()});
    element.TQRPrintable::Print(X, Y);
}

void FollowSize(TQRPrintable& element, TBarCode& control)
{
    control.resize(element.size());
    control.FSetSymbolWidth(float(element.Size().Width()));
    control.FSetSymbolHeight(float(element.Size().Height()));
    element.Invalidate();
}

} // namespace Vandrel
