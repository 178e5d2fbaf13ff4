#include "linear/Code128.h"

#include "core/CharIndex.h"
#include "core/ModuleString.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <utility>

namespace Vandrel {

namespace {

// One record from its columns and its width pattern, adding the length bytes.
constexpr TCode128Record Row(char a, char b, const char (&c)[3], const char (&widths)[7])
{
    TCode128Record r{a, b, {2, c[0], c[1]}, {6}};
    for (int i = 0; i < 6; ++i)
        r.Pattern[i + 1] = widths[i];
    return r;
}

} // namespace

// Values 0..102 with their ISO/IEC 15417 widths. Set A stops at value 63 and set B
// at 94 (a space fills the rest), so neither set carries control characters here;
// set C holds the digit pairs of values 0..99.
constexpr TCode128Record Codetable_Code128[103] = {
    Row(' ', ' ', "00", "212222"),   // 0
    Row('!', '!', "01", "222122"),   // 1
    Row('"', '"', "02", "222221"),   // 2
    Row('#', '#', "03", "121223"),   // 3
    Row('$', '$', "04", "121322"),   // 4
    Row('%', '%', "05", "131222"),   // 5
    Row('&', '&', "06", "122213"),   // 6
    Row('\'', '\'', "07", "122312"), // 7
    Row('(', '(', "08", "132212"),   // 8
    Row(')', ')', "09", "221213"),   // 9
    Row('*', '*', "10", "221312"),   // 10
    Row('+', '+', "11", "231212"),   // 11
    Row(',', ',', "12", "112232"),   // 12
    Row('-', '-', "13", "122132"),   // 13
    Row('.', '.', "14", "122231"),   // 14
    Row('/', '/', "15", "113222"),   // 15
    Row('0', '0', "16", "123122"),   // 16
    Row('1', '1', "17", "123221"),   // 17
    Row('2', '2', "18", "223211"),   // 18
    Row('3', '3', "19", "221132"),   // 19
    Row('4', '4', "20", "221231"),   // 20
    Row('5', '5', "21", "213212"),   // 21
    Row('6', '6', "22", "223112"),   // 22
    Row('7', '7', "23", "312131"),   // 23
    Row('8', '8', "24", "311222"),   // 24
    Row('9', '9', "25", "321122"),   // 25
    Row(':', ':', "26", "321221"),   // 26
    Row(';', ';', "27", "312212"),   // 27
    Row('<', '<', "28", "322112"),   // 28
    Row('=', '=', "29", "322211"),   // 29
    Row('>', '>', "30", "212123"),   // 30
    Row('?', '?', "31", "212321"),   // 31
    Row('@', '@', "32", "232121"),   // 32
    Row('A', 'A', "33", "111323"),   // 33
    Row('B', 'B', "34", "131123"),   // 34
    Row('C', 'C', "35", "131321"),   // 35
    Row('D', 'D', "36", "112313"),   // 36
    Row('E', 'E', "37", "132113"),   // 37
    Row('F', 'F', "38", "132311"),   // 38
    Row('G', 'G', "39", "211313"),   // 39
    Row('H', 'H', "40", "231113"),   // 40
    Row('I', 'I', "41", "231311"),   // 41
    Row('J', 'J', "42", "112133"),   // 42
    Row('K', 'K', "43", "112331"),   // 43
    Row('L', 'L', "44", "132131"),   // 44
    Row('M', 'M', "45", "113123"),   // 45
    Row('N', 'N', "46", "113321"),   // 46
    Row('O', 'O', "47", "133121"),   // 47
    Row('P', 'P', "48", "313121"),   // 48
    Row('Q', 'Q', "49", "211331"),   // 49
    Row('R', 'R', "50", "231131"),   // 50
    Row('S', 'S', "51", "213113"),   // 51
    Row('T', 'T', "52", "213311"),   // 52
    Row('U', 'U', "53", "213131"),   // 53
    Row('V', 'V', "54", "311123"),   // 54
    Row('W', 'W', "55", "311321"),   // 55
    Row('X', 'X', "56", "331121"),   // 56
    Row('Y', 'Y', "57", "312113"),   // 57
    Row('Z', 'Z', "58", "312311"),   // 58
    Row('[', '[', "59", "332111"),   // 59
    Row('\\', '\\', "60", "314111"), // 60
    Row(']', ']', "61", "221411"),   // 61
    Row('^', '^', "62", "431111"),   // 62
    Row('_', '_', "63", "111224"),   // 63
    Row(' ', '`', "64", "111422"),   // 64
    Row(' ', 'a', "65", "121124"),   // 65
    Row(' ', 'b', "66", "121421"),   // 66
    Row(' ', 'c', "67", "141122"),   // 67
    Row(' ', 'd', "68", "141221"),   // 68
    Row(' ', 'e', "69", "112214"),   // 69
    Row(' ', 'f', "70", "112412"),   // 70
    Row(' ', 'g', "71", "122114"),   // 71
    Row(' ', 'h', "72", "122411"),   // 72
    Row(' ', 'i', "73", "142112"),   // 73
    Row(' ', 'j', "74", "142211"),   // 74
    Row(' ', 'k', "75", "241211"),   // 75
    Row(' ', 'l', "76", "221114"),   // 76
    Row(' ', 'm', "77", "413111"),   // 77
    Row(' ', 'n', "78", "241112"),   // 78
    Row(' ', 'o', "79", "134111"),   // 79
    Row(' ', 'p', "80", "111242"),   // 80
    Row(' ', 'q', "81", "121142"),   // 81
    Row(' ', 'r', "82", "121241"),   // 82
    Row(' ', 's', "83", "114212"),   // 83
    Row(' ', 't', "84", "124112"),   // 84
    Row(' ', 'u', "85", "124211"),   // 85
    Row(' ', 'v', "86", "411212"),   // 86
    Row(' ', 'w', "87", "421112"),   // 87
    Row(' ', 'x', "88", "421211"),   // 88
    Row(' ', 'y', "89", "212141"),   // 89
    Row(' ', 'z', "90", "214121"),   // 90
    Row(' ', '{', "91", "412121"),   // 91
    Row(' ', '|', "92", "111143"),   // 92
    Row(' ', '}', "93", "111341"),   // 93
    Row(' ', '~', "94", "131141"),   // 94
    Row(' ', ' ', "95", "114113"),   // 95
    Row(' ', ' ', "96", "114311"),   // 96
    Row(' ', ' ', "97", "411113"),   // 97
    Row(' ', ' ', "98", "411311"),   // 98
    Row(' ', ' ', "99", "113141"),   // 99
    Row(' ', ' ', "  ", "114131"),   // 100
    Row(' ', ' ', "  ", "311141"),   // 101
    Row(' ', ' ', "  ", "411131"),   // 102
};
static_assert(std::size(Codetable_Code128) == 103);

namespace {

// Six elements summing to 11 modules, behind their length bytes.
constexpr bool PatternsWellFormed()
{
    for (const auto& r : Codetable_Code128)
        if (r.C[0] != 2 || r.Pattern[0] != 6 || WidthSum({r.Pattern + 1, 6}) != 11)
            return false;
    return true;
}
static_assert(PatternsWellFormed(), "every Code 128 record needs an 11-module pattern");

constexpr TCharIndex ColumnA = MakeCharIndex(Codetable_Code128, [](const TCode128Record& r) { return r.A; });
constexpr TCharIndex ColumnB = MakeCharIndex(Codetable_Code128, [](const TCode128Record& r) { return r.B; });

} // namespace

int Code128Index(char set, char c)
{
    switch (set) {
    case 'A': return ColumnA(c);
    case 'B': return ColumnB(c);
    default: return -1;
    }
}

bool IsCode128Char(char set, char c)
{
    return Code128Index(set, c) >= 0;
}

namespace {

// Symbol values past the table: the start characters of sets A, B and C follow
// value 102, FNC1.
constexpr int StartA = 103;
constexpr int FNC1 = 102;
constexpr int CheckModulus = 103;

constexpr std::string_view StartPatterns[] = {"211412", "211214", "211232"}; // A, B, C
constexpr std::string_view StopPattern = "2331112";                          // the terminating bar included
static_assert(WidthSum(StartPatterns[0]) == 11 && WidthSum(StartPatterns[1]) == 11 &&
              WidthSum(StartPatterns[2]) == 11 && WidthSum(StopPattern) == 13);

// Column C holds the pair "00".."99" at the value the pair spells, so a pair's
// value is computed rather than searched for.
constexpr bool PairsAtTheirValues()
{
    for (int v = 0; v < 100; ++v)
        if (Codetable_Code128[v].C[1] != '0' + v / 10 || Codetable_Code128[v].C[2] != '0' + v % 10)
            return false;
    return true;
}
static_assert(PairsAtTheirValues());

constexpr bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Value of a set C pair; anything but two digits is no pair and counts as "00".
int PairValue(std::string_view pair)
{
    if (pair.size() != 2 || !IsDigit(pair[0]) || !IsDigit(pair[1]))
        return 0;
    return (pair[0] - '0') * 10 + (pair[1] - '0');
}

// Collects the elements of the symbol and its weighted modulo-103 sum. Keeping sum and
// weight reduced leaves them small for a value of any length.
class TCode128Symbol {
public:
    // codeSet: 0, 1, 2 for A, B, C.
    // `symbols`: how many symbol characters will be added, so that the
    // module string is allocated once.
    TCode128Symbol(int codeSet, std::size_t symbols) : FSum((StartA + codeSet) % CheckModulus)
    {
        // Start, the symbol characters and the check character of six elements each, the stop of seven.
        FModules.reserve(6 * (symbols + 2) + 7);
        AppendConverted(FModules, StartPatterns[codeSet]);
    }

    void Add(int value)
    {
        AppendConverted(FModules, PatternOf(value));
        FSum = (FSum + value * FWeight) % CheckModulus;
        FWeight = (FWeight + 1) % CheckModulus;
    }

    std::string Finish() &&
    {
        AppendConverted(FModules, PatternOf(FSum));
        AppendConverted(FModules, StopPattern);
        return std::move(FModules);
    }

private:
    static std::string_view PatternOf(int value)
    {
        const char* pattern = Codetable_Code128[value].Pattern;
        return {pattern + 1, static_cast<std::size_t>(pattern[0])};
    }

    std::string FModules;
    int FSum;
    int FWeight = 1;
};

} // namespace

std::string Code128Modules(char set, bool ean128, std::string_view value)
{
    const int codeSet = set == 'A' ? 0 : set == 'C' ? 2 : 1;
    TCode128Symbol symbol(codeSet, (codeSet == 2 ? (value.size() + 1) / 2 : value.size()) + (ean128 ? 1 : 0));
    if (ean128)
        symbol.Add(FNC1);
    if (codeSet == 2) {
        // A lone last digit, which validation rules out, is no pair and encodes as "00".
        for (std::size_t i = 0; i < value.size(); i += 2)
            symbol.Add(PairValue(value.substr(i, 2)));
    } else {
        // A character outside the set's column, which validation rules out, encodes
        // as a space (value 0).
        for (char c : value)
            symbol.Add(std::max(Code128Index(codeSet == 0 ? 'A' : 'B', c), 0));
    }
    return std::move(symbol).Finish();
}

} // namespace Vandrel
