#pragma once
// Full-ASCII extensions (Code 39, Code 93): every ASCII character written as
// one or two characters of the symbology's own set. Plain C++, no GUI.
#include "core/Export.h"

#include <string>
#include <string_view>

namespace Vandrel {

// A full-ASCII substitution table: for each code 0..127 a length byte, then up
// to two characters of the symbology's own set.
using TFullAsciiTable = unsigned char[128][3];

// Rewrites each character 0..127 of `value` through `table`; drops the rest.
VANDREL_ENGINES_EXPORT std::string ExpandFullAscii(const TFullAsciiTable& table, std::string_view value);

} // namespace Vandrel
