#include "reader/Recognition.h"

#include "pdf417/ClusterTables.h"
#include "pdf417/Encoder.h"
#include "tests/reader/SymbolPictures.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace Vandrel {
namespace {

using namespace SymbolPictures;

std::string Spelt(const TCodeWidths& w) { return std::string(w.data(), w.size()); }

// One pixel row: `before` light pixels, the elements at `module` pixels,
// `after` light pixels.
std::vector<uint8_t> PixelRow(const std::string& widths, int32_t module, int32_t before, int32_t after) {
    std::vector<uint8_t> row(static_cast<size_t>(before), 0);
    for (size_t i = 0; i < widths.size(); ++i)
        row.insert(row.end(), static_cast<size_t>((widths[i] - '0') * module), i % 2 == 0);
    row.insert(row.end(), static_cast<size_t>(after), 0);
    return row;
}

const std::string Left = "31111136";    // codeword 0 in cluster 0
const std::string Data = "31111145";    // codeword 1
const std::string Right = "31111163";   // codeword 2

struct TRowCase {
    const char* name;
    std::vector<uint8_t> pixels;
    std::optional<std::vector<std::string>> codewords;   // nullopt: the row cannot be converted
    bool truncated = false;
};

TEST(Recognition, GetPDFNumCodeConvertsOneRow) {
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
        {"a start bar that lost a pixel to its space", PixelRow("72111113" + Left + Data + Right + StopPattern, 1, 0, 1), three},
        {"a 6-pixel first bar has no module width", PixelRow("61111113" + Left + Data + Right + StopPattern, 1, 0, 1),
         std::nullopt},
        {"a speck left of the symbol", speck, std::nullopt},
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
        EXPECT_EQ(row->DataColumns(), 1);
    }
}

TEST(Recognition, WidthsAboveNineReadAsNine) {
    // ':' follows '9': a 10-module bar in the middle of a row, which no pattern has.
    const auto row = GetPDFNumCode(PixelRow(StartPattern + Left + ":1111111" + Right + StopPattern, 1, 0, 2));
    ASSERT_TRUE(row);
    EXPECT_EQ(Spelt(row->Codewords[1]), "91111111");
    EXPECT_EQ(FindCodeWord(row->Codewords[1], 0), -1);
}

// Our encoder's symbols, drawn in every look the reader accepts, give back
// their data codewords: every row once, the indicators left out.
TEST(Recognition, ReadsTheDataRegionOfOurSymbols) {
    struct TCase {
        TPDFType type;
        TLook look;
        int32_t bytesPerPixel;
    };
    const TCase cases[] = {
        {Normal, {1, 0, 2, 0, 255}, 1},         {Truncated, {1, 0, 2, 0, 255}, 1},
        {Normal, {2, 0, 2, 178, 179}, 4},       {Truncated, {2, 5, 0, 100, 200}, 3},
        {Normal, {3, 0, 10, 40, 230}, 3},       {Truncated, {4, 0, 2, 0, 255}, 4},
        {Normal, {4, 12, 0, 0, 255}, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", module " << c.look.Module << ", bytes/pixel "
                                        << c.bytesPerPixel);
        TPdf417Encoder encoder;
        encoder.SetCodeMode(cMode);
        encoder.SetPDFType(c.type);
        encoder.SetDataColumn(4);
        encoder.SetBarValue("Rows are read once, 4 columns; 0123456789012345.");
        ASSERT_TRUE(encoder.StreamToBarData());
        const TSymbolSize size = encoder.SymbolSizes()[0];
        const TPicture grey = Draw(EncodedSymbols(encoder)[0], c.look);
        const TPicture picture = c.bytesPerPixel == 1 ? grey : Coloured(grey, c.bytesPerPixel);

        const std::optional<TSymbolRead> symbol = GetCode(picture.View());
        ASSERT_TRUE(symbol);
        EXPECT_EQ(symbol->Rows, size.Rows);
        EXPECT_EQ(symbol->DataColumns, size.Columns);
        EXPECT_EQ(symbol->Truncated, c.type == Truncated);
        std::vector<std::string> messages;
        const auto values = CreateCodeWord(*symbol, [&](const std::string& m) { messages.push_back(m); });
        ASSERT_TRUE(values);
        EXPECT_TRUE(messages.empty());
        std::vector<int16_t> expected;
        const TBarData* node = encoder.Codewords().Root();
        const int32_t descriptor = node->Value;
        for (node = node->Next; static_cast<int32_t>(expected.size()) + 1 < descriptor; node = node->Next)
            expected.push_back(node->Value);
        EXPECT_EQ(*values, expected);
    }
}

// A data region of `rows` × `columns` codewords, each its value in the
// cluster of its row, `first` in front.
TSymbolRead Region(int32_t first, int32_t rows, int32_t columns) {
    TSymbolRead symbol{{}, rows, columns, false};
    for (int32_t i = 0; i < rows * columns; ++i) {
        const std::string_view pattern = GetBSValue(i / columns, i == 0 ? first : i);
        TCodeWidths widths;
        std::copy(pattern.begin(), pattern.end(), widths.begin());
        symbol.Codewords.push_back(widths);
    }
    return symbol;
}

TEST(Recognition, CreateCodeWordTrustsNoDescriptorBeyondTheRead) {
    struct TCase {
        const char* name;
        TSymbolRead symbol;
        std::optional<size_t> values;
        std::vector<std::string> messages;
    };
    TSymbolRead unknownData = Region(24, 6, 4);
    unknownData.Codewords[17] = {'1', '1', '1', '1', '1', '1', '1', '1'};
    TSymbolRead unknownDescriptor = Region(24, 6, 4);
    unknownDescriptor.Codewords[0] = unknownDescriptor.Codewords[4];   // a pattern of row 1's cluster
    const TCase cases[] = {
        {"every codeword", Region(24, 6, 4), 23, {}},
        {"part of them", Region(9, 6, 4), 8, {}},
        {"a descriptor of 1", Region(1, 3, 1), 0, {}},
        {"a descriptor of 0", Region(0, 6, 4), std::nullopt, {}},
        {"a descriptor beyond the read", Region(25, 6, 4), std::nullopt, {}},
        {"an unknown descriptor", unknownDescriptor, std::nullopt, {}},
        {"an unknown data codeword", unknownData, std::nullopt, {"17 4"}},
        {"nothing read", TSymbolRead{}, std::nullopt, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> messages;
        const auto values = CreateCodeWord(c.symbol, [&](const std::string& m) { messages.push_back(m); });
        ASSERT_EQ(values.has_value(), c.values.has_value());
        if (values) {
            ASSERT_EQ(values->size(), *c.values);
            for (size_t i = 0; i < values->size(); ++i)
                EXPECT_EQ((*values)[i], static_cast<int16_t>(i + 1));
        }
        EXPECT_EQ(messages, c.messages);
    }
}

TEST(Recognition, PicturesWithoutAUsableSymbol) {
    const TPicture white = Draw({}, {1, 0, 20, 0, 255});
    const std::string full = StartPattern + Left + Data + Right + StopPattern;
    const TPicture wider = Draw({full, StartPattern + Left + Data + Data + Right + StopPattern}, {});
    const TPicture mixed = Draw({full, StartPattern + Left + Data + "1"}, {});
    const uint8_t pixel = 0;
    struct TCase {
        const char* name;
        TPixelView view;
        bool noInformation;   // else a symbol row that cannot be read
    };
    const TCase cases[] = {
        {"no pixels", {}, true},
        {"0 × 0", {&pixel, 0, 0, 0, 1}, true},
        {"white", white.View(), true},
        {"a stride shorter than a row", {white.Pixels.data(), white.Width, 2, white.Width - 1, 1}, true},
        {"two bytes a pixel", {white.Pixels.data(), 2, 2, 4, 2}, true},
        {"rows of different lengths", wider.View(), false},
        {"full and truncated rows", mixed.View(), false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> messages;
        EXPECT_FALSE(GetBSStream(c.view, [&](const std::string& m) { messages.push_back(m); }));
        EXPECT_EQ(messages, c.noInformation ? std::vector<std::string>{"No any Information!"}
                                            : std::vector<std::string>{});
    }
}

} // namespace
} // namespace Vandrel
