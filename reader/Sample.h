#pragma once
// Reading symbols the row reader cannot: turned, mirrored, rotated, in mild
// perspective, scaled, blurred, on grey or uneven paper, inverted, among text
// and frames, covered in part, truncated or cut. Each symbol located by its
// start edge (and its stop edge, when it has one) is sampled module by module
// along lines across it, each line split into codewords by the symbol's
// module grid and placed by its row indicators, and the lines are assembled
// with the row reader's checks: a line that crosses two symbol rows, or
// misses a module, gives codewords of the wrong cluster that are not counted.
#include "core/Export.h"
#include "reader/Recognition.h"

#include <vector>

namespace Vandrel {

// The symbols located anywhere in the picture, each only when its codewords
// prove whole (CreateCodeWord), placed by the box around its edges' ends.
VANDREL_ENGINES_EXPORT std::vector<TSymbolRead> ReadLocated(const TPixelView& picture);

} // namespace Vandrel
