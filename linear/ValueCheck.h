#pragma once
// Whether a value can be encoded in a symbology, and the retail check-digit
// completion. Plain C++, no GUI.
#include "core/Enums.h"
#include "core/Export.h"

#include <optional>
#include <string>
#include <string_view>

namespace Vandrel {

// True when `value` has an admissible length, prefix and character set for `type`.
VANDREL_ENGINES_EXPORT bool DoDigitNum(TBarType type, std::string_view value);

// For an acceptable value of a retail type (EAN-8/13, UPC-A/E, ISSN, ISBN),
// rewrites `value` as its first k digits followed by their modulo-10 check digit.
// Returns false (value untouched) when DoDigitNum rejects the value.
VANDREL_ENGINES_EXPORT bool CompleteCheckDigit(TBarType type, std::string& value);

// What values of `type` look like, for messages: "EAN13 takes 12 or 13 digits".
VANDREL_ENGINES_EXPORT std::string DescribeValueRule(TBarType type);

// For a full-length value of a retail type that DoDigitNum accepts: the check
// digit its payload calls for, when the value's own last digit differs.
VANDREL_ENGINES_EXPORT std::optional<char> WrongCheckDigit(TBarType type, std::string_view value);

} // namespace Vandrel
