// Linear symbols: a type byte, then any value through the value check, the
// check-digit completion, the module string and the human-readable text. A
// refused value may raise the engines' typed error; nothing may crash.
#include "FuzzInput.h"

#include "linear/Symbology.h"
#include "linear/ValueCheck.h"

#include <exception>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace Vandrel;
    VandrelFuzz::TInput input(data, size);
    constexpr int TypeCount = 23;
    const auto type = static_cast<TBarType>(input.Byte() % TypeCount);
    std::string value(input.Rest());
    DoDigitNum(type, value);
    CompleteCheckDigit(type, value);
    // Encoders take unchecked values too: what a value check would refuse stays inside the tables.
    for (const std::string& v : {std::string(input.Rest()), value}) {
        try {
            ModuleString(type, v);
            HumanText(type, v);
        } catch (const std::exception&) {
        }
    }
    return 0;
}
