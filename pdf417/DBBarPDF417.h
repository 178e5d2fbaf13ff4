#pragma once
// TDBBarPDF417: the PDF417 control that takes its value from a field of a
// dataset through a field data link.
#include "core/DataAware.h"
#include "core/Export.h"
#include "pdf417/BarPDF417.h"

namespace Vandrel {

class VANDREL_EXPORT TDBBarPDF417 : public TCustomBarPDF417, public TDataAware {
    Q_OBJECT
    Q_PROPERTY(QString BarValue READ BarValueText DESIGNABLE false STORED false)
    Q_PROPERTY(QString DataField READ GetDataField WRITE SetDataField)
    // A reference to another object, which a form file cannot hold: set in code.
    Q_PROPERTY(Vandrel::TDataSource* DataSource READ GetDataSource WRITE SetDataSource STORED false)

public:
    explicit TDBBarPDF417(QWidget* owner = nullptr);
};

} // namespace Vandrel
