#include "linear/Msi.h"

#include "core/CheckDigits.h"

#include <iterator>

namespace Vandrel {

// A digit's four bits, most significant first: 0 as a narrow bar and wide space,
// 1 as a wide bar and narrow space.
constexpr char Codetable_MSI[10][9] = {
    {8, '5', '1', '5', '1', '5', '1', '5', '1'}, // 0000
    {8, '5', '1', '5', '1', '5', '1', '6', '0'}, // 0001
    {8, '5', '1', '5', '1', '6', '0', '5', '1'}, // 0010
    {8, '5', '1', '5', '1', '6', '0', '6', '0'}, // 0011
    {8, '5', '1', '6', '0', '5', '1', '5', '1'}, // 0100
    {8, '5', '1', '6', '0', '5', '1', '6', '0'}, // 0101
    {8, '5', '1', '6', '0', '6', '0', '5', '1'}, // 0110
    {8, '5', '1', '6', '0', '6', '0', '6', '0'}, // 0111
    {8, '6', '0', '5', '1', '5', '1', '5', '1'}, // 1000
    {8, '6', '0', '5', '1', '5', '1', '6', '0'}, // 1001
};
static_assert(std::size(Codetable_MSI) == 10);

namespace {

constexpr bool EntriesSpellTheirBits()
{
    for (int digit = 0; digit < 10; ++digit) {
        const char* entry = Codetable_MSI[digit];
        if (entry[0] != 8)
            return false;
        for (int bit = 0; bit < 4; ++bit) {
            const bool one = (digit >> (3 - bit)) & 1;
            if (entry[1 + 2 * bit] != (one ? '6' : '5') || entry[2 + 2 * bit] != (one ? '0' : '1'))
                return false;
        }
    }
    return true;
}
static_assert(EntriesSpellTheirBits(), "every digit needs its four bits, most significant first");

constexpr bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view EntryOf(int digit)
{
    return {Codetable_MSI[digit] + 1, static_cast<std::size_t>(Codetable_MSI[digit][0])};
}

} // namespace

int MSICheckDigit(std::string_view digits)
{
    // The check digit is 10 minus, modulo 10, the digit sum of 2 × e plus the other
    // digits, e being the number spelt by every second digit from the last. Doubling
    // a digit carries at most once and never into a carry, so the digit sum of 2 × e
    // is the sum of the doubled digits' digit sums: the sum can be taken digit by
    // digit, modulo 10, for a value of any length. Characters other than digits,
    // which validation rules out, have no position.
    int sum = 0;
    bool doubled = true;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (!IsDigit(*it))
            continue;
        const int d = *it - '0';
        sum = (sum + (doubled ? quersum(2 * d) : d)) % 10;
        doubled = !doubled;
    }
    return (10 - sum) % 10;
}

std::string MSIModules(std::string_view digits)
{
    std::string modules = "60";
    modules.reserve(modules.size() + 8 * (digits.size() + 1) + 3);
    for (char c : digits)
        if (IsDigit(c))
            modules += EntryOf(c - '0');
    modules += EntryOf(MSICheckDigit(digits));
    modules += "515";
    return modules;
}

} // namespace Vandrel
