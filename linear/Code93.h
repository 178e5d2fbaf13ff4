#pragma once
// Code 93 and its full-ASCII (Extended) form with the four shift characters
// written "[", "]", "{", "}".
#include "core/FullAscii.h"

#include <string>
#include <string_view>

namespace Vandrel {

struct TCode93Record {
    char Character;
    char Pattern[6]; // six width digits, bar first, no length byte
};
extern const TCode93Record Codetable_Code93[47];

// Records from this index on are the four shift characters, which only the
// Extended form may carry in a value.
inline constexpr int Code93FirstShift = 43;

// Record index of `c` among the 47 records, or -1.
int Code93Index(char c);

// Full-ASCII substitution for codes 0..127: length, then up to two characters.
extern const TFullAsciiTable Codetable_Code93Ex;

// Start, the data, the C and K check characters, stop and termination bar.
// A character outside the table raises EBarValue with the message
// "Code93 bad Data <" + value + ">"; a control names itself in front.
std::string Code93Modules(std::string_view value);

// Rewrites each character 0..127 through Codetable_Code93Ex; drops the rest.
std::string Code93ExExpand(std::string_view value);

} // namespace Vandrel
