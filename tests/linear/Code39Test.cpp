#include "linear/Code39.h"

#include "core/ModuleString.h"
#include "linear/Symbology.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace VandrelTest {
namespace {

using namespace Vandrel;

using namespace std::literals;

constexpr std::string_view Star = "515060605";

// Whole symbols as zint 2.11 draws them (wide:narrow 2, one-module gaps).
TEST(Code39Modules, MatchesAnIndependentEncoder)
{
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"A", "51506060506050515060515060605"},
        {"-", "51506060505150506060515060605"},
        {"$", "51506060505151515050515060605"},
        {"Z%", "515060605051606050505051515150515060605"},
    };
    for (const auto& [value, modules] : cases)
        EXPECT_EQ(Code39Modules(value), modules) << value;
}

TEST(Code39Modules, FramesEachCharacterWithGaps)
{
    const std::string a = "605051506", b = "506051506", c = "606051505";
    EXPECT_EQ(Code39Modules("ABC"), std::string(Star) + "0" + a + "0" + b + "0" + c + "0" + std::string(Star));
    EXPECT_EQ(Code39Modules(""), std::string(Star) + "0" + std::string(Star));
}

TEST(Code39Modules, SizeIsThirteenModulesPerCharacterPlusFrame)
{
    const std::pair<std::string_view, int32_t> cases[] = {
        {"", 25},       {"123", 64}, {"*", 38}, // a star inside the value is an ordinary character
        {"a\xC4", 25},                          // characters outside the table add nothing
        {"A\0B"sv, 51},
    };
    for (const auto& [value, modules] : cases)
        EXPECT_EQ(ModuleCount(Code39Modules(value)), modules) << value;
}

TEST(Code39ExExpand, RewritesFullAscii)
{
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"\0"sv, "%U"}, {"\x01", "$A"}, {"\x1A", "$Z"}, {"\x1B", "%A"},  {"\x1F", "%E"},   {" ", " "},  {"!", "/A"},
        {"$", "/D"},    {"-", "/M"},    {".", "/N"},    {"/", "/O"},     {"09", "09"},     {":", "/Z"}, {";", "%F"},
        {"?", "%J"},    {"@", "%V"},    {"AZ", "AZ"},   {"[", "%K"},     {"_", "%O"},      {"`", "%W"}, {"a", "+A"},
        {"z", "+Z"},    {"{", "%P"},    {"\x7F", "%T"}, {"A-1", "A/M1"}, {"\x80\xFF", ""}, // above 127: dropped
        {"", ""},
    };
    for (const auto& [value, expanded] : cases)
        EXPECT_EQ(Code39ExExpand(value), expanded) << testing::PrintToString(std::string(value));
}

TEST(ModuleString, Code39ExEncodesTheExpansion)
{
    EXPECT_EQ(ModuleString(Code39, "ABC"), Code39Modules("ABC"));
    EXPECT_EQ(ModuleString(Code39Ex, "A-1"), Code39Modules("A/M1"));
    EXPECT_EQ(ModuleString(Code39Ex, "$"), Code39Modules("/D"));
}

TEST(HumanText, Code39ShowsTheValueBetweenStars)
{
    EXPECT_EQ(HumanText(Code39, "ABC"), "*ABC*");
    EXPECT_EQ(HumanText(Code39, ""), "**");
    EXPECT_EQ(HumanText(Code39Ex, "A-1"), "*A-1*"); // the value, not its expansion
    EXPECT_EQ(HumanText(Code128_B, "AB"), "AB");
}

} // namespace
} // namespace VandrelTest
