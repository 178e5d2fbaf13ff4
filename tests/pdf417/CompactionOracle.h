#pragma once
// An independent reading of the three compactions, with its own sub-mode
// alphabets, so that a wrong entry in the encoder's table or a wrong latch
// shows up as a value that does not come back; and values that exercise them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace VandrelTest {

inline constexpr std::string_view Upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
inline constexpr std::string_view Lower = "abcdefghijklmnopqrstuvwxyz";
inline constexpr std::string_view Mixed = "0123456789&\r\t,:#-.$/+%*=^";              // 0-24
inline constexpr std::string_view Punctuation = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'"; // 0-28

inline bool IsTextByte(char c)
{
    return c == ' ' || Upper.find(c) != Upper.npos || Lower.find(c) != Lower.npos || Mixed.find(c) != Mixed.npos ||
           Punctuation.find(c) != Punctuation.npos;
}

enum TSub { Alpha, Low, Mix, Punct };

inline std::optional<std::string> DecodeText(const std::vector<int>& segment)
{
    std::string out;
    TSub latched = Alpha;
    std::optional<TSub> shifted;
    for (int cw : segment) {
        for (int v : {cw / 30, cw % 30}) {
            const TSub sub = shifted.value_or(latched);
            if (shifted) {
                shifted.reset();
                if (sub == Alpha && v < 26)
                    out += Upper[v];
                else if (sub == Punct && v < 29)
                    out += Punctuation[v];
                else
                    return std::nullopt;
                continue;
            }
            if (v == 26 && sub != Punct) {
                out += ' ';
                continue;
            }
            if (sub == Punct) {
                if (v < 29)
                    out += Punctuation[v];
                else
                    latched = Alpha;
            } else if (sub == Mix && v < 25) {
                out += Mixed[v];
            } else if (sub != Mix && v < 26) {
                out += (sub == Alpha ? Upper : Lower)[v];
            } else if (sub == Mix && v == 25) {
                latched = Punct;
            } else if (v == 27) {
                if (sub == Low)
                    shifted = Alpha;
                else
                    latched = Low;
            } else if (v == 28) {
                latched = sub == Mix ? Alpha : Mix;
            } else {
                shifted = Punct;
            }
        }
    }
    // A shift left pending can only be the padding value at the end.
    return out;
}

inline std::optional<std::string> DecodeNumeric(const std::vector<int>& segment)
{
    std::string out;
    for (std::size_t group = 0; group < segment.size(); group += 15) {
        std::vector<int> decimal{0}; // least significant digit first
        for (std::size_t i = group; i < std::min(group + 15, segment.size()); ++i) {
            int carry = segment[i];
            for (int& d : decimal) {
                const int x = d * 900 + carry;
                d = x % 10;
                carry = x / 10;
            }
            for (; carry > 0; carry /= 10)
                decimal.push_back(carry % 10);
        }
        if (decimal.back() != 1)
            return std::nullopt;
        for (std::size_t i = decimal.size() - 1; i-- > 0;)
            out += static_cast<char>('0' + decimal[i]);
    }
    return out;
}

inline std::optional<std::string> DecodeBytes(const std::vector<int>& segment, bool multipleOfSix)
{
    if (multipleOfSix && segment.size() % 5 != 0)
        return std::nullopt;
    std::string out;
    std::size_t i = 0;
    for (; multipleOfSix ? i < segment.size() : segment.size() - i > 5; i += 5) {
        uint64_t n = 0;
        for (std::size_t j = i; j < i + 5; ++j)
            n = n * 900 + static_cast<uint64_t>(segment[j]);
        if (n >> 48)
            return std::nullopt;
        for (int shift = 40; shift >= 0; shift -= 8)
            out += static_cast<char>(n >> shift & 0xff);
    }
    for (; i < segment.size(); ++i) {
        if (segment[i] > 255)
            return std::nullopt;
        out += static_cast<char>(segment[i]);
    }
    return out;
}

inline std::optional<std::string> Decode(const std::vector<int>& codewords)
{
    std::string out;
    int mode = 900; // a symbol starts in text compaction
    std::vector<int> segment;
    auto close = [&] {
        std::optional<std::string> part = mode == 900   ? DecodeText(segment)
                                          : mode == 902 ? DecodeNumeric(segment)
                                                        : DecodeBytes(segment, mode == 924);
        segment.clear();
        if (part)
            out += *part;
        return part.has_value();
    };
    for (int cw : codewords) {
        if (cw == 900 || cw == 901 || cw == 902 || cw == 924) {
            if (!close())
                return std::nullopt;
            mode = cw;
        } else if (cw >= 0 && cw < 900) {
            segment.push_back(cw);
        } else {
            return std::nullopt;
        }
    }
    if (!close())
        return std::nullopt;
    return out;
}

// Runs of one kind of byte, long and short, so that digit runs around 13, text
// runs around 5 and lone or paired non-text bytes meet in every order.
inline std::string RandomValue(std::mt19937& rng, std::size_t length)
{
    static const std::string digits = "0123456789";
    static const std::string letters = "ABCXYZ abcxyz";
    static const std::string marks = "&\r\t,:#-.$/+%*=^;<>@[\\]_`~!\n\"|()?{}'";
    static const std::string others = [] {
        std::string s;
        for (int b = 0; b < 256; ++b)
            if (!IsTextByte(static_cast<char>(b)))
                s += static_cast<char>(b);
        return s;
    }();
    const std::string* kinds[] = {&digits, &letters, &marks, &others};
    const int runLengths[] = {1, 1, 2, 3, 4, 5, 6, 12, 13, 14, 30};
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const int palette = pick(4); // digits only, text only, any byte, or runs
    std::string value;
    while (value.size() < length) {
        if (palette == 2) {
            value += static_cast<char>(pick(256));
            continue;
        }
        const std::string& kind = *kinds[palette == 0 ? 0 : palette == 1 ? pick(3) : pick(4)];
        for (int n = runLengths[pick(std::size(runLengths))]; n > 0 && value.size() < length; --n)
            value += kind[pick(static_cast<int>(kind.size()))];
    }
    return value;
}

} // namespace VandrelTest
