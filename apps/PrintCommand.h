#pragma once
#include "print/PreBox.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>

#include <optional>
#include <variant>

class QCommandLineParser;

namespace Vandrel {

class TPrinter;

// vandrel print: prints a symbol on a printer or into a PDF file.
int PrintCommand(const QStringList& args);

// vandrel preview: records a symbol in the print preview and shows the
// window, or draws it into a picture.
int PreviewCommand(const QStringList& args);
// Whether `vandrel preview <args>` shows a window (and so needs a display).
bool PreviewShowsAWindow(const QStringList& args);

// --pdf, --dpi, --printer, --copies and --title: where a print job goes.
void AddJobOptions(QCommandLineParser& parser);
// A job's printer, or its PDF file: written under a temporary name beside
// the target and renamed over it only once the job ended well.
class TJobOutput {
public:
    // Sets `printer` up as the options say; the exit code after a usage
    // error or failure (the message printed), else nullopt.
    std::optional<int> SetUp(const QCommandLineParser& parser, TPrinter& printer);
    // After a job that ended well: the PDF file put in place and named.
    int Finish(const QCommandLineParser& parser);

private:
    QTemporaryFile FPending;
};

// --grab, --zoom and --size: the preview window shown, or drawn into a picture.
void AddGrabOptions(QCommandLineParser& parser);
struct TGrab {
    QString File; // empty: show the window
    QSize Size;
    TViewMode Zoom;
};
std::variant<int, TGrab> ReadGrab(const QCommandLineParser& parser);
// Shows the preview window with the job recorded in it until it is closed,
// or writes the grabbed picture; the exit code.
int ShowPreview(const TGrab& grab);

} // namespace Vandrel
