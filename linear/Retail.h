#pragma once
// The retail symbologies: EAN-13, EAN-8, UPC-A, UPC-E, ISSN (with its 2-digit
// add-on) and ISBN, and the add-on builders hosts may call.
#include "core/Export.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace Vandrel {

// Number sets A (odd, left), B (even, left) and C (right): 4 module characters.
extern const char CodeTable_EAN_A[10][5];
extern const char CodeTable_EAN_B[10][5];
extern const char CodeTable_EAN_C[10][5];
// Per first digit, the set ("A"/"B") of each EAN-13 left-half position.
extern const char CodeTable_EAN13_Prefix[10][7];
// Per digit, the UPC-E number-system-0 parity ("E" even, "o" odd) per position.
extern const char CodeTable_UPC_E0[10][7];

// `s` with "0" prefixed until it has at least `n` characters.
std::string PreAddZerop(uint8_t n, std::string_view s);
// `s` without its last character (a placeholder), followed by the add-on check
// digit of the rest. An empty `s` or a non-digit raises EConvertError.
std::string GetSupp(std::string_view s);
// Module strings of the 2- and 5-digit add-ons; shorter values are padded with
// leading zeros. A non-digit, or more digits than the add-on carries (they would
// be lost), raises EConvertError.
std::string CreateStrSupp_2(std::string_view s);
std::string CreateStrSupp_5(std::string_view s);

// The 13 digits an EAN-13 (or ISBN, ISSN) symbol carries: a 12-digit value gets
// its check digit, so that what is drawn always scans.
VANDREL_ENGINES_EXPORT std::string EAN13Digits(std::string_view value);

// Module strings of values the value check accepts (UPC-A may be shorter: it is
// padded with leading zeros). Anything else raises EConvertError.
std::string EAN13Modules(std::string_view value); // 12 or 13 digits; 59 elements
std::string EAN8Modules(std::string_view value);  // 43 elements
std::string UPCAModules(std::string_view value);  // 59 elements
// Characters 1-6 are encoded, character 7 selects the parity row, character 8
// is only shown.
std::string UPCEModules(std::string_view value, bool numberSystem1); // 33 elements
// The EAN-13 symbol, a 9-module gap and the 2-digit add-on of its last two digits.
std::string ISSNModules(std::string_view value); // 12 or 13 digits; 81 elements

} // namespace Vandrel
