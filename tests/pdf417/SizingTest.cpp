#include "pdf417/Sizing.h"

#include "core/Exceptions.h"
#include "tests/pdf417/PrintSymbolSize.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace VandrelTest {
namespace {

using namespace Vandrel;

constexpr const char* RecalcuError = "recalcu is error!";

// What a sizing ended in: a size, nothing (the silent failure) or an error.
struct TOutcome {
    std::optional<TSymbolSize> size;
    std::string error;
    std::vector<std::string> messages;
};

template <typename F>
TOutcome Outcome(F sizing)
{
    TOutcome outcome;
    try {
        outcome.size = sizing([&](const std::string& m) { outcome.messages.push_back(m); });
    } catch (const Exception& e) {
        outcome.error = e.what();
    }
    return outcome;
}

constexpr TSizingArea Default{200, 100, 3.0f};
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Infinity = std::numeric_limits<float>::infinity();

TEST(SizingTest, SizeSymbol)
{
    struct TCase {
        int32_t codewords, dataColumn, dataRow;
        TSizingArea area;
        int32_t nonData;
        std::optional<TSymbolSize> size;
        std::string error;
        std::vector<std::string> messages;
        const char* comment;
    };
    const std::vector<std::string> tooBig = {"Num of CodeWord is too Big!"};
    const TCase cases[] = {
        {9, 3, 0, Default, 4, TSymbolSize{3, 3}, "", {}, "the default symbol"},
        {10, 3, 0, Default, 4, TSymbolSize{4, 3}, "", {}, "rows round up"},
        {5, 10, 0, Default, 4, TSymbolSize{3, 10}, "", {}, "at least three rows"},
        {270, 3, 0, Default, 4, TSymbolSize{90, 3}, "", {}, "90 rows"},
        {271, 3, 0, Default, 4, std::nullopt, RecalcuError, {}, "91 rows"},
        {928, 29, 0, Default, 4, TSymbolSize{32, 29}, "", {}, "928 codewords exactly"},
        {901, 30, 0, Default, 4, std::nullopt, RecalcuError, {}, "31 x 30 is more than a symbol holds"},
        {15, 3, 5, Default, 4, TSymbolSize{5, 3}, "", {}, "fixed grid, full"},
        {10, 2, 3, Default, 4, std::nullopt, "", {}, "fixed grid too small: silent"},
        {10, 30, 90, Default, 4, std::nullopt, RecalcuError, {}, "fixed grid beyond 928"},
        {40, 0, 5, Default, 4, TSymbolSize{5, 8}, "", {}, "fixed rows"},
        {2, 0, 5, Default, 4, TSymbolSize{5, 1}, "", {}, "fixed rows, at least one column"},
        {100, 0, 3, Default, 4, std::nullopt, "", tooBig, "fixed rows would need more than 30 columns"},
        {90, 0, 3, Default, 4, TSymbolSize{3, 30}, "", {}, "fixed rows, 30 columns"},
        {9, 0, 0, Default, 4, TSymbolSize{3, 3}, "", {}, "aspect search, flat area"},
        {100, 0, 0, {100, 2000, 3.0f}, 4, TSymbolSize{42, 3}, "", {}, "aspect search, tall area"},
        {100, 0, 0, {100, 2000, 3.0f}, 2, TSymbolSize{33, 4}, "", {}, "truncated rows are narrower"},
        {5, 0, 0, {100, 2000, 3.0f}, 4, TSymbolSize{4, 2}, "", {}, "no more rows than codewords"},
        {500, 0, 0, {10, 20000, 3.0f}, 4, TSymbolSize{89, 6}, "", {}, "the search stops at 90"},
        // The proportions alone would give more columns than a symbol has, or
        // more places than it holds: the nearest row count that fits.
        {100, 0, 0, {2000, 30, 3.0f}, 4, TSymbolSize{4, 25}, "", {}, "wide, flat area: 4 rows, not 34 columns"},
        {100, 0, 0, {4000, 50, 3.0f}, 2, TSymbolSize{4, 25}, "", {}, "truncated, wide, flat area"},
        {928, 0, 0, {20000, 10, 3.0f}, 4, TSymbolSize{32, 29}, "", {}, "the most codewords, flattest area"},
        {928, 0, 0, {10, 20000, 3.0f}, 4, TSymbolSize{58, 16}, "", {}, "the most codewords, tallest area"},
        {901, 0, 0, {200, 100, 3.0f}, 4, TSymbolSize{32, 29}, "", {}, "31 x 30 would have 930 places"},
        {929, 0, 0, {200, 100, 3.0f}, 4, std::nullopt, RecalcuError, {}, "more than a symbol holds"},
        {9, 0, 0, {200, 100, Infinity}, 4, TSymbolSize{3, 3}, "", {}, "no height at all"},
        {9, 0, 0, {0, 100, 3.0f}, 4, std::nullopt, RecalcuError, {}, "no width"},
        {9, 0, 0, {200, 0, 3.0f}, 4, std::nullopt, RecalcuError, {}, "no height"},
        {9, 0, 0, {200, 100, 0.0f}, 4, std::nullopt, RecalcuError, {}, "zero aspect"},
        {9, 0, 0, {200, 100, -3.0f}, 4, std::nullopt, RecalcuError, {}, "negative aspect"},
        {9, 0, 0, {200, 100, NaN}, 4, std::nullopt, RecalcuError, {}, "no aspect"},
        {9, 0, 0, {200, 20000, 1e-30f}, 4, std::nullopt, RecalcuError, {}, "height beyond pixels"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.comment);
        const TOutcome o = Outcome([&](const TMessageFn& message) {
            return SizeSymbol(c.codewords, c.dataColumn, c.dataRow, c.area, c.nonData, message);
        });
        EXPECT_EQ(o.size, c.size);
        EXPECT_EQ(o.error, c.error);
        EXPECT_EQ(o.messages, c.messages);
    }
}

TEST(SizingTest, SequenceFrame)
{
    struct TCase {
        int32_t codewords, dataColumn, dataRow;
        TSizingArea area;
        TSymbolSize full;
        bool fixedColumns;
        std::vector<std::pair<int32_t, TSymbolSize>> fits;
        const char* comment;
    };
    const TCase cases[] = {
        {16,
         3,
         0,
         Default,
         {90, 3},
         true,
         {{5, {3, 3}}, {100, {34, 3}}, {270, {90, 3}}},
         "fixed columns: the last symbol's rows follow its codewords"},
        {16,
         30,
         7,
         Default,
         {30, 30},
         true,
         {{31, {3, 30}}, {900, {30, 30}}},
         "DataRow has no say; no symbol beyond 928 codewords"},
        {16, 16, 0, Default, {58, 16}, true, {}, ""},
        {16,
         0,
         10,
         Default,
         {10, 30},
         false,
         {{5, {10, 2}}, {10, {10, 1}}, {95, {10, 10}}},
         "fixed rows: two columns below one per row"},
        {16, 0, 40, Default, {40, 23}, false, {}, ""},
        {100, 0, 0, {100, 2000, 3.0f}, {42, 22}, false, {{100, {42, 3}}}, "the aspect search fixes the rows"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.comment);
        const TSequenceFrame frame = SequenceFrame(c.codewords, c.dataColumn, c.dataRow, c.area, 4);
        EXPECT_EQ(frame.Full, c.full);
        EXPECT_EQ(frame.FixedColumns, c.fixedColumns);
        for (const auto& [codewords, size] : c.fits)
            EXPECT_EQ(frame.Fit(codewords), size) << codewords << " codewords";
    }
    EXPECT_THROW(SequenceFrame(16, 0, 0, {0, 0, 3.0f}, 4), Exception);
}

// One codeword per byte: cuts that can be checked by hand.
int32_t OnePerByte(std::string_view piece)
{
    return static_cast<int32_t>(piece.size());
}

TEST(SizingTest, SplitSequence)
{
    struct TCase {
        size_t length;
        TSequenceFrame frame;
        int32_t ecCount;
        std::vector<size_t> pieces;
        std::vector<TSymbolSize> sizes;
        const char* comment;
    };
    // 90 x 3 at level 1: 259 data codewords in a symbol that is not the last,
    // 258 in the last, which also carries the terminator.
    const TSequenceFrame columns3{{90, 3}, true};
    const TCase cases[] = {
        {10, columns3, 4, {10}, {{8, 3}}, "one symbol, sized to its codewords"},
        {258, columns3, 4, {258}, {{90, 3}}, "one full symbol"},
        {259, columns3, 4, {258, 1}, {{90, 3}, {5, 3}}, "one too many for the last: the rest moves on"},
        {600, columns3, 4, {259, 259, 82}, {{90, 3}, {90, 3}, {32, 3}}, "three symbols"},
        {1, columns3, 4, {1}, {{5, 3}}, ""},
        {0, columns3, 4, {0}, {{4, 3}}, "nothing but the overhead"},
        {30, {{10, 30}, false}, 8, {30}, {{10, 5}}, "fixed rows"},
        {600, {{10, 30}, false}, 8, {285, 285, 30}, {{10, 30}, {10, 30}, {10, 5}}, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.comment);
        const std::string value(c.length, 'x');
        std::vector<size_t> pieces;
        std::vector<TSymbolSize> sizes;
        for (const TSequencePiece& p : SplitSequence(value, c.frame, c.ecCount, OnePerByte)) {
            pieces.push_back(p.Length);
            sizes.push_back(p.Size);
        }
        EXPECT_EQ(pieces, c.pieces);
        EXPECT_EQ(sizes, c.sizes);
    }
}

// Where no symbol can carry a piece, and where the segment index runs out:
// 3 x 4 at level 0 leaves three data codewords in a symbol, two in the last.
TEST(SizingTest, SplitSequenceFailures)
{
    struct TCase {
        size_t length;
        TSequenceFrame frame;
        int32_t ecCount;
        bool fails;
        const char* comment;
    };
    const TSequenceFrame tiny{{3, 4}, true};
    const size_t mostSymbols = MaxSegments;
    const TCase cases[] = {
        {1, {{90, 3}, true}, 512, true, "error correction alone exceeds the symbol"},
        {2, {{3, 3}, true}, 2, true, "no room for data"},
        {3 * (mostSymbols - 1) + 2, tiny, 2, false, "as many symbols as the index counts"},
        {3 * (mostSymbols - 1) + 3, tiny, 2, true, "one symbol more"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.comment);
        const std::string value(c.length, 'x');
        try {
            const auto pieces = SplitSequence(value, c.frame, c.ecCount, OnePerByte);
            EXPECT_FALSE(c.fails);
            EXPECT_EQ(pieces.size(), mostSymbols);
        } catch (const Exception& e) {
            EXPECT_TRUE(c.fails);
            EXPECT_EQ(std::string(e.what()), RecalcuError);
        }
    }
}

TEST(SizingTest, RowIndicators)
{
    struct TCase {
        TSymbolSize size;
        int32_t level, row, left, right;
    };
    const TCase cases[] = {
        {{3, 3}, 1, 0, 0, 2},    {{3, 3}, 1, 1, 5, 0},    {{3, 3}, 1, 2, 2, 5}, // the default symbol
        {{10, 5}, 3, 3, 33, 34}, {{10, 5}, 3, 4, 39, 33}, {{10, 5}, 3, 5, 34, 39}, {{90, 30}, 8, 89, 899, 896},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size.Rows << "x" << c.size.Columns << " row " << c.row);
        EXPECT_EQ(GetFistNote(0, c.row, c.size, c.level), c.left);
        EXPECT_EQ(GetFistNote(1, c.row, c.size, c.level), c.right);
    }
}

} // namespace
} // namespace VandrelTest
