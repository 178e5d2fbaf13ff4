#include "linear/TwoOfFive.h"

#include <iterator>

namespace Vandrel {

// Two wide elements out of five; the first four weigh 1, 2, 4, 7, the fifth is
// parity, and 0 is written as 4 + 7.
constexpr char CodeTable_2_5[10][5] = {
    {'0', '0', '1', '1', '0'}, // 0
    {'1', '0', '0', '0', '1'}, // 1
    {'0', '1', '0', '0', '1'}, // 2
    {'1', '1', '0', '0', '0'}, // 3
    {'0', '0', '1', '0', '1'}, // 4
    {'1', '0', '1', '0', '0'}, // 5
    {'0', '1', '1', '0', '0'}, // 6
    {'0', '0', '0', '1', '1'}, // 7
    {'1', '0', '0', '1', '0'}, // 8
    {'0', '1', '0', '1', '0'}, // 9
};
static_assert(std::size(CodeTable_2_5) == 10);

namespace {

constexpr bool PatternsSpellTheirDigits()
{
    constexpr int Weights[5] = {1, 2, 4, 7, 0};
    for (int digit = 0; digit < 10; ++digit) {
        int wide = 0, sum = 0;
        for (int k = 0; k < 5; ++k) {
            const char e = CodeTable_2_5[digit][k];
            if (e != '0' && e != '1')
                return false;
            wide += e == '1';
            sum += e == '1' ? Weights[k] : 0;
        }
        if (wide != 2 || sum != (digit == 0 ? 11 : digit))
            return false;
    }
    return true;
}
static_assert(PatternsSpellTheirDigits(), "every digit needs two wide elements of weights summing to it");

// The five elements of a digit, or null for any other character, which validation
// rules out and the encoders then skip.
const char* PatternOf(char c)
{
    return c >= '0' && c <= '9' ? CodeTable_2_5[c - '0'] : nullptr;
}

// The narrow module character, or for a pattern's "1" the wide one after it.
char Element(char narrow, char bit)
{
    return bit == '1' ? static_cast<char>(narrow + 1) : narrow;
}

} // namespace

std::string Inter2_5Modules(std::string_view digits)
{
    std::string modules = "5050";
    modules.reserve(modules.size() + 5 * digits.size() + 3);
    // The first digit of a pair sets the bars, the second the spaces between them. A
    // lone last digit, which validation rules out, has no partner and is dropped.
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        const char* bars = PatternOf(digits[i]);
        const char* spaces = PatternOf(digits[i + 1]);
        if (!bars || !spaces)
            continue;
        for (int k = 0; k < 5; ++k) {
            modules += Element('5', bars[k]);
            modules += Element('0', spaces[k]);
        }
    }
    modules += "605";
    return modules;
}

std::string Indust2_5Modules(std::string_view digits)
{
    // All information is in the bars; every bar is followed by a narrow space.
    std::string modules = "606050";
    modules.reserve(modules.size() + 10 * digits.size() + 6);
    for (char c : digits)
        if (const char* pattern = PatternOf(c))
            for (int k = 0; k < 5; ++k)
                (modules += Element('5', pattern[k])) += '0';
    modules += "605060";
    return modules;
}

std::string Matrix2_5Modules(std::string_view digits)
{
    // Bars and spaces alternate within a digit (three bars, two spaces), and a
    // narrow gap follows each digit.
    std::string modules = "705050";
    modules.reserve(modules.size() + 6 * digits.size() + 5);
    for (char c : digits) {
        if (const char* pattern = PatternOf(c)) {
            for (int k = 0; k < 5; ++k)
                modules += Element(k % 2 == 0 ? '5' : '0', pattern[k]);
            modules += '0';
        }
    }
    modules += "70505";
    return modules;
}

} // namespace Vandrel
