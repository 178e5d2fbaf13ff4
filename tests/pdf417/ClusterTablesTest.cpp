#define ZX_USE_UTF8 1
#include "pdf417/ClusterTables.h"

#include "pdf417/Encoder.h"
#include "pdf417/Sizing.h"
#include "pdf417/Symbol.h"
#include "tests/reader/SymbolPictures.h"

#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>
#include <zint.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "support/Zint.h"

namespace VandrelTest {

using namespace Vandrel;

namespace {

using TTable = const char (*)[9];
const std::array<TTable, 3> Tables = {CodeTable1, CodeTable3, CodeTable6};

// The first-match search a reader would otherwise run over a row's cluster.
int LinearFind(int row, std::string_view widths)
{
    for (int value = 0; value < CodeWordValues; ++value)
        if (widths == Tables[row % 3][value])
            return value;
    return -1;
}

// Every string of eight digits 1-6 summing to 17: all the widths a reader can
// hand over that could be a codeword at all.
std::vector<std::string> AllPatterns()
{
    std::vector<std::string> all;
    std::string widths(8, '1');
    auto fill = [&](auto& self, std::size_t i, int left) -> void {
        if (i == widths.size()) {
            if (left == 0)
                all.push_back(widths);
            return;
        }
        for (int w = 1; w <= 6 && w <= left; ++w) {
            widths[i] = static_cast<char>('0' + w);
            self(self, i + 1, left - w);
        }
    };
    fill(fill, 0, 17);
    return all;
}

// A symbol carrying bytes in byte compaction, as the encoder builds it:
// length descriptor, data, padding up to full rows, error correction.
struct TSymbol {
    int32_t level = 0;
    TSymbolSize size;
    std::vector<int16_t> codewords;
};

TSymbol ByteSymbol(const std::string& bytes, int32_t level, int32_t columns)
{
    TPdf417Encoder encoder;
    encoder.SetCodeMode(bMode);
    encoder.SetErrorLevel(level);
    encoder.SetDataColumn(static_cast<uint8_t>(columns));
    encoder.SetArea(100000, 100000);
    encoder.SetBarValue(bytes);
    if (!encoder.StreamToBarData() || encoder.SymbolCount() != 1)
        return {};
    const std::span<const int16_t> codewords = encoder.Codewords().Values();
    return {level, encoder.SymbolSizes().front(), {codewords.begin(), codewords.end()}};
}

// Draws the symbol with our tables, 2 pixels a module, rows 3 modules high,
// and has zxing-cpp read it: its bytes, or "<unread>".
std::string ReadWithZXing(const TSymbol& s)
{
    constexpr int module = 2, rowHeight = 3 * module, margin = 20;
    const TPdf417Symbol symbol = Pdf417Symbol(s.codewords, s.size, s.level, true);
    std::vector<TRect> bars;
    AppendBars(symbol, {margin, margin}, module, rowHeight, bars);
    const TPicture picture =
        DrawBars(bars, symbol.RowModules * module + 2 * margin, s.size.Rows * rowHeight + 2 * margin);
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::PDF417);
    const auto result = ZXing::ReadBarcode(
        ZXing::ImageView(picture.Pixels.data(), picture.Width, picture.Height, ZXing::ImageFormat::Lum), hints);
    return result.isValid() ? std::string(result.bytes().begin(), result.bytes().end()) : "<unread>";
}

} // namespace

// Eight widths 1-6 of 17 modules, starting with a bar (even positions are
// bars), each in the cluster its table stands for, none repeated in a table.
TEST(ClusterTables, EveryPatternIsWellFormedDistinctAndInItsCluster)
{
    for (int cluster = 0; cluster < 3; ++cluster) {
        std::set<std::string_view> seen;
        for (int value = 0; value < CodeWordValues; ++value) {
            const std::string_view w = Tables[cluster][value];
            SCOPED_TRACE(testing::Message() << "cluster " << 3 * cluster << ", codeword " << value << ": " << w);
            ASSERT_EQ(w.size(), 8u);
            int sum = 0;
            for (char ch : w) {
                ASSERT_TRUE(ch >= '1' && ch <= '6');
                sum += ch - '0';
            }
            EXPECT_EQ(sum, 17);
            EXPECT_EQ((w[0] - w[2] + w[4] - w[6] + 9) % 9, 3 * cluster);
            EXPECT_TRUE(seen.insert(w).second);
        }
    }
}

// Every codeword of zint's symbols, data and error correction, in every row of
// the three clusters: our pattern for the row and the codeword is the one zint draws.
TEST(ClusterTables, GetBSValueDrawsTheCodewordsAsZintDoes)
{
    std::string everyByte = "AAAAAAAA"; // text pairs of value 0 first
    for (int b = 0; b < 256; ++b)
        everyByte += static_cast<char>(b);
    constexpr size_t Columns = 4;
    constexpr size_t Element = 17;            // modules of a codeword
    constexpr size_t FirstData = 2 * Element; // after the start pattern and the left row indicator
    const ZintSymbol zint =
        ZintEncode(BARCODE_PDF417, everyByte, {.option1 = 5, .option2 = Columns, .codewords = true});
    ASSERT_TRUE(zint.Ok()) << zint.error;
    ASSERT_EQ(zint.codewords.size(), zint.rows.size() * Columns);
    ASSERT_GE(zint.rows.size(), 9u);
    std::set<int> seen;
    for (size_t row = 0; row < zint.rows.size(); ++row)
        for (size_t column = 0; column < Columns; ++column) {
            const int cw = zint.codewords[row * Columns + column];
            seen.insert(cw);
            ASSERT_EQ(GetBSValue(static_cast<int>(row), cw),
                      RunWidths(zint.rows[row].substr(FirstData + column * Element, Element)))
                << "row " << row << ", codeword " << cw;
        }
    EXPECT_TRUE(seen.count(0));
    EXPECT_GT(seen.size(), 150u);
}

TEST(ClusterTables, GetBSValueRefusesWhatIsNoCodeword)
{
    for (int value : {-1, 929, 930, 32767})
        EXPECT_TRUE(GetBSValue(0, value).empty()) << value;
    EXPECT_TRUE(GetBSValue(-1, 0).empty());
}

TEST(ClusterTables, FindCodeWordInvertsGetBSValue)
{
    for (int row = 0; row < 6; ++row)
        for (int value = 0; value < CodeWordValues; ++value)
            ASSERT_EQ(FindCodeWord(row, GetBSValue(row, value)), value) << row << ' ' << value;
}

// Over every candidate width string, the lookup answers exactly as the
// first-match search does: the codeword in the row's own cluster, else -1
// (a pattern of another cluster included).
TEST(ClusterTables, FindCodeWordAgreesWithALinearSearch)
{
    const std::vector<std::string> all = AllPatterns();
    int found = 0;
    for (int row = 0; row < 3; ++row)
        for (const std::string& widths : all) {
            const int expected = LinearFind(row, widths);
            ASSERT_EQ(FindCodeWord(row, widths), expected) << row << ' ' << widths;
            found += expected >= 0;
        }
    EXPECT_EQ(found, 3 * CodeWordValues);
    EXPECT_EQ(FindCodeWord(0, CodeTable3[0]), -1);
    EXPECT_EQ(FindCodeWord(1, CodeTable6[0]), -1);
    EXPECT_EQ(FindCodeWord(2, CodeTable1[0]), -1);
}

TEST(ClusterTables, FindCodeWordRejectsWhatIsNoPattern)
{
    for (std::string_view widths : {"", "3111113", "311111360", "31111137", "31111135", "3111113x", "71111117",
                                    "0311113a", "3111113\x06", "9111111\x2f"})
        EXPECT_EQ(FindCodeWord(0, widths), -1) << widths;
    EXPECT_EQ(FindCodeWord(-1, "31111136"), -1);
    EXPECT_EQ(FindCodeWord(3, "31111136"), 0);
}

// zxing-cpp, an independent reader, reads every pattern as its codeword. Each
// symbol carries as many wrong error-correction codewords as its level can
// correct, so one more misread pattern anywhere would make the read fail (or
// yield other bytes): every codeword drawn in the other positions of a symbol
// read back exactly is confirmed.
TEST(ClusterTables, ZXingReadsEveryPattern)
{
    std::mt19937 random(929);
    std::array<std::vector<bool>, 3> confirmed;
    confirmed.fill(std::vector<bool>(CodeWordValues, false));
    int unconfirmed = 3 * CodeWordValues;
    for (int symbols = 0; unconfirmed > 0 && symbols < 400; ++symbols) {
        const int32_t level = std::uniform_int_distribution<int32_t>(6, 8)(random);
        const int32_t columns = std::uniform_int_distribution<int32_t>(10, 30)(random);
        // Rows of `columns` hold at most 928 codewords in all.
        const int32_t room = std::min(928 / columns, 90) * columns - 1 - (2 << level);
        std::string bytes(static_cast<std::size_t>(room - 1) / 5 * 6, '\0');
        for (char& b : bytes)
            b = static_cast<char>(random());
        TSymbol symbol = ByteSymbol(bytes, level, columns);
        ASSERT_EQ(symbol.codewords.size(), static_cast<std::size_t>(symbol.size.Rows * columns));
        ASSERT_LE(symbol.codewords.size(), 928u);

        const int ecCount = 2 << level;
        std::vector<std::size_t> wrong(static_cast<std::size_t>(ecCount));
        for (int i = 0; i < ecCount; ++i)
            wrong[static_cast<std::size_t>(i)] = symbol.codewords.size() - static_cast<std::size_t>(ecCount - i);
        std::shuffle(wrong.begin(), wrong.end(), random);
        wrong.resize(static_cast<std::size_t>(ecCount / 2 + 1));
        for (std::size_t at : wrong)
            symbol.codewords[at] = static_cast<int16_t>((symbol.codewords[at] + 1) % CodeWordValues);
        // One error beyond what the level corrects is refused; at the limit the read succeeds.
        ASSERT_NE(ReadWithZXing(symbol), bytes) << "symbol " << symbols;
        symbol.codewords[wrong.back()] =
            static_cast<int16_t>((symbol.codewords[wrong.back()] + CodeWordValues - 1) % CodeWordValues);
        wrong.pop_back();
        ASSERT_EQ(ReadWithZXing(symbol), bytes) << "symbol " << symbols;

        auto confirm = [&](int row, int value) {
            auto seen = confirmed[static_cast<std::size_t>(row % 3)][static_cast<std::size_t>(value)];
            if (!seen) {
                seen = true;
                --unconfirmed;
            }
        };
        for (int row = 0; row < symbol.size.Rows; ++row) {
            confirm(row, GetFistNote(0, row, symbol.size, level));
            confirm(row, GetFistNote(1, row, symbol.size, level));
        }
        for (std::size_t i = 0; i < symbol.codewords.size(); ++i)
            if (std::find(wrong.begin(), wrong.end(), i) == wrong.end())
                confirm(static_cast<int>(i) / columns, symbol.codewords[i]);
    }
    EXPECT_EQ(unconfirmed, 0);
}

} // namespace VandrelTest
