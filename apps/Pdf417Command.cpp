#include "apps/Pdf417Command.h"

#include "apps/Cli.h"

namespace Vandrel {

int Pdf417Command(const QStringList&)
{
    return UsageError("pdf417 is being written");
}

} // namespace Vandrel
