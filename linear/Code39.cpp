#include "linear/Code39.h"

#include "core/CharIndex.h"
#include "core/FullAscii.h"
#include "core/ModuleString.h"

#include <iterator>

namespace Vandrel {

// Patterns of ISO/IEC 16388 in module characters: "5"/"6" narrow/wide bar,
// "0"/"1" narrow/wide space, so a wide element is two modules.
constexpr TCode39Record CodeTable_Code39[44] = {
    {'0', "505160605", 0},  {'1', "605150506", 1},  {'2', "506150506", 2},  {'3', "606150505", 3},
    {'4', "505160506", 4},  {'5', "605160505", 5},  {'6', "506160505", 6},  {'7', "505150606", 7},
    {'8', "605150605", 8},  {'9', "506150605", 9},  {'A', "605051506", 10}, {'B', "506051506", 11},
    {'C', "606051505", 12}, {'D', "505061506", 13}, {'E', "605061505", 14}, {'F', "506061505", 15},
    {'G', "505051606", 16}, {'H', "605051605", 17}, {'I', "506051605", 18}, {'J', "505061605", 19},
    {'K', "605050516", 20}, {'L', "506050516", 21}, {'M', "606050515", 22}, {'N', "505060516", 23},
    {'O', "605060515", 24}, {'P', "506060515", 25}, {'Q', "505050616", 26}, {'R', "605050615", 27},
    {'S', "506050615", 28}, {'T', "505060615", 29}, {'U', "615050506", 30}, {'V', "516050506", 31},
    {'W', "616050505", 32}, {'X', "515060506", 33}, {'Y', "615060505", 34}, {'Z', "516060505", 35},
    {'-', "515050606", 36}, {'.', "615050605", 37}, {' ', "516050605", 38}, {'*', "515060605", 0},
    {'$', "515151505", 39}, {'/', "515150515", 40}, {'+', "515051515", 41}, {'%', "505151515", 42},
};
static_assert(std::size(CodeTable_Code39) == 44);

namespace {

constexpr TCharIndex Code39Index = MakeCharIndex(CodeTable_Code39, [](const TCode39Record& r) { return r.Character; });

// Nine elements, three of them wide (12 modules), then the terminating zero.
constexpr bool PatternsWellFormed()
{
    for (const auto& r : CodeTable_Code39)
        if (WideCount({r.Pattern, 9}) != 3 || r.Pattern[9] != '\0')
            return false;
    return true;
}
static_assert(PatternsWellFormed(), "every Code 39 record needs a 12-module pattern");

// An expansion made of anything but Code 39 characters would lose those
// characters silently in the encoder.
constexpr bool ExpansionsEncodable()
{
    for (const auto& e : CodeTable_Code39Ex) {
        if (e[0] < 1 || e[0] > 2)
            return false;
        for (int i = 1; i <= e[0]; ++i)
            if (Code39Index(static_cast<char>(e[i])) < 0)
                return false;
    }
    return true;
}
static_assert(ExpansionsEncodable(), "every code 0..127 needs one or two Code 39 characters");

constexpr const char* StartStop = CodeTable_Code39[Code39Index('*')].Pattern;

} // namespace

bool IsCode39Char(char c)
{
    return Code39Index(c) >= 0;
}

std::string Code39Modules(std::string_view value)
{
    std::string modules;
    modules.reserve(10 * (value.size() + 2));
    (modules += StartStop) += '0'; // '0' is the narrow inter-character gap
    for (char c : value)
        if (const int i = Code39Index(c); i >= 0)
            (modules += CodeTable_Code39[i].Pattern) += '0';
    modules += StartStop;
    return modules;
}

std::string Code39ExExpand(std::string_view value)
{
    return ExpandFullAscii(CodeTable_Code39Ex, value);
}

} // namespace Vandrel
