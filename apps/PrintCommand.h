#pragma once
#include <QStringList>

namespace Vandrel {

// vandrel print: prints a symbol on a printer or into a PDF file.
int PrintCommand(const QStringList& args);

} // namespace Vandrel
