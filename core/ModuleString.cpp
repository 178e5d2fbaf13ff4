#include "core/ModuleString.h"

#include <algorithm>
#include <limits>

namespace Vandrel {

void AppendConverted(std::string& modules, std::string_view widths)
{
    // Elements alternate bar, space, ...: bars move "1".."4" up to "5".."8",
    // spaces down to "0".."3".
    for (std::size_t i = 0; i < widths.size(); ++i)
        modules.push_back(static_cast<char>(widths[i] + (i % 2 == 0 ? 4 : -1)));
}

std::string Convert(std::string_view widths)
{
    std::string modules;
    modules.reserve(widths.size());
    AppendConverted(modules, widths);
    return modules;
}

void GetBarProps(char c, int32_t& width, TBarLineType& kind)
{
    if (c >= '0' && c <= '3') {
        width = Modules[c - '0'];
        kind = WHITE;
    } else if (c >= '5' && c <= '8') {
        width = Modules[c - '5'];
        kind = BLACK;
    } else if (c >= 'A' && c <= 'D') {
        width = Modules[c - 'A'];
        kind = BLACK_HALF;
    }
}

int32_t ModuleCount(std::string_view modules)
{
    int64_t total = 0;
    for (char c : modules) {
        int32_t width = 0; // a character outside the alphabet adds nothing
        TBarLineType kind = WHITE;
        GetBarProps(c, width, kind);
        total += width;
    }
    // Saturating keeps absurdly long strings defined: they draw 0 pixels wide.
    return static_cast<int32_t>(std::min<int64_t>(total, std::numeric_limits<int32_t>::max()));
}

} // namespace Vandrel
