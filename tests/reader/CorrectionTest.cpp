#include "reader/Correction.h"

#include "pdf417/Encoder.h"
#include "pdf417/Symbol.h"
#include "reader/Recognition.h"
#include "reader/StreamDecode.h"
#include "tests/reader/SymbolPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace VandrelTest {
namespace {

using namespace Vandrel;

std::vector<int16_t> Grid(int32_t level)
{
    TPdf417Encoder encoder;
    Encoded(encoder, Normal, level, 6, "Codewords misread or not read at all are restored.");
    return EncodedGrids(encoder)[0];
}

struct TDamage {
    std::vector<int16_t> codewords;
    std::vector<int32_t> erasures;
};

// `errors` codewords changed to other values and `erasures` set to
// anything, at distinct places drawn with `rng`.
TDamage Damaged(const std::vector<int16_t>& grid, int32_t errors, int32_t erasures, std::mt19937& rng)
{
    std::vector<int32_t> places(grid.size());
    std::iota(places.begin(), places.end(), 0);
    std::shuffle(places.begin(), places.end(), rng);
    TDamage d{grid, {}};
    std::uniform_int_distribution<int32_t> other(1, GaloisPrime - 1);
    for (int32_t i = 0; i < errors + erasures; ++i) {
        int16_t& c = d.codewords[static_cast<size_t>(places[static_cast<size_t>(i)])];
        c = static_cast<int16_t>((c + other(rng)) % GaloisPrime);
        if (i >= errors)
            d.erasures.push_back(places[static_cast<size_t>(i)]);
    }
    return d;
}

// At every level: as many errors and erasures as 2·errors + erasures =
// ecCount − 2 allows are corrected, counted and the symbol restored; one
// erasure or one error more is refused and leaves the codewords as they were.
TEST(Correction, CorrectsUpToCapacityAndRefusesBeyond)
{
    std::mt19937 rng(929);
    for (const int32_t level : {0, 1, 2, 3, 4, 5, 8}) {
        const std::vector<int16_t> grid = Grid(level);
        const int32_t ecCount = int32_t{2} << level;
        const int32_t capacity = ecCount - 2;
        struct TMix {
            int32_t errors;
            int32_t erasures;
        };
        const TMix mixes[] = {{capacity / 2, 0}, {0, capacity}, {capacity / 4, capacity - 2 * (capacity / 4)}};
        for (const TMix& mix : mixes) {
            SCOPED_TRACE(testing::Message()
                         << "level " << level << ", " << mix.errors << " errors, " << mix.erasures << " erasures");
            TDamage d = Damaged(grid, mix.errors, mix.erasures, rng);
            EXPECT_EQ(CorrectCodewords(d.codewords, ecCount, d.erasures), mix.errors + mix.erasures);
            EXPECT_EQ(d.codewords, grid);

            for (const TMix& more : {TMix{mix.errors, mix.erasures + 1}, TMix{mix.errors + 1, mix.erasures}}) {
                SCOPED_TRACE(testing::Message()
                             << "then " << more.errors << " errors, " << more.erasures << " erasures");
                TDamage beyond = Damaged(grid, more.errors, more.erasures, rng);
                const std::vector<int16_t> before = beyond.codewords;
                EXPECT_EQ(CorrectCodewords(beyond.codewords, ecCount, beyond.erasures), std::nullopt);
                EXPECT_EQ(beyond.codewords, before);
            }
        }
    }
}

// Far beyond capacity the locator may still find roots; the two codewords
// kept for checking refuse the result rather than give another symbol.
TEST(Correction, HeavyDamageGivesTheSymbolOrNothing)
{
    std::mt19937 rng(4021);
    for (const int32_t level : {1, 2, 3}) {
        const std::vector<int16_t> grid = Grid(level);
        const int32_t ecCount = int32_t{2} << level;
        for (int32_t trial = 0; trial < 300; ++trial) {
            const int32_t errors = std::uniform_int_distribution<int32_t>(ecCount / 2, ecCount)(rng);
            TDamage d = Damaged(grid, errors, 0, rng);
            const std::vector<int16_t> before = d.codewords;
            if (CorrectCodewords(d.codewords, ecCount, d.erasures))
                EXPECT_EQ(d.codewords, grid) << "level " << level << ", trial " << trial;
            else
                EXPECT_EQ(d.codewords, before) << "level " << level << ", trial " << trial;
        }
    }
}

TEST(Correction, RefusesWhatIsNoSymbol)
{
    const std::vector<int16_t> grid = Grid(2); // 8 error-correction codewords
    std::vector<int16_t> damaged = grid;
    damaged[3] = static_cast<int16_t>((damaged[3] + 1) % GaloisPrime);
    std::vector<int16_t> outside = damaged;
    outside[5] = 929;
    std::vector<int16_t> negative = damaged;
    negative[5] = -1;
    std::vector<int16_t> tooLong = damaged;
    tooLong.insert(tooLong.begin(), 929 - static_cast<ptrdiff_t>(tooLong.size()), int16_t{0});
    struct TCase {
        const char* name;
        std::vector<int16_t> codewords;
        int32_t ecCount;
        std::vector<int32_t> erasures;
    };
    const TCase cases[] = {
        {"no error correction", damaged, 0, {}},
        {"no more codewords than error correction", std::vector<int16_t>(8, 0), 8, {}},
        {"a codeword above 928", outside, 8, {}},
        {"a negative codeword", negative, 8, {}},
        {"an erasure behind the codewords", damaged, 8, {static_cast<int32_t>(damaged.size())}},
        {"a negative erasure", damaged, 8, {-1}},
        {"an erasure twice", damaged, 8, {3, 3}},
        {"more erasures than the capacity, the symbol whole", grid, 8, {0, 1, 2, 3, 4, 5, 6}},
        {"929 codewords", tooLong, 8, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int16_t> codewords = c.codewords;
        EXPECT_EQ(CorrectCodewords(codewords, c.ecCount, c.erasures), std::nullopt);
        EXPECT_EQ(codewords, c.codewords);
    }
    std::vector<int16_t> whole = grid;
    EXPECT_EQ(CorrectCodewords(whole, 8, std::vector<int32_t>{0, 7, 12}), 3) << "erasures that held the right values";
    EXPECT_EQ(whole, grid);
}

std::string Bytes(const TMemoryStream& stream)
{
    return {reinterpret_cast<const char*>(stream.Bytes().data()), stream.Size()};
}

// A symbol drawn with codewords misread (other patterns of their row's
// cluster) and codewords no pattern (smeared), in several rows: up to the
// capacity the picture reads as the value with the count of corrections,
// beyond it not at all, never as other bytes.
TEST(Correction, DamagedPicturesReadExactlyOrNotAtAll)
{
    struct TCase {
        int32_t level;
        int32_t errors;
        int32_t smeared;
        bool reads;
    };
    const TCase cases[] = {
        {1, 1, 0, true}, {1, 0, 2, true},  {1, 1, 1, false},  {1, 0, 3, false}, {2, 3, 0, true},  {2, 2, 2, true},
        {2, 1, 4, true}, {2, 0, 6, true},  {2, 3, 1, false},  {2, 0, 7, false}, {3, 4, 6, true},  {3, 0, 14, true},
        {3, 7, 0, true}, {3, 7, 1, false}, {3, 1, 13, false}, {0, 0, 0, true},  {0, 1, 0, false}, {0, 0, 1, false},
    };
    const std::string value = "Damaged pictures read exactly or not at all: 0123456789.";
    std::mt19937 rng(17);
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << ", " << c.errors << " misread, " << c.smeared
                                        << " smeared");
        TPdf417Encoder encoder;
        Encoded(encoder, Normal, c.level, 2, value);
        const std::vector<int16_t> grid = EncodedGrids(encoder)[0];
        std::vector<std::string> rows = EncodedSymbols(encoder)[0];
        const int32_t columns = encoder.SymbolSizes()[0].Columns;
        const int32_t symbolRows = encoder.SymbolSizes()[0].Rows;
        // Distinct places, at most one a row, so that no row goes unread.
        std::vector<int32_t> order(static_cast<size_t>(symbolRows));
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), rng);
        ASSERT_LE(c.errors + c.smeared, symbolRows);
        for (int32_t i = 0; i < c.errors + c.smeared; ++i) {
            const int32_t row = order[static_cast<size_t>(i)];
            const int32_t column = std::uniform_int_distribution<int32_t>(0, columns - 1)(rng);
            if (i < c.errors) {
                const int16_t was = grid[static_cast<size_t>(row * columns + column)];
                ReplaceCodeword(rows, row, column, (was + 1 + i) % GaloisPrime);
            } else {
                ASSERT_TRUE(SmearCodeword(rows, row, column));
            }
        }
        const TPicture picture = Draw(rows, {2});
        const TPictureScan scan = ScanPictureAll(picture.View(), "", {}, {});
        if (c.reads) {
            ASSERT_EQ(scan.Results.size(), 1u) << scan.Error;
            EXPECT_EQ(Bytes(scan.Results[0].Data), value);
            EXPECT_EQ(scan.Results[0].Corrected, c.errors + c.smeared);
        } else {
            EXPECT_TRUE(scan.Results.empty());
            EXPECT_EQ(scan.Error, NoSymbolRead);
        }
    }
}

constexpr int32_t CoverModule = 2, CoverRowHeight = 3 * CoverModule, CoverMargin = 2 * CoverModule;

// `picture` of a symbol drawn at CoverModule with white over `rowCount` symbol
// rows from `firstRow`, data columns `firstColumn` on.
TPicture Covered(TPicture picture, int32_t firstRow, int32_t rowCount, int32_t firstColumn, int32_t columnCount)
{
    // Codeword column k begins behind the start pattern and the left row indicator.
    const int32_t left = CoverMargin + (firstColumn + 2) * CodewordModules * CoverModule;
    const int32_t right = left + columnCount * CodewordModules * CoverModule;
    for (int32_t y = CoverMargin + firstRow * CoverRowHeight; y < CoverMargin + (firstRow + rowCount) * CoverRowHeight;
         ++y)
        std::fill(picture.Pixels.begin() + y * picture.Width + left, picture.Pixels.begin() + y * picture.Width + right,
                  255);
    return picture;
}

// A symbol partly covered by a white label, or with its last rows torn off:
// the codewords under the cover are erasures. Within the capacity the picture
// reads exactly, beyond it not at all. Level 3 corrects 14 erasures; the
// symbol has 3 data columns. A covered column defeats the row reader, which
// loses whole rows, but not the locator, which samples the rest of them;
// nothing the row reader said about the symbol is shown when the locator
// reads it.
TEST(Correction, CoveredPicturesReadExactlyOrNotAtAll)
{
    struct TCase {
        const char* name;
        int32_t firstRow, rowCount;
        int32_t firstColumn, columnCount;
        bool reads;
    };
    const TCase cases[] = {
        {"one row", 2, 1, 0, 3, true},
        {"the first row, with the length descriptor", 0, 1, 0, 3, true},
        {"four rows", 2, 4, 0, 3, true},
        {"five rows", 2, 5, 0, 3, false},
        {"one column over seven rows", 1, 7, 1, 1, true},
        {"two columns over seven rows", 1, 7, 1, 2, true},
        {"two columns over eight rows", 1, 8, 0, 2, false},
    };
    const std::string value = "Covered or torn pictures read exactly or not at all: 0123456789 abcdefghij.";
    TPdf417Encoder encoder;
    Encoded(encoder, Normal, 3, 3, value);
    const std::vector<std::string> rows = EncodedSymbols(encoder)[0];
    const TPicture clean = Draw(rows, {CoverModule});
    ASSERT_GE(rows.size(), 9u);
    std::vector<std::string> messages;
    const auto read = [&](const TPicture& picture) {
        messages.clear();
        return ScanPictureAll(picture.View(), "", {}, [&](const std::string& m) { messages.push_back(m); });
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TPictureScan scan = read(Covered(clean, c.firstRow, c.rowCount, c.firstColumn, c.columnCount));
        if (c.reads) {
            ASSERT_EQ(scan.Results.size(), 1u) << scan.Error;
            EXPECT_EQ(Bytes(scan.Results[0].Data), value);
            EXPECT_TRUE(messages.empty()) << testing::PrintToString(messages);
        } else {
            EXPECT_TRUE(scan.Results.empty());
        }
    }
    // The last rows torn off, the tear through the middle of a row.
    const int32_t keep = CoverMargin + (static_cast<int32_t>(rows.size()) - 2) * CoverRowHeight - CoverRowHeight / 2;
    TPicture torn = clean;
    torn.Height = keep;
    torn.Pixels.resize(static_cast<size_t>(torn.Width) * static_cast<size_t>(keep));
    const TPictureScan tornScan = read(torn);
    ASSERT_EQ(tornScan.Results.size(), 1u) << tornScan.Error;
    EXPECT_EQ(Bytes(tornScan.Results[0].Data), value);

    // On one sheet below a clean symbol, which the row reader reads: both read,
    // in picture order, and nothing is said about the covered one.
    TPdf417Encoder other;
    Encoded(other, Normal, 2, 4, "The clean symbol of the sheet.");
    const TPicture top = Draw(EncodedSymbols(other)[0], {CoverModule});
    const TPicture bottom = Covered(clean, 1, 7, 1, 1);
    TPicture sheet{std::max(top.Width, bottom.Width), top.Height + bottom.Height, 1, {}};
    sheet.Pixels.assign(static_cast<size_t>(sheet.Width) * static_cast<size_t>(sheet.Height), 255);
    for (const auto& [part, at] : {std::pair{&top, 0}, std::pair{&bottom, top.Height}})
        for (int32_t y = 0; y < part->Height; ++y)
            std::copy_n(part->Pixels.begin() + y * part->Width, part->Width,
                        sheet.Pixels.begin() + (at + y) * sheet.Width);
    const TPictureScan both = read(sheet);
    EXPECT_EQ(both.Error, "");
    ASSERT_EQ(both.Results.size(), 2u);
    EXPECT_EQ(Bytes(both.Results[0].Data), "The clean symbol of the sheet.");
    EXPECT_EQ(Bytes(both.Results[1].Data), value);
    EXPECT_TRUE(messages.empty()) << testing::PrintToString(messages);
}

// The symbols of a sequence are corrected each; the joined result counts
// every correction.
TEST(Correction, ASequenceCountsTheCorrectionsOfAllItsSymbols)
{
    TPdf417Encoder encoder;
    Encoded(encoder, MicroPDF417, 2, 3, std::string(600, 'q'));
    std::vector<std::vector<std::string>> symbols = EncodedSymbols(encoder);
    ASSERT_GE(symbols.size(), 2u);
    ASSERT_TRUE(SmearCodeword(symbols[0], 1, 0));
    ASSERT_TRUE(SmearCodeword(symbols[1], 2, 1));
    ASSERT_TRUE(SmearCodeword(symbols[1], 4, 2));
    const TPicture picture = Draw(Stacked(symbols, 16), {1});
    const TPictureScan scan = ScanPictureAll(picture.View(), "", {}, {});
    ASSERT_EQ(scan.Results.size(), 1u) << scan.Error;
    EXPECT_EQ(Bytes(scan.Results[0].Data), std::string(600, 'q'));
    EXPECT_EQ(scan.Results[0].Corrected, 3);

    const TPictureScan each = ScanPictureAll(picture.View(), "", {}, {}, TScanJoin::Each);
    ASSERT_EQ(each.Results.size(), symbols.size());
    EXPECT_EQ(each.Results[0].Corrected, 1);
    EXPECT_EQ(each.Results[1].Corrected, 2);
}

} // namespace
} // namespace VandrelTest
