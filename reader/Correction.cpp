#include "reader/Correction.h"

#include "pdf417/Codewords.h"
#include "reader/Recognition.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace Vandrel {
namespace {

// The codeword at place p of n has degree n − 1 − p and the locator 3^(n−1−p);
// the syndromes are the received polynomial at the generator's roots
// 3^1 ... 3^k. With S(x) = S_1 + S_2·x + ... + S_k·x^(k−1), the errata
// locator Ψ(x) = Π (1 − X·x) over the damaged places and the evaluator
// Ω(x) = S(x)·Ψ(x) mod x^k, the value to subtract at a place with locator X
// is −Ω(1/X) / Ψ'(1/X) (Forney). The erasures give part of Ψ outright; the
// errors' part is the shortest recurrence (Berlekamp-Massey) of the
// syndromes with the erasures taken out (Forney syndromes).

constexpr int32_t Prime = GaloisPrime;
constexpr int32_t Order = GaloisPrime - 1; // of the nonzero residues, all powers of 3

struct TGaloisTables {
    std::array<int16_t, Order> Exp{};       // 3^i
    std::array<int16_t, GaloisPrime> Log{}; // i such that 3^i = v; Log[0] means nothing
};

constexpr TGaloisTables MakeGaloisTables()
{
    TGaloisTables tables;
    int32_t power = 1;
    for (int32_t i = 0; i < Order; ++i) {
        tables.Exp[static_cast<size_t>(i)] = static_cast<int16_t>(power);
        tables.Log[static_cast<size_t>(power)] = static_cast<int16_t>(i);
        power = power * GaloisRoot % Prime;
    }
    return tables;
}

constexpr TGaloisTables Galois = MakeGaloisTables();

// 3 generates every nonzero residue, so each place has a locator of its own
// and every nonzero value a logarithm.
constexpr bool RootGeneratesAll()
{
    for (int32_t v = 2; v < Prime; ++v)
        if (Galois.Log[static_cast<size_t>(v)] == 0)
            return false;
    return true;
}
static_assert(RootGeneratesAll());

int32_t Mul(int32_t a, int32_t b)
{
    return a * b % Prime;
}

int32_t Sub(int32_t a, int32_t b)
{
    return (a + Prime - b) % Prime;
}

// 3^e for e >= 0.
int32_t Power(int32_t e)
{
    return Galois.Exp[static_cast<size_t>(e % Order)];
}

// 1 / a for a != 0.
int32_t Inverse(int32_t a)
{
    return Galois.Exp[static_cast<size_t>((Order - Galois.Log[static_cast<size_t>(a)]) % Order)];
}

// Polynomials lowest degree first.
using TPoly = std::vector<int32_t>;

int32_t Evaluate(const TPoly& p, int32_t x)
{
    int32_t value = 0;
    for (auto c = p.rbegin(); c != p.rend(); ++c)
        value = (value * x + *c) % Prime;
    return value;
}

TPoly Product(const TPoly& a, const TPoly& b)
{
    TPoly p(a.size() + b.size() - 1, 0);
    for (size_t i = 0; i < a.size(); ++i)
        for (size_t j = 0; j < b.size(); ++j)
            p[i + j] = (p[i + j] + Mul(a[i], b[j])) % Prime;
    return p;
}

// S_1 ... S_k, each by Horner's rule over the codewords.
TPoly Syndromes(std::span<const int16_t> codewords, int32_t ecCount)
{
    TPoly s(static_cast<size_t>(ecCount));
    for (int32_t k = 1; k <= ecCount; ++k) {
        const int32_t root = Power(k);
        int32_t value = 0;
        for (const int16_t c : codewords)
            value = (value * root + c) % Prime;
        s[static_cast<size_t>(k - 1)] = value;
    }
    return s;
}

// Π (1 − X·x) over the locators.
TPoly LocatorPolynomial(std::span<const int32_t> locators)
{
    TPoly p{1};
    for (const int32_t x : locators) {
        p.push_back(0);
        for (size_t i = p.size() - 1; i > 0; --i)
            p[i] = Sub(p[i], Mul(x, p[i - 1]));
    }
    return p;
}

// The shortest recurrence u_m + C_1·u_(m−1) + ... + C_L·u_(m−L) = 0 that
// generates `u`, as C(x) = 1 + C_1·x + ... + C_L·x^L (Berlekamp-Massey).
// No C_i lies beyond degree u.size(), so the polynomials are held that long.
TPoly ShortestRecurrence(std::span<const int32_t> u)
{
    const size_t size = u.size() + 1;
    TPoly c(size, 0), before(size, 0), saved;
    c[0] = before[0] = 1;
    size_t length = 0;
    size_t shift = 1;  // since `before` was the recurrence
    int32_t lastD = 1; // its discrepancy then
    for (size_t n = 0; n < u.size(); ++n) {
        int32_t d = u[n];
        for (size_t i = 1; i <= length; ++i)
            d = (d + Mul(c[i], u[n - i])) % Prime;
        if (d == 0) {
            ++shift;
            continue;
        }
        const int32_t factor = Mul(d, Inverse(lastD));
        const bool longer = 2 * length <= n;
        if (longer)
            saved = c;
        for (size_t i = 0; i + shift < size; ++i)
            c[i + shift] = Sub(c[i + shift], Mul(factor, before[i]));
        if (longer) {
            length = n + 1 - length;
            before = std::move(saved);
            lastD = d;
            shift = 1;
        } else {
            ++shift;
        }
    }
    c.resize(length + 1);
    return c;
}

TPoly Derivative(const TPoly& p)
{
    TPoly d(std::max<size_t>(p.size(), 2) - 1, 0);
    for (size_t i = 1; i < p.size(); ++i)
        d[i - 1] = Mul(static_cast<int32_t>(i % Prime), p[i]);
    return d;
}

bool ValidErasures(std::span<const int32_t> erasures, size_t n)
{
    std::vector<bool> seen(n, false);
    for (const int32_t place : erasures) {
        if (place < 0 || static_cast<size_t>(place) >= n || seen[static_cast<size_t>(place)])
            return false;
        seen[static_cast<size_t>(place)] = true;
    }
    return true;
}

} // namespace

std::optional<int32_t> CorrectCodewords(std::span<int16_t> codewords, int32_t ecCount,
                                        std::span<const int32_t> erasures)
{
    // A symbol read whole costs one check, as before there was correction.
    if (erasures.empty() && ErrorCorrectionHolds(codewords, ecCount))
        return 0;
    const size_t n = codewords.size();
    const int32_t capacity = ecCount - 2;
    const int32_t f = static_cast<int32_t>(erasures.size());
    if (ecCount < 1 || n <= static_cast<size_t>(ecCount) || n > static_cast<size_t>(MaxSymbolCodewords) ||
        f > capacity || !ValidErasures(erasures, n) ||
        std::any_of(codewords.begin(), codewords.end(), [](int16_t c) { return c < 0 || c >= Prime; }))
        return std::nullopt;
    const TPoly s = Syndromes(codewords, ecCount);
    if (std::all_of(s.begin(), s.end(), [](int32_t v) { return v == 0; }))
        return f; // the erased places hold the right values already
    const auto degree = [n](int32_t place) { return static_cast<int32_t>(n) - 1 - place; };
    std::vector<int32_t> locators;
    for (const int32_t place : erasures)
        locators.push_back(Power(degree(place)));
    const TPoly erasureLocator = LocatorPolynomial(locators);

    // The Forney syndromes: S(x)·Γ(x) from degree f on, where the erasures no
    // longer show.
    TPoly forney(static_cast<size_t>(ecCount - f), 0);
    for (size_t k = static_cast<size_t>(f); k < s.size(); ++k)
        for (size_t i = 0; i < erasureLocator.size(); ++i)
            forney[k - static_cast<size_t>(f)] =
                (forney[k - static_cast<size_t>(f)] + Mul(erasureLocator[i], s[k - i])) % Prime;
    const TPoly errorLocator = ShortestRecurrence(forney);
    const int32_t errors = static_cast<int32_t>(errorLocator.size()) - 1;
    if (2 * errors + f > capacity)
        return std::nullopt;

    // The errors' places: where the error locator has a root. Every root must
    // be a place of the symbol, and none an erasure.
    std::vector<int32_t> places(erasures.begin(), erasures.end());
    for (int32_t place = 0; place < static_cast<int32_t>(n); ++place)
        if (Evaluate(errorLocator, Power(Order - degree(place))) == 0) {
            if (std::find(erasures.begin(), erasures.end(), place) != erasures.end())
                return std::nullopt;
            places.push_back(place);
        }
    if (static_cast<int32_t>(places.size()) != f + errors)
        return std::nullopt;

    const TPoly errataLocator = Product(errorLocator, erasureLocator);
    TPoly evaluator = Product(s, errataLocator);
    evaluator.resize(places.size()); // mod x^k: the degree stays below the errata count
    const TPoly slope = Derivative(errataLocator);
    std::vector<int16_t> corrected(codewords.begin(), codewords.end());
    for (const int32_t place : places) {
        const int32_t inverse = Power(Order - degree(place));
        const int32_t d = Evaluate(slope, inverse);
        if (d == 0)
            return std::nullopt;
        int16_t& c = corrected[static_cast<size_t>(place)];
        c = static_cast<int16_t>((c + Mul(Evaluate(evaluator, inverse), Inverse(d))) % Prime);
    }
    // Beyond capacity a locator can still find its roots; a result that is no
    // code word gives it away.
    if (!ErrorCorrectionHolds(corrected, ecCount))
        return std::nullopt;
    std::copy(corrected.begin(), corrected.end(), codewords.begin());
    return f + errors;
}

} // namespace Vandrel
