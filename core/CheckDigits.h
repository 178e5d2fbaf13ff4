#pragma once
// Digit sums and the retail modulo-10 check digit. Plain C++, no GUI.
#include "core/Export.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace Vandrel {

// Sum of the decimal digits of n; 0 for n <= 0.
VANDREL_ENGINES_EXPORT int32_t quersum(int32_t n);

// EAN/UPC modulo-10 check digit over a digit string, as a one-character string.
VANDREL_ENGINES_EXPORT std::string DoModule10(std::string_view digits);

} // namespace Vandrel
