#include "linear/DBSingleBarcode.h"

namespace Vandrel {

TDBSingleBarCode::TDBSingleBarCode(QWidget* owner)
    : TCustomSingleBarCode(owner),
      TDataAware(
          this, [this](QObject* sender) { DataChange(sender); }, [this](QObject* sender) { ActiveChange(sender); })
{
}

void TDBSingleBarCode::DataChange(QObject*)
{
    if (const auto text = DataLink()->TakeOverText())
        SetBarValueText(*text);
}

void TDBSingleBarCode::ActiveChange(QObject*)
{
    Invalidate();
}

} // namespace Vandrel
