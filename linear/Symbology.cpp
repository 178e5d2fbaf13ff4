#include "linear/Symbology.h"

#include "linear/Codabar.h"
#include "linear/Code128.h"
#include "linear/Code39.h"
#include "linear/Code93.h"
#include "linear/Msi.h"
#include "linear/PostNet.h"
#include "linear/Retail.h"
#include "linear/TwoOfFive.h"

namespace Vandrel {

std::string ModuleString(TBarType type, std::string_view value)
{
    switch (type) {
    case Inter2_5: return Inter2_5Modules(value);
    case Indust2_5: return Indust2_5Modules(value);
    case Matrix2_5: return Matrix2_5Modules(value);
    case Code39: return Code39Modules(value);
    case Code39Ex: return Code39Modules(Code39ExExpand(value));
    case Code128_A: return Code128Modules('A', false, value);
    case Code128_B: return Code128Modules('B', false, value);
    case Code128_C: return Code128Modules('C', false, value);
    case EAN128_A: return Code128Modules('A', true, value);
    case EAN128_B: return Code128Modules('B', true, value);
    case EAN128_C: return Code128Modules('C', true, value);
    case Code93: return Code93Modules(value);
    case Code93Ex: return Code93Modules(Code93ExExpand(value));
    case MSI: return MSIModules(value);
    case PostNet: return PostNetModules(value);
    case CodaBar: return CodabarModules(value);
    case EAN8: return EAN8Modules(value);
    case EAN13:
    case ISBN: return EAN13Modules(value);
    case UPC_A: return UPCAModules(value);
    case UPC_E0: return UPCEModules(value, false);
    case UPC_E1: return UPCEModules(value, true);
    case ISSN: return ISSNModules(value);
    }
    return {};
}

std::string HumanText(TBarType type, std::string_view value)
{
    // Code 39 shows its start and stop asterisks, also for the Extended form, whose
    // text is the value as given rather than its expansion.
    if (type == Code39 || type == Code39Ex)
        return "*" + std::string(value) + "*";
    return std::string(value);
}

} // namespace Vandrel
