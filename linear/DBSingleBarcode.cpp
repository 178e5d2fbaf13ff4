#include "linear/DBSingleBarcode.h"

namespace Vandrel {

TDBSingleBarCode::TDBSingleBarCode(QWidget* owner)
    : TCustomSingleBarCode(owner),
      TDataAware(
          this, [this](const QString& text) { SetBarValueText(text); }, [this] { Invalidate(); })
{
}

} // namespace Vandrel
