#pragma once
// One entry point from (type, value) to the module string that the drawing uses.
#include "core/Enums.h"
#include "core/Export.h"

#include <string>
#include <string_view>

namespace Vandrel {

// Module string for an acceptable value (DoDigitNum true). `owner` names the
// drawing control in the message of an encoding failure.
VANDREL_ENGINES_EXPORT std::string ModuleString(TBarType type, std::string_view value,
                                                std::string_view owner = "TCustomSingleBarCode");

// The human-readable text drawn under a linear symbol.
VANDREL_ENGINES_EXPORT std::string HumanText(TBarType type, std::string_view value);

} // namespace Vandrel
