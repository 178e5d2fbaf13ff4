#include "pdf417/ErrorCorrection.h"

#include "core/Exceptions.h"
#include "tests/pdf417/CodewordLists.h"
#include "tests/pdf417/Gf929.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace VandrelTest {
namespace {

using namespace Vandrel;

std::vector<int> ErrorCodesOf(TErrorLevel level, const std::vector<int>& list, int32_t start, int32_t count)
{
    TPdf417Codewords codewords;
    Fill(codewords, list);
    TPdf417ErrorCorrection ec(level);
    ec.CreateErrorCode(codewords, start, count);
    return {ec.ErrorCodes().begin(), ec.ErrorCodes().end()};
}

TEST(ErrorCorrectionTest, KnownAnswers)
{
    struct TCase {
        TErrorLevel level;
        std::vector<int> list;
        int32_t start, count;
        std::vector<int> expected;
        const char* comment;
    };
    const std::vector<int> pdf417 = {5, 453, 178, 121, 239};
    const TCase cases[] = {
        {Level1, pdf417, 1, 5, {452, 327, 657, 619}, "the default symbol"},
        {Level0, pdf417, 1, 5, {471, 661}, ""},
        {Level1, {7, 7, 5, 453, 178, 121, 239, 8}, 3, 5, {452, 327, 657, 619}, "a stretch inside a list"},
        {Level1, {7, 5, 453, 178, 121, 239}, 2, 99, {452, 327, 657, 619}, "the list ends first"},
        {Level2, {0, 0, 0}, 1, 3, {0, 0, 0, 0, 0, 0, 0, 0}, "zero data, zero error correction"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.comment);
        EXPECT_EQ(ErrorCodesOf(c.level, c.list, c.start, c.count), c.expected);
    }
}

TEST(ErrorCorrectionTest, StartBeyondTheListIsAnError)
{
    try {
        ErrorCodesOf(Level0, {1, 2}, 4, 1);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "4 is too big!");
    }
}

// The PDF417 standard lists each level's coefficients lowest order first.
TEST(ErrorCorrectionTest, CoefficientsAreTheStandardTablesReversed)
{
    const std::vector<std::vector<int>> standard = {
        {27, 917},
        {522, 568, 723, 809},
        {237, 308, 436, 284, 646, 653, 428, 379},
    };
    for (int level = 0; level < 3; ++level) {
        const TPdf417ErrorCorrection ec(static_cast<TErrorLevel>(level));
        const std::vector<int> reversed(standard[level].rbegin(), standard[level].rend());
        EXPECT_EQ(std::vector<int>(ec.ECCoefficients().begin(), ec.ECCoefficients().end()), reversed);
    }
}

TEST(ErrorCorrectionTest, ErrorLevelOutOfRangeIsRefused)
{
    for (int32_t level : {9, -1, 255}) {
        TPdf417ErrorCorrection ec(Level3);
        std::vector<std::string> messages;
        EXPECT_FALSE(ec.SetErrorLevel(level, [&](const std::string& m) { messages.push_back(m); }));
        EXPECT_EQ(messages, std::vector<std::string>{"Out of Range!"});
        EXPECT_EQ(ec.ErrorLevel(), Level3);
        EXPECT_EQ(ec.ECCount(), 16);
    }
}

// Data followed by its error correction is a multiple of the generator: the
// whole polynomial vanishes at 3, 3^2, ..., 3^k. Every level, through
// SetErrorLevel, with data up to the size the symbol allows.
TEST(ErrorCorrectionTest, CodewordPolynomialVanishesAtThePowersOfThree)
{
    std::mt19937 rng(929);
    TPdf417ErrorCorrection ec;
    for (int32_t level = 0; level <= 8; ++level) {
        ASSERT_TRUE(ec.SetErrorLevel(level, nullptr));
        const int k = ec.ECCount();
        ASSERT_EQ(k, 2 << level);
        for (int length : {1, 2, 7, 928 - k}) {
            SCOPED_TRACE(testing::Message() << "level " << level << ", " << length << " data codewords");
            std::vector<int> data(static_cast<std::size_t>(length));
            for (int& d : data)
                d = std::uniform_int_distribution<int>(0, 928)(rng);
            TPdf417Codewords list;
            Fill(list, data);
            ec.CreateErrorCode(list, 1, length);
            ASSERT_EQ(static_cast<int>(ec.ErrorCodes().size()), k);
            std::vector<int> symbol = data;
            for (int32_t e : ec.ErrorCodes()) {
                ASSERT_GE(e, 0);
                ASSERT_LE(e, 928);
                symbol.push_back(e);
            }
            ASSERT_EQ(FirstNonVanishingPower(symbol, k), 0);
        }
    }
}

} // namespace
} // namespace VandrelTest
