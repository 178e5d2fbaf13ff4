#pragma once
// Enhanced-metafile output: one picture drawn at (0, 0) in a metafile of its size.
#include "core/Export.h"

#include <QString>

class QImage;

namespace Vandrel {

// Writes `image` as an EMF file whose header description carries `creator`
// and `description`. Throws Exception when the file cannot be written; no
// partial file is left behind.
VANDREL_EXPORT void SaveImageAsEmf(const QImage& image, const QString& fileName, const QString& creator,
                                   const QString& description);

} // namespace Vandrel
