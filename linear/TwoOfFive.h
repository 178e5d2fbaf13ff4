#pragma once
// The 2 of 5 family: Interleaved, Industrial and Matrix.
#include <string>
#include <string_view>

namespace Vandrel {

// Per digit, the five elements of the classic 2 of 5 pattern ("1" = wide).
extern const char CodeTable_2_5[10][5];

std::string Inter2_5Modules(std::string_view digits); // an even number of digits
std::string Indust2_5Modules(std::string_view digits);
std::string Matrix2_5Modules(std::string_view digits);

} // namespace Vandrel
