// The PDF417 encoder: options from the first bytes (mode, level, type,
// columns, rows, encryption), the value from the rest. Every property setter
// may refuse with a message and the encoding may raise the engines' typed
// error (a value that fits no symbol); nothing may crash.
#include "FuzzInput.h"

#include "pdf417/Encoder.h"

#include <exception>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace Vandrel;
    VandrelFuzz::TInput input(data, size);
    TPdf417Encoder encoder([](const std::string&) {});
    // A fixed file ID source: a sequence's ID is not what is being tried.
    encoder.SetFileIdSources([] { return 0.5; }, [](int32_t range) { return range / 2; });
    const uint8_t options = input.Byte();
    encoder.SetCodeMode(static_cast<TCodeMode>(options & 3));
    encoder.SetPDFType(static_cast<TPDFType>(options >> 2 & 3));
    encoder.SetIsEncrypt(options & 0x10);
    if (options & 0x20)
        encoder.SetPassword("fuzz");
    encoder.SetErrorLevel(input.Byte() % 10 - 1); // -1 and 9 are out of range
    encoder.SetDataColumn(input.Byte());
    encoder.SetDataRow(input.Byte());
    encoder.SetBarValue(std::string(input.Rest()));
    try {
        encoder.StreamToBarData();
    } catch (const std::exception&) {
    }
    return 0;
}
