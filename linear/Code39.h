#pragma once
// Code 39 and its full-ASCII (Extended) form; its full-ASCII table,
// CodeTable_Code39Ex, is in core/FullAscii.h.
#include <string>
#include <string_view>

namespace Vandrel {

struct TCode39Record {
    char Character;
    char Pattern[10]; // nine module characters, zero-terminated
    unsigned char Value;
};
extern const TCode39Record CodeTable_Code39[44];

// True when `c` is one of the 44 Code 39 table characters.
bool IsCode39Char(char c);

// Start, each table character with its gap, stop. Unknown characters add nothing.
std::string Code39Modules(std::string_view value);

// Rewrites each character 0..127 through CodeTable_Code39Ex; drops the rest.
std::string Code39ExExpand(std::string_view value);

} // namespace Vandrel
