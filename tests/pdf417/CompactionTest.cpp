#include "pdf417/Compaction.h"

#include "tests/pdf417/CodewordLists.h"
#include "tests/pdf417/CompactionOracle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace VandrelTest {
namespace {

using namespace Vandrel;

using TFrontEnd = bool (*)(TPdf417Codewords&, std::string_view, const TMessageFn&);

constexpr TFrontEnd FrontEnds[] = {TxtStreamToBarData, NumStreamToBarData, ByteStreamToBarData, CompStreamToBarData};
constexpr const char* ModeNames[] = {"tMode", "nMode", "bMode", "cMode"};

struct TResult {
    bool ok;
    std::vector<int> codewords;
    std::vector<std::string> messages;
};

TResult Encode(TCodeMode mode, std::string_view value)
{
    TPdf417Codewords list;
    std::vector<std::string> messages;
    const bool ok = FrontEnds[mode](list, value, [&](const std::string& m) { messages.push_back(m); });
    return {ok, Values(list), messages};
}

// ---------------------------------------------------------------------------

struct TCase {
    TCodeMode mode;
    std::string value;
    std::vector<int> codewords;
    const char* comment;
};

TEST(CompactionTest, Codewords)
{
    const TCase cases[] = {
        {tMode, "PDF417", {453, 178, 121, 239}, "latch to Mixed, odd count padded with 29"},
        {tMode, "aB", {810, 811}, "latch to Lower, shift to Alpha"},
        {tMode, "A!", {29, 329}, "shift to Punctuation, padded"},
        {tMode, "1A", {841, 840}, "Mixed back to Alpha by latch"},
        {tMode, "1 a", {841, 807, 29}, "space stays in Mixed; Mixed to Lower"},
        {tMode, "A$", {29, 569}, "shared character from Alpha: punctuation shift"},
        {tMode, "a$", {810, 858}, "shared character from Lower: Mixed latch"},
        {tMode, "a-", {810, 886}, "'-' always by punctuation shift"},
        {tMode, "A#", {28, 479}, "Mixed-only character"},
        {tMode, "", {}, "nothing, not even a latch"},
        {nMode, "0123456789", {902, 13, 798, 85, 289}, "value 10123456789"},
        {nMode,
         "12345678901234567890123456789012345678901234",
         {902, 491, 81, 137, 450, 302, 67, 15, 174, 492, 862, 667, 475, 869, 12, 434},
         "one full group of 44 digits"},
        {nMode,
         "123456789012345678901234567890123456789012345",
         {902, 491, 81, 137, 450, 302, 67, 15, 174, 492, 862, 667, 475, 869, 12, 434, 15},
         "45 digits: a second group of one"},
        {nMode, "", {902}, ""},
        {bMode, "ABCDEF", {924, 109, 326, 368, 127, 330}, "six bytes: one group"},
        {bMode, "\xff\xff\xff\xff\xff\xff", {924, 429, 11, 71, 222, 855}, "largest group"},
        {bMode, "ABCDE", {901, 65, 66, 67, 68, 69}, "five bytes one by one"},
        {bMode, "ABCDEFG", {901, 109, 326, 368, 127, 330, 71}, "group and a single byte"},
        {bMode, "", {924}, "an empty value is a multiple of six"},
        {cMode,
         "ABCD1234567890123XYZAB",
         {1, 63, 902, 17, 110, 836, 811, 223, 900, 714, 750, 59},
         "text, numeric, text"},
        {cMode,
         "ABCD1234567890123XYZ",
         {1, 63, 902, 17, 110, 836, 811, 223, 901, 88, 89, 90},
         "closing XYZ too short for text"},
        {cMode,
         "AB\x80"
         "CDEFG",
         {901, 109, 327, 731, 476, 613, 70, 71},
         "a lone non-text byte keeps what follows in bytes"},
        {cMode,
         "\x80\x81"
         "abcdef",
         {901, 128, 129, 900, 810, 32, 94, 179},
         "two non-text bytes, then a text run"},
        {cMode,
         "\x80\x81"
         "ab\x82"
         "cde",
         {901, 215, 317, 716, 24, 771, 100, 101},
         "a text run cannot span a non-text byte"},
        {cMode, "1234567890123A", {902, 17, 110, 836, 811, 223, 901, 65}, "a closing letter after a digit run"},
        {cMode, "0000000000000", {902, 15, 217, 379, 11, 100}, "13 digits: numeric"},
        {cMode, "000000000000", {840, 0, 0, 0, 0, 0, 29}, "12 digits: text"},
        {cMode, "ABCDE", {1, 63, 149}, "five characters: text"},
        {cMode, "ABCD", {901, 65, 66, 67, 68}, "four characters: bytes"},
        {cMode, "", {}, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << ModeNames[c.mode] << " \"" << c.value << "\": " << c.comment);
        const TResult r = Encode(c.mode, c.value);
        EXPECT_TRUE(r.ok);
        EXPECT_TRUE(r.messages.empty());
        EXPECT_EQ(r.codewords, c.codewords);
    }
}

TEST(CompactionTest, RefusesWhatTheModeCannotCarry)
{
    const std::pair<TCodeMode, std::string> cases[] = {
        {nMode, "12a"},  {nMode, " 1"},    {tMode, "A\x80"},
        {tMode, "\xff"}, {tMode, "A\x7f"}, {tMode, std::string(1, '\0')},
        {tMode, "\x08"}, {tMode, "\x0b"},  {tMode, "\x0c"},
        {tMode, "\x0e"}, {tMode, "\x1f"},
    };
    for (const auto& [mode, value] : cases) {
        SCOPED_TRACE(testing::Message() << ModeNames[mode] << " byte " << int(uint8_t(value.back())));
        const TResult r = Encode(mode, value);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.messages, std::vector<std::string>{"Invalid string"});
        EXPECT_TRUE(r.codewords.empty());
    }
    // The text control characters at the edges of the refused ranges.
    for (const char* value : {"\t", "\n", "\r", " ", "~"})
        EXPECT_TRUE(Encode(tMode, value).ok) << int(value[0]);
}

TEST(CompactionTest, TextAfterOtherCodewordsLatches)
{
    TPdf417Codewords list;
    Fill(list, {902, 15});
    ASSERT_TRUE(TextToCodeWord(list, "AB"));
    EXPECT_EQ(Values(list), (std::vector<int>{902, 15, 900, 1}));
}

TEST(CompactionTest, TextValuesAndSubModes)
{
    struct TRow {
        char ch;
        TBCType current;
        int32_t digit;
        TBCType target;
        int32_t shiftValue;
        TShiftMode shift;
    };
    const TRow rows[] = {
        {'Z', bcLower, 25, bcAlpha, 27, asMode},        {'Z', bcMixed, 25, bcAlpha, 28, alMode},
        {'z', bcAlpha, 25, bcLower, 27, llMode},        {'9', bcLower, 9, bcMixed, 28, mlMode},
        {'\t', bcAlpha, 12, bcPunctuation, 29, psMode}, {'\t', bcMixed, 12, bcMixed, 0, noneMode},
        {'^', bcAlpha, 24, bcMixed, 28, mlMode},        {':', bcMixed, 14, bcPunctuation, 29, psMode},
        {'\'', bcLower, 28, bcPunctuation, 29, psMode}, {' ', bcLower, 26, bcLower, 0, noneMode},
        {'\x80', bcAlpha, -1, bcAlpha, 0, noneMode},
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "byte " << int(uint8_t(r.ch)) << " from " << r.current);
        int32_t shiftValue = -1;
        TShiftMode shift = plMode;
        EXPECT_EQ(TCToDigital(r.ch), r.digit);
        EXPECT_EQ(GetChildBCMode(r.current, r.ch, shiftValue, shift), r.target);
        EXPECT_EQ(shiftValue, r.shiftValue);
        EXPECT_EQ(shift, r.shift);
    }
}

TEST(CompactionTest, EveryValueEncodesAndDecodesBackOrIsRefused)
{
    std::mt19937 rng(417);
    for (std::size_t length = 0; length <= 2000; ++length) {
        const std::string value = RandomValue(rng, length);
        const bool text = std::all_of(value.begin(), value.end(), IsTextByte);
        const bool numeric = std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
        const bool accepted[] = {text, numeric, true, true};
        for (TCodeMode mode : {tMode, nMode, bMode, cMode}) {
            const TResult r = Encode(mode, value);
            ASSERT_EQ(r.ok, accepted[mode]) << ModeNames[mode] << " length " << length;
            if (r.ok) {
                ASSERT_TRUE(r.messages.empty()) << r.messages.front();
                ASSERT_EQ(Decode(r.codewords), value) << ModeNames[mode] << " length " << length;
            } else {
                ASSERT_EQ(r.messages, std::vector<std::string>{"Invalid string"});
            }
        }
    }
}

} // namespace
} // namespace VandrelTest
