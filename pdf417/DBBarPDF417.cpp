#include "pdf417/DBBarPDF417.h"

namespace Vandrel {

TDBBarPDF417::TDBBarPDF417(QWidget* owner)
    : TCustomBarPDF417(owner),
      TDataAware(
          this, [this](const QString& text) { SetBarValueText(text); }, [this] { Invalidate(); })
{
}

} // namespace Vandrel
