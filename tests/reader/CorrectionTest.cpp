#include "reader/Correction.h"

#include "pdf417/Encoder.h"
#include "reader/Recognition.h"
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

TPdf417Encoder& Encoded(TPdf417Encoder& encoder, TPDFType type, int32_t level, uint8_t columns,
                        const std::string& value)
{
    encoder.SetCodeMode(cMode);
    encoder.SetPDFType(type);
    encoder.SetErrorLevel(level);
    encoder.SetDataColumn(columns);
    encoder.SetBarValue(value);
    EXPECT_TRUE(encoder.StreamToBarData());
    return encoder;
}

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

} // namespace
} // namespace VandrelTest
