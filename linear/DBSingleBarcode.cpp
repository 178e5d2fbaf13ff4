#include "linear/DBSingleBarcode.h"

#include "platform/DataSet.h"

namespace Vandrel {

TDBSingleBarCode::TDBSingleBarCode(QWidget* owner) : TCustomSingleBarCode(owner), FDataLink(new TFieldDataLink(this))
{
    FDataLink->Control = this;
    FDataLink->OnDataChange = [this](QObject* sender) { DataChange(sender); };
    FDataLink->OnActiveChange = [this](QObject* sender) { ActiveChange(sender); };
}

TDBSingleBarCode::~TDBSingleBarCode()
{
    // Drop the link first: no notification may reach a half-destroyed control.
    delete FDataLink;
    FDataLink = nullptr;
}

QString TDBSingleBarCode::GetDataField() const
{
    return FDataLink->FieldName();
}

void TDBSingleBarCode::SetDataField(const QString& value)
{
    FDataLink->SetFieldName(value);
}

TDataSource* TDBSingleBarCode::GetDataSource() const
{
    return FDataLink->DataSource();
}

void TDBSingleBarCode::SetDataSource(TDataSource* value)
{
    // The link clears its reference itself when the data source is freed.
    if (!FDataLink->DataSourceFixed)
        FDataLink->SetDataSource(value);
}

void TDBSingleBarCode::DataChange(QObject*)
{
    if (const auto text = FDataLink->TakeOverText())
        SetBarValueText(*text);
}

void TDBSingleBarCode::ActiveChange(QObject*)
{
    Invalidate();
}

} // namespace Vandrel
