#include "pdf417/ErrorCorrection.h"

#include "pdf417/Codewords.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace Vandrel {

namespace {

constexpr int32_t Prime = GaloisPrime;
constexpr int32_t LevelCount = MaxErrorLevel + 1;

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
        root = root * GaloisRoot % Prime;
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

// Each level's generator, and the same coefficients negated mod 929 for the
// shift register below.
struct TGenerators {
    std::array<int32_t, GeneratorsSize> Plain{};
    std::array<uint32_t, GeneratorsSize> Negated{};
};

// All nine generators, multiplied out once at first use: at compile time the
// higher levels take more evaluation steps than compilers allow by default,
// and no table of 1022 numbers has to be typed and checked by eye.
const TGenerators& Generators()
{
    static const TGenerators all = [] {
        TGenerators generators;
        std::array<int32_t, MaxECCount + 1> poly{};
        for (int32_t level = 0; level < LevelCount; ++level) {
            const std::size_t k = std::size_t{2} << level;
            MultiplyOut(std::span(poly).first(k + 1));
            std::copy_n(poly.begin() + 1, k, generators.Plain.begin() + GeneratorOffset(level));
        }
        std::transform(generators.Plain.begin(), generators.Plain.end(), generators.Negated.begin(),
                       [](int32_t a) { return static_cast<uint32_t>((Prime - a) % Prime); });
        return generators;
    }();
    return all;
}

// The register adds products of two residues and is reduced only where a
// value leaves it: an entry takes at most MaxECCount products on its way to
// the front, which 32 bits hold.
static_assert(MaxECCount * (Prime - 1) * (Prime - 1) + Prime <= UINT32_MAX);

using TRegister = std::array<uint32_t, MaxECCount + 1>;

// The remainder of data(x)·x^k divided by the generator of `level`, by the
// usual shift register, each entry left unreduced. The register subtracts
// a[j]·t by adding (929 - a[j])·t and leaves every reduction but the
// feedback's to the end, so the inner loop is a plain multiply-add without a
// division; its one entry past the end stays 0 for the last coefficient to
// shift in.
template <typename Values>
TRegister Remainder(TErrorLevel level, const Values& values)
{
    const std::size_t k = std::size_t{2} << level;
    const uint32_t* negated = Generators().Negated.data() + GeneratorOffset(level);
    TRegister r{};
    values([&](int32_t value) {
        const uint32_t t = (static_cast<uint32_t>(value) + r[0]) % Prime;
        for (std::size_t j = 0; j < k; ++j)
            r[j] = r[j + 1] + negated[j] * t;
    });
    return r;
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
    return std::span<const int32_t>(Generators().Plain)
        .subspan(GeneratorOffset(FLevel), static_cast<std::size_t>(ECCount()));
}

// The remainder, negated.
void TPdf417ErrorCorrection::CreateErrorCode(const TPdf417Codewords& list, int32_t start, int32_t count)
{
    const TRegister r = Remainder(FLevel, [&](const auto& shift) {
        const TBarData* node = list.FindNode(start);
        for (int32_t taken = 0; node && taken < count; ++taken, node = node->Next)
            shift(node->Value);
    });
    for (std::size_t j = 0; j < FErrorCodes.size(); ++j)
        FErrorCodes[j] = static_cast<int32_t>((Prime - r[j] % Prime) % Prime);
}

// c(x) vanishes at the generator's roots exactly when the generator divides
// it, that is when c(x)·x^k leaves no remainder (x^k shares no root with it).
bool IsSymbolCodeword(std::span<const int16_t> codewords, TErrorLevel level)
{
    if (level < 0 || level >= LevelCount)
        return false;
    const TRegister r = Remainder(level, [&](const auto& shift) {
        for (const int16_t c : codewords)
            shift(c);
    });
    return std::all_of(r.begin(), r.begin() + (std::ptrdiff_t{2} << level),
                       [](uint32_t entry) { return entry % Prime == 0; });
}

} // namespace Vandrel
