#define ZX_USE_UTF8 1
#include "pdf417/Symbol.h"

#include "pdf417/Encoder.h"
#include "tests/reader/SymbolPictures.h"

#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace VandrelTest {

using namespace Vandrel;

namespace {

struct TRead {
    std::string bytes = "<unread>";
    int index = -1;
    bool last = false;
};

// zxing-cpp reads `symbol` drawn alone: 2-pixel modules, rows 3 modules high.
TRead ReadWithZXing(const TPdf417Symbol& symbol)
{
    constexpr int32_t module = 2, rowHeight = 3 * module, margin = 10 * module;
    std::vector<TRect> bars;
    AppendBars(symbol, {margin, margin}, module, rowHeight, bars);
    const TPicture picture =
        DrawBars(bars, symbol.RowModules * module + 2 * margin, symbol.Size.Rows * rowHeight + 2 * margin);
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::PDF417);
    const auto result = ZXing::ReadBarcode(
        ZXing::ImageView(picture.Pixels.data(), picture.Width, picture.Height, ZXing::ImageFormat::Lum), hints);
    if (!result.isValid())
        return {};
    return {std::string(result.bytes().begin(), result.bytes().end()), result.sequenceIndex(),
            result.isLastInSequence()};
}

} // namespace

// The engine's rows of what our encoder gives, drawn bars only, read back
// by an independent reader: one symbol with row indicators on both sides, and
// each symbol of a Macro sequence in its place, the pieces making the value.
TEST(Pdf417Symbol, ZXingReadsTheRowsOfEncodedSymbols)
{
    struct TCase {
        TPDFType type;
        int32_t level;
        uint8_t columns;
        std::string value;
        size_t minSymbols;
    };
    const TCase cases[] = {
        {Normal, 2, 4, "Vandrel draws PDF417 rows as data, 0123456789.", 1},
        {Normal, 5, 1, "one column", 1},
        {MicroPDF417, 2, 3, std::string(700, 'q') + "end", 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", " << int(c.columns) << " columns");
        TPdf417Encoder encoder;
        encoder.SetCodeMode(cMode);
        encoder.SetPDFType(c.type);
        encoder.SetErrorLevel(c.level);
        encoder.SetDataColumn(c.columns);
        encoder.SetBarValue(c.value);
        ASSERT_TRUE(encoder.StreamToBarData());
        const std::vector<TPdf417Symbol> symbols =
            Pdf417Symbols(EncodedCodewords(encoder), encoder.SymbolSizes(), encoder.ErrorLevel(), encoder.FullRows());
        ASSERT_GE(symbols.size(), c.minSymbols);
        std::string read;
        for (size_t k = 0; k < symbols.size(); ++k) {
            const TRead r = ReadWithZXing(symbols[k]);
            ASSERT_NE(r.bytes, "<unread>") << "symbol " << k;
            if (symbols.size() > 1) {
                EXPECT_EQ(r.index, int(k));
                EXPECT_EQ(r.last, k + 1 == symbols.size());
            }
            read += r.bytes;
        }
        EXPECT_EQ(read, c.value);
    }
}

// A truncated row: start pattern, left indicator, data, one closing bar, as
// wide as RowModules says; a codeword missing from the stream keeps its
// place, drawn neither as bars nor as background.
TEST(Pdf417Symbol, TruncatedRowsAndMissingCodewords)
{
    const std::vector<int16_t> codewords = {5, 0, 900, 1, 2, 3, 4, 5}; // one short of 3 × 3
    const TPdf417Symbol symbol = Pdf417Symbol(codewords, {3, 3}, 0, false);
    ASSERT_EQ(symbol.RowStarts.size(), 4u);
    EXPECT_EQ(Widths(symbol)[0], std::string(Pdf417StartPattern) +
                                     std::string(GetBSValue(0, GetFistNote(0, 0, {3, 3}, 0))) +
                                     std::string(GetBSValue(0, 5)) + std::string(GetBSValue(0, 0)) +
                                     std::string(GetBSValue(0, 900)) + "1");
    for (int32_t j = 0; j < 3; ++j) {
        int32_t modules = 0;
        for (const TElementRun run : symbol.Row(j))
            modules += run.Modules;
        EXPECT_EQ(modules, RowModules(3, false)) << "row " << j;
    }
    const std::span<const TElementRun> last = symbol.Row(2);
    ASSERT_GE(last.size(), 2u);
    EXPECT_EQ(last[last.size() - 2], (TElementRun{TRunKind::Blank, uint8_t(CodewordModules)}));

    // Module 1 pixel, rows 1 high: the last row's light stops at the missing
    // codeword and resumes with the closing bar.
    std::vector<TRect> bars;
    std::vector<TRect> light;
    AppendBars(symbol, {0, 0}, 1, 1, bars, &light);
    const int32_t blankAt = 4 * CodewordModules;
    const std::vector<TRect> expectedLight = {
        {0, 0, RowModules(3, false), 1},
        {0, 1, RowModules(3, false), 2},
        {0, 2, blankAt, 3},
        {blankAt + CodewordModules, 2, RowModules(3, false), 3},
    };
    EXPECT_EQ(light, expectedLight);
    for (const TRect& bar : bars)
        EXPECT_FALSE(bar.Top == 2 && bar.Right > blankAt && bar.Left < blankAt + CodewordModules);
}

// Where a sequence's symbols stand and what they cover: a line holds as many
// whole symbols as fit (at least one), 8 modules of light between
// neighbours and 16 between lines, every symbol in a 2-module margin.
TEST(Pdf417Symbol, LayOutSequence)
{
    struct TCase {
        std::vector<TSymbolSize> sizes;
        TSequenceLook look;
        int64_t along;
        std::vector<std::pair<int64_t, int64_t>> places;
        int64_t left, right, bottom;
    };
    const std::vector<TSymbolSize> four = {{6, 2}, {6, 2}, {6, 2}, {4, 2}};
    const TCase cases[] = {
        {{}, {2, 6, true, taLeft}, 500, {}, 0, 0, 0},
        {{{10, 3}}, {2, 6, true, taLeft}, 500, {{4, 4}}, 0, 248, 68},
        {four, {2, 6, true, taLeft}, 600, {{4, 4}, {226, 4}, {4, 72}, {226, 72}}, 0, 436, 112},
        {four, {2, 6, false, taRight}, 600, {{14, 4}, {236, 4}, {458, 4}, {14, 72}}, 10, 600, 100},
        {four, {2, 6, true, taCenter}, 601, {{86, 4}, {308, 4}, {86, 72}, {308, 72}}, 82, 518, 112},
        // Too short for one symbol: one a line, right-aligned off the area.
        {{{5, 4}, {3, 4}}, {1, 3, true, taRight}, 10, {{-129, 2}, {-129, 33}}, -131, 10, 44},
        {{{9, 5}, {12, 5}, {3, 5}}, {3, 9, false, taCenter}, 1000, {{77, 6}, {563, 6}, {77, 162}}, 71, 929, 195},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const TCase& c = cases[i];
        const TSequenceLayout layout = LayOutSequence(c.sizes, c.look, c.along);
        std::vector<std::pair<int64_t, int64_t>> places;
        for (const TSymbolPlace& p : layout.Places)
            places.emplace_back(p.X, p.Y);
        EXPECT_EQ(places, c.places) << "case " << i;
        EXPECT_EQ(layout.Left, c.left) << "case " << i;
        EXPECT_EQ(layout.Right, c.right) << "case " << i;
        EXPECT_EQ(layout.Bottom, c.bottom) << "case " << i;
    }
}

} // namespace VandrelTest
