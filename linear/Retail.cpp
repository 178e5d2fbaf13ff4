#include "linear/Retail.h"

#include "core/CheckDigits.h"
#include "core/Exceptions.h"
#include "core/ModuleString.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <limits>

namespace Vandrel {

// The number sets of EAN/UPC in module characters (space, bar, space, bar for
// the left-hand sets). Set C is set A with the colours exchanged and set B is
// set C reversed; the static_asserts below hold the three to that.
constexpr char CodeTable_EAN_A[10][5] = {
    "2605", "1615", "1516", "0805", "0526", "0625", "0508", "0706", "0607", "2506",
};
constexpr char CodeTable_EAN_B[10][5] = {
    "0517", "0616", "1606", "0535", "1705", "0715", "3505", "1525", "2515", "1507",
};
constexpr char CodeTable_EAN_C[10][5] = {
    "7150", "6160", "6061", "5350", "5071", "5170", "5053", "5251", "5152", "7051",
};

// The parity of the left half encodes EAN-13's first digit: "A" set A, "B" set B.
constexpr char CodeTable_EAN13_Prefix[10][7] = {
    "AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB", "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA",
};

// UPC-E number system 0 parity per selecting digit: "E" even (set B), "o" odd (set A).
// The 5-digit add-on takes its parity from the last five columns.
constexpr char CodeTable_UPC_E0[10][7] = {
    "EEEooo", "EEoEoo", "EEooEo", "EEoooE", "EoEEoo", "EooEEo", "EoooEE", "EoEoEo", "EoEooE", "EooEoE",
};

namespace {

constexpr std::string_view NormalGuard = "505";
constexpr std::string_view CentreGuard = "05050";
constexpr std::string_view UPCEEndGuard = "050505";
constexpr std::string_view AddOnStart = "506";
constexpr std::string_view AddOnDelineator = "05";
// Nine modules of space between an ISSN's EAN-13 part and its add-on.
constexpr std::string_view AddOnGap = "000000000";

// Parity of the 2-digit add-on, by the add-on's value mod 4.
constexpr std::string_view Supp2Parity[] = {"oo", "oE", "Eo", "EE"};
static_assert(std::size(Supp2Parity) == 4);

constexpr int Digit(char c)
{
    return c - '0';
}

// --- Compile-time checks of the tables -------------------------------------

// Modules of a space ("0".."3") or bar ("5".."8") character, 0 for anything
// else: GetBarProps for the compiler, which cannot call the run-time one.
constexpr int ElementWidth(char c)
{
    return c >= '0' && c <= '3' ? c - '0' + 1 : c >= '5' && c <= '8' ? c - '5' + 1 : 0;
}

// Set A: space, bar, space, bar of 7 modules with an odd number of bar modules,
// the parity a scanner tells set A from set B by.
constexpr bool IsSetAPattern(const char (&p)[5])
{
    int modules = 0, barModules = 0;
    for (int i = 0; i < 4; ++i) {
        const bool bar = i % 2 == 1;
        if (ElementWidth(p[i]) == 0 || (p[i] >= '5') != bar)
            return false;
        modules += ElementWidth(p[i]);
        barModules += bar ? ElementWidth(p[i]) : 0;
    }
    return modules == 7 && barModules % 2 == 1;
}

constexpr char ExchangeColour(char c)
{
    return static_cast<char>(c >= '5' ? c - 5 : c + 5);
}

constexpr bool NumberSetsConsistent()
{
    for (int d = 0; d < 10; ++d) {
        if (!IsSetAPattern(CodeTable_EAN_A[d]))
            return false;
        for (int i = 0; i < 4; ++i)
            if (CodeTable_EAN_C[d][i] != ExchangeColour(CodeTable_EAN_A[d][i]) ||
                CodeTable_EAN_B[d][i] != CodeTable_EAN_C[d][3 - i])
                return false;
        for (int e = 0; e < d; ++e)
            if (std::string_view(CodeTable_EAN_A[d]) == CodeTable_EAN_A[e])
                return false;
    }
    return true;
}
static_assert(NumberSetsConsistent(), "sets A, B and C must be the 10 odd-parity digit patterns, "
                                      "A inverted and reversed");

// Six letters of `letters` and no two rows alike (the row is what a scanner
// reads the selecting digit from).
constexpr bool ParityRowsValid(const char (&rows)[10][7], std::string_view letters)
{
    for (int d = 0; d < 10; ++d) {
        const std::string_view row(rows[d], 6);
        if (row.find_first_not_of(letters) != std::string_view::npos)
            return false;
        for (int e = 0; e < d; ++e)
            if (row == std::string_view(rows[e], 6))
                return false;
    }
    return true;
}
// UPC-A is encoded as EAN-13 behind a leading 0, which needs row 0 all set A.
static_assert(ParityRowsValid(CodeTable_EAN13_Prefix, "AB") && std::string_view(CodeTable_EAN13_Prefix[0]) == "AAAAAA",
              "EAN-13 parity rows must be distinct and row 0 all set A");

// Three even digits in every row also keeps the rows distinct in their last
// five columns, which the 5-digit add-on reads its check digit from.
constexpr bool ThreeEvenPerRow(const char (&rows)[10][7])
{
    return std::all_of(std::begin(rows), std::end(rows),
                       [](const char(&row)[7]) { return std::count(row, row + 6, 'E') == 3; });
}
static_assert(ParityRowsValid(CodeTable_UPC_E0, "Eo") && ThreeEvenPerRow(CodeTable_UPC_E0),
              "UPC-E parity rows must be distinct, with three even digits each");

// --- Encoding ---------------------------------------------------------------

// The controls validate before they encode, but hosts may call these routines
// with anything: a value of the wrong shape raises instead of being read out
// of range.
void RequireDigits(std::string_view value, std::size_t minLength, std::size_t maxLength, std::string_view what)
{
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (!std::all_of(value.begin(), value.end(), isDigit) || value.size() < minLength || value.size() > maxLength)
        throw EConvertError("'" + std::string(value) + "' is not a valid " + std::string(what) + " value");
}

// Each digit from set B where its parity letter is `even`, otherwise from set A,
// with `separator` between consecutive digits. `parity` covers every digit.
void AppendLeftSet(std::string& modules, std::string_view digits, std::string_view parity, char even,
                   std::string_view separator = {})
{
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0)
            modules += separator;
        modules += (parity[i] == even ? CodeTable_EAN_B : CodeTable_EAN_A)[Digit(digits[i])];
    }
}

// Guard, left half, centre guard, right half from set C, guard: EAN-13 and EAN-8.
std::string TwoHalves(std::string_view left, std::string_view parity, std::string_view right)
{
    std::string modules(NormalGuard);
    AppendLeftSet(modules, left, parity, 'B');
    modules += CentreGuard;
    for (char c : right)
        modules += CodeTable_EAN_C[Digit(c)];
    modules += NormalGuard;
    return modules;
}

// An add-on: its start, then the digits with delineators between them.
std::string AddOn(std::string_view digits, std::string_view parity)
{
    std::string modules(AddOnStart);
    AppendLeftSet(modules, digits, parity, 'E', AddOnDelineator);
    return modules;
}

} // namespace

std::string PreAddZerop(uint8_t n, std::string_view s)
{
    std::string padded(n > s.size() ? n - s.size() : 0, '0');
    return padded += s;
}

std::string GetSupp(std::string_view s)
{
    RequireDigits(s, 1, std::numeric_limits<std::size_t>::max(), "add-on");
    const std::string_view t = s.substr(0, s.size() - 1);
    // Weight 3 on the rightmost digit, then 9, 3, ... leftwards.
    int sum = 0;
    int weight = 3;
    for (auto it = t.rbegin(); it != t.rend(); ++it) {
        sum = (sum + weight * Digit(*it)) % 10;
        weight = 12 - weight;
    }
    std::string result(t);
    return result += static_cast<char>('0' + sum);
}

std::string CreateStrSupp_2(std::string_view s)
{
    RequireDigits(s, 0, 2, "2-digit add-on");
    const std::string digits = PreAddZerop(2, s);
    return AddOn(digits, Supp2Parity[(Digit(digits[0]) * 10 + Digit(digits[1])) % 4]);
}

std::string CreateStrSupp_5(std::string_view s)
{
    RequireDigits(s, 0, 5, "5-digit add-on");
    const std::string digits = PreAddZerop(5, s);
    const char check = GetSupp(digits + "0").back();
    return AddOn(digits, CodeTable_UPC_E0[Digit(check)] + 1);
}

std::string EAN13Digits(std::string_view value)
{
    RequireDigits(value, 12, 13, "EAN-13");
    std::string digits(value);
    if (digits.size() == 12)
        digits += DoModule10(digits);
    return digits;
}

std::string EAN13Modules(std::string_view value)
{
    const std::string digits = EAN13Digits(value);
    const std::string_view d(digits);
    return TwoHalves(d.substr(1, 6), CodeTable_EAN13_Prefix[Digit(d[0])], d.substr(7));
}

std::string EAN8Modules(std::string_view value)
{
    RequireDigits(value, 8, 8, "EAN-8");
    // Set A throughout, as an EAN-13 left half behind a leading 0.
    return TwoHalves(value.substr(0, 4), CodeTable_EAN13_Prefix[0], value.substr(4));
}

std::string UPCAModules(std::string_view value)
{
    RequireDigits(value, 0, 12, "UPC-A");
    // A UPC-A symbol is the EAN-13 symbol of its value behind a leading 0.
    return EAN13Modules("0" + PreAddZerop(12, value));
}

std::string UPCEModules(std::string_view value, bool numberSystem1)
{
    RequireDigits(value, 8, 8, "UPC-E");
    // Number system 1 uses the complementary parity: its "o" digits are the even ones.
    std::string modules(NormalGuard);
    AppendLeftSet(modules, value.substr(0, 6), CodeTable_UPC_E0[Digit(value[6])], numberSystem1 ? 'o' : 'E');
    return modules += UPCEEndGuard;
}

std::string ISSNModules(std::string_view value)
{
    // The add-on repeats the last two digits the EAN-13 part encodes, check digit included.
    const std::string digits = EAN13Digits(value);
    return EAN13Modules(digits) + std::string(AddOnGap) + CreateStrSupp_2(std::string_view(digits).substr(11));
}

} // namespace Vandrel
