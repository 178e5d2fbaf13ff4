#include "pdf417/Encoder.h"

#include "core/Exceptions.h"
#include "crypto/Payload.h"
#include "tests/pdf417/CompactionOracle.h"
#include "tests/pdf417/Gf929.h"
#include "tests/pdf417/PrintSymbolSize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace VandrelTest {
namespace {

using namespace Vandrel;

constexpr const char* RecalcuError = "recalcu is error!";

// An encoder set up like a new control, except where a test says otherwise.
struct TSettings {
    std::string value = "PDF417";
    TCodeMode mode = tMode;
    int32_t level = 1;
    uint8_t columns = 3;
    uint8_t rows = 0;
    TPDFType type = Normal;
    int32_t width = 200;
    int32_t height = 100;
    TAngleType angle = _0;
    bool encrypt = false;
    std::string password = "";
};

// The file ID every test sequence carries: noon gives the stamp
// 500000 mod 899 = 156, and the draws are 0, 1 and 2.
const std::vector<int> FileId = {156, 157, 158};

struct TRun {
    bool ok = false;
    std::vector<std::vector<int>> symbols;
    std::vector<TSymbolSize> sizes;
    std::vector<std::string> messages;
    std::string error;
    int32_t ecCount = 0;
    std::string work; // WorkStream: the bytes compacted
};

void Configure(TPdf417Encoder& encoder, const TSettings& s)
{
    encoder.SetCodeMode(s.mode);
    encoder.SetErrorLevel(s.level);
    encoder.SetDataColumn(s.columns);
    encoder.SetDataRow(s.rows);
    encoder.SetPDFType(s.type);
    encoder.SetArea(s.width, s.height);
    encoder.SetAngle(s.angle);
    encoder.SetIsEncrypt(s.encrypt);
    encoder.SetPassword(s.password);
    encoder.SetBarValue(s.value);
}

TRun Encode(const TSettings& settings)
{
    TRun run;
    TPdf417Encoder encoder([&run](const std::string& m) { run.messages.push_back(m); });
    int32_t draw = 0;
    encoder.SetFileIdSources([] { return 0.5; }, [&draw](int32_t) { return draw++; });
    Configure(encoder, settings);
    for (const std::string& m : run.messages)
        ADD_FAILURE() << "a setting was refused: " << m;
    try {
        run.ok = encoder.StreamToBarData();
    } catch (const Exception& e) {
        run.error = e.what();
    }
    run.sizes = encoder.SymbolSizes();
    run.ecCount = encoder.ErrorCorrection().ECCount();
    const auto& work = encoder.WorkStream().Bytes();
    run.work.assign(work.begin(), work.end());
    // The list is exactly the symbols' grids, one after the other, each
    // found by its start.
    const TBarData* node = encoder.Codewords().Root();
    for (const TSymbolSize& size : run.sizes) {
        EXPECT_EQ(encoder.SymbolStart(static_cast<int32_t>(run.symbols.size())), node);
        std::vector<int>& symbol = run.symbols.emplace_back();
        for (int32_t i = 0; i < size.Rows * size.Columns && node; ++i, node = node->Next)
            symbol.push_back(node->Value);
        EXPECT_EQ(static_cast<int32_t>(symbol.size()), size.Rows * size.Columns);
    }
    EXPECT_EQ(node, nullptr);
    EXPECT_EQ(encoder.SymbolStart(static_cast<int32_t>(run.sizes.size())), nullptr);
    EXPECT_EQ(encoder.SymbolStart(-1), nullptr);
    EXPECT_EQ(run.ok, encoder.CodeWordCount() > 0);
    return run;
}

bool IsMicro(TPDFType type)
{
    return type == MicroPDF417 || type == TruncatedMicroPDF417;
}

// Every symbol stands alone: its descriptor counts its data part, its error
// correction checks, a sequence's control block names its place, and its
// data read back by themselves; the pieces in order give `bytes`.
void ExpectReadsBack(const TRun& run, TPDFType type, const std::string& bytes)
{
    ASSERT_TRUE(run.ok) << run.error;
    ASSERT_FALSE(run.symbols.empty());
    std::string read;
    for (size_t i = 0; i < run.symbols.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "symbol " << i);
        const std::vector<int>& symbol = run.symbols[i];
        const int length = static_cast<int>(symbol.size()) - run.ecCount;
        ASSERT_EQ(symbol[0], length);
        EXPECT_EQ(FirstNonVanishingPower(symbol, run.ecCount), 0);
        EXPECT_GE(run.sizes[i].Rows, 3);
        auto dataEnd = symbol.begin() + length;
        if (IsMicro(type)) {
            const bool last = i + 1 == run.symbols.size();
            const int segment = 100000 + static_cast<int>(i);
            std::vector<int> block = {928, segment / 900, segment % 900};
            block.insert(block.end(), FileId.begin(), FileId.end());
            if (last)
                block.push_back(922);
            else
                EXPECT_EQ(run.sizes[i], run.sizes[0]) << "all but the last share one size";
            dataEnd -= static_cast<int>(block.size());
            EXPECT_EQ(std::vector<int>(dataEnd, symbol.begin() + length), block);
        }
        const auto piece = Decode(std::vector<int>(symbol.begin() + 1, dataEnd));
        ASSERT_TRUE(piece.has_value());
        read += *piece;
    }
    EXPECT_EQ(read, bytes);
}

TEST(EncoderTest, Symbols)
{
    struct TCase {
        TSettings settings;
        std::vector<TSymbolSize> sizes;
        std::vector<int> head; // the first codewords of the first symbol
        const char* comment;
    };
    const std::vector<int> defaultSymbol = {5, 453, 178, 121, 239, 452, 327, 657, 619};
    const TCase cases[] = {
        {{}, {{3, 3}}, defaultSymbol, "the default control"},
        {{.type = Truncated}, {{3, 3}}, defaultSymbol, "truncation changes the drawing only"},
        {{.level = 0}, {{3, 3}}, {7, 453, 178, 121, 239, 900, 900}, "padded"},
        {{.value = "0123456789", .mode = nMode}, {{4, 3}}, {8, 902, 13, 798, 85, 289, 900, 900}, ""},
        {{.value = "ABCDEF", .mode = bMode}, {{4, 3}}, {8, 924, 109, 326, 368, 127, 330, 900}, ""},
        {{.value = "ABCD1234567890123XYZAB", .mode = cMode},
         {{6, 3}},
         {14, 1, 63, 902, 17, 110, 836, 811, 223, 900, 714, 750, 59, 900},
         "automatic"},
        {{.columns = 0, .width = 100, .height = 2000},
         {{8, 2}},
         {12, 453, 178, 121, 239, 900, 900, 900, 900, 900, 900, 900},
         "tall area"},
        {{.columns = 0, .width = 2000, .height = 100, .angle = _90},
         {{8, 2}},
         {12},
         "at 90 degrees the control's height is the width"},
        {{.columns = 0, .width = 100, .height = 2000, .angle = _270}, {{3, 3}}, {5}, ""},
        {{.value = std::string(1846, 'A'), .columns = 29}, {{32, 29}}, {924, 0, 0}, "928 codewords in all"},
        {{.value = std::string(530, 'A')}, {{90, 3}}, {266}, "90 rows"},
        {{.value = std::string(200, 'A'), .columns = 0, .width = 4000, .height = 50},
         {{4, 27}},
         {104},
         "a wide, flat area: more rows rather than more than 30 columns"},
        {{.type = MicroPDF417},
         {{6, 3}},
         {14, 453, 178, 121, 239, 900, 900, 928, 111, 100, 156, 157, 158, 922},
         "a sequence of one symbol"},
        {{.type = TruncatedMicroPDF417}, {{6, 3}}, {14, 453, 178, 121, 239, 900, 900, 928}, ""},
        {{.value = std::string(1100, 'A'), .type = MicroPDF417}, {{90, 3}, {90, 3}, {15, 3}}, {266}, "three symbols"},
        {{.columns = 30, .type = MicroPDF417},
         {{3, 30}},
         {86, 453},
         "the last symbol has three rows however few its codewords"},
        {{.value = std::string(1000, '7'), .mode = nMode, .columns = 0, .rows = 10, .type = MicroPDF417},
         {{10, 30}, {10, 7}},
         {296, 902},
         "rows fixed, columns follow"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.comment);
        const TRun run = Encode(c.settings);
        EXPECT_TRUE(run.messages.empty());
        EXPECT_EQ(run.sizes, c.sizes);
        ASSERT_FALSE(run.symbols.empty());
        const std::vector<int>& first = run.symbols[0];
        EXPECT_EQ(std::vector<int>(first.begin(), first.begin() + std::min(first.size(), c.head.size())), c.head);
        ExpectReadsBack(run, c.settings.type, c.settings.value);
    }
}

TEST(EncoderTest, Refusals)
{
    struct TCase {
        TSettings settings;
        bool ok;
        std::vector<std::string> messages;
        std::string error;
        const char* comment;
    };
    const TCase cases[] = {
        {{.value = ""}, false, {}, "", "nothing to encode"},
        {{.value = "A\x80"}, false, {"Invalid string"}, "", ""},
        {{.value = "12a", .mode = nMode}, false, {"Invalid string"}, "", ""},
        {{.value = "ABCDEFGHIJ", .columns = 2, .rows = 3}, false, {}, "", "10 codewords in 2 x 3: silent"},
        {{.value = std::string(1848, 'A'), .columns = 29}, false, {"Code Words is too Large!"}, "", "929 codewords"},
        {{.value = std::string(532, 'A')}, false, {}, RecalcuError, "91 rows"},
        {{.columns = 30, .rows = 90}, false, {}, RecalcuError, "a grid beyond 928 codewords"},
        {{.columns = 0, .width = 0}, false, {}, RecalcuError, "no area to size for"},
        {{.level = 8, .type = MicroPDF417},
         false,
         {},
         RecalcuError,
         "512 error-correction codewords do not fit 90 x 3"},
        {{.value = std::string(200, 'A'), .columns = 0, .rows = 3},
         false,
         {"Num of CodeWord is too Big!"},
         "",
         "35 columns would not read: said, and refused"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.comment);
        const TRun run = Encode(c.settings);
        EXPECT_EQ(run.ok, c.ok);
        EXPECT_EQ(run.messages, c.messages);
        EXPECT_EQ(run.error, c.error);
        EXPECT_EQ(run.symbols.empty(), !c.ok);
    }
}

// Values of every length and kind, in every mode, in every type, at several
// levels and layouts: each encodes and reads back, or is refused for a
// reason the encoder states.
TEST(EncoderTest, RandomValuesReadBackOrAreRefused)
{
    const uint8_t columns[] = {3, 0, 1, 30, 7};
    std::mt19937 rng(4170);
    for (size_t length = 0; length <= 2000; ++length) {
        const std::string value = RandomValue(rng, length);
        const bool text = std::all_of(value.begin(), value.end(), IsTextByte);
        const bool digits = std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
        for (TCodeMode mode : {tMode, nMode, bMode, cMode}) {
            const TSettings settings{.value = value,
                                     .mode = mode,
                                     .level = static_cast<int32_t>(length % 5),
                                     .columns = columns[length % std::size(columns)],
                                     .type = static_cast<TPDFType>(length % 4)};
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", type " << settings.type << ", length " << length
                                            << ", level " << settings.level << ", columns " << int(settings.columns));
            const TRun run = Encode(settings);
            if (run.ok) {
                ExpectReadsBack(run, settings.type, value);
                continue;
            }
            const bool accepted = mode == tMode ? text : mode == nMode ? digits : true;
            if (value.empty())
                EXPECT_TRUE(run.messages.empty() && run.error.empty());
            else if (!accepted)
                EXPECT_EQ(run.messages, std::vector<std::string>{"Invalid string"});
            else if (run.error.empty())
                EXPECT_EQ(run.messages, std::vector<std::string>{"Code Words is too Large!"});
            else
                EXPECT_EQ(run.error, RecalcuError);
        }
    }
}

TEST(EncoderTest, EncryptedPayloads)
{
    struct TCase {
        size_t length;
        TPDFType type;
        size_t payload;
    };
    const TCase cases[] = {
        {1, Normal, 13},
        {8, Normal, 13},
        {9, Normal, 21},
        {2000, MicroPDF417, 2005},
    };
    std::mt19937 rng(32);
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " bytes");
        std::string value(c.length, '\0');
        for (char& b : value)
            b = static_cast<char>(rng());
        const TRun run = Encode({.value = value, .mode = bMode, .type = c.type, .encrypt = true, .password = "pw"});
        ASSERT_EQ(run.work.size(), c.payload);
        if (c.type == Normal) {
            EXPECT_EQ(run.symbols[0][1], 901) << "5 + 8k bytes are never a multiple of 6";
        }
        ExpectReadsBack(run, c.type, run.work);

        TMemoryStream payload;
        payload.Write(run.work.data(), run.work.size());
        ASSERT_TRUE(DecryptPayload(payload, "pw"));
        const std::string plain(payload.Bytes().begin(), payload.Bytes().end());
        EXPECT_EQ(plain, value + std::string(c.payload - 5 - c.length, '\0'));
    }
}

TEST(EncoderTest, FileIdFromTimeOfDayAndDraws)
{
    struct TCase {
        double timeOfDay;
        std::vector<int32_t> draws;
        std::vector<int> fileId;
        std::vector<int32_t> ranges; // what the generator was asked for
        const char* comment;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const TCase cases[] = {
        {0.5, {0, 1, 2}, {156, 157, 158}, {156, 156, 156}, "noon"},
        {0.999999, {310, 0, 5}, {621, 311, 316}, {311, 311, 311}, ""},
        {898e-6, {897, 1, 0}, {896, 0, 898}, {898, 898, 898}, "sums wrap at 899"},
        {0.0, {}, {0, 0, 0}, {}, "midnight draws nothing"},
        {0.5, {-1, 1000, 156}, {311, 220, 156}, {156, 156, 156}, "draws out of range are folded in"},
        {nan, {}, {0, 0, 0}, {}, "a broken clock gives midnight"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.comment);
        TPdf417Encoder encoder;
        std::vector<int32_t> ranges;
        size_t next = 0;
        encoder.SetFileIdSources([&] { return c.timeOfDay; },
                                 [&](int32_t range) {
                                     ranges.push_back(range);
                                     return c.draws.at(next++);
                                 });
        Configure(encoder, {.type = MicroPDF417});
        ASSERT_TRUE(encoder.StreamToBarData());
        std::vector<int> codewords;
        for (const TBarData* node = encoder.Codewords().Root(); node; node = node->Next)
            codewords.push_back(node->Value);
        const auto block = std::find(codewords.begin(), codewords.end(), 928);
        ASSERT_GE(codewords.end() - block, 6);
        EXPECT_EQ(std::vector<int>(block + 3, block + 6), c.fileId);
        EXPECT_EQ(ranges, c.ranges);
    }
}

TEST(EncoderTest, Setters)
{
    struct TCase {
        const char* comment;
        std::function<bool(TPdf417Encoder&)> set; // applied to a new encoder
        bool result;
        std::vector<std::string> messages;
        std::function<bool(const TPdf417Encoder&)> holds;
    };
    const std::string password32(32, 'p');
    const TCase cases[] = {
        {"DataColumn 31",
         [](auto& e) { return e.SetDataColumn(31); },
         false,
         {"DataColumn <= 30 "},
         [](auto& e) { return e.DataColumn() == 3; }},
        {"DataColumn 30",
         [](auto& e) { return e.SetDataColumn(30); },
         true,
         {},
         [](auto& e) { return e.DataColumn() == 30; }},
        {"DataColumn unchanged",
         [](auto& e) { return e.SetDataColumn(3); },
         false,
         {},
         [](auto& e) { return e.DataColumn() == 3; }},
        {"DataRow 2",
         [](auto& e) { return e.SetDataRow(2); },
         false,
         {"DataRow <= 90 And DataRow >= 3"},
         [](auto& e) { return e.DataRow() == 0; }},
        {"DataRow 91",
         [](auto& e) { return e.SetDataRow(91); },
         false,
         {"DataRow <= 90 And DataRow >= 3"},
         [](auto& e) { return e.DataRow() == 0; }},
        {"DataRow 90, then 0",
         [](auto& e) { return e.SetDataRow(90) && e.SetDataRow(0); },
         true,
         {},
         [](auto& e) { return e.DataRow() == 0; }},
        {"ErrorLevel 9",
         [](auto& e) { return e.SetErrorLevel(9); },
         false,
         {"Out of Range!"},
         [](auto& e) { return e.ErrorLevel() == Level1; }},
        {"ErrorLevel unchanged re-encodes",
         [](auto& e) { return e.SetErrorLevel(1); },
         true,
         {},
         [](auto& e) { return e.ErrorLevel() == Level1; }},
        {"ErrorLevel 8",
         [](auto& e) { return e.SetErrorLevel(8); },
         true,
         {},
         [](auto& e) { return e.ErrorCorrection().ECCount() == 512; }},
        {"IsEncrypt in text mode",
         [](auto& e) { return e.SetIsEncrypt(true); },
         false,
         {"PLEASE SET CODEMODE AS bMode"},
         [](auto& e) { return !e.IsEncrypt(); }},
        {"IsEncrypt in byte mode",
         [](auto& e) { return e.SetCodeMode(bMode) && e.SetIsEncrypt(true); },
         true,
         {},
         [](auto& e) { return e.IsEncrypt(); }},
        {"CodeMode while encrypting",
         [](auto& e) { return e.SetCodeMode(bMode) && e.SetIsEncrypt(true) && e.SetCodeMode(cMode); },
         false,
         {"if bEncrypt is True, DON'T SELECTED cMode,tMode OR nMode!"},
         [](auto& e) { return e.CodeMode() == bMode; }},
        {"Password of 33",
         [](auto& e) { return e.SetPassword(std::string(33, 'p')); },
         false,
         {"Length of Password <= 32!"},
         [](auto& e) { return e.Password().empty(); }},
        {"Password of 32",
         [&](auto& e) { return e.SetPassword(password32); },
         true,
         {},
         [&](auto& e) { return e.Password() == password32; }},
        {"Truncated", [](auto& e) { return e.SetPDFType(Truncated); }, true, {}, [](auto& e) { return !e.FullRows(); }},
        {"MicroPDF417",
         [](auto& e) { return e.SetPDFType(MicroPDF417); },
         true,
         {},
         [](auto& e) { return e.FullRows(); }},
        {"TruncatedMicroPDF417",
         [](auto& e) { return e.SetPDFType(TruncatedMicroPDF417); },
         true,
         {},
         [](auto& e) { return !e.FullRows(); }},
        {"BarX 4 keeps the row height",
         [](auto& e) { return e.SetBarX(4); },
         true,
         {},
         [](auto& e) { return e.RowHeight() == 6; }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.comment);
        std::vector<std::string> messages;
        TPdf417Encoder encoder([&](const std::string& m) { messages.push_back(m); });
        EXPECT_EQ(c.set(encoder), c.result);
        EXPECT_EQ(messages, c.messages);
        EXPECT_TRUE(c.holds(encoder));
    }
}

TEST(EncoderTest, AspectSetsTheRowHeight)
{
    struct TCase {
        int32_t barX;
        float aspect;
        bool refused;
        int32_t rowHeight;
    };
    const TCase cases[] = {
        {2, 2.5f, true, 6},
        {2, std::numeric_limits<float>::quiet_NaN(), true, 6},
        {4, 3.0f, false, 12},
        {2, 3.25f, false, 6}, // 6.5 rounds to even
        {2, 1e30f, false, std::numeric_limits<int32_t>::max()},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "BarX " << c.barX << ", Aspect " << c.aspect);
        TPdf417Encoder encoder;
        encoder.SetBarX(c.barX);
        try {
            encoder.SetAspect(c.aspect);
            EXPECT_FALSE(c.refused);
            EXPECT_EQ(encoder.Aspect(), c.aspect);
        } catch (const Exception& e) {
            EXPECT_TRUE(c.refused);
            EXPECT_EQ(std::string(e.what()), "Aspect >= 3.00");
            EXPECT_EQ(encoder.Aspect(), 3.0f);
        }
        EXPECT_EQ(encoder.RowHeight(), c.rowHeight);
    }
}

std::string Contents(const TMemoryStream& stream)
{
    return {stream.Bytes().begin(), stream.Bytes().end()};
}

TEST(EncoderTest, ValueStreams)
{
    TPdf417Encoder encoder;
    EXPECT_EQ(encoder.BarValue(), "PDF417");
    EXPECT_FALSE(encoder.StreamToBarData()) << "a new encoder has no value to encode";

    encoder.SetBarValue("AB");
    encoder.AppendString("CD");
    encoder.AppendStream(encoder.DataStream());
    EXPECT_EQ(Contents(encoder.DataStream()), "ABCDABCD");
    ASSERT_TRUE(encoder.StreamToBarData());
    EXPECT_EQ(Contents(encoder.WorkStream()), "ABCDABCD");

    TMemoryStream own;
    own.Write("XYZ", 3);
    encoder.SetDataStream(&own);
    EXPECT_EQ(encoder.CodeWordCount(), 0) << "a new stream frees the list";
    EXPECT_EQ(Contents(encoder.DataStream()), "XYZ");
    encoder.SetBarValue("Q");
    EXPECT_EQ(Contents(own), "Q");
    encoder.SetDataStream(nullptr);
    EXPECT_EQ(Contents(encoder.DataStream()), "ABCDABCD");

    ASSERT_TRUE(encoder.StreamToBarData());
    encoder.ClearData();
    EXPECT_EQ(encoder.CodeWordCount(), 0);
    EXPECT_EQ(encoder.SymbolCount(), 0);
    EXPECT_EQ(encoder.DataStream().Size(), 0u);
}

} // namespace
} // namespace VandrelTest
