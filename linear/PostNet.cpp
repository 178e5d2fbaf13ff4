#include "linear/PostNet.h"

#include <iterator>

namespace Vandrel {

// A digit's five bars, two of them tall, each followed by a space; the tall bars
// weigh 7, 4, 2, 1, 0 and 0 is written as 7 + 4.
constexpr char Codetable_PostNet[10][11] = {
    {10, '5', '1', '5', '1', 'A', '1', 'A', '1', 'A', '1'}, // 0 ||...
    {10, 'A', '1', 'A', '1', 'A', '1', '5', '1', '5', '1'}, // 1 ...||
    {10, 'A', '1', 'A', '1', '5', '1', 'A', '1', '5', '1'}, // 2 ..|.|
    {10, 'A', '1', 'A', '1', '5', '1', '5', '1', 'A', '1'}, // 3 ..||.
    {10, 'A', '1', '5', '1', 'A', '1', 'A', '1', '5', '1'}, // 4 .|..|
    {10, 'A', '1', '5', '1', 'A', '1', '5', '1', 'A', '1'}, // 5 .|.|.
    {10, 'A', '1', '5', '1', '5', '1', 'A', '1', 'A', '1'}, // 6 .||..
    {10, '5', '1', 'A', '1', 'A', '1', 'A', '1', '5', '1'}, // 7 |...|
    {10, '5', '1', 'A', '1', 'A', '1', '5', '1', 'A', '1'}, // 8 |..|.
    {10, '5', '1', 'A', '1', '5', '1', 'A', '1', 'A', '1'}, // 9 |.|..
};
static_assert(std::size(Codetable_PostNet) == 10);

namespace {

constexpr bool EntriesSpellTheirDigits()
{
    constexpr int Weights[5] = {7, 4, 2, 1, 0};
    for (int digit = 0; digit < 10; ++digit) {
        const char* entry = Codetable_PostNet[digit];
        if (entry[0] != 10)
            return false;
        int tall = 0, sum = 0;
        for (int k = 0; k < 5; ++k) {
            const char bar = entry[1 + 2 * k];
            if ((bar != '5' && bar != 'A') || entry[2 + 2 * k] != '1')
                return false;
            tall += bar == '5';
            sum += bar == '5' ? Weights[k] : 0;
        }
        if (tall != 2 || sum != (digit == 0 ? 11 : digit))
            return false;
    }
    return true;
}
static_assert(EntriesSpellTheirDigits(), "every digit needs two tall bars of weights summing to it");

} // namespace

std::string PostNetModules(std::string_view digits)
{
    // Tall frame bars open and close the symbol. A character other than a digit,
    // which validation rules out, adds nothing.
    std::string modules = "51";
    modules.reserve(modules.size() + 10 * digits.size() + 1);
    for (char c : digits)
        if (c >= '0' && c <= '9') {
            const char* entry = Codetable_PostNet[c - '0'];
            modules.append(entry + 1, static_cast<std::size_t>(entry[0]));
        }
    modules += '5';
    return modules;
}

} // namespace Vandrel
