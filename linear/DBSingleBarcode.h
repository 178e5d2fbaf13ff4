#pragma once
// TDBSingleBarCode: the 1D control that takes its value from a field of a
// dataset through a field data link.
#include "core/DataAware.h"
#include "core/Export.h"
#include "linear/SingleBarcode.h"

namespace Vandrel {

class VANDREL_EXPORT TDBSingleBarCode : public TCustomSingleBarCode, public TDataAware {
    Q_OBJECT
    // The value comes from the field: neither edited in Designer nor stored.
    Q_PROPERTY(QString BarValue READ BarValueText DESIGNABLE false STORED false)
    Q_PROPERTY(QString DataField READ GetDataField WRITE SetDataField)
    // A reference to another object, which a form file cannot hold: set in code.
    Q_PROPERTY(Vandrel::TDataSource* DataSource READ GetDataSource WRITE SetDataSource STORED false)

public:
    explicit TDBSingleBarCode(QWidget* owner = nullptr);
};

} // namespace Vandrel
