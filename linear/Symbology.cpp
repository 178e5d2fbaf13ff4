#include "linear/Symbology.h"

#include "linear/Code39.h"

namespace Vandrel {

std::string ModuleString(TBarType type, std::string_view value) {
    switch (type) {
    case Code39: return Code39Modules(value);
    case Code39Ex: return Code39Modules(Code39ExExpand(value));
    default: return {};
    }
}

std::string HumanText(TBarType type, std::string_view value) {
    // Code 39 shows its start and stop asterisks, also for the Extended form, whose
    // text is the value as given rather than its expansion.
    if (type == Code39 || type == Code39Ex)
        return "*" + std::string(value) + "*";
    return std::string(value);
}

} // namespace Vandrel
