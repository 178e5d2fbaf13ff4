#include "linear/ValueCheck.h"

#include "core/CheckDigits.h"
#include "linear/Codabar.h"
#include "linear/Code128.h"
#include "linear/Code39.h"
#include "linear/Code93.h"

#include <QMetaEnum>

#include <cstddef>
#include <iterator>

namespace Vandrel {

namespace {

// Admitted characters. Named apart from the TBarType values so that the two
// enumerations never shadow each other.
enum class TCharset { Digits, Code39Chars, SetAChars, SetBChars, Code93Chars, Code93AllChars, CodabarChars };

constexpr std::size_t AnyLength = static_cast<std::size_t>(-1);

// What a value of one type must look like, and how much of it a check digit covers.
struct TValueRule {
    std::size_t MinLength;
    std::size_t MaxLength;
    std::string_view Prefix;
    bool EvenLength; // digits encoded in pairs
    TCharset Charset;
    std::size_t Payload; // digits before the retail check digit; 0: no check digit
};

using enum TCharset;

constexpr TValueRule Rules[] = {
    /* Inter2_5  */ {0, AnyLength, "", true, Digits, 0},
    /* Indust2_5 */ {0, AnyLength, "", false, Digits, 0},
    /* Matrix2_5 */ {0, AnyLength, "", false, Digits, 0},
    /* Code39    */ {0, AnyLength, "", false, Code39Chars, 0},
    /* Code39Ex  */ {0, AnyLength, "", false, Code39Chars, 0},
    /* Code128_A */ {0, AnyLength, "", false, SetAChars, 0},
    /* Code128_B */ {0, AnyLength, "", false, SetBChars, 0},
    /* Code128_C */ {0, AnyLength, "", true, Digits, 0},
    /* Code93    */ {0, AnyLength, "", false, Code93Chars, 0},
    /* Code93Ex  */ {0, AnyLength, "", false, Code93AllChars, 0},
    /* MSI       */ {0, AnyLength, "", false, Digits, 0},
    /* PostNet   */ {0, AnyLength, "", false, Digits, 0},
    /* CodaBar   */ {0, AnyLength, "", false, CodabarChars, 0},
    /* EAN8      */ {8, 8, "", false, Digits, 7},
    /* EAN13     */ {12, 13, "", false, Digits, 12},
    /* UPC_A     */ {12, 12, "", false, Digits, 11},
    /* UPC_E0    */ {8, 8, "", false, Digits, 7},
    /* UPC_E1    */ {8, 8, "", false, Digits, 7},
    /* EAN128_A  */ {0, AnyLength, "", false, SetAChars, 0},
    /* EAN128_B  */ {0, AnyLength, "", false, SetBChars, 0},
    /* EAN128_C  */ {0, AnyLength, "", true, Digits, 0},
    /* ISSN      */ {13, 13, "977", false, Digits, 12},
    /* ISBN      */ {13, 13, "978", false, Digits, 12},
};
static_assert(std::size(Rules) == BarTypeCount);

bool Admits(TCharset charset, char c)
{
    switch (charset) {
    case Digits: return c >= '0' && c <= '9';
    case Code39Chars: return IsCode39Char(c);
    case SetAChars: return IsCode128Char('A', c);
    case SetBChars: return IsCode128Char('B', c);
    // The shift characters are the Extended form's business: a plain value may not
    // smuggle them in.
    case Code93Chars: {
        const int i = Code93Index(c);
        return i >= 0 && i < Code93FirstShift;
    }
    case Code93AllChars: return Code93Index(c) >= 0;
    case CodabarChars: return CodabarIndex(c) >= 0;
    }
    return false;
}

// The admitted characters in words, in the order of TCharset.
constexpr std::string_view CharsetWords[] = {
    "digits",
    "characters of A-Z, 0-9, space and - . $ / + %",
    "printable ASCII characters without lower case (space to _)",
    "printable ASCII characters (space to ~)",
    "characters of A-Z, 0-9, space and - . $ / + %",
    "ASCII characters",
    "characters of 0-9, - $ : / . + and A B C D",
};
static_assert(std::size(CharsetWords) == std::size_t(CodabarChars) + 1);

// Null for a value outside the enumeration, which can arrive through a cast.
const TValueRule* RuleFor(TBarType type)
{
    return type >= 0 && type < BarTypeCount ? &Rules[type] : nullptr;
}

} // namespace

std::string DescribeValueRule(TBarType type)
{
    const TValueRule* rule = RuleFor(type);
    if (!rule)
        return "unknown symbology";
    std::string text = std::string(QMetaEnum::fromType<TBarType>().valueToKey(type)) + " takes ";
    const std::string_view what = CharsetWords[std::size_t(rule->Charset)];
    if (rule->MaxLength == AnyLength)
        text += rule->EvenLength ? "an even number of " + std::string(what) : std::string(what);
    else if (rule->MinLength == rule->MaxLength)
        text += std::to_string(rule->MinLength) + " " + std::string(what);
    else
        text += std::to_string(rule->MinLength) + " or " + std::to_string(rule->MaxLength) + " " + std::string(what);
    if (!rule->Prefix.empty())
        text += " starting with " + std::string(rule->Prefix);
    return text;
}

std::optional<char> WrongCheckDigit(TBarType type, std::string_view value)
{
    const TValueRule* rule = RuleFor(type);
    if (!rule || rule->Payload == 0 || value.size() != rule->Payload + 1 || !DoDigitNum(type, value))
        return std::nullopt;
    const char expected = DoModule10(std::string(value.substr(0, rule->Payload)))[0];
    return expected == value.back() ? std::nullopt : std::optional<char>(expected);
}

bool DoDigitNum(TBarType type, std::string_view value)
{
    const TValueRule* rule = RuleFor(type);
    if (!rule || value.size() < rule->MinLength || value.size() > rule->MaxLength)
        return false;
    if (!value.starts_with(rule->Prefix))
        return false;
    if (rule->EvenLength && value.size() % 2 != 0)
        return false;
    for (char c : value)
        if (!Admits(rule->Charset, c))
            return false;
    return true;
}

bool CompleteCheckDigit(TBarType type, std::string& value)
{
    if (!DoDigitNum(type, value))
        return false;
    // DoDigitNum guarantees at least `payload` characters.
    if (const std::size_t k = RuleFor(type)->Payload; k > 0) {
        value.resize(k);
        value += DoModule10(value);
    }
    return true;
}

} // namespace Vandrel
