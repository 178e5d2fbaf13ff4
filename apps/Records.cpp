#include "apps/Render.h"

#include "apps/Cli.h"
#include "core/BarCode.h"
#include "platform/DataSet.h"
#include "platform/Exceptions.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>

#include <cstdio>

namespace Vandrel {

namespace {
bool IsNumberedPattern(const QString& pattern)
{
    return pattern.count('%') == 1 && QRegularExpression("%0?\\d*d").match(pattern).hasMatch();
}
} // namespace

void AddRecordOptions(QCommandLineParser& parser)
{
    parser.addOption({"db", "SQLite database file: draw one symbol per record of --sql, taking the\n"
                            "value from --field instead of --value. A record whose field is empty\n"
                            "or null repeats the previous record's symbol.",
                      "FILE"});
    parser.addOption({"sql", "The query whose records are drawn (with --db).", "SELECT"});
    parser.addOption({"field", "The field that holds the value (with --db).", "NAME"});
}

TRecordRun TRecordRun::From(const QCommandLineParser& parser, const QString& pattern)
{
    return {parser.value("db"), parser.value("sql"), parser.value("field"), pattern, parser.isSet("sql"),
            parser.isSet("field")};
}

int WriteSymbol(TBarCode& control, const QString& output)
{
    try {
        const QString written = RenderToFile(control, output);
        if (written.isEmpty())
            return 1;
        std::printf("%s\n", qPrintable(written));
    } catch (const Exception& e) {
        std::fprintf(stderr, "vandrel: %s\n", e.what());
        return 1;
    }
    return 0;
}

QString NumberedName(const QString& pattern, int n)
{
    static const QRegularExpression number("%(0?)(\\d*)d");
    const QRegularExpressionMatch m = number.match(pattern);
    const int width = m.captured(2).toInt();
    const QString digits = QString::number(n).rightJustified(width, m.captured(1).isEmpty() ? ' ' : '0');
    return pattern.left(m.capturedStart()) + digits + pattern.mid(m.capturedEnd());
}

int RenderRecords(const TRecordRun& run, const std::function<void(TDataSource&, const QString&)>& bind,
                  const std::function<int(const QString&)>& write)
{
    if (!run.hasSql || !run.hasField)
        return UsageError("--db needs --sql and --field");
    if (!IsNumberedPattern(run.pattern))
        return UsageError("with --db the output takes one %d for the record number, e.g. out/label-%04d.png");
    if (!QFileInfo(run.db).isFile())
        return UsageError("no database file '" + run.db + "'");

    const QString connection = QStringLiteral("vandrel-records");
    int result = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection);
        db.setDatabaseName(run.db);
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        TDataSet records;
        records.SetConnectionName(connection);
        records.SetSQL(run.sql);
        TDataSource source;
        result = [&] {
            if (!db.open())
                return UsageError("cannot open '" + run.db + "': " + db.lastError().text());
            try {
                records.Open();
            } catch (const EDatabaseError& e) {
                return UsageError(QString::fromStdString(e.what()));
            }
            if (!records.FindField(run.field)) {
                QStringList names;
                for (const auto& f : records.Fields())
                    names << f->FieldName();
                return UsageError("unknown field '" + run.field + "' (the query gives: " + names.join(", ") + ")");
            }
            source.SetDataSet(&records);
            bind(source, run.field);
            QElapsedTimer clock;
            clock.start();
            qint64 reported = 0;
            for (records.First(); !records.Eof(); records.Next()) {
                if (const int code = write(NumberedName(run.pattern, records.RecNo())))
                    return code;
                if (clock.elapsed() - reported >= 1000) {
                    reported = clock.elapsed();
                    std::fprintf(stderr, "vandrel: %d of %d records\n", records.RecNo(), records.RecordCount());
                }
            }
            return 0;
        }();
        // The bound control outlives this scope: unlink it before the source goes.
        source.SetDataSet(nullptr);
    }
    QSqlDatabase::removeDatabase(connection);
    return result;
}

} // namespace Vandrel
