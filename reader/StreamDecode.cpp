#include "reader/StreamDecode.h"

#include "crypto/Payload.h"
#include "pdf417/Compaction.h"
#include "reader/Sample.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <map>

namespace Vandrel {
namespace {

bool IsData(int16_t c)
{
    return c >= 0 && c < CodewordBase;
}

bool IsLatch(int16_t c)
{
    return c == TextLatch || c == ByteLatch || c == NumericLatch || c == ByteLatchSix;
}

// Codewords that end a segment without changing the mode and carry nothing:
// the segment break, and the Macro PDF417 terminator and optional-field
// marker found outside a control block.
bool CarriesNothing(int16_t c)
{
    return c == SegmentBreak || c == MacroTerminator || c == MacroOptionalField;
}

bool IsDigits(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A change of text sub-mode: a latch holds until the next one, a shift
// applies to the next value only.
struct TTextSwitch {
    TBCType From;
    int32_t Value;
    bool Latch;
    TBCType To;
};

constexpr TTextSwitch TextSwitches[] = {
    {bcAlpha, 27, true, bcLower},        {bcAlpha, 28, true, bcMixed},       {bcAlpha, 29, false, bcPunctuation},
    {bcLower, 27, false, bcAlpha},       {bcLower, 28, true, bcMixed},       {bcLower, 29, false, bcPunctuation},
    {bcMixed, 25, true, bcPunctuation},  {bcMixed, 27, true, bcLower},       {bcMixed, 28, true, bcAlpha},
    {bcMixed, 29, false, bcPunctuation}, {bcPunctuation, 29, true, bcAlpha},
};

char TextChar(TBCType subMode, int32_t value)
{
    const TTextRecord& record = PDF417TEXT[value];
    switch (subMode) {
    case bcAlpha: return record.Alpha;
    case bcLower: return record.Lower;
    case bcMixed: return record.Mixed;
    case bcPunctuation: return record.Punctuation;
    }
    return 0;
}

// Text compaction: two values 0-29 per codeword. `subMode` carries the latched
// sub-mode over a byte shift; a shift still pending at the end of the segment
// was padding. A shifted value that is no character in its sub-mode gives
// nothing rather than a byte 0.
void DecodeText(std::span<const int16_t> segment, TBCType& subMode, std::string& out)
{
    std::optional<TBCType> shifted;
    for (const int16_t codeword : segment)
        for (const int32_t value : {codeword / 30, codeword % 30}) {
            if (shifted) {
                if (const char c = TextChar(*shifted, value))
                    out += c;
                shifted.reset();
                continue;
            }
            const auto change =
                std::find_if(std::begin(TextSwitches), std::end(TextSwitches),
                             [&](const TTextSwitch& s) { return s.From == subMode && s.Value == value; });
            if (change == std::end(TextSwitches))
                out += TextChar(subMode, value);
            else if (change->Latch)
                subMode = change->To;
            else
                shifted = change->To;
        }
}

// The decimal digits of `limb`, padded with zeros to LimbDigits unless it
// is the leading limb.
void AppendLimb(uint32_t limb, bool leading, std::string& out)
{
    char digits[LimbDigits];
    const char* end = std::to_chars(std::begin(digits), std::end(digits), limb).ptr;
    const size_t length = static_cast<size_t>(end - digits);
    if (!leading)
        out.append(LimbDigits - length, '0');
    out.append(digits, length);
}

// Numeric compaction: each group of up to 15 codewords is a base-900 number
// whose decimal form is a 1 followed by the digits. A group without that
// leading 1 was not made by numeric compaction.
bool DecodeNumeric(std::span<const int16_t> segment, std::string& out)
{
    std::string value;
    for (size_t group = 0; group < segment.size(); group += NumericGroupCodewords) {
        const auto digits = segment.subspan(group, std::min(NumericGroupCodewords, segment.size() - group));
        // The number in limbs, least significant first, by Horner's rule.
        std::array<uint32_t, GroupLimbs> limbs{};
        size_t used = 1;
        for (const int16_t c : digits) {
            uint64_t carry = static_cast<uint64_t>(c);
            for (size_t i = 0; i < used; ++i) {
                const uint64_t part = uint64_t{limbs[i]} * CodewordBase + carry;
                limbs[i] = static_cast<uint32_t>(part % LimbBase);
                carry = part / LimbBase;
            }
            if (carry > 0)
                limbs[used++] = static_cast<uint32_t>(carry);
        }
        value.clear();
        for (size_t i = used; i-- > 0;)
            AppendLimb(limbs[i], i + 1 == used, value);
        if (value[0] != '1')
            return false;
        out.append(value, 1);
    }
    return true;
}

// Byte compaction: five codewords for six bytes; after 901 the last one to
// five codewords are single bytes. A group above 48 bits or a single
// codeword above 255 was not made by byte compaction.
bool DecodeBytes(std::span<const int16_t> segment, bool sixMultiple, std::string& out)
{
    size_t i = 0;
    for (; sixMultiple ? segment.size() - i >= ByteGroupCodewords : segment.size() - i > ByteGroupCodewords;
         i += ByteGroupCodewords) {
        uint64_t n = 0;
        for (size_t j = i; j < i + ByteGroupCodewords; ++j)
            n = n * CodewordBase + static_cast<uint64_t>(segment[j]);
        if (n >> 48)
            return false;
        for (int shift = 40; shift >= 0; shift -= 8)
            out += static_cast<char>(n >> shift & 0xFF);
    }
    for (; i < segment.size(); ++i) {
        if (segment[i] > 0xFF)
            return false;
        out += static_cast<char>(segment[i]);
    }
    return true;
}

bool DecodeSegment(std::span<const int16_t> segment, int16_t mode, TBCType& subMode, std::string& out)
{
    switch (mode) {
    case TextLatch: DecodeText(segment, subMode, out); return true;
    case NumericLatch: return DecodeNumeric(segment, out);
    default: return DecodeBytes(segment, mode == ByteLatchSix, out);
    }
}

// What follows 928: the segment index (two codewords), the file ID up to the
// next codeword that is no data, and possibly optional fields and 922.
TMacroBlock ReadMacroBlock(std::span<const int16_t> block)
{
    TMacroBlock macro;
    macro.Last = std::find(block.begin(), block.end(), MacroTerminator) != block.end();
    if (block.size() < 2 || !IsData(block[0]) || !IsData(block[1]))
        return macro;
    const int32_t index = block[0] * CodewordBase + block[1] - SegmentIndexBase;
    macro.SegmentIndex = index >= 0 && index < SegmentIndexBase ? index : -1;
    const auto fileId = block.subspan(2);
    macro.FileId.assign(fileId.begin(), std::find_if_not(fileId.begin(), fileId.end(), IsData));
    return macro;
}

// A published segment string: `count` codewords 0-899, each followed by "@".
std::optional<std::vector<int16_t>> ParseSegment(std::string_view segment, int32_t count)
{
    std::vector<int16_t> codewords;
    const char* at = segment.data();
    const char* end = at + segment.size();
    while (at != end) {
        int32_t value = -1;
        const auto [next, error] = std::from_chars(at, end, value);
        if (error != std::errc{} || next == end || *next != '@' || value < 0 || value >= CodewordBase)
            return std::nullopt;
        codewords.push_back(static_cast<int16_t>(value));
        at = next + 1;
    }
    if (codewords.size() != static_cast<size_t>(std::max(count, 0)))
        return std::nullopt;
    return codewords;
}

template <typename Decode>
bool Published(std::string_view segment, int32_t count, TStrings& decoded, Decode decode)
{
    decoded.clear();
    const auto codewords = ParseSegment(segment, count);
    std::string bytes;
    if (!codewords || !decode(*codewords, bytes))
        return false;
    for (const unsigned char b : bytes)
        decoded.push_back(std::to_string(b));
    return true;
}

} // namespace

std::string HugeAdd(std::string_view a, std::string_view b, const TMessageFn& message)
{
    if (!IsDigits(a) || !IsDigits(b)) {
        Report(message, "Invalid char in Parameter!");
        return {};
    }
    const std::string_view shorter = a.size() < b.size() ? a : b;
    std::string sum(a.size() < b.size() ? b : a);
    int carry = 0;
    // Once the shorter operand has run out and the carry is absorbed, the
    // longer one's leading digits, zeros included, stand as they are.
    for (size_t i = 0; i < sum.size() && (i < shorter.size() || carry); ++i) {
        char& digit = sum[sum.size() - 1 - i];
        const int d = digit - '0' + carry + (i < shorter.size() ? shorter[shorter.size() - 1 - i] - '0' : 0);
        digit = static_cast<char>('0' + d % 10);
        carry = d / 10;
    }
    if (carry)
        sum.insert(sum.begin(), '1');
    return sum;
}

std::string HugeMulti(std::string_view a, std::string_view b, const TMessageFn& message)
{
    if (!IsDigits(a) || !IsDigits(b)) {
        Report(message, "Invalid char in Parameter!");
        return {};
    }
    std::string product = "0";
    for (size_t k = 0; k < b.size(); ++k) {
        const int digit = b[b.size() - 1 - k] - '0';
        std::string partial(a.size(), '0');
        int carry = 0;
        for (size_t i = a.size(); i-- > 0;) {
            const int d = (a[i] - '0') * digit + carry;
            partial[i] = static_cast<char>('0' + d % 10);
            carry = d / 10;
        }
        if (carry)
            partial.insert(partial.begin(), static_cast<char>('0' + carry));
        partial.append(k, '0');
        product = HugeAdd(product, partial, {});
    }
    return product;
}

bool EncodeBC_Txt(std::string_view segment, int32_t count, TStrings& decoded)
{
    return Published(segment, count, decoded, [](std::span<const int16_t> codewords, std::string& out) {
        TBCType subMode = bcAlpha;
        DecodeText(codewords, subMode, out);
        return true;
    });
}

bool EncodeBC_Num(std::string_view segment, int32_t count, TStrings& decoded)
{
    return Published(segment, count, decoded, DecodeNumeric);
}

bool EncodeBC_Byte(std::string_view segment, int32_t count, int16_t latch, TStrings& decoded)
{
    return Published(segment, count, decoded, [latch](std::span<const int16_t> codewords, std::string& out) {
        return (latch == ByteLatch || latch == ByteLatchSix) && DecodeBytes(codewords, latch == ByteLatchSix, out);
    });
}

bool IsEncrypt(std::string& decoded)
{
    if (!HasEncryptMarker({reinterpret_cast<const uint8_t*>(decoded.data()), decoded.size()}))
        return false;
    decoded.erase(0, EncryptMarker.size());
    return true;
}

std::optional<TDecodedData> DecodeCodewords(std::span<const int16_t> codewords)
{
    TDecodedData data;
    int16_t mode = TextLatch; // a symbol starts in text compaction, Alpha
    TBCType subMode = bcAlpha;
    size_t begin = 0; // the open segment starts here
    for (size_t i = 0; i < codewords.size(); ++i) {
        const int16_t c = codewords[i];
        if (IsData(c))
            continue;
        if (!DecodeSegment(codewords.subspan(begin, i - begin), mode, subMode, data.Bytes))
            return std::nullopt;
        if (IsLatch(c)) {
            mode = c;
            subMode = bcAlpha;
        } else if (c == ByteShift) {
            if (i + 1 == codewords.size() || !IsData(codewords[i + 1]) || codewords[i + 1] > 0xFF)
                return std::nullopt;
            data.Bytes += static_cast<char>(codewords[++i]);
        } else if (c == MacroBlockMarker) {
            data.Macro = ReadMacroBlock(codewords.subspan(i + 1));
            return data;
        } else if (!CarriesNothing(c)) {
            return std::nullopt;
        }
        begin = i + 1;
    }
    if (!DecodeSegment(codewords.subspan(begin), mode, subMode, data.Bytes))
        return std::nullopt;
    return data;
}

namespace {

TPictureSymbols ReadFound(const std::vector<TSymbolRead>& symbols, const TMessageFn& message)
{
    TPictureSymbols read;
    for (const TSymbolRead& symbol : symbols) {
        int32_t corrected = 0;
        const std::optional<std::vector<int16_t>> codewords = CreateCodeWord(symbol, message, &corrected);
        std::optional<TDecodedData> decoded;
        if (codewords)
            decoded = DecodeCodewords(*codewords);
        if (!decoded) {
            ++read.Unreadable;
            continue;
        }
        TSymbolData data;
        data.Bytes = std::move(decoded->Bytes);
        data.Macro = std::move(decoded->Macro);
        if (data.Macro)
            data.Segments.push_back(data.Macro->SegmentIndex);
        data.Left = symbol.Left;
        data.Top = symbol.Top;
        data.Corrected = corrected;
        read.Symbols.push_back(std::move(data));
    }
    return read;
}

} // namespace

TPictureSymbols ReadSymbols(const TPixelView& picture, const TMessageFn& message)
{
    // What the row reader says about symbols it cannot read is held back
    // until the locator, which may read them after all, has had its turn.
    std::vector<std::string> held;
    const TMessageFn hold = [&](const std::string& text) { held.push_back(text); };
    const auto replay = [&](TPictureSymbols read) {
        for (const std::string& text : held)
            Report(message, text);
        return read;
    };
    std::vector<TSymbolRead> found = GetCode(picture);
    TPictureSymbols read = ReadFound(found, hold);
    // Clean upright pictures read above at once; the rest (turned, skewed,
    // blurred, framed, damaged) need their symbols located first.
    if (!read.Symbols.empty() && read.Unreadable == 0)
        return read;
    std::vector<TSymbolRead> located = ReadLocated(picture);
    if (located.empty()) {
        if (found.empty())
            held.push_back("No any Information!");
        return replay(std::move(read));
    }
    if (read.Symbols.empty())
        return ReadFound(located, message);
    // Some symbols read, some not: the row reader's symbols that no located
    // one covers keep their place, read or not.
    for (TSymbolRead& symbol : found) {
        const bool covered = std::any_of(located.begin(), located.end(), [&](const TSymbolRead& l) {
            return l.Left < symbol.Right && symbol.Left < l.Right && l.Top <= symbol.Bottom && symbol.Top <= l.Bottom;
        });
        if (!covered)
            located.push_back(std::move(symbol));
    }
    PictureOrder(located);
    held.clear();
    return replay(ReadFound(located, hold));
}

TJoinedSymbols JoinSequences(std::vector<TSymbolData> symbols)
{
    TJoinedSymbols joined;
    std::vector<std::string> errors;
    std::vector<bool> taken(symbols.size(), false);
    for (size_t first = 0; first < symbols.size(); ++first) {
        if (taken[first])
            continue;
        if (!symbols[first].Macro) {
            joined.Results.push_back(std::move(symbols[first]));
            continue;
        }
        // The sequence of this file ID, by segment index.
        std::map<int32_t, size_t> segments;
        bool unreadable = false;
        for (size_t i = first; i < symbols.size(); ++i) {
            if (taken[i] || !symbols[i].Macro || symbols[i].Macro->FileId != symbols[first].Macro->FileId)
                continue;
            taken[i] = true;
            const int32_t index = symbols[i].Macro->SegmentIndex;
            if (index < 0) {
                unreadable = true;
                continue;
            }
            const auto [at, added] = segments.emplace(index, i);
            if (!added && symbols[at->second].Bytes != symbols[i].Bytes)
                errors.push_back("Macro PDF417 sequence inconsistent: segment " + std::to_string(index) +
                                 " read twice with different data");
        }
        if (unreadable) {
            errors.push_back("Macro PDF417 control block unreadable");
            continue;
        }
        const auto last = std::find_if(segments.begin(), segments.end(),
                                       [&](const auto& s) { return symbols[s.second].Macro->Last; });
        if (last != segments.end() && last != std::prev(segments.end())) {
            errors.push_back("Macro PDF417 sequence inconsistent: segment " +
                             std::to_string(std::prev(segments.end())->first) + " follows the last segment " +
                             std::to_string(last->first));
            continue;
        }
        std::vector<std::pair<int32_t, int32_t>> gaps; // from, to
        int32_t expected = 0;
        for (const auto& [index, i] : segments) {
            if (index > expected)
                gaps.emplace_back(expected, index - 1);
            expected = index + 1;
        }
        if (!gaps.empty() || last == segments.end()) {
            std::string missing;
            int32_t count = 0;
            for (const auto& [from, to] : gaps) {
                missing += (missing.empty() ? "" : ", ") + std::to_string(from);
                if (to > from)
                    missing += (to == from + 1 ? ", " : "-") + std::to_string(to);
                count += to - from + 1;
            }
            const bool open = last == segments.end();
            std::string text = "Macro PDF417 sequence incomplete: ";
            if (!open)
                text += (count == 1 ? "segment " : "segments ") + missing;
            else if (gaps.empty())
                text += "segments after " + std::to_string(expected - 1);
            else
                text += (count == 1 ? "segment " : "segments ") + missing + " and those after " +
                        std::to_string(expected - 1);
            errors.push_back(text + " missing");
            continue;
        }
        TSymbolData sequence;
        sequence.Left = symbols[first].Left;
        sequence.Top = symbols[first].Top;
        for (const auto& [index, i] : segments) {
            sequence.Bytes += symbols[i].Bytes;
            sequence.Segments.push_back(index);
            sequence.Corrected += symbols[i].Corrected;
        }
        sequence.Macro = symbols[last->second].Macro;
        joined.Results.push_back(std::move(sequence));
    }
    for (const std::string& error : errors)
        joined.Error += (joined.Error.empty() ? "" : "; ") + error;
    return joined;
}

TPictureScan ScanPictureAll(const TPixelView& picture, const std::string& password, const TPasswordFn& askPassword,
                            const TMessageFn& message, TScanJoin join)
{
    TPictureScan scan;
    TPictureSymbols read = ReadSymbols(picture, message);
    const size_t found = read.Symbols.size() + static_cast<size_t>(read.Unreadable);
    if (read.Symbols.empty()) {
        scan.Error = NoSymbolRead;
        return scan;
    }
    if (read.Unreadable > 0)
        scan.Error = std::to_string(read.Unreadable) + " of " + std::to_string(found) +
                     " symbols in the picture could not be read";
    std::vector<TSymbolData> results;
    if (join == TScanJoin::Each) {
        results = std::move(read.Symbols);
    } else {
        if (!scan.Error.empty())
            return scan;
        TJoinedSymbols joined = JoinSequences(std::move(read.Symbols));
        if (!joined.Error.empty()) {
            scan.Error = std::move(joined.Error);
            return scan;
        }
        results = std::move(joined.Results);
    }
    std::optional<std::string> asked; // one answer for every protected payload
    for (TSymbolData& symbol : results) {
        TScanResult result;
        result.Data.Write(symbol.Bytes.data(), symbol.Bytes.size());
        result.Macro = std::move(symbol.Macro);
        result.Segments = std::move(symbol.Segments);
        result.Corrected = symbol.Corrected;
        // A piece of a longer sequence cannot be deciphered alone.
        const bool whole = !result.Macro || (result.Segments == std::vector<int32_t>{0} && result.Macro->Last) ||
                           result.Segments.size() > 1;
        result.Encrypted = whole && HasEncryptMarker(result.Data.Bytes());
        if (result.Encrypted) {
            if (password.empty() && askPassword && !asked)
                asked = askPassword();
            DecryptPayload(result.Data, password.empty() ? asked.value_or(std::string()) : password);
        }
        scan.Results.push_back(std::move(result));
    }
    return scan;
}

std::optional<TScanResult> ScanPicture(const TPixelView& picture, const std::string& password,
                                       const TPasswordFn& askPassword, const TMessageFn& message)
{
    TPictureScan scan = ScanPictureAll(picture, password, askPassword, message);
    if (!scan.Error.empty()) {
        if (scan.Error != NoSymbolRead && message)
            message(scan.Error);
        return std::nullopt;
    }
    return std::move(scan.Results.front());
}

} // namespace Vandrel
