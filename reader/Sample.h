#pragma once
// Reading symbols the row reader cannot: turned, mirrored, slightly rotated,
// scaled, blurred, on grey or uneven paper, inverted, among text and frames.
// Each symbol located by its start and stop edges is sampled module by module
// along lines across it, from the start edge to the stop edge, into a clean
// upright picture one pixel per module, which the row reader then reads with
// all its checks: a line that crosses two symbol rows, or misses a module,
// gives codewords of the wrong cluster that are not counted.
#include "core/Export.h"
#include "reader/Recognition.h"

#include <vector>

namespace Vandrel {

// The symbols located anywhere in the picture, each only when its codewords
// prove whole (CreateCodeWord), positioned where its start edge begins in the
// picture.
VANDREL_ENGINES_EXPORT std::vector<TSymbolRead> ReadLocated(const TPixelView& picture);

} // namespace Vandrel
