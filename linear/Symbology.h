#pragma once
// One entry point from (type, value) to the module string that the drawing uses.
#include "core/Enums.h"
#include "core/Exceptions.h"
#include "core/Export.h"

#include <string>
#include <string_view>

namespace Vandrel {

// A value a symbology's encoder cannot take. The message names the symbology
// and the value; a control that draws it puts its own name in front.
class VANDREL_ENGINES_EXPORT EBarValue : public Exception {
public:
    using Exception::Exception;
};

// Module string for an acceptable value (DoDigitNum true); EBarValue or
// EConvertError for a value the symbology's encoder cannot take.
VANDREL_ENGINES_EXPORT std::string ModuleString(TBarType type, std::string_view value);

// The human-readable text drawn under a linear symbol.
VANDREL_ENGINES_EXPORT std::string HumanText(TBarType type, std::string_view value);

} // namespace Vandrel
