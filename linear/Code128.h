#pragma once
// Code 128 in its three fixed code sets (no switching), and EAN-128.
#include <string>
#include <string_view>

namespace Vandrel {

struct TCode128Record {
    char A;          // character in code set A
    char B;          // character in code set B
    char C[3];       // length byte (2) and the two digits in code set C
    char Pattern[7]; // length byte (6) and six width digits, bar first
};
extern const TCode128Record Codetable_Code128[103];

// First value whose column A (set 'A') or column B (set 'B') holds `c`, or -1.
int Code128Index(char set, char c);

// Whether `c` occurs in column A (set 'A') or column B (set 'B').
bool IsCode128Char(char set, char c);

// Module string of `value` in one fixed code set ('A', 'B' or 'C'; anything else
// counts as 'B'): start, FNC1 for EAN-128, the data, the modulo-103 check character
// and the stop.
std::string Code128Modules(char set, bool ean128, std::string_view value);

} // namespace Vandrel
