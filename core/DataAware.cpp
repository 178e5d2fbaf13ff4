#include "core/DataAware.h"

namespace Vandrel {

TDataAware::TDataAware(QObject* control, std::function<void(const QString&)> takeOver, std::function<void()> invalidate)
    : FTakeOver(std::move(takeOver)), FInvalidate(std::move(invalidate)), FDataLink(std::make_unique<TFieldDataLink>())
{
    FDataLink->Control = control;
    FDataLink->OnDataChange = [this](QObject* sender) { DataChange(sender); };
    FDataLink->OnActiveChange = [this](QObject* sender) { ActiveChange(sender); };
}

TDataAware::~TDataAware() = default;

void TDataAware::SetDataSource(TDataSource* value)
{
    if (!FDataLink->DataSourceFixed)
        FDataLink->SetDataSource(value);
}

void TDataAware::DataChange(QObject*)
{
    if (const auto text = FDataLink->TakeOverText())
        FTakeOver(*text);
}

void TDataAware::ActiveChange(QObject*)
{
    FInvalidate();
}

} // namespace Vandrel
