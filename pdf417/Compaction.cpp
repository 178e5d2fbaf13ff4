#include "pdf417/Compaction.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace Vandrel {

namespace {

// Byte -> its text value, -1 where no sub-mode holds the byte.
constexpr std::array<int8_t, 256> MakeTextValues()
{
    std::array<int8_t, 256> values{};
    values.fill(-1);
    for (const TTextRecord& r : PDF417TEXT)
        for (char c : {r.Alpha, r.Lower, r.Mixed, r.Punctuation})
            if (c != 0)
                values[static_cast<unsigned char>(c)] = static_cast<int8_t>(r.Value);
    return values;
}
constexpr std::array<int8_t, 256> TextValues = MakeTextValues();

// One value per byte suffices only because a character held by two sub-modes
// has the same value in both; and each record must carry its own index.
constexpr bool TextValuesAgree()
{
    for (std::size_t i = 0; i < std::size(PDF417TEXT); ++i) {
        const TTextRecord& r = PDF417TEXT[i];
        if (r.Value != i)
            return false;
        for (char c : {r.Alpha, r.Lower, r.Mixed, r.Punctuation})
            if (c != 0 && TextValues[static_cast<unsigned char>(c)] != r.Value)
                return false;
    }
    return true;
}
static_assert(TextValuesAgree());

constexpr int16_t TextPad = 29;

// How a text character picks its sub-mode. `Shared` characters live in Mixed
// and Punctuation: from Alpha they are shifted to, from Lower and Mixed the
// Mixed sub-mode carries them. '-', '.' and ':' are Mixed characters too but
// are always written by the punctuation shift.
enum class TTextClass : uint8_t { None, Upper, Lower, Digit, Space, Shared, Mixed, Punctuation };

constexpr TTextClass ClassOf(unsigned char c)
{
    if (TextValues[c] < 0)
        return TTextClass::None;
    if (c >= 'A' && c <= 'Z')
        return TTextClass::Upper;
    if (c >= 'a' && c <= 'z')
        return TTextClass::Lower;
    if (c >= '0' && c <= '9')
        return TTextClass::Digit;
    if (c == ' ')
        return TTextClass::Space;
    if (std::string_view("\t\r$/*,").find(static_cast<char>(c)) != std::string_view::npos)
        return TTextClass::Shared;
    if (std::string_view("#%&+=^").find(static_cast<char>(c)) != std::string_view::npos)
        return TTextClass::Mixed;
    return TTextClass::Punctuation;
}

constexpr std::array<TTextClass, 256> TextClasses = [] {
    std::array<TTextClass, 256> classes{};
    for (std::size_t c = 0; c < classes.size(); ++c)
        classes[c] = ClassOf(static_cast<unsigned char>(c));
    return classes;
}();

struct TChange {
    int32_t Value;
    TShiftMode Mode;
};

// [target][current]. The current sub-mode is never bcPunctuation (it is only
// shifted to), so that column is never read.
constexpr TChange Changes[4][4] = {
    {{0, noneMode}, {27, asMode}, {28, alMode}, {0, noneMode}}, // to bcAlpha
    {{27, llMode}, {0, noneMode}, {27, llMode}, {27, llMode}},  // to bcLower
    {{28, mlMode}, {28, mlMode}, {0, noneMode}, {28, mlMode}},  // to bcMixed
    {{29, psMode}, {29, psMode}, {29, psMode}, {0, noneMode}},  // to bcPunctuation
};

TBCType TargetOf(TBCType current, TTextClass c)
{
    switch (c) {
    case TTextClass::Upper: return bcAlpha;
    case TTextClass::Lower: return bcLower;
    case TTextClass::Digit:
    case TTextClass::Mixed: return bcMixed;
    case TTextClass::Shared: return current == bcAlpha ? bcPunctuation : bcMixed;
    case TTextClass::Punctuation: return bcPunctuation;
    case TTextClass::Space:
    case TTextClass::None: break;
    }
    return current;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

void Put(TPdf417Codewords& list, int32_t value)
{
    list.AppendBarData(list.Tail(), static_cast<int16_t>(value));
}

// Appends the base-900 digits of the number "1" followed by `digits` (at most
// NumericGroupDigits of them), most significant first. The leading 1 is what
// keeps leading zeros of the group.
void AppendNumericGroup(TPdf417Codewords& list, std::string_view digits)
{
    // The number in limbs, most significant first; the first limb takes the
    // digits left over by the others.
    std::array<uint32_t, GroupLimbs> limbs{};
    std::size_t count = 0;
    const std::size_t length = digits.size() + 1;
    std::size_t untilLimb = (length - 1) % LimbDigits + 1;
    uint32_t limb = 0;
    for (std::size_t i = 0; i < length; ++i) {
        limb = limb * 10 + static_cast<uint32_t>(i == 0 ? 1 : digits[i - 1] - '0');
        if (--untilLimb == 0) {
            limbs[count++] = limb;
            limb = 0;
            untilLimb = LimbDigits;
        }
    }
    std::array<int16_t, NumericGroupCodewords> base900{};
    std::size_t n = 0;
    // Long division by 900, one base-900 digit per pass, least significant first.
    for (std::size_t first = 0; first < count;) {
        uint64_t remainder = 0;
        for (std::size_t i = first; i < count; ++i) {
            const uint64_t part = remainder * LimbBase + limbs[i];
            limbs[i] = static_cast<uint32_t>(part / CodewordBase);
            remainder = part % CodewordBase;
        }
        base900[n++] = static_cast<int16_t>(remainder);
        while (first < count && limbs[first] == 0)
            ++first;
    }
    while (n > 0)
        Put(list, base900[--n]);
}

constexpr const char* InvalidString = "Invalid string";
constexpr const char* ByteError = "Byte to CodeWord is Error!";
constexpr const char* TextError = "Text to CodeWord is Error!";
constexpr const char* NumberError = "Number to CodeWord is Error!";

// Runs that pay for a mode of their own: 13 digits for numeric, 5 characters
// for text compaction. Anything else goes to byte compaction.
constexpr std::ptrdiff_t NumericRun = 13;
constexpr std::ptrdiff_t TextRun = 5;

// The automatic split reads the value byte by byte into a pending run P (the
// slice of the value from `first`, whose byte number `pos` is the current one)
// and encodes a prefix of P whenever a run long enough for its own mode starts
// or ends. Counters: digits and text characters in the current runs, non-text
// bytes pending, and the 1-based positions in P where each began (0: none).
class TAutoSplit {
public:
    TAutoSplit(TPdf417Codewords& list, std::string_view value, const TMessageFn& message)
        : FList(list), FValue(value), FMessage(message)
    {
    }

    bool Run()
    {
        for (std::size_t i = 0; i < FValue.size(); ++i)
            if (!Step(FValue[i], i + 1 == FValue.size()))
                return false;
        return true;
    }

private:
    bool Step(char c, bool last)
    {
        ++FPos;
        const bool digit = IsDigit(c);
        const bool text = TCToDigital(c) >= 0;
        FDigitRun += digit;
        if (text)
            ++FTextRun;
        else
            ++FByteCount;
        if (FDigitRun == 1)
            FDigitStart = FPos;
        if (FTextRun == 1)
            FTextStart = FPos;
        if (FByteCount == 1)
            FByteStart = FPos;
        if (!FlushRuns())
            return false;
        if (last)
            return FlushAll();
        if ((FTextRun == 1 && FDigitRun != 1) || !digit)
            ClearDigits();
        // While a lone non-text byte is pending no run may start; and a run
        // that has not yet paid for its mode ends at any non-text byte, so that
        // no run later handed to text or numeric compaction can span one.
        if (FByteCount == 1 || !text) {
            ClearDigits();
            if (FTextRun < TextRun)
                ClearText();
        }
        return true;
    }

    bool FlushRuns()
    {
        // A non-text byte ends the digit run. It can only be the current byte:
        // no run grows while one byte is pending, and two or more pending in
        // front of a run are encoded as soon as the run has five characters.
        if (FDigitRun >= NumericRun && FByteCount > 0) {
            if (!FlushNumbers(FByteStart - 1, ByteError))
                return false;
            FDigitRun = FTextRun = FTextStart = FDigitStart = 0;
            FByteStart = FByteCount = 1;
        } else if (FDigitRun >= NumericRun && FByteCount == 0 && FDigitRun != FTextRun) {
            if (FDigitStart > FTextStart) { // text in front of the digit run
                if (!FlushText(FDigitStart - 1, TextError))
                    return false;
                FTextRun = FDigitRun;
                FDigitStart = FTextStart = 1;
            }
            if (FTextRun > FDigitRun) { // a text character ends the digit run
                if (!FlushNumbers(FDigitRun, NumberError))
                    return false;
                FTextRun -= FDigitRun;
                FDigitRun = FDigitStart = 0;
                FTextStart = 1;
            }
        } else if (FDigitRun < NumericRun && FTextRun >= TextRun && FByteCount >= 1) {
            if (FByteStart == FPos) { // a non-text byte ends the text run
                if (!FlushText(FByteStart - 1, TextError))
                    return false;
                FDigitRun = FTextRun = FTextStart = 0;
                FByteStart = 1;
            } else { // the text run follows pending bytes
                const std::ptrdiff_t taken = FTextStart - 1;
                FlushBytes(taken);
                if (FDigitStart > 0)
                    FDigitStart -= taken;
                FByteCount = FByteStart = 0;
                FTextStart = 1;
            }
        }
        return true;
    }

    bool FlushAll()
    {
        if (FByteCount == 0 && FDigitRun >= NumericRun)
            return FlushNumbers(FPos, NumberError);
        if (FByteCount == 0 && FTextRun >= TextRun)
            return FlushText(FPos, NumberError);
        FlushBytes(FPos);
        return true;
    }

    // The first `count` bytes of P, removed from it.
    std::string_view Take(std::ptrdiff_t count)
    {
        const std::string_view run = FValue.substr(FFirst, static_cast<std::size_t>(count));
        FFirst += run.size();
        FPos -= count;
        return run;
    }

    bool FlushText(std::ptrdiff_t count, const char* failure)
    {
        return TextToCodeWord(FList, Take(count)) || Refuse(FMessage, failure);
    }
    bool FlushNumbers(std::ptrdiff_t count, const char* failure)
    {
        return NumToCodeWord(FList, Take(count)) || Refuse(FMessage, failure);
    }
    void FlushBytes(std::ptrdiff_t count) { ByteToCodeWord(FList, Take(count)); }

    void ClearDigits() { FDigitRun = FDigitStart = 0; }
    void ClearText() { FTextRun = FTextStart = 0; }

    TPdf417Codewords& FList;
    const std::string_view FValue;
    const TMessageFn& FMessage;
    std::size_t FFirst = 0;
    std::ptrdiff_t FPos = 0;
    std::ptrdiff_t FDigitRun = 0, FTextRun = 0, FByteCount = 0;
    std::ptrdiff_t FDigitStart = 0, FTextStart = 0, FByteStart = 0;
};

} // namespace

int32_t TCToDigital(char ch)
{
    return TextValues[static_cast<unsigned char>(ch)];
}

TBCType GetChildBCMode(TBCType current, char ch, int32_t& shiftValue, TShiftMode& shiftMode)
{
    const TBCType target = TargetOf(current, TextClasses[static_cast<unsigned char>(ch)]);
    const TChange& change = Changes[target][current];
    shiftValue = change.Value;
    shiftMode = change.Mode;
    return target;
}

void AppendUnitData(TPdf417Codewords& list, std::string_view six)
{
    uint64_t number = 0;
    for (char b : six)
        number = number << 8 | static_cast<unsigned char>(b);
    std::array<int32_t, ByteGroupCodewords> digits{};
    for (std::size_t i = digits.size(); i-- > 0; number /= CodewordBase)
        digits[i] = static_cast<int32_t>(number % CodewordBase);
    for (int32_t d : digits)
        Put(list, d);
}

bool TextToCodeWord(TPdf417Codewords& list, std::string_view text)
{
    for (char ch : text)
        if (TCToDigital(ch) < 0)
            return false;
    if (list.CodeWordCount() > 0)
        Put(list, TextLatch);
    std::vector<int32_t> values;
    values.reserve(2 * text.size() + 1);
    TBCType current = bcAlpha;
    for (char ch : text) {
        int32_t shiftValue = 0;
        TShiftMode shiftMode = noneMode;
        const TBCType target = GetChildBCMode(current, ch, shiftValue, shiftMode);
        if (shiftMode != noneMode) {
            values.push_back(shiftValue);
            if (shiftMode != asMode && shiftMode != psMode)
                current = target;
        }
        values.push_back(TCToDigital(ch));
    }
    if (values.size() % 2 != 0)
        values.push_back(TextPad);
    for (std::size_t i = 0; i < values.size(); i += 2)
        Put(list, 30 * values[i] + values[i + 1]);
    return true;
}

bool NumToCodeWord(TPdf417Codewords& list, std::string_view digits)
{
    for (char ch : digits)
        if (!IsDigit(ch))
            return false;
    Put(list, NumericLatch);
    for (std::size_t i = 0; i < digits.size(); i += NumericGroupDigits)
        AppendNumericGroup(list, digits.substr(i, NumericGroupDigits));
    return true;
}

void ByteToCodeWord(TPdf417Codewords& list, std::string_view bytes)
{
    Put(list, bytes.size() % ByteGroupBytes == 0 ? ByteLatchSix : ByteLatch);
    std::size_t i = 0;
    for (; bytes.size() - i >= ByteGroupBytes; i += ByteGroupBytes)
        AppendUnitData(list, bytes.substr(i, ByteGroupBytes));
    for (; i < bytes.size(); ++i)
        Put(list, static_cast<unsigned char>(bytes[i]));
}

bool TxtStreamToBarData(TPdf417Codewords& list, std::string_view value, const TMessageFn& message)
{
    return TextToCodeWord(list, value) || Refuse(message, InvalidString);
}

bool NumStreamToBarData(TPdf417Codewords& list, std::string_view value, const TMessageFn& message)
{
    return NumToCodeWord(list, value) || Refuse(message, InvalidString);
}

bool ByteStreamToBarData(TPdf417Codewords& list, std::string_view value, const TMessageFn&)
{
    ByteToCodeWord(list, value);
    return true;
}

bool CompStreamToBarData(TPdf417Codewords& list, std::string_view value, const TMessageFn& message)
{
    return TAutoSplit(list, value, message).Run();
}

} // namespace Vandrel
