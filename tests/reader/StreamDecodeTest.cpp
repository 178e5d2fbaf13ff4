#include "reader/StreamDecode.h"

#include "pdf417/Compaction.h"
#include "pdf417/Encoder.h"
#include "tests/pdf417/CompactionOracle.h"
#include "tests/reader/SymbolPictures.h"

#include <zint.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace Vandrel {
namespace {

using namespace SymbolPictures;
using Codewords = std::vector<int16_t>;

std::string Bytes(const TMemoryStream& s) { return std::string(s.Bytes().begin(), s.Bytes().end()); }

// ---------------------------------------------------------------------------
// Decimal arithmetic

TEST(StreamDecode, HugeAddAndHugeMulti) {
    using TOperation = std::string (*)(std::string_view, std::string_view, const TMessageFn&);
    struct TCase {
        TOperation operation;
        const char* a;
        const char* b;
        const char* result;
    };
    const TCase cases[] = {
        {HugeAdd, "99", "1", "100"},
        {HugeAdd, "1", "99", "100"},
        {HugeAdd, "007", "1", "008"},          // the longer operand's leading zeros stay
        {HugeAdd, "0099", "1", "0100"},
        {HugeAdd, "999", "999", "1998"},
        {HugeAdd, "", "", ""},
        {HugeAdd, "", "12", "12"},
        {HugeAdd, "123456789012345678901234567890", "987654321098765432109876543210",
         "1111111110111111111011111111100"},
        {HugeMulti, "12", "900", "10800"},
        {HugeMulti, "1", "900", "900"},
        {HugeMulti, "99", "99", "9801"},
        {HugeMulti, "12", "0", "00"},          // a zero digit's partial product is zeros
        {HugeMulti, "0", "5", "0"},
        {HugeMulti, "810000000000", "810000000000", "656100000000000000000000"},
        {HugeAdd, "12a", "1", ""},
        {HugeAdd, "1", "-1", ""},
        {HugeMulti, "1 2", "3", ""},
        {HugeMulti, "2", "+3", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.operation == HugeAdd ? "HugeAdd " : "HugeMulti ") << c.a << ", " << c.b);
        std::vector<std::string> messages;
        EXPECT_EQ(c.operation(c.a, c.b, [&](const std::string& m) { messages.push_back(m); }), c.result);
        const bool invalid = std::string_view(c.result).empty() && !std::string_view(c.a).empty();
        EXPECT_EQ(messages, invalid ? std::vector<std::string>{"Invalid char in Parameter!"} : std::vector<std::string>{});
    }
}

// ---------------------------------------------------------------------------
// The segment decoders in their published form

std::string Segment(const Codewords& codewords) {
    std::string s;
    for (const int16_t c : codewords)
        s += std::to_string(c) + "@";
    return s;
}

Codewords Compacted(bool (*compact)(TPdf417Codewords&, std::string_view), std::string_view value) {
    TPdf417Codewords list;
    EXPECT_TRUE(compact(list, value));
    Codewords codewords;
    for (const TBarData* node = list.Root(); node; node = node->Next)
        codewords.push_back(node->Value);
    return codewords;
}

Codewords Bytewise(std::string_view value) {
    TPdf417Codewords list;
    ByteToCodeWord(list, value);
    Codewords codewords;
    for (const TBarData* node = list.Root(); node; node = node->Next)
        codewords.push_back(node->Value);
    return codewords;
}

TEST(StreamDecode, PublishedSegmentDecoders) {
    enum TDecoder { Txt, Num, Byte901, Byte924 };
    struct TCase {
        const char* name;
        TDecoder decoder;
        std::string segment;
        int32_t count;
        std::optional<std::string> bytes;
    };
    const std::string five = "\x01\xfe" "ab\x80";
    const std::string six("\x00\xff" "PDF\x7f", 6);
    const std::string eleven = six + five;
    const Codewords fiveCw = Bytewise(five), sixCw = Bytewise(six), elevenCw = Bytewise(eleven);
    ASSERT_EQ(fiveCw[0], ByteLatch);
    ASSERT_EQ(sixCw[0], ByteLatchSix);
    const auto body = [](const Codewords& c) { return Codewords(c.begin() + 1, c.end()); };
    const TCase cases[] = {
        {"AB in Alpha", Txt, "1@", 1, "AB"},
        {"PDF417", Txt, "453@178@121@239@", 4, "PDF417"},
        {"a Lower latch, then a shift to Alpha", Txt, Segment({810, 811, 89}), 3, "aBc"},
        {"a punctuation shift and the padding", Txt, "29@329@", 2, "A!"},
        {"Mixed, a punctuation latch and back to Alpha", Txt, Segment({28 * 30 + 1, 25 * 30 + 10, 29 * 30 + 2}), 3,
         "1!C"},
        {"a shifted value that is no character", Txt, Segment({29 * 30 + 29, 1}), 2, "AB"},
        {"1234", Num, "12@434@", 2, "1234"},
        {"a group without its leading 1", Num, "5@", 1, std::nullopt},
        {"5 bytes", Byte901, Segment(body(fiveCw)), 5, five},
        {"6 bytes", Byte924, Segment(body(sixCw)), 5, six},
        {"11 bytes", Byte901, Segment(body(elevenCw)), 10, eleven},
        {"a single codeword above 255", Byte901, "256@", 1, std::nullopt},
        {"a group above 48 bits", Byte924, "899@899@899@899@899@", 5, std::nullopt},
        {"a count that does not match", Txt, "1@2@", 3, std::nullopt},
        {"a number without its @", Txt, "1@2", 2, std::nullopt},
        {"a codeword above 899", Txt, "900@", 1, std::nullopt},
        {"no number", Txt, "@", 1, std::nullopt},
        {"a negative number", Txt, "-1@", 1, std::nullopt},
        {"empty", Num, "", 0, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TStrings decoded = {"stale"};
        const bool ok = c.decoder == Txt   ? EncodeBC_Txt(c.segment, c.count, decoded)
                        : c.decoder == Num ? EncodeBC_Num(c.segment, c.count, decoded)
                                           : EncodeBC_Byte(c.segment, c.count,
                                                           c.decoder == Byte924 ? ByteLatchSix : ByteLatch, decoded);
        ASSERT_EQ(ok, c.bytes.has_value());
        TStrings expected;
        for (const unsigned char b : c.bytes.value_or(""))
            expected.push_back(std::to_string(b));
        EXPECT_EQ(decoded, expected);
    }
    TStrings decoded;
    EXPECT_FALSE(EncodeBC_Byte("1@", 1, TextLatch, decoded)) << "byte decoding needs a byte latch";
}

// ---------------------------------------------------------------------------
// Codeword streams

TEST(StreamDecode, DecodeCodewords) {
    struct TCase {
        const char* name;
        Codewords codewords;
        std::optional<std::string> bytes;
        std::optional<TMacroBlock> macro = std::nullopt;
    };
    const Codewords digits = Compacted(NumToCodeWord, "123456789012345678901234567890123456789012345678901");
    Codewords numeric = {1};
    numeric.insert(numeric.end(), digits.begin(), digits.end());
    numeric.insert(numeric.end(), {900, 2});
    const TCase cases[] = {
        {"text from the start", {1}, "AB"},
        {"padding closes the data", {1, 900, 900, 900}, "AB"},
        {"two groups of numeric, then text again", numeric,
         "AB123456789012345678901234567890123456789012345678901AC"},
        {"a byte latch, back to text in Alpha", {810, 901, 0x80, 900, 1}, std::string("a\x80" "AB")},
        {"913 keeps the Lower latch", {810, 913, 0x80, 32}, std::string("a\x80" "bc")},
        {"913 drops a pending shift, which was padding", {810, 59, 913, 65, 89}, "abAc"},
        {"913 in byte compaction", {901, 1, 2, 913, 3, 4}, std::string("\x01\x02\x03\x04")},
        {"913 at the end", {1, 913}, std::nullopt},
        {"913 before no byte", {1, 913, 256}, std::nullopt},
        {"913 before a latch", {1, 913, 900}, std::nullopt},
        {"928 ends the data", {1, 928, 111, 100, 156, 157, 158, 922}, "AB", TMacroBlock{0, {156, 157, 158}, true}},
        {"a symbol in the middle of a sequence", {1, 900, 928, 111, 101, 7, 8}, "AB", TMacroBlock{1, {7, 8}, false}},
        {"a control block cut short", {1, 928, 111}, "AB", TMacroBlock{-1, {}, false}},
        {"a segment index of six digits", {1, 928, 222, 300, 5}, "AB", TMacroBlock{-1, {5}, false}},
        {"data after the block are not this symbol's", {1, 928, 111, 100, 1, 923, 0, 922, 2}, "AB",
         TMacroBlock{0, {1}, true}},
        {"922 and 923 carry nothing", {1, 922, 2, 923, 3}, "ABACAD"},
        {"912 carries nothing", {1, 912, 2}, "ABAC"},
        {"a reserved codeword", {1, 903, 2}, std::nullopt},
        {"an ECI", {927, 3, 1}, std::nullopt},
        {"no codeword", {}, ""},
        {"a value no table has", {1, -1}, std::nullopt},
        {"a numeric group without its leading 1", {902, 5}, std::nullopt},
        {"a byte above 255", {901, 300}, std::nullopt},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<TDecodedData> decoded = DecodeCodewords(c.codewords);
        ASSERT_EQ(decoded.has_value(), c.bytes.has_value());
        if (!decoded)
            continue;
        EXPECT_EQ(decoded->Bytes, *c.bytes);
        ASSERT_EQ(decoded->Macro.has_value(), c.macro.has_value());
        if (c.macro) {
            EXPECT_EQ(decoded->Macro->SegmentIndex, c.macro->SegmentIndex);
            EXPECT_EQ(decoded->Macro->FileId, c.macro->FileId);
            EXPECT_EQ(decoded->Macro->Last, c.macro->Last);
        }
    }
}

TEST(StreamDecode, IsEncrypt) {
    struct TCase {
        std::string decoded;
        bool encrypted;
        std::string after;
    };
    const TCase cases[] = {
        {"@^G^@\x01\x02", true, "\x01\x02"},
        {"@^G^@", true, ""},
        {"@^G^", false, "@^G^"},
        {"", false, ""},
        {" @^G^@", false, " @^G^@"},
    };
    for (const TCase& c : cases) {
        std::string decoded = c.decoded;
        EXPECT_EQ(IsEncrypt(decoded), c.encrypted) << c.decoded;
        EXPECT_EQ(decoded, c.after);
    }
}

// ---------------------------------------------------------------------------
// Pictures of our encoder's symbols read back

struct TPictureRead {
    std::optional<TScanResult> result;
    std::vector<std::string> messages;
    int32_t asked = 0;
};

TPictureRead Scan(const TPicture& picture, const std::string& password = "", const std::string& answer = "") {
    TPictureRead read;
    read.result = ScanPicture(
        picture.View(), password,
        [&] {
            ++read.asked;
            return answer;
        },
        [&](const std::string& m) { read.messages.push_back(m); });
    return read;
}

std::string ModeValue(TCodeMode mode, std::mt19937& rng) {
    const size_t length = std::uniform_int_distribution<size_t>(1, 60)(rng);
    std::string value = CompactionOracle::RandomValue(rng, length);
    if (mode == tMode)
        std::erase_if(value, [](char c) { return !CompactionOracle::IsTextByte(c); });
    if (mode == nMode)
        for (char& c : value)
            c = static_cast<char>('0' + static_cast<unsigned char>(c) % 10);
    return value.empty() ? "X" : value;
}

TEST(StreamDecode, OurSymbolsReadBackInEveryModeLevelAndType) {
    std::mt19937 rng(417);
    const TLook looks[] = {{1, 0, 2, 0, 255}, {2, 0, 2, 178, 179}, {3, 0, 5, 60, 220}, {4, 0, 2, 0, 255}};
    int32_t run = 0;
    for (const TCodeMode mode : {tMode, nMode, bMode, cMode})
        for (const TPDFType type : {Normal, Truncated, MicroPDF417, TruncatedMicroPDF417})
            for (int32_t level = 0; level <= 8; ++level, ++run) {
                const std::string value = ModeValue(mode, rng);
                const TLook& look = looks[run % std::size(looks)];
                SCOPED_TRACE(testing::Message() << "mode " << mode << ", type " << type << ", level " << level
                                                << ", module " << look.Module << ", value " << testing::PrintToString(value));
                TPdf417Encoder encoder;
                encoder.SetCodeMode(mode);
                encoder.SetPDFType(type);
                encoder.SetErrorLevel(level);
                encoder.SetDataColumn(static_cast<uint8_t>(2 + (1 << level) / 30 + run % 3));
                encoder.SetBarValue(value);
                ASSERT_TRUE(encoder.StreamToBarData());
                const auto symbols = EncodedSymbols(encoder);
                std::string read;
                std::optional<std::vector<int16_t>> fileId;
                for (size_t i = 0; i < symbols.size(); ++i) {
                    const TPictureRead r = Scan(Draw(symbols[i], look));
                    ASSERT_TRUE(r.result) << "symbol " << i;
                    EXPECT_TRUE(r.messages.empty());
                    EXPECT_FALSE(r.result->Encrypted);
                    read += Bytes(r.result->Data);
                    const bool micro = type == MicroPDF417 || type == TruncatedMicroPDF417;
                    ASSERT_EQ(r.result->Macro.has_value(), micro);
                    if (!micro)
                        continue;
                    // Each symbol of a sequence reads by itself and says where it belongs.
                    EXPECT_EQ(r.result->Macro->SegmentIndex, static_cast<int32_t>(i));
                    EXPECT_EQ(r.result->Macro->Last, i + 1 == symbols.size());
                    EXPECT_EQ(r.result->Macro->FileId.size(), 3u);
                    EXPECT_EQ(r.result->Macro->FileId, fileId.value_or(r.result->Macro->FileId));
                    fileId = r.result->Macro->FileId;
                }
                EXPECT_EQ(read, value);
            }
}

TEST(StreamDecode, ProtectedPayloads) {
    struct TCase {
        const char* name;
        std::string given;      // the reader's password
        std::string answer;     // what the prompt answers
        bool asked;
        bool plain;             // reads back as the value and its zero padding
    };
    const TCase cases[] = {
        {"the right password", "Vandrel", "", false, true},
        {"the password asked for", "", "Vandrel", true, true},
        {"a wrong password", "vandrel", "", false, false},
        {"a cancelled prompt", "", "", true, false},
    };
    const std::string value = "A protected payload.";   // 20 bytes: 4 zero bytes fill the last block
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TPdf417Encoder encoder;
        encoder.SetCodeMode(bMode);
        encoder.SetIsEncrypt(true);
        encoder.SetPassword("Vandrel");
        encoder.SetDataColumn(5);
        encoder.SetBarValue(value);
        ASSERT_TRUE(encoder.StreamToBarData());
        const TPictureRead r = Scan(Draw(EncodedSymbols(encoder)[0], {2, 0, 2, 0, 255}), c.given, c.answer);
        ASSERT_TRUE(r.result);
        EXPECT_TRUE(r.result->Encrypted);
        EXPECT_EQ(r.asked, c.asked ? 1 : 0);
        const std::string read = Bytes(r.result->Data);
        EXPECT_EQ(r.result->Data.Position(), read.size());
        ASSERT_EQ(read.size(), 24u);
        EXPECT_EQ(read == value + std::string(4, '\0'), c.plain);
    }
    // A payload that is not protected never asks.
    TPdf417Encoder plain;
    plain.SetBarValue("@^G^");
    ASSERT_TRUE(plain.StreamToBarData());
    const TPictureRead r = Scan(Draw(EncodedSymbols(plain)[0], {}), "", "x");
    ASSERT_TRUE(r.result);
    EXPECT_EQ(Bytes(r.result->Data), "@^G^");
    EXPECT_EQ(r.asked, 0);
}

// ---------------------------------------------------------------------------
// zint, an independent encoder, draws the symbols

// zint's rows as element widths: zint lays out the modules, we draw them.
std::vector<std::string> ZintRows(int symbology, std::string_view data, int columns, int level) {
    const std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> symbol(ZBarcode_Create(), ZBarcode_Delete);
    symbol->symbology = symbology;
    symbol->option_1 = level;
    symbol->option_2 = columns;
    const int status = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.data()),
                                       static_cast<int>(data.size()));
    if (status >= ZINT_ERROR) {
        ADD_FAILURE() << "zint: " << symbol->errtxt;
        return {};
    }
    std::vector<std::string> rows;
    for (int row = 0; row < symbol->rows; ++row) {
        std::string widths;
        for (int column = 0; column < symbol->width;) {
            const auto module = [&](int c) { return (symbol->encoded_data[row][c >> 3] >> (c & 7)) & 1; };
            int run = 1;
            while (column + run < symbol->width && module(column + run) == module(column))
                ++run;
            widths += static_cast<char>('0' + run);
            column += run;
        }
        rows.push_back(widths);
    }
    return rows;
}

TEST(StreamDecode, ZintSymbolsReadBack) {
    std::string everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += static_cast<char>(b);
    struct TCase {
        const char* name;
        std::string data;
        int columns;
        int level;      // -1: zint's choice
    };
    const TCase cases[] = {
        {"text", "Vandrel reads zint", 3, -1},
        {"sub-modes and shifts", "Mixed: CASE, lower; 12 & 34 #tag (paren) 'q' ~ end.", 4, 2},
        {"digits", "12345678901234567890123456789012345678901234567890123456789", 4, 1},
        {"text, digits, text", "Order 4711: 0123456789012345 pieces, shipped", 5, 3},
        {"bytes between text runs", std::string("caf\xe9 au lait"), 3, 0},
        // zint shifts a lone byte inside text with 913, once behind padding.
        {"913 in Lower", std::string("abcdefghij\x01klmnopqrst"), 3, 0},
        {"913 behind a pending shift", std::string("abcdefgh\xe9ijklmnopq"), 3, 0},
        {"six bytes", "\x01\x02\x03\x04\x05\x06", 2, 0},
        {"every byte", everyByte, 8, 5},
    };
    int32_t run = 0;
    for (const TCase& c : cases)
        for (const int symbology : {BARCODE_PDF417, BARCODE_PDF417COMP}) {
            const int32_t scale = 1 + run++ % 3;
            SCOPED_TRACE(testing::Message() << c.name << ", symbology " << symbology << ", scale " << scale);
            const TPictureRead r = Scan(Draw(ZintRows(symbology, c.data, c.columns, c.level), {scale, 3 * scale}));
            ASSERT_TRUE(r.result);
            EXPECT_TRUE(r.messages.empty());
            EXPECT_EQ(Bytes(r.result->Data), c.data);
        }
}

// ---------------------------------------------------------------------------
// Malformed input

// Random pictures: noise, black, white, bar runs of any width, and our
// symbols with codewords swapped for others (any descriptor, any stream
// decodes), with vertical strips inverted, noisy pixels, or cropped through
// the stride. Under the sanitizers this shows that nothing reads outside
// the picture or the codewords recognised.
TEST(StreamDecode, MalformedPicturesNeverCrash) {
    std::mt19937 rng(928);
    const auto pick = [&](int32_t from, int32_t to) { return std::uniform_int_distribution<int32_t>(from, to)(rng); };
    std::vector<std::vector<std::string>> symbols;
    std::vector<TSymbolSize> sizes;
    for (const TPDFType type : {Normal, Truncated}) {
        TPdf417Encoder encoder;
        encoder.SetCodeMode(cMode);
        encoder.SetPDFType(type);
        encoder.SetBarValue("Malformed 0123456789012345 \x80\x81 pictures");
        ASSERT_TRUE(encoder.StreamToBarData());
        symbols.push_back(EncodedSymbols(encoder)[0]);
        sizes.push_back(encoder.SymbolSizes()[0]);
    }
    int32_t decoded = 0;
    for (int32_t i = 0; i < 1200; ++i) {
        const int32_t kind = i % 6;
        const size_t symbol = static_cast<size_t>(pick(0, 1));
        std::vector<std::string> rows = symbols[symbol];
        TPicture p;
        if (kind < 4) {
            p.Width = pick(0, 1) ? pick(0, 20) : pick(0, 400);
            p.Height = pick(0, 1) ? pick(0, 3) : pick(0, 40);
            p.Pixels.resize(static_cast<size_t>(p.Width) * static_cast<size_t>(p.Height));
        }
        switch (kind) {
        case 0:   // noise
            for (uint8_t& v : p.Pixels)
                v = static_cast<uint8_t>(pick(0, 255));
            break;
        case 1:   // black or white
            std::fill(p.Pixels.begin(), p.Pixels.end(), pick(0, 1) ? 0 : 255);
            break;
        case 2:   // runs of random widths, from narrow to wider than the picture
        case 3: { // the same runs in every row
            std::vector<uint8_t> row;
            for (int32_t y = 0; y < p.Height; ++y) {
                if (y == 0 || kind == 2) {
                    row.clear();
                    for (bool dark = pick(0, 1); static_cast<int32_t>(row.size()) < p.Width; dark = !dark)
                        row.insert(row.end(), static_cast<size_t>(pick(1, pick(0, 1) ? 20 : 1000)), dark ? 0 : 255);
                }
                std::copy_n(row.begin(), p.Width, p.Pixels.begin() + y * p.Width);
            }
            break;
        }
        case 4:   // codewords swapped for others of their row's cluster, often the descriptor
            for (int32_t n = pick(1, 6); n > 0; --n) {
                const bool descriptor = n == 1 && pick(0, 1);
                const int32_t j = descriptor ? 0 : pick(0, sizes[symbol].Rows - 1);
                const int32_t k = descriptor ? 0 : pick(0, sizes[symbol].Columns - 1);
                rows[static_cast<size_t>(j)].replace(static_cast<size_t>(8 * (2 + k)), 8, GetBSValue(j, pick(0, 928)));
            }
            p = Draw(rows, {pick(1, 2)});
            break;
        default:  // inverted strips and noisy pixels
            p = Draw(rows, {pick(1, 2)});
            for (int32_t strips = pick(0, 2); strips > 0; --strips) {
                const int32_t x0 = pick(0, p.Width - 1), w = pick(1, 4);
                for (int32_t y = 0; y < p.Height; ++y)
                    for (int32_t x = x0; x < std::min(p.Width, x0 + w); ++x)
                        p.Pixels[static_cast<size_t>(y * p.Width + x)] ^= 0xFF;
            }
            for (int32_t n = pick(0, 2); n > 0; --n)
                p.Pixels[static_cast<size_t>(pick(0, static_cast<int32_t>(p.Pixels.size()) - 1))] ^= 0xFF;
            break;
        }
        TPixelView view = p.View();
        if (kind == 5 && pick(0, 1)) {
            const int32_t left = pick(0, view.Width - 1), top = pick(0, view.Height - 1);
            view.Pixels += top * view.Stride + left;
            view.Width = pick(0, view.Width - left);
            view.Height = pick(0, view.Height - top);
        }
        SCOPED_TRACE(testing::Message() << "picture " << i << ", " << view.Width << " × " << view.Height);
        decoded += ScanPicture(view, "", [] { return "x"; }, {}).has_value();
    }
    EXPECT_GT(decoded, 0) << "the swapped codewords reach the decoding";
}

TEST(StreamDecode, RandomCodewordsNeverCrash) {
    std::mt19937 rng(913);
    for (int32_t i = 0; i < 2000; ++i) {
        Codewords codewords(static_cast<size_t>(std::uniform_int_distribution<int32_t>(0, 40)(rng)));
        for (int16_t& c : codewords)
            c = static_cast<int16_t>(std::uniform_int_distribution<int32_t>(0, 5)(rng) == 0
                                         ? std::uniform_int_distribution<int32_t>(900, 928)(rng)
                                         : std::uniform_int_distribution<int32_t>(0, 899)(rng));
        // At most 44 digits come from 15 numeric codewords, the densest mode.
        if (const std::optional<TDecodedData> decoded = DecodeCodewords(codewords)) {
            EXPECT_LE(decoded->Bytes.size(), 3 * codewords.size());
        }
    }
}

} // namespace
} // namespace Vandrel
