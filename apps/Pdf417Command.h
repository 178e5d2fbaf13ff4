#pragma once
#include <QStringList>

namespace Vandrel {

// vandrel pdf417: encodes a value as PDF417 and prints what it became.
int Pdf417Command(const QStringList& args);

} // namespace Vandrel
