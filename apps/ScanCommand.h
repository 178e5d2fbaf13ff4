#pragma once
#include <QStringList>

namespace Vandrel {

// vandrel scan: reads a PDF417 picture back to its bytes.
int ScanCommand(const QStringList& args);

} // namespace Vandrel
