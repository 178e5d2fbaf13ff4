#pragma once
// One entry point from (type, value) to the module string that the drawing uses.
#include "core/Enums.h"

#include <string>
#include <string_view>

namespace Vandrel {

// Module string for an acceptable value (DoDigitNum true). Types whose encoder
// is not available yet give an empty string.
std::string ModuleString(TBarType type, std::string_view value);

// The human-readable text drawn under a linear symbol.
std::string HumanText(TBarType type, std::string_view value);

} // namespace Vandrel
