#pragma once
// Code 93 and its full-ASCII (Extended) form with the four shift characters
// written "[", "]", "{", "}".
#include <string>
#include <string_view>

namespace Vandrel {

struct TCode93Record {
    char character;
    char pattern[6];    // six width digits, bar first, no length byte
};
extern const TCode93Record Codetable_Code93[47];

// Records from this index on are the four shift characters, which only the
// Extended form may carry in a value.
inline constexpr int Code93FirstShift = 43;

// Record index of `c` among the 47 records, or -1.
int Code93Index(char c);

} // namespace Vandrel
