#pragma once
// PostNet: tall and short bars between two tall frame bars; no check digit.
#include <string>
#include <string_view>

namespace Vandrel {

// Per digit: length byte (10), then five bars each followed by a space,
// "51" for a tall bar and "A1" for a short one.
extern const char Codetable_PostNet[10][11];

std::string PostNetModules(std::string_view digits);

} // namespace Vandrel
