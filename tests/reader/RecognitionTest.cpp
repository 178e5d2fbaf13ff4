#include "reader/Recognition.h"

#include "pdf417/ClusterTables.h"
#include "pdf417/Encoder.h"
#include "tests/reader/SymbolPictures.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace VandrelTest {
namespace {

using namespace Vandrel;

std::string Spelt(const TCodeWidths& w)
{
    return std::string(w.data(), w.size());
}

// One pixel row: `before` light pixels, the elements at `module` pixels,
// `after` light pixels.
std::vector<uint8_t> PixelRow(const std::string& widths, int32_t module, int32_t before, int32_t after)
{
    std::vector<uint8_t> row(static_cast<size_t>(before), 0);
    for (size_t i = 0; i < widths.size(); ++i)
        row.insert(row.end(), static_cast<size_t>((widths[i] - '0') * module), i % 2 == 0);
    row.insert(row.end(), static_cast<size_t>(after), 0);
    return row;
}

const std::string Left = "31111136";  // codeword 0 in cluster 0
const std::string Data = "31111145";  // codeword 1
const std::string Right = "31111163"; // codeword 2

struct TRowCase {
    const char* name;
    std::vector<uint8_t> pixels;
    std::optional<std::vector<std::string>> codewords; // nullopt: the row cannot be converted
    bool truncated = false;
};

TEST(Recognition, GetPDFNumCodeConvertsOneRow)
{
    const std::string full = StartPattern + Left + Data + Right + StopPattern;
    const std::string truncated = StartPattern + Left + Data + "1";
    const std::vector<std::string> three = {Left, Data, Right};
    std::vector<uint8_t> speck = PixelRow(full, 2, 4, 4);
    speck[1] = 1;
    const TRowCase cases[] = {
        {"full row, 1 pixel a module", PixelRow(full, 1, 3, 5), three},
        {"full row, 3 pixels a module", PixelRow(full, 3, 0, 2), three},
        {"stop pattern at the right edge", PixelRow(full, 2, 4, 0), three},
        {"anything right of the stop pattern", PixelRow(full + "3" + full, 1, 2, 2), three},
        {"truncated row", PixelRow(truncated, 2, 4, 4), std::vector<std::string>{Left, Data}, true},
        {"truncated row at the right edge", PixelRow(truncated, 4, 8, 0), std::vector<std::string>{Left, Data}, true},
        {"truncated row, then wide light and more", PixelRow(truncated + "7" + full, 1, 2, 2),
         std::vector<std::string>{Left, Data}, true},
        {"a start bar that lost a pixel to its space",
         PixelRow("72111113" + Left + Data + Right + StopPattern, 1, 0, 1), three},
        // A speck is no start bar: the search goes on to the symbol.
        {"a speck left of the symbol", speck, three},
        // The stop pattern looks like no start pattern.
        {"a stop pattern alone", PixelRow(StopPattern + std::string("5") + Left + Data + Right + StopPattern, 1, 2, 2),
         std::nullopt},
        // A picture cut one module into the stop pattern: the row cannot tell
        // this from a truncated row. The row indicators will (see below).
        {"cut one module into the stop pattern", PixelRow(StartPattern + Left + Data + Right + "1", 2, 2, 0), three,
         true},
        {"a 6-pixel first bar has no module width", PixelRow("61111113" + Left + Data + Right + StopPattern, 1, 0, 1),
         std::nullopt},
        {"a start pattern of a wrong shape", PixelRow("81113111" + Left + Data + Right + StopPattern, 1, 0, 1),
         std::nullopt},
        {"dark to the end of the row", std::vector<uint8_t>(40, 1), std::nullopt},
        {"no dark pixel", std::vector<uint8_t>(40, 0), std::nullopt},
        {"no pixel", {}, std::nullopt},
        {"nothing after the start pattern", PixelRow(StartPattern, 1, 2, 20), std::nullopt},
        {"no data column", PixelRow(StartPattern + Left + Right + StopPattern, 1, 2, 2), std::nullopt},
        {"no data column, truncated", PixelRow(StartPattern + Left + "1", 1, 2, 2), std::nullopt},
        {"cut inside a codeword", PixelRow(StartPattern + Left + Data + "311", 1, 2, 2), std::nullopt},
        {"a closing bar of two modules", PixelRow(StartPattern + Left + Data + "2", 1, 2, 2), std::nullopt},
        {"a closing bar with more bars after it", PixelRow(StartPattern + Left + Data + "121", 1, 2, 2), std::nullopt},
    };
    for (const TRowCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<TRowCodewords> row = GetPDFNumCode(c.pixels);
        ASSERT_EQ(row.has_value(), c.codewords.has_value());
        if (!row)
            continue;
        std::vector<std::string> spelt;
        for (const TCodeWidths& w : row->Codewords)
            spelt.push_back(Spelt(w));
        EXPECT_EQ(spelt, *c.codewords);
        EXPECT_EQ(row->Truncated, c.truncated);
    }
}

TEST(Recognition, ReadRowFindsSymbolsSideBySide)
{
    const std::string full = StartPattern + Left + Data + Right + StopPattern;
    const std::string truncated = StartPattern + Left + Data + Data + "1";
    struct TCase {
        const char* name;
        std::vector<uint8_t> pixels;
        std::vector<int32_t> lefts;
        std::vector<int32_t> columns;
    };
    const TCase cases[] = {
        // 86 modules a full row, 69 the truncated one.
        {"two full rows, 8 modules apart", PixelRow(full + "8" + full, 2, 6, 4), {6, 6 + 2 * (86 + 8)}, {1, 1}},
        {"full, then truncated", PixelRow(full + "9" + truncated, 1, 0, 3), {0, 86 + 9}, {1, 2}},
        {"truncated, then full", PixelRow(truncated + "9" + full, 3, 3, 3), {3, 3 + 3 * (69 + 9)}, {2, 1}},
        {"truncated, 2 modules before the next", PixelRow(truncated + "2" + full, 2, 0, 0), {0, 2 * (69 + 2)}, {2, 1}},
        {"bars between", PixelRow(full + "3" + "516" + "9" + full, 1, 0, 0), {0, 86 + 3 + 12 + 9}, {1, 1}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int32_t> lefts, columns;
        for (const TRowCodewords& row : ReadRow(c.pixels)) {
            lefts.push_back(row.Left);
            columns.push_back(row.DataColumns());
        }
        EXPECT_EQ(lefts, c.lefts);
        EXPECT_EQ(columns, c.columns);
    }
}

TEST(Recognition, WidthsAboveNineReadAsNine)
{
    // ':' follows '9': a 10-module bar in the middle of a row, which no pattern has.
    const auto row = GetPDFNumCode(PixelRow(StartPattern + Left + ":1111111" + Right + StopPattern, 1, 0, 2));
    ASSERT_TRUE(row);
    EXPECT_EQ(Spelt(row->Codewords[1]), "91111111");
    EXPECT_EQ(FindCodeWord(row->Codewords[1], 0), -1);
}

std::vector<int16_t> Values(const TSymbolRead& symbol)
{
    std::vector<int16_t> values;
    for (size_t i = 0; i < symbol.Codewords.size(); ++i)
        values.push_back(
            static_cast<int16_t>(FindCodeWord(symbol.Codewords[i], static_cast<int32_t>(i) / symbol.DataColumns)));
    return values;
}

// Our encoder's symbols, drawn in every look the reader accepts, give back
// their grid as the row indicators declare it, and their data codewords.
TEST(Recognition, ReadsTheGridsOfOurSymbols)
{
    struct TCase {
        TPDFType type;
        TLook look;
        int32_t bytesPerPixel;
    };
    const TCase cases[] = {
        {Normal, {1, 0, 2, 0, 255}, 1},      {Truncated, {1, 0, 2, 0, 255}, 1}, {Normal, {2, 0, 2, 178, 179}, 4},
        {Truncated, {2, 5, 0, 100, 200}, 3}, {Normal, {3, 0, 10, 40, 230}, 3},  {Truncated, {4, 0, 2, 0, 255}, 4},
        {Normal, {4, 12, 0, 0, 255}, 1},     {Normal, {1, 1, 0, 0, 255}, 1},
    };
    int32_t level = 0;
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", module " << c.look.Module << ", bytes/pixel "
                                        << c.bytesPerPixel << ", level " << level);
        TPdf417Encoder encoder;
        Encoded(encoder, c.type, level, 4, "Rows are read once, 4 columns; 0123456789012345.");
        const TSymbolSize size = encoder.SymbolSizes()[0];
        const TPicture grey = Draw(EncodedSymbols(encoder)[0], c.look);
        const TPicture picture = c.bytesPerPixel == 1 ? grey : Coloured(grey, c.bytesPerPixel);

        const std::vector<TSymbolRead> symbols = GetCode(picture.View());
        ASSERT_EQ(symbols.size(), 1u);
        const TSymbolRead& symbol = symbols[0];
        EXPECT_EQ(symbol.Rows, size.Rows);
        EXPECT_EQ(symbol.DataColumns, size.Columns);
        EXPECT_EQ(symbol.ErrorLevel, level);
        EXPECT_EQ(symbol.Truncated, c.type == Truncated);
        EXPECT_EQ(symbol.Left, c.look.Margin * c.look.Module);
        EXPECT_EQ(symbol.Top, c.look.Margin * c.look.Module);
        const std::vector<int16_t> grid = EncodedGrids(encoder)[0];
        EXPECT_EQ(Values(symbol), grid);
        std::vector<std::string> messages;
        const auto values = CreateCodeWord(symbol, [&](const std::string& m) { messages.push_back(m); });
        ASSERT_TRUE(values);
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(*values, std::vector<int16_t>(grid.begin() + 1, grid.begin() + grid[0]));
        level = (level + 3) % 9;
    }
}

// Several symbols in one picture: stacked, as the Micro types draw a
// sequence, and side by side; each found once, in picture order.
TEST(Recognition, FindsEverySymbolOfAPicture)
{
    TPdf417Encoder micro;
    Encoded(micro, MicroPDF417, 2, 3, std::string(1200, 'q'));
    const auto sequence = EncodedSymbols(micro);
    ASSERT_GE(sequence.size(), 3u);
    TPdf417Encoder a, b, t;
    const auto first = EncodedSymbols(Encoded(a, Normal, 1, 2, "first"))[0];
    const auto second = EncodedSymbols(Encoded(b, Normal, 3, 5, "second, wider and taller 0123456789"))[0];
    const auto cut = EncodedSymbols(Encoded(t, Truncated, 0, 2, "truncated"))[0];
    struct TCase {
        const char* name;
        std::vector<std::string> rows;
        int32_t module;
        std::vector<int32_t> columns; // of each symbol, in picture order
    };
    const TCase cases[] = {
        {"a sequence, 16 rows apart", Stacked(sequence, 16), 1, std::vector<int32_t>(sequence.size(), 3)},
        {"a sequence, 1 row apart", Stacked(sequence, 1), 2, std::vector<int32_t>(sequence.size(), 3)},
        {"a sequence without gaps", Stacked(sequence, 0), 1, std::vector<int32_t>(sequence.size(), 3)},
        {"side by side", SideBySide({first, second}, 8), 2, {2, 5}},
        {"side by side, the other way", SideBySide({second, first}, 8), 1, {5, 2}},
        {"truncated beside full", SideBySide({cut, first}, 10), 1, {2, 2}},
        {"truncated, 2 modules before the next", SideBySide({cut, cut, first}, 2), 2, {2, 2, 2}},
        {"two lines of two",
         Stacked({SideBySide({first, second}, 9), SideBySide({cut, first}, 9)}, 16),
         1,
         {2, 5, 2, 2}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TPicture picture = Draw(c.rows, {c.module});
        const std::vector<TSymbolRead> symbols = GetCode(picture.View());
        std::vector<int32_t> columns;
        for (const TSymbolRead& symbol : symbols) {
            columns.push_back(symbol.DataColumns);
            EXPECT_TRUE(CreateCodeWord(symbol, {})) << "symbol at " << symbol.Left << ", " << symbol.Top;
        }
        EXPECT_EQ(columns, c.columns);
    }
}

// A symbol whose rows disagree with its row indicators, or the indicators
// among themselves, is not read; one that lacks a row is, when the error
// correction restores it.
TEST(Recognition, RowIndicatorsMustAgreeWithTheRead)
{
    TPdf417Encoder encoder;
    Encoded(encoder, Normal, 2, 3, "Vandrel probe, row indicators");
    const TSymbolSize size = encoder.SymbolSizes()[0];
    const std::vector<int16_t> grid = EncodedGrids(encoder)[0];
    // The symbol's rows with indicators that declare `declared` and `level`.
    const auto rows = [&](TSymbolSize declared, int32_t level, bool full) {
        return SymbolRows(grid, size, level, full, declared);
    };
    const std::vector<std::string> good = rows(size, 2, true);
    std::vector<std::string> cutStop = good; // one module into the stop pattern
    for (std::string& row : cutStop)
        row.replace(row.size() - 9, 9, "1");
    std::vector<std::string> missingRow = good;
    missingRow.erase(missingRow.begin() + 4);
    std::vector<std::string> wrongCluster = good; // row 4 drawn in row 3's cluster
    wrongCluster[4] = SymbolRows(grid, size, 2, true)[3];
    std::vector<std::string> oneRightWrong = good; // a right indicator of another symbol
    oneRightWrong[1].replace(oneRightWrong[1].size() - 17, 8, GetBSValue(1, GetFistNote(1, 1, {size.Rows + 3, 3}, 2)));
    std::vector<std::string> rightNoPattern = good; // the row still counts
    rightNoPattern[1].replace(rightNoPattern[1].size() - 17, 8, "71111114");
    std::vector<std::string> rightElsewhere = good; // the row does not
    rightElsewhere[1].replace(rightElsewhere[1].size() - 17, 8, GetBSValue(2, GetFistNote(1, 1, size, 2)));
    // `restored`: the codewords the error correction restores when the
    // symbol reads, those of the rows that do not count.
    struct TCase {
        const char* name;
        std::vector<std::string> rows;
        bool read;
        int32_t restored = 0;
    };
    const int32_t columns = size.Columns;
    const TCase cases[] = {
        {"as drawn", good, true},
        {"a right indicator that is no pattern", rightNoPattern, true},
        {"a right indicator of another cluster", rightElsewhere, true, columns},
        {"cut one module into the stop pattern", cutStop, false},
        {"more columns declared", rows({size.Rows, size.Columns + 1}, 2, true), false},
        {"more columns declared, truncated", rows({size.Rows, size.Columns + 1}, 2, false), false},
        {"fewer rows declared", rows({size.Rows - 1, size.Columns}, 2, true), false},
        {"more rows declared", rows({size.Rows + 1, size.Columns}, 2, true), false},
        {"another error level declared", rows(size, 3, true), false},
        {"a row missing", missingRow, true, columns},
        {"a row twice, in another row's place", wrongCluster, true, columns},
        {"one right indicator outvoted", oneRightWrong, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TPicture picture = Draw(c.rows, {2});
        bool read = false;
        for (const TSymbolRead& symbol : GetCode(picture.View())) {
            int32_t restored = -1;
            if (const auto values = CreateCodeWord(symbol, {}, &restored)) {
                read = true;
                EXPECT_EQ(*values, std::vector<int16_t>(grid.begin() + 1, grid.begin() + grid[0]));
                EXPECT_EQ(restored, c.restored);
            }
        }
        EXPECT_EQ(read, c.read);
    }
}

TEST(Recognition, ErrorCorrectionHolds)
{
    for (int32_t level = 0; level <= 8; ++level) {
        SCOPED_TRACE(testing::Message() << "level " << level);
        TPdf417Encoder encoder;
        Encoded(encoder, Normal, level, 20, "The syndromes of a symbol are zero.");
        std::vector<int16_t> grid = EncodedGrids(encoder)[0];
        const int32_t ec = int32_t{2} << level;
        EXPECT_TRUE(ErrorCorrectionHolds(grid, ec));
        EXPECT_FALSE(ErrorCorrectionHolds(grid, ec + 1)) << "one syndrome more";
        if (level < 8) {
            EXPECT_FALSE(ErrorCorrectionHolds(grid, 2 * ec)) << "the next level's code";
        }
        EXPECT_FALSE(ErrorCorrectionHolds(grid, 0));
        EXPECT_FALSE(ErrorCorrectionHolds(std::span(grid).first(static_cast<size_t>(ec)), ec));
        for (const size_t at : {size_t{0}, grid.size() / 2, grid.size() - 1}) {
            std::vector<int16_t> changed = grid;
            changed[at] = static_cast<int16_t>((changed[at] + 1) % 929);
            EXPECT_FALSE(ErrorCorrectionHolds(changed, ec)) << "codeword " << at;
        }
        std::vector<int16_t> outside = grid;
        outside[1] = 929;
        EXPECT_FALSE(ErrorCorrectionHolds(outside, ec));
    }
}

// At level 0 the two error-correction codewords are kept for checking and
// correct nothing: any damage must be refused (what higher levels correct is
// tested in CorrectionTest).
TEST(Recognition, CreateCodeWordTrustsOnlyAWholeSymbol)
{
    TPdf417Encoder encoder;
    Encoded(encoder, Normal, 0, 4, "Descriptor, level and error correction fill the grid.");
    const TPicture picture = Draw(EncodedSymbols(encoder)[0], {1});
    const std::vector<TSymbolRead> read = GetCode(picture.View());
    ASSERT_EQ(read.size(), 1u);
    const TSymbolRead good = read[0];
    const auto with = [&](auto change) {
        TSymbolRead s = good;
        change(s);
        return s;
    };
    const auto set = [](TSymbolRead& s, size_t i, int32_t value) {
        const std::string_view p = GetBSValue(static_cast<int32_t>(i) / s.DataColumns, value);
        std::copy(p.begin(), p.end(), s.Codewords[i].begin());
    };
    const int16_t descriptor = static_cast<int16_t>(FindCodeWord(good.Codewords[0], 0));
    struct TCase {
        const char* name;
        TSymbolRead symbol;
        bool read;
        std::vector<std::string> messages;
    };
    const TCase cases[] = {
        {"as read", good, true, {}},
        {"a data codeword changed", with([&](TSymbolRead& s) { set(s, 5, 7); }), false, {}},
        {"an error correction codeword changed",
         with([&](TSymbolRead& s) { set(s, s.Codewords.size() - 1, 7); }),
         false,
         {}},
        {"the descriptor one less", with([&](TSymbolRead& s) { set(s, 0, descriptor - 1); }), false, {}},
        {"the descriptor one more", with([&](TSymbolRead& s) { set(s, 0, descriptor + 1); }), false, {}},
        {"a descriptor of 0", with([&](TSymbolRead& s) { set(s, 0, 0); }), false, {}},
        {"another error level", with([](TSymbolRead& s) { s.ErrorLevel = 2; }), false, {}},
        {"no error level", with([](TSymbolRead& s) { s.ErrorLevel = -1; }), false, {}},
        {"a row less", with([](TSymbolRead& s) { s.Rows -= 1; }), false, {}},
        {"nothing declared", TSymbolRead{}, false, {}},
        {"an unknown descriptor", with([](TSymbolRead& s) { s.Codewords[0].fill('0'); }), false, {}},
        {"an unknown codeword", with([](TSymbolRead& s) { s.Codewords[17].fill('0'); }), false, {"17 4"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> messages;
        const auto values = CreateCodeWord(c.symbol, [&](const std::string& m) { messages.push_back(m); });
        EXPECT_EQ(values.has_value(), c.read);
        EXPECT_EQ(messages, c.messages);
    }
}

TEST(Recognition, PicturesWithoutASymbol)
{
    const TPicture white = Draw({}, {1, 0, 20, 0, 255});
    const std::string full = StartPattern + Left + Data + Right + StopPattern;
    const TPicture lone = Draw({full, full}, {}); // two rows, both row 0
    const uint8_t pixel = 0;
    struct TCase {
        const char* name;
        TPixelView view;
    };
    const TCase cases[] = {
        {"no pixels", {}},
        {"0 × 0", {&pixel, 0, 0, 0, 1}},
        {"white", white.View()},
        {"a stride shorter than a row", {white.Pixels.data(), white.Width, 2, white.Width - 1, 1}},
        {"two bytes a pixel", {white.Pixels.data(), 2, 2, 4, 2}},
        {"rows too few for a symbol", lone.View()},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> messages;
        EXPECT_TRUE(GetBSStream(c.view, [&](const std::string& m) { messages.push_back(m); }).empty());
        EXPECT_EQ(messages, std::vector<std::string>{"No any Information!"});
    }
}

} // namespace
} // namespace VandrelTest
