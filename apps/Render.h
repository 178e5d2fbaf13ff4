#pragma once
// Batches of symbols: the gallery, and one picture per database record.
#include "apps/Output.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QCommandLineParser;

namespace Vandrel {

class TBarCode;
class TDataSource;

// The gallery: sample symbols of every symbology written into `dir`; the
// names of the files written are printed. Returns the process exit code.
int RunGallery(const QString& dir);

// The --db, --sql, --field and --on-empty options, and a run made of them;
// with `files`, also --name-field, for runs that write a file per record.
void AddRecordOptions(QCommandLineParser& parser, bool files = true);

// What a record whose field is empty or null comes to.
enum class TOnEmpty { Skip, Error, Repeat };

struct TRecordRun {
    QString DB;
    QString SQL;
    QString Field;
    QString Pattern;   // one %d for the record number, or one %s for --name-field
    QString NameField; // empty: files are numbered
    TOnEmpty OnEmpty = TOnEmpty::Skip;
    // The run the options give; nullopt after a usage error was printed. An
    // empty pattern: the run writes no file per record (a report).
    static std::optional<TRecordRun> From(const QCommandLineParser& parser, const QString& pattern);
};

// Whether `pattern` holds exactly one %d (or %0Nd, N below 100, so that a
// name can always be made of it).
bool IsNumberedPattern(const QString& pattern);
// The output name of number `n`: the pattern's one %d (or %0Nd) replaced.
QString NumberedName(const QString& pattern, int n);

// What writing one record's symbol came to: written (code 0), refused (the
// record is skipped for `Refusal`), or a failure that stops the batch.
struct TRecordWrite {
    int Code = 0;
    QString Refusal;
};
using TRecordWriter = std::function<TRecordWrite(const QString& fileName, const QString& value)>;

class TDataSet;

// Opens the run's database read-only and runs its query; usage errors (exit
// 2: a wrong query, one of `fields` missing) and a query without records come
// before anything is written, a locked or busy database is a runtime failure
// (exit 1). Then `use` gets the open records; its answer is the exit code.
int OpenRecords(const TRecordRun& run, const QStringList& fields, const std::function<int(TDataSet&)>& use);

// The records of a batch, taken one by one: an empty field follows
// --on-empty, a refused value skips its record. Each skipped record is named
// on standard error, progress is shown on long runs, and Finish sums up.
class TRecordTally {
public:
    TRecordTally(const TRecordRun& run, TDataSet& records);
    // The current record: `write` gets its number and the field's text
    // (empty for --on-empty repeat). A non-zero answer stops the batch.
    int Record(const std::function<TRecordWrite(int n, const QString& value)>& write);
    // The summary; 0 when every record was written, else ExitSkipped.
    int Finish() const;

private:
    int Skip(const QString& why);

    const TRecordRun& FRun;
    TDataSet& FRecords;
    qint64 FStarted;
    qint64 FReported = 0;
    int FWritten = 0;
    int FSkipped = 0;
};

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
