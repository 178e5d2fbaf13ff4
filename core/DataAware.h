#pragma once
// TDataAware: what every data-aware control shares, whatever it draws: the
// field data link it owns, the published DataField and DataSource, and the
// handling of the link's notifications. It lives beside TBarCode rather than
// in platform/ because it is behaviour of the controls, not a stand-in for a
// toolkit facility; the linear, PDF417 and report controls all derive from it.
#include "core/Export.h"
#include "platform/DataSet.h"

#include <QString>

#include <functional>
#include <memory>

namespace Vandrel {

class VANDREL_EXPORT TDataAware {
public:
    TFieldDataLink* DataLink() const { return FDataLink.get(); }
    QString GetDataField() const { return FDataLink->FieldName(); }
    void SetDataField(const QString& value) { FDataLink->SetFieldName(value); }
    TDataSource* GetDataSource() const { return FDataLink->DataSource(); }
    // The link clears its reference itself when the data source is freed.
    void SetDataSource(TDataSource* value);

    // The record changed: the non-empty text of a linked field that can be
    // modified becomes the control's value; an empty or null field, or one of
    // a read-only dataset, keeps the previous value.
    void DataChange(QObject* sender);
    // The dataset opened or closed.
    void ActiveChange(QObject* sender);

protected:
    // `takeOver` gives the control a field's text through its published
    // BarValue setter; `invalidate` repaints the control.
    TDataAware(QObject* control, std::function<void(const QString&)> takeOver, std::function<void()> invalidate);
    ~TDataAware();
    TDataAware(const TDataAware&) = delete;
    TDataAware& operator=(const TDataAware&) = delete;

private:
    std::function<void(const QString&)> FTakeOver;
    std::function<void()> FInvalidate;
    // Declared last so that it goes first: no notification can reach a
    // half-destroyed control.
    std::unique_ptr<TFieldDataLink> FDataLink;
};

} // namespace Vandrel
