#pragma once
#include <QStringList>

namespace Vandrel {

// vandrel print: prints a symbol on a printer or into a PDF file.
int PrintCommand(const QStringList& args);

// vandrel preview: records a symbol in the print preview and shows the
// window, or draws it into a picture.
int PreviewCommand(const QStringList& args);
// Whether `vandrel preview <args>` shows a window (and so needs a display).
bool PreviewShowsAWindow(const QStringList& args);

} // namespace Vandrel
