#pragma once
// Batches of symbols: the gallery, and one picture per database record.
#include "apps/Output.h"

#include <QString>

#include <functional>
#include <optional>

class QCommandLineParser;

namespace Vandrel {

class TBarCode;
class TDataSource;

// The gallery: sample symbols of every symbology written into `dir`; the
// names of the files written are printed. Returns the process exit code.
int RunGallery(const QString& dir);

// The --db, --sql, --field, --on-empty and --name-field options, and a run made of them.
void AddRecordOptions(QCommandLineParser& parser);

// What a record whose field is empty or null comes to.
enum class TOnEmpty { Skip, Error, Repeat };

struct TRecordRun {
    QString db;
    QString sql;
    QString field;
    QString pattern;   // one %d for the record number, or one %s for --name-field
    QString nameField; // empty: files are numbered
    TOnEmpty onEmpty = TOnEmpty::Skip;
    // The run the options give; nullopt after a usage error was printed.
    static std::optional<TRecordRun> From(const QCommandLineParser& parser, const QString& pattern);
};

// Whether `pattern` holds exactly one %d (or %0Nd, N below 100, so that a
// name can always be made of it).
bool IsNumberedPattern(const QString& pattern);
// The output name of number `n`: the pattern's one %d (or %0Nd) replaced.
QString NumberedName(const QString& pattern, int n);

// What writing one record's symbol came to: written (code 0), refused (the
// record is skipped for `refusal`), or a failure that stops the batch.
struct TRecordWrite {
    int code = 0;
    QString refusal;
};
using TRecordWriter = std::function<TRecordWrite(const QString& fileName, const QString& value)>;

// Opens the database read-only and runs the query; usage errors (exit 2)
// come before anything is written, a locked or busy database is a runtime
// failure (exit 1). Then `bind` links the data-aware control to the records'
// data source and field, and `write` writes each record's picture under its
// name, given the field's text. Empty fields follow --on-empty; skipped
// records are named on standard error and summed up at the end. Answers 0
// when every record was written, ExitSkipped when some were skipped, or the
// exit code of the failure that stopped the batch.
int RenderRecords(const TRecordRun& run, const std::function<void(TDataSource&, const QString&)>& bind,
                  const TRecordWriter& write);

} // namespace Vandrel
