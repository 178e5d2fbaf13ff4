#pragma once
// Codabar with fixed start A and stop B.
#include <string>
#include <string_view>

namespace Vandrel {

struct TCodabarRecord {
    char Character;
    char Pattern[7]; // bar, space, ..., bar as module characters 5/6 and 0/1
};
extern const TCodabarRecord Codetable_Codabar[20];

// Record index of `c` among the 20 records, or -1.
int CodabarIndex(char c);

// Start A, each character with its gap, stop B.
std::string CodabarModules(std::string_view value);

} // namespace Vandrel
