#include "platform/DataSet.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace Vandrel {

TField::TField(const TDataSet& owner, int index, QString name) : FOwner(owner), FIndex(index), FName(std::move(name)) {}

QVariant TField::Value() const
{
    return FOwner.CurrentValue(FIndex);
}

bool TField::IsNull() const
{
    return Value().isNull();
}

QString TField::DisplayText() const
{
    const QVariant v = Value();
    return v.isNull() ? QString() : v.toString();
}

bool TField::CanModify() const
{
    return FOwner.Active() && !FOwner.ReadOnly();
}

TDataSet::TDataSet(QObject* owner) : QObject(owner) {}

TDataSet::~TDataSet() = default;

void TDataSet::Open()
{
    if (FActive)
        return;
    QSqlDatabase db = FConnectionName.isEmpty() ? QSqlDatabase::database() : QSqlDatabase::database(FConnectionName);
    if (!db.isValid())
        throw EDatabaseError("No database connection '" + FConnectionName.toStdString() + "'");
    if (!db.isOpen())
        throw EDatabaseError("Cannot open the database: " + db.lastError().text().toStdString());
    const QString sql = !FTableName.isEmpty()
                            ? "SELECT * FROM " + db.driver()->escapeIdentifier(FTableName, QSqlDriver::TableName)
                            : FSQL;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        throw EDatabaseError("Cannot run '" + sql.toStdString() + "': " + query.lastError().text().toStdString());

    const QSqlRecord record = query.record();
    std::vector<std::unique_ptr<TField>> fields;
    for (int i = 0; i < record.count(); ++i)
        fields.push_back(std::make_unique<TField>(*this, i, record.fieldName(i)));
    std::vector<std::vector<QVariant>> rows;
    while (query.next()) {
        std::vector<QVariant>& row = rows.emplace_back();
        row.reserve(size_t(record.count()));
        for (int i = 0; i < record.count(); ++i)
            row.push_back(query.value(i));
    }
    FFields = std::move(fields);
    FRows = std::move(rows);
    FActive = true;
    FCurrent = 0;
    FBof = true;
    FEof = FRows.empty();
    Q_EMIT StateChanged();
    Q_EMIT DataChanged();
}

void TDataSet::Close()
{
    if (!FActive)
        return;
    FActive = false;
    FRows.clear();
    FFields.clear();
    FEof = FBof = true;
    FCurrent = 0;
    Q_EMIT StateChanged();
}

void TDataSet::SetActive(bool value)
{
    value ? Open() : Close();
}

void TDataSet::MoveTo(int index)
{
    if (!FActive)
        return;
    const int last = int(FRows.size()) - 1;
    FBof = index < 0;
    FEof = index > last;
    const int target = std::clamp(index, 0, std::max(last, 0));
    if (target == FCurrent)
        return;
    FCurrent = target;
    Q_EMIT DataChanged();
}

void TDataSet::First()
{
    MoveTo(0);
    FBof = true;
}

void TDataSet::Next()
{
    MoveTo(FCurrent + 1);
}

void TDataSet::Prior()
{
    MoveTo(FCurrent - 1);
}

void TDataSet::Last()
{
    MoveTo(int(FRows.size()) - 1);
    FEof = true;
}

TField* TDataSet::FindField(const QString& name) const
{
    for (const auto& f : FFields)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

TField* TDataSet::FieldByName(const QString& name) const
{
    TField* f = FindField(name);
    if (!f)
        throw EDatabaseError("Field '" + name.toStdString() + "' not found");
    return f;
}

QVariant TDataSet::CurrentValue(int index) const
{
    if (!FActive || FRows.empty() || index < 0 || size_t(index) >= FRows[size_t(FCurrent)].size())
        return QVariant();
    return FRows[size_t(FCurrent)][size_t(index)];
}

TDataSource::TDataSource(QObject* owner) : QObject(owner) {}

void TDataSource::SetDataSet(TDataSet* value)
{
    if (value == FDataSet)
        return;
    disconnect(FData);
    disconnect(FState);
    FDataSet = value;
    if (value) {
        FData = connect(value, &TDataSet::DataChanged, this, &TDataSource::DataChange);
        FState = connect(value, &TDataSet::StateChanged, this, &TDataSource::StateChange);
        // A dataset freed under us reads as none, and its links go inactive.
        connect(value, &QObject::destroyed, this, &TDataSource::StateChange);
    }
    Q_EMIT StateChange();
    Q_EMIT DataChange();
}

TFieldDataLink::TFieldDataLink(QObject* owner) : QObject(owner) {}

void TFieldDataLink::SetFieldName(const QString& value)
{
    if (value == FFieldName)
        return;
    FFieldName = value;
    if (Active())
        Notify(OnDataChange);
}

void TFieldDataLink::SetDataSource(TDataSource* value)
{
    if (value == FDataSource)
        return;
    Relink(value);
    UpdateActive();
    if (Active())
        Notify(OnDataChange);
}

void TFieldDataLink::Relink(TDataSource* value)
{
    for (const auto& c : FConnections)
        disconnect(c);
    FConnections.clear();
    FDataSource = value;
    if (!value)
        return;
    FConnections.push_back(connect(value, &TDataSource::DataChange, this, [this] {
        if (Active())
            Notify(OnDataChange);
    }));
    FConnections.push_back(connect(value, &TDataSource::StateChange, this, [this] { UpdateActive(); }));
    // A data source freed while linked leaves the link without one.
    FConnections.push_back(connect(value, &QObject::destroyed, this, [this] {
        Relink(nullptr);
        UpdateActive();
    }));
}

bool TFieldDataLink::Active() const
{
    return FDataSource && FDataSource->DataSet() && FDataSource->DataSet()->Active();
}

void TFieldDataLink::UpdateActive()
{
    const bool active = Active();
    if (active == FActive)
        return;
    FActive = active;
    Notify(OnActiveChange);
}

TField* TFieldDataLink::Field() const
{
    return Active() ? FDataSource->DataSet()->FindField(FFieldName) : nullptr;
}

bool TFieldDataLink::CanModify() const
{
    const TField* f = Field();
    return f && f->CanModify();
}

std::optional<QString> TFieldDataLink::TakeOverText() const
{
    if (!CanModify())
        return std::nullopt;
    const QString text = Field()->DisplayText();
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

void TFieldDataLink::Notify(const TNotifyEvent& event)
{
    if (event)
        event(this);
}

} // namespace Vandrel
