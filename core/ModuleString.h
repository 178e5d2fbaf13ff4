#pragma once
// Module strings, the form every linear encoder produces: one character per
// element, "0".."3" a space and "5".."8" a bar of 1..4 modules, "A".."D" a
// half-height bar. Decoding, measuring and building them. Plain C++, no GUI.
#include "core/Enums.h"
#include "core/Export.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Vandrel {

// Element widths in modules, indexed by the digit of a module-string character.
inline constexpr int32_t Modules[4] = {1, 2, 3, 4};

// Width-digit pattern ("1".."4", bar first, alternating) -> module string.
VANDREL_ENGINES_EXPORT std::string Convert(std::string_view widths);
// The same, appended to `modules`: symbols built pattern by pattern need no
// string per pattern.
VANDREL_ENGINES_EXPORT void AppendConverted(std::string& modules, std::string_view widths);

// Decodes one module-string character; any other character leaves both outputs alone.
VANDREL_ENGINES_EXPORT void GetBarProps(char c, int32_t& width, TBarLineType& kind);

// Sum of the element widths of a module string; other characters count 0.
VANDREL_ENGINES_EXPORT int32_t ModuleCount(std::string_view modules);

// Modules of a width-digit pattern, or -1 when a digit lies outside "1".."4".
// Lets the code tables check their patterns at compile time.
constexpr int WidthSum(std::string_view widths)
{
    int modules = 0;
    for (char w : widths) {
        if (w < '1' || w > '4')
            return -1;
        modules += w - '0';
    }
    return modules;
}

// Wide elements of a two-width module pattern (bar "5"/"6", space "0"/"1",
// alternating, bar first), or -1 when an element is out of place.
constexpr int WideCount(std::string_view modules)
{
    int wide = 0;
    for (std::size_t i = 0; i < modules.size(); ++i) {
        const char narrow = i % 2 == 0 ? '5' : '0';
        if (modules[i] != narrow && modules[i] != narrow + 1)
            return -1;
        wide += modules[i] != narrow;
    }
    return wide;
}

} // namespace Vandrel
