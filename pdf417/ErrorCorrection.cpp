#include "pdf417/ErrorCorrection.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

namespace Vandrel {

namespace {

constexpr int32_t Prime = 929;
constexpr int32_t LevelCount = 9;

// The nine generators one after the other: level L starts at 2^(L+1) - 2.
constexpr std::size_t GeneratorOffset(int32_t level)
{
    return (std::size_t{2} << level) - 2;
}
constexpr std::size_t GeneratorsSize = GeneratorOffset(LevelCount);
constexpr std::size_t MaxECCount = std::size_t{2} << (LevelCount - 1);

// Multiplies out (x - 3)(x - 3^2)...(x - 3^k), k = poly.size() - 1, into
// poly, highest order first: poly[0] is the leading 1.
constexpr void MultiplyOut(std::span<int32_t> poly)
{
    std::fill(poly.begin(), poly.end(), 0);
    poly[0] = 1;
    int32_t root = 1;
    for (std::size_t degree = 1; degree < poly.size(); ++degree) {
        root = root * 3 % Prime;
        for (std::size_t i = degree; i > 0; --i)
            poly[i] = (poly[i] + Prime - root * poly[i - 1] % Prime) % Prime;
    }
}

// The generator of `k` error-correction codewords without its leading 1.
template <std::size_t K>
constexpr std::array<int32_t, K> Generator()
{
    std::array<int32_t, K + 1> poly{};
    MultiplyOut(poly);
    std::array<int32_t, K> generator{};
    std::copy(poly.begin() + 1, poly.end(), generator.begin());
    return generator;
}

// The PDF417 standard's tables list the same coefficients lowest order first.
static_assert(Generator<2>() == std::array<int32_t, 2>{917, 27});
static_assert(Generator<4>() == std::array<int32_t, 4>{809, 723, 568, 522});

// All nine generators, multiplied out once at first use: at compile time the
// higher levels take more evaluation steps than compilers allow by default,
// and no table of 1022 numbers has to be typed and checked by eye.
const std::array<int32_t, GeneratorsSize>& Generators()
{
    static const std::array<int32_t, GeneratorsSize> all = [] {
        std::array<int32_t, GeneratorsSize> generators{};
        std::array<int32_t, MaxECCount + 1> poly{};
        for (int32_t level = 0; level < LevelCount; ++level) {
            const std::size_t k = std::size_t{2} << level;
            MultiplyOut(std::span(poly).first(k + 1));
            std::copy_n(poly.begin() + 1, k, generators.begin() + GeneratorOffset(level));
        }
        return generators;
    }();
    return all;
}

} // namespace

TPdf417ErrorCorrection::TPdf417ErrorCorrection(TErrorLevel level)
    : FLevel(level), FErrorCodes(static_cast<std::size_t>(ECCount()))
{
}

bool TPdf417ErrorCorrection::SetErrorLevel(int32_t level, const TMessageFn& message)
{
    if (level < 0 || level >= LevelCount)
        return Refuse(message, "Out of Range!");
    FLevel = static_cast<TErrorLevel>(level);
    FErrorCodes.assign(static_cast<std::size_t>(ECCount()), 0);
    return true;
}

std::span<const int32_t> TPdf417ErrorCorrection::ECCoefficients() const
{
    return std::span<const int32_t>(Generators()).subspan(GeneratorOffset(FLevel), static_cast<std::size_t>(ECCount()));
}

// The remainder of data(x)·x^k divided by the generator, by the usual shift
// register, negated at the end.
void TPdf417ErrorCorrection::CreateErrorCode(const TPdf417Codewords& list, int32_t start, int32_t count)
{
    const std::span<const int32_t> a = ECCoefficients();
    std::vector<int32_t>& e = FErrorCodes;
    const std::size_t k = e.size();
    std::fill(e.begin(), e.end(), 0);
    const TBarData* node = list.FindNode(start);
    for (int32_t taken = 0; node && taken < count; ++taken, node = node->Next) {
        const int32_t t = (node->Value + e[0]) % Prime;
        for (std::size_t j = 0; j + 1 < k; ++j)
            e[j] = (e[j + 1] + Prime - a[j] * t % Prime) % Prime;
        e[k - 1] = (Prime - a[k - 1] * t % Prime) % Prime;
    }
    for (int32_t& v : e)
        v = (Prime - v) % Prime;
}

} // namespace Vandrel
