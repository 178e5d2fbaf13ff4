// The picture reader: a width byte and a pixel-size byte, then the pixels of
// a small picture (grey, RGB or RGBA, rows as wide as the input allows) read
// for every symbol in it. Nothing may read outside the picture.
#include "FuzzInput.h"

#include "reader/StreamDecode.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace Vandrel;
    VandrelFuzz::TInput input(data, size);
    const int32_t width = 1 + input.Byte();
    const int32_t bytesPerPixel = 1 + input.Byte() % 4;
    const size_t stride = static_cast<size_t>(width) * static_cast<size_t>(bytesPerPixel);
    const int32_t height = static_cast<int32_t>(input.RestSize() / stride);
    // A copy of exactly the picture's bytes: a read past it is caught.
    const std::vector<uint8_t> pixels(input.RestData(), input.RestData() + stride * static_cast<size_t>(height));
    const TPixelView view{pixels.data(), width, height, static_cast<ptrdiff_t>(stride), bytesPerPixel};
    ScanPictureAll(
        view, "", [] { return std::string("fuzz"); }, [](const std::string&) {});
    return 0;
}
