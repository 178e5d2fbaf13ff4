#include "core/FullAscii.h"

#include <iterator>

namespace Vandrel {

std::string ExpandFullAscii(const TFullAsciiTable& table, std::string_view value)
{
    std::string expanded;
    expanded.reserve(2 * value.size());
    for (char c : value) {
        const auto code = static_cast<unsigned char>(c);
        if (code < std::size(table)) {
            const auto& entry = table[code];
            expanded.append(entry.begin() + 1, entry.begin() + 1 + entry[0]);
        }
    }
    return expanded;
}

} // namespace Vandrel
