#include "core/Data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace VandrelTest {
namespace {

using namespace Vandrel;

constexpr double Pi = std::numbers::pi;
constexpr int32_t Min32 = std::numeric_limits<int32_t>::min();
constexpr int32_t Max32 = std::numeric_limits<int32_t>::max();

TEST(Rotate2D, QuarterTurnsAreExactAndOtherAnglesRoundToNearest)
{
    struct Case {
        const char* name;
        TPoint p;
        double angle;
        TPoint expected;
    };
    const Case cases[] = {
        {"no turn", {3, 5}, 0, {3, 5}},
        {"quarter", {3, 5}, Pi / 2, {5, -3}},
        {"half", {3, 5}, Pi, {-3, -5}},
        {"three quarters", {3, 5}, 3 * Pi / 2, {-5, 3}},
        {"full", {3, 5}, 2 * Pi, {3, 5}},
        {"negative quarter", {3, 5}, -Pi / 2, {-5, 3}},
        {"quarter of a large point", {1'000'000'007, -999'999'937}, Pi / 2, {-999'999'937, -1'000'000'007}},
        {"eighth", {5, 3}, Pi / 4, {6, -1}}, // (5.657, -1.414)
        {"saturates beyond int32", {Min32, 0}, Pi, {Max32, 0}},
        {"non-finite angle", {3, 5}, std::nan(""), {0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Rotate2D(c.p, c.angle), c.expected) << c.name;
}

TEST(Translate2D, AddsComponentwise)
{
    EXPECT_EQ(Translate2D({3, -5}, {10, 20}), (TPoint{13, 15}));
}

TEST(Convert, RaisesBarsAndLowersSpaces)
{
    struct Case {
        const char* widths;
        const char* modules;
    };
    const Case cases[] = {
        {"211412", "605351"},   // Code 128 start A
        {"2331112", "6270506"}, // Code 128 stop: odd length, ends on a bar
        {"111141", "505080"},   // Code 93 start
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Convert(c.widths), c.modules) << c.widths;
}

TEST(quersum, SumsDigitsOfPositiveNumbersOnly)
{
    const std::pair<int32_t, int32_t> cases[] = {
        {492, 15}, {1000, 1}, {7, 7}, {0, 0}, {-12, 0}, {Max32, 46}, {Min32, 0},
    };
    for (const auto& [n, sum] : cases)
        EXPECT_EQ(quersum(n), sum) << n;
}

TEST(DoModule10, WeighsThreeFromTheRight)
{
    const std::pair<const char*, const char*> cases[] = {
        {"400638133393", "1"}, // EAN-13: first digit weight 1
        {"0123456", "5"},      // EAN-8: first digit weight 3
        {"03600029145", "2"},  // UPC-A
        {"0000000", "0"},      // a sum divisible by 10 gives 0, not 10
        {"", "0"},
    };
    for (const auto& [digits, check] : cases)
        EXPECT_EQ(DoModule10(digits), check) << digits;
}

TEST(GetBarProps, DecodesTheModuleAlphabet)
{
    struct Case {
        char c;
        int32_t width;
        TBarLineType kind;
    };
    const Case cases[] = {
        {'0', 1, WHITE},      {'1', 2, WHITE},      {'2', 3, WHITE},      {'3', 4, WHITE},
        {'5', 1, BLACK},      {'6', 2, BLACK},      {'7', 3, BLACK},      {'8', 4, BLACK},
        {'A', 1, BLACK_HALF}, {'B', 2, BLACK_HALF}, {'C', 3, BLACK_HALF}, {'D', 4, BLACK_HALF},
    };
    for (const Case& c : cases) {
        int32_t width = -1;
        TBarLineType kind = static_cast<TBarLineType>(-1);
        GetBarProps(c.c, width, kind);
        EXPECT_EQ(width, c.width) << c.c;
        EXPECT_EQ(kind, c.kind) << c.c;
    }
}

TEST(GetBarProps, LeavesOutputsAloneForOtherCharacters)
{
    for (char c : {'4', '9', '@', 'E', 'a', '\0', '\xC1', '\xFF'}) {
        int32_t width = 42;
        TBarLineType kind = BLACK_HALF;
        GetBarProps(c, width, kind);
        EXPECT_EQ(width, 42) << int(c);
        EXPECT_EQ(kind, BLACK_HALF) << int(c);
    }
}

TEST(ModuleCount, SumsElementWidths)
{
    EXPECT_EQ(ModuleCount(""), 0);
    EXPECT_EQ(ModuleCount("605351"), 11);
    EXPECT_EQ(ModuleCount("5151A1A1A1"), 15);
    EXPECT_EQ(ModuleCount("5x\xFF"
                          "8"),
              5); // foreign characters add nothing
}

// LeftOffSet moves a rectangle to the right and RightOffSet to the left, which
// the names do not suggest: pin each direction down.
TEST(RectShifts, MoveBothEdges)
{
    struct Case {
        const char* name;
        void (*shift)(TRect&, int32_t);
        TRect expected;
    };
    const Case cases[] = {
        {"LeftOffSet", LeftOffSet, {13, 20, 43, 60}},
        {"RightOffSet", RightOffSet, {7, 20, 37, 60}},
        {"UpOffSet", UpOffSet, {10, 17, 40, 57}},
        {"DownOffSet", DownOffSet, {10, 23, 40, 63}},
    };
    for (const Case& c : cases) {
        TRect r{10, 20, 40, 60};
        c.shift(r, 3);
        EXPECT_EQ(r, c.expected) << c.name;
    }
}

TEST(RectShifts, WrapInsteadOfOverflowing)
{
    TRect r{Max32, 0, Max32, 0};
    LeftOffSet(r, 1);
    EXPECT_EQ(r.Left, Min32);
    RightOffSet(r, Min32);
    EXPECT_EQ(r.Left, 0);
}

} // namespace
} // namespace VandrelTest
