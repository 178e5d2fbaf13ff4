#include "apps/Render.h"

#include "apps/Cli.h"
#include "core/Exceptions.h"
#include "platform/DataSet.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

namespace Vandrel {

namespace {
const QRegularExpression& NumberPlaceholder()
{
    static const QRegularExpression number("%(0?)(\\d{0,2})d");
    return number;
}

// A field's text as a file name: letters, digits, '-', '_' and inner dots
// only, so that it can neither leave the output directory nor hide.
QString SafeFileName(const QString& text)
{
    QString name;
    for (const QChar c : text.left(100))
        name += c.isLetterOrNumber() || c == '-' || c == '_' || c == '.' ? c : QChar('_');
    while (name.startsWith('.'))
        name.remove(0, 1);
    return name;
}

// SQLite's "database is locked" (SQLITE_BUSY) and "database table is locked" (SQLITE_LOCKED).
bool IsBusy(const QSqlError& error)
{
    return error.nativeErrorCode() == QLatin1String("5") || error.nativeErrorCode() == QLatin1String("6");
}

void Warn(const QString& message)
{
    std::fprintf(stderr, "vandrel: %s\n", qPrintable(message));
}
} // namespace

void AddRecordOptions(QCommandLineParser& parser, bool files)
{
    parser.addOption({"db",
                      files ? "SQLite database file: draw one symbol per record of --sql, taking the value from "
                              "--field instead of --value; -o is then a pattern with one %d (or %04d) for the "
                              "record number."
                            : "SQLite database file: one label per record of --sql, its symbol taking the value "
                              "from --field.",
                      "FILE"});
    parser.addOption({"sql", "The query whose records are drawn (with --db).", "SELECT"});
    parser.addOption({"field", "The field that holds the value (with --db).", "NAME"});
    parser.addOption({"on-empty",
                      "A record whose field is empty or null: skip it with a warning (default), stop with an "
                      "error, or repeat the previous record's symbol. Records whose value is refused are "
                      "skipped too; the tool exits with 3 when it skipped any.",
                      "skip|error|repeat", "skip"});
    if (files)
        parser.addOption({"name-field",
                          "Name each file after this field instead of numbering it: -o takes one %s for the name, "
                          "which keeps letters, digits, '-', '_' and '.' only; a name used twice gets the record "
                          "number added.",
                          "NAME"});
}

std::optional<TRecordRun> TRecordRun::From(const QCommandLineParser& parser, const QString& pattern)
{
    const bool files = !pattern.isEmpty();
    TRecordRun run{parser.value("db"), parser.value("sql"), parser.value("field"), pattern,
                   files ? parser.value("name-field") : QString()};
    if (!parser.isSet("sql") || !parser.isSet("field")) {
        UsageError("--db needs --sql and --field");
        return std::nullopt;
    }
    static const QStringList policies{"skip", "error", "repeat"};
    const auto policy = policies.indexOf(parser.value("on-empty"));
    if (policy < 0) {
        UsageError("--on-empty takes skip, error or repeat");
        return std::nullopt;
    }
    run.OnEmpty = TOnEmpty(policy);
    if (files && !parser.isSet("name-field") && !IsNumberedPattern(pattern)) {
        UsageError("with --db the output takes one %d (or %0Nd, N below 100) for the record number, "
                   "e.g. out/label-%04d.png");
        return std::nullopt;
    }
    if (files && parser.isSet("name-field") && !(pattern.count('%') == 1 && pattern.contains("%s"))) {
        UsageError("with --name-field the output takes one %s for the name, e.g. out/%s.png");
        return std::nullopt;
    }
    if (!QFileInfo(run.DB).isFile()) {
        UsageError("no database file '" + run.DB + "'");
        return std::nullopt;
    }
    return run;
}

bool IsNumberedPattern(const QString& pattern)
{
    return pattern.count('%') == 1 && NumberPlaceholder().match(pattern).hasMatch();
}

QString NumberedName(const QString& pattern, int n)
{
    const QRegularExpressionMatch m = NumberPlaceholder().match(pattern);
    const int width = m.captured(2).toInt();
    const QString digits = QString::number(n).rightJustified(width, m.captured(1).isEmpty() ? ' ' : '0');
    return pattern.left(m.capturedStart()) + digits + pattern.mid(m.capturedEnd());
}

TRecordTally::TRecordTally(const TRecordRun& run, TDataSet& records)
    : FRun(run), FRecords(records), FStarted(QDateTime::currentMSecsSinceEpoch())
{
}

int TRecordTally::Record(const std::function<TRecordWrite(int n, const QString& value)>& write)
{
    const int n = FRecords.RecNo();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - FStarted - FReported >= 1000) {
        FReported = now - FStarted;
        Warn(QStringLiteral("%1 of %2 records").arg(n).arg(FRecords.RecordCount()));
    }
    const TField* field = FRecords.FindField(FRun.Field);
    const QString value = field->IsNull() ? QString() : field->AsString();
    if (value.isEmpty() && FRun.OnEmpty != TOnEmpty::Repeat) {
        const QString why = QStringLiteral("record %1: the field '%2' is %3")
                                .arg(n)
                                .arg(FRun.Field, field->IsNull() ? "null" : "empty");
        if (FRun.OnEmpty == TOnEmpty::Error)
            return Failure(why);
        return Skip(why);
    }
    const TRecordWrite result = write(n, value);
    if (!result.Refusal.isEmpty())
        return Skip(QStringLiteral("record %1: %2").arg(n).arg(result.Refusal));
    FWritten += result.Code == 0;
    return result.Code;
}

int TRecordTally::Skip(const QString& why)
{
    Warn(why + QStringLiteral("; skipped"));
    ++FSkipped;
    return 0;
}

int TRecordTally::Finish() const
{
    const QString labels = FWritten == 1 ? QStringLiteral("label") : QStringLiteral("labels");
    if (FSkipped == 0) {
        Warn(QStringLiteral("wrote %1 %2").arg(FWritten).arg(labels));
        return 0;
    }
    Warn(QStringLiteral("wrote %1 %2, skipped %3 record%4")
             .arg(FWritten)
             .arg(labels)
             .arg(FSkipped)
             .arg(FSkipped == 1 ? "" : "s"));
    return ExitSkipped;
}

namespace {
// The names of a batch's files: numbered, or after a field and made unique.
class TFileNames {
public:
    TFileNames(const TRecordRun& run, const TDataSet& records) : FRun(run), FRecords(records) {}

    QString Of(int n)
    {
        if (FRun.NameField.isEmpty())
            return NumberedName(FRun.Pattern, n);
        const TField* field = FRecords.FindField(FRun.NameField);
        const QString base = SafeFileName(field->IsNull() ? QString() : field->AsString());
        QString name = base.isEmpty() ? QStringLiteral("record-%1").arg(n) : base;
        // Another record's name is never overwritten: the record number tells them apart.
        for (int k = 0; FNames.contains(name); ++k)
            name = QStringLiteral("%1-%2%3").arg(base).arg(n).arg(k ? QStringLiteral("-%1").arg(k) : QString());
        FNames.insert(name);
        return QString(FRun.Pattern).replace(QStringLiteral("%s"), name);
    }

private:
    const TRecordRun& FRun;
    const TDataSet& FRecords;
    QSet<QString> FNames;
};

// Why the query could not be run: a usage error for a wrong query or field,
// a runtime failure for a database that is locked or busy.
int QueryFailure(QSqlDatabase& db, const QString& message)
{
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("SELECT 1 FROM sqlite_master LIMIT 1")) && IsBusy(probe.lastError()))
        return Failure("cannot read the database: " + probe.lastError().text());
    return UsageError(message);
}

QString FieldNames(const TDataSet& records)
{
    QStringList names;
    for (const auto& f : records.Fields())
        names << f->FieldName();
    return names.join(", ");
}
} // namespace

int OpenRecords(const TRecordRun& run, const QStringList& fields, const std::function<int(TDataSet&)>& use)
{
    const QString connection = QStringLiteral("vandrel-records");
    int result = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection);
        db.setDatabaseName(run.DB);
        // A short lock held by a writer is waited out; a longer one fails.
        db.setConnectOptions("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=1000");
        TDataSet records;
        records.SetConnectionName(connection);
        records.SetSQL(run.SQL);
        result = [&] {
            if (!db.open())
                return Failure("cannot open '" + run.DB + "': " + db.lastError().text());
            try {
                records.Open();
            } catch (const EDatabaseError& e) {
                return QueryFailure(db, QString::fromStdString(e.what()));
            }
            for (const QString& name : fields)
                if (!name.isEmpty() && !records.FindField(name))
                    return UsageError("unknown field '" + name + "' (the query gives: " + FieldNames(records) + ")");
            if (records.RecordCount() == 0)
                return Failure("the query gave no records: nothing to write");
            return use(records);
        }();
    }
    QSqlDatabase::removeDatabase(connection);
    return result;
}

int RenderRecords(const TRecordRun& run, const std::function<void(TDataSource&, const QString&)>& bind,
                  const TRecordWriter& write)
{
    return OpenRecords(run, {run.Field, run.NameField}, [&](TDataSet& records) {
        TDataSource source;
        source.SetDataSet(&records);
        bind(source, run.Field);
        TRecordTally tally(run, records);
        TFileNames names(run, records);
        TOutputBatch batch;
        int code = 0;
        for (records.First(); !records.Eof() && code == 0; records.Next())
            code = tally.Record([&](int n, const QString& value) { return write(names.Of(n), value); });
        // The bound control outlives this scope: unlink it before the source goes.
        source.SetDataSet(nullptr);
        // The summary only once the labels are on the disk.
        if (const QString failure = batch.Finish(); !failure.isEmpty() && code == 0)
            return Failure(QStringLiteral("Cannot write the files of '%1': %2").arg(run.Pattern, failure));
        return code != 0 ? code : tally.Finish();
    });
}

} // namespace Vandrel
