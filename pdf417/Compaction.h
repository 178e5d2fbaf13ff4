#pragma once
// PDF417 data compaction: text, numeric and byte compaction of a value, and the
// automatic split of a value into runs of those modes. Every routine appends
// its codewords at the tail of a codeword list; the front ends
// (*StreamToBarData) share one signature so that a caller can pick one by
// TCodeMode. Conditions a user can correct go to `message`, and the front end
// returns false; codewords already appended stay in the list.
#include "core/Enums.h"
#include "core/Message.h"
#include "pdf417/BarData.h"
#include "pdf417/Codewords.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Vandrel {

// One value of the text compaction table: its character in each sub-mode (0
// where the value is a latch or shift there), then the value itself.
struct TTextRecord {
    char Alpha;
    char Lower;
    char Mixed;
    char Punctuation;
    uint8_t Value;
};
static_assert(sizeof(TTextRecord) == 5);

// The text compaction table, shared by the encoder and the reader.
inline constexpr TTextRecord PDF417TEXT[30] = {
    {'A', 'a', '0', ';', 0},    {'B', 'b', '1', '<', 1},  {'C', 'c', '2', '>', 2},  {'D', 'd', '3', '@', 3},
    {'E', 'e', '4', '[', 4},    {'F', 'f', '5', '\\', 5}, {'G', 'g', '6', ']', 6},  {'H', 'h', '7', '_', 7},
    {'I', 'i', '8', '`', 8},    {'J', 'j', '9', '~', 9},  {'K', 'k', '&', '!', 10}, {'L', 'l', '\r', '\r', 11},
    {'M', 'm', '\t', '\t', 12}, {'N', 'n', ',', ',', 13}, {'O', 'o', ':', ':', 14}, {'P', 'p', '#', '\n', 15},
    {'Q', 'q', '-', '-', 16},   {'R', 'r', '.', '.', 17}, {'S', 's', '$', '$', 18}, {'T', 't', '/', '/', 19},
    {'U', 'u', '+', '"', 20},   {'V', 'v', '%', '|', 21}, {'W', 'w', '*', '*', 22}, {'X', 'x', '=', '(', 23},
    {'Y', 'y', '^', ')', 24},   {'Z', 'z', 0, '?', 25},   {' ', ' ', ' ', '{', 26}, {0, 0, 0, '}', 27},
    {0, 0, 0, '\'', 28},        {0, 0, 0, 0, 29},
};

// The byte's text value 0-28 (in whichever sub-mode holds it), or -1 when
// text compaction cannot carry it.
int32_t TCToDigital(char ch);

// The sub-mode that `ch` is written in when the current one is `current`, with
// the latch or shift value (0-29) and kind that get there; 0 and noneMode when
// no change is needed or `ch` is no text character.
TBCType GetChildBCMode(TBCType current, char ch, int32_t& shiftValue, TShiftMode& shiftMode);

// Numeric groups are worked in binary limbs of nine decimal digits each:
// 44 digits behind the leading 1, or 15 base-900 digits, fill five.
inline constexpr uint32_t LimbBase = 1000000000;
inline constexpr std::size_t LimbDigits = 9;
inline constexpr std::size_t GroupLimbs = (NumericGroupDigits + 1 + LimbDigits - 1) / LimbDigits;

// Appends the five base-900 digits of six bytes read as a 48-bit number.
void AppendUnitData(TPdf417Codewords& list, std::string_view six);

// Text compaction of `text`, after the latch 900 unless the list is empty
// (text is the state a symbol starts in). False, with nothing appended, when a
// byte has no text value.
bool TextToCodeWord(TPdf417Codewords& list, std::string_view text);

// Numeric compaction after the latch 902. False, with nothing appended, when
// a byte is not a decimal digit.
bool NumToCodeWord(TPdf417Codewords& list, std::string_view digits);

// Byte compaction after the latch 924 (length a multiple of 6) or 901.
void ByteToCodeWord(TPdf417Codewords& list, std::string_view bytes);

// Front ends, one per TCodeMode.
bool TxtStreamToBarData(TPdf417Codewords& list, std::string_view value, const TMessageFn& message);
bool NumStreamToBarData(TPdf417Codewords& list, std::string_view value, const TMessageFn& message);
bool ByteStreamToBarData(TPdf417Codewords& list, std::string_view value, const TMessageFn& message);
bool CompStreamToBarData(TPdf417Codewords& list, std::string_view value, const TMessageFn& message);

} // namespace Vandrel
