#include "linear/Codabar.h"

#include "core/CharIndex.h"
#include "core/ModuleString.h"

#include <iterator>

namespace Vandrel {

namespace {

constexpr TCodabarRecord Row(char c, const char (&modules)[8])
{
    TCodabarRecord r{c, {}};
    for (int i = 0; i < 7; ++i)
        r.Pattern[i] = modules[i];
    return r;
}

} // namespace

// The standard Codabar patterns in module characters: "5"/"6" narrow/wide bar,
// "0"/"1" narrow/wide space. A..D double as start and stop characters.
constexpr TCodabarRecord Codetable_Codabar[20] = {
    Row('1', "5050615"), Row('2', "5051506"), Row('3', "6150505"), Row('4', "5060515"), Row('5', "6050515"),
    Row('6', "5150506"), Row('7', "5150605"), Row('8', "5160505"), Row('9', "6051505"), Row('0', "5050516"),
    Row('-', "5051605"), Row('$', "5061505"), Row(':', "6050606"), Row('/', "6060506"), Row('.', "6060605"),
    Row('+', "5060606"), Row('A', "5061515"), Row('B', "5151506"), Row('C', "5051516"), Row('D', "5051615"),
};
static_assert(std::size(Codetable_Codabar) == 20);

namespace {

// Seven elements, two or three of them wide.
constexpr bool PatternsWellFormed()
{
    for (const auto& r : Codetable_Codabar)
        if (const int wide = WideCount({r.Pattern, 7}); wide != 2 && wide != 3)
            return false;
    return true;
}
static_assert(PatternsWellFormed(), "every Codabar record needs a 7-element pattern");

constexpr TCharIndex Index = MakeCharIndex(Codetable_Codabar, [](const TCodabarRecord& r) { return r.Character; });

} // namespace

int CodabarIndex(char c)
{
    return Index(c);
}

namespace {

std::string_view PatternAt(int index)
{
    return {Codetable_Codabar[index].Pattern, std::size(Codetable_Codabar[index].Pattern)};
}

// Start and stop are always A and B; an A..D inside the value is plain data.
constexpr int Start = Index('A');
constexpr int Stop = Index('B');
static_assert(Start >= 0 && Stop >= 0);

} // namespace

std::string CodabarModules(std::string_view value)
{
    std::string modules(PatternAt(Start));
    modules += '0'; // '0' is the narrow inter-character gap
    // A character outside the table, which validation rules out, adds nothing.
    for (char c : value)
        if (const int i = Index(c); i >= 0)
            (modules += PatternAt(i)) += '0';
    modules += PatternAt(Stop);
    return modules;
}

} // namespace Vandrel
