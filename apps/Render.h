#pragma once
// Rendering a control to a file, shared by the render and gallery commands.
#include <QString>

#include <functional>

class QCommandLineParser;

namespace Vandrel {

class TBarCode;
class TDataSource;

// Writes the control's symbol to `fileName` (.png, .bmp, .jpg or .emf) and
// returns the name of the file written ("" when the directory was refused,
// after the user was told). Throws Exception when writing fails.
QString RenderToFile(TBarCode& control, const QString& fileName);

// Whether RenderToFile knows the extension of `fileName`.
bool IsRenderableFile(const QString& fileName);

// The gallery: sample symbols of every symbology written into `dir`; the
// names of the files written are printed. Returns the process exit code.
int RunGallery(const QString& dir);

// Writes the control's symbol and prints the name of the file written;
// answers the exit code.
int WriteSymbol(TBarCode& control, const QString& output);

// The output name of record `n`: the pattern's one %d (or %0Nd) replaced.
QString NumberedName(const QString& pattern, int n);

// The --db, --sql and --field options, and a run made of them.
void AddRecordOptions(QCommandLineParser& parser);
struct TRecordRun {
    QString db;
    QString sql;
    QString field;
    QString pattern;
    bool hasSql;
    bool hasField;
    static TRecordRun From(const QCommandLineParser& parser, const QString& pattern);
};

// Opens the database read-only and runs the query; usage errors (exit 2)
// come before anything is written. Then `bind` links the data-aware control
// to the records' data source and field, and `write` writes each record's
// picture under its numbered name. Answers the exit code.
int RenderRecords(const TRecordRun& run, const std::function<void(TDataSource&, const QString&)>& bind,
                  const std::function<int(const QString&)>& write);

} // namespace Vandrel
