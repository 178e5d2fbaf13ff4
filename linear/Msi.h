#pragma once
// MSI (Modified Plessey) with its modulo-10 check digit.
#include <string>
#include <string_view>

namespace Vandrel {

// Per digit: length byte (8), then the four bits as "51" (0) or "60" (1).
extern const char Codetable_MSI[10][9];

// The check digit of a digit string of any length, without overflow.
int MSICheckDigit(std::string_view digits);

// Start, the digits, the check digit and the stop.
std::string MSIModules(std::string_view digits);

} // namespace Vandrel
