#pragma once
// The data layer the data-aware controls bind to: a dataset over Qt SQL (any
// driver; SQLite is the embedded default), its fields, a data source that
// relays its notifications, and the field data link a control owns.
#include "core/Exceptions.h"
#include "core/Export.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Vandrel {

class VANDREL_EXPORT EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

class TDataSet;

class VANDREL_EXPORT TField {
public:
    TField(const TDataSet& owner, int index, QString name);

    const QString& FieldName() const { return FName; }
    QVariant Value() const;
    bool IsNull() const;
    // The value as text; empty for null.
    QString DisplayText() const;
    QString EditText() const { return DisplayText(); }
    QString AsString() const { return DisplayText(); }
    // A value may be taken over only from an open dataset that is not read-only.
    bool CanModify() const;

private:
    const TDataSet& FOwner;
    int FIndex;
    QString FName;
};

class VANDREL_EXPORT TDataSet : public QObject {
    Q_OBJECT

public:
    explicit TDataSet(QObject* owner = nullptr);
    ~TDataSet() override;

    // The Qt SQL connection to read from (the default connection when empty).
    QString ConnectionName() const { return FConnectionName; }
    void SetConnectionName(const QString& name) { FConnectionName = name; }
    // Either a query, or a table whose rows are all read.
    QString SQL() const { return FSQL; }
    void SetSQL(const QString& sql) { FSQL = sql; }
    QString TableName() const { return FTableName; }
    void SetTableName(const QString& name) { FTableName = name; }

    // Runs the query and positions on the first record. Throws EDatabaseError.
    void Open();
    void Close();
    bool Active() const { return FActive; }
    void SetActive(bool value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }

    void First();
    void Next();
    void Prior();
    void Last();
    // Past the last record (or no records at all) / before the first.
    bool Eof() const { return FEof; }
    bool Bof() const { return FBof; }
    int RecordCount() const { return int(FRows.size()); }
    // 1-based number of the current record; 0 when there is none.
    int RecNo() const { return FRows.empty() ? 0 : FCurrent + 1; }

    TField* FindField(const QString& name) const;
    // Throws EDatabaseError when there is no such field.
    TField* FieldByName(const QString& name) const;
    const std::vector<std::unique_ptr<TField>>& Fields() const { return FFields; }

    // The value of column `index` in the current record.
    QVariant CurrentValue(int index) const;

Q_SIGNALS:
    void DataChanged();  // the current record changed
    void StateChanged(); // opened or closed

private:
    void MoveTo(int index);

    QString FConnectionName;
    QString FSQL;
    QString FTableName;
    bool FActive = false;
    bool FReadOnly = false;
    bool FEof = true;
    bool FBof = true;
    int FCurrent = 0;
    std::vector<std::unique_ptr<TField>> FFields;
    std::vector<std::vector<QVariant>> FRows;
};

class VANDREL_EXPORT TDataSource : public QObject {
    Q_OBJECT

public:
    explicit TDataSource(QObject* owner = nullptr);

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* value);

Q_SIGNALS:
    void DataChange();
    void StateChange();

private:
    QPointer<TDataSet> FDataSet;
    QMetaObject::Connection FData;
    QMetaObject::Connection FState;
};

using TNotifyEvent = std::function<void(QObject* sender)>;

class VANDREL_EXPORT TFieldDataLink : public QObject {
    Q_OBJECT

public:
    explicit TFieldDataLink(QObject* owner = nullptr);

    QObject* Control = nullptr;
    // The data source is fixed while a form is being loaded.
    bool DataSourceFixed = false;
    TNotifyEvent OnDataChange;
    TNotifyEvent OnActiveChange;

    QString FieldName() const { return FFieldName; }
    void SetFieldName(const QString& value);
    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* value);

    // Linked to a data source whose dataset is open.
    bool Active() const;
    // The linked field of the current dataset, or null.
    TField* Field() const;
    bool CanModify() const;
    // The text a data-aware control takes over: that of a linked field that
    // can be modified, when it is not empty (an empty or null field keeps the
    // control's previous value).
    std::optional<QString> TakeOverText() const;

private:
    void Relink(TDataSource* value);
    void UpdateActive();
    void Notify(const TNotifyEvent& event);

    QString FFieldName;
    QPointer<TDataSource> FDataSource;
    bool FActive = false;
    std::vector<QMetaObject::Connection> FConnections;
};

} // namespace Vandrel
