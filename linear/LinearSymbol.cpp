#include "linear/LinearSymbol.h"

#include "core/ModuleString.h"
#include "linear/Retail.h"
#include "linear/Symbology.h"

#include <algorithm>
#include <climits>

namespace Vandrel {

namespace {

// Quiet zone of a plain symbol on each side, in modules.
constexpr int32_t PlainQuietZone = 4;
// A plain symbol keeps a margin on both sides across it.
constexpr int32_t PlainMargins = 2;
// Element starts stop growing here, so that a symbol's total with its trailing
// quiet zone stays an int32_t however long a module string is.
constexpr int32_t MaxModules = INT32_MAX - 16;
// Modules of the parts of a retail symbol that its digit cells are counted along.
constexpr int32_t GuardModules = 3;       // a normal guard, bar-space-bar
constexpr int32_t CentreGuardModules = 5; // the centre guard between the halves
constexpr int32_t DigitModules = 7;       // every retail digit character
// Digits in each half of a symbol: EAN-13 (behind its first digit), UPC-A,
// UPC-E's one half; EAN-8.
constexpr size_t HalfDigits = 6;
constexpr size_t EAN8HalfDigits = 4;
// From the right half's end to the add-on's first digit cell: the end guard (3),
// the 9-module gap and all but the last module of the add-on's start pattern
// (3), so the cells stand over the add-on's digits one module early.
constexpr int32_t AddOnTextSkip = 15;
// The add-on's digit cells close with a '>' after its two digits.
constexpr char AddOnMark = '>';

enum class TRetailText : uint8_t {
    Digits,    // one cell per digit: EAN-13, ISBN, ISSN (with the add-on's), EAN-8
    UPCHalves, // each half's six digits spread under it
    UPCWhole,  // the whole value spread under the six data digits
};

// Where a retail symbol's guards stand and how it is laid out.
struct TRetailLayout {
    int32_t Lead;    // leading quiet zone, modules; it holds EAN-13's first digit
    int32_t Trail;   // trailing quiet zone
    int32_t Margins; // margins taken across: ISSN's add-on digits use the top one
    std::array<TElementRange, 3> Guards;
    TElementRange AddOn; // elements that leave the digit band above them free
    TRetailText Text;
};

constexpr TRetailLayout EAN13Layout{9, 9, 2, {{{0, 2}, {27, 31}, {56, 58}}}, {}, TRetailText::Digits};
constexpr TRetailLayout UPCALayout{9, 9, 2, {{{0, 2}, {27, 31}, {56, 58}}}, {}, TRetailText::UPCHalves};
constexpr TRetailLayout EAN8Layout{7, 7, 2, {{{0, 2}, {19, 23}, {40, 42}}}, {}, TRetailText::Digits};
constexpr TRetailLayout UPCELayout{7, 7, 2, {{{0, 2}, {27, 32}, {}}}, {}, TRetailText::UPCWhole};
constexpr TRetailLayout ISSNLayout{9, 9, 1, {{{0, 2}, {27, 31}, {56, 58}}}, {67, 80}, TRetailText::Digits};

// The retail layout of a type; null for the plain symbologies.
const TRetailLayout* RetailLayoutOf(TBarType type)
{
    switch (type) {
    case EAN8: return &EAN8Layout;
    case EAN13:
    case ISBN: return &EAN13Layout;
    case UPC_A: return &UPCALayout;
    case UPC_E0:
    case UPC_E1: return &UPCELayout;
    case ISSN: return &ISSNLayout;
    default: return nullptr;
    }
}

// Elements of the symbol's `Modules` from `lead` on, each reaching as `reach` says.
template <typename Reach>
void AddElements(TLinearSymbol& symbol, int32_t lead, Reach reach)
{
    symbol.Elements.reserve(symbol.Modules.size());
    int32_t start = lead;
    for (size_t i = 0; i < symbol.Modules.size(); ++i) {
        int32_t width = 0; // a character outside the alphabet covers nothing
        TBarLineType kind = WHITE;
        GetBarProps(symbol.Modules[i], width, kind);
        width = std::min(width, MaxModules - start);
        symbol.Elements.push_back({start, width, kind != WHITE, reach(int32_t(i), kind)});
        start += width;
    }
    symbol.LeadingQuiet = lead;
    symbol.TotalModules = start;
}

// One cell per digit: the first in the leading quiet zone (EAN-13 only), then
// the two halves, then an add-on's.
void AddDigitCells(TLinearSymbol& symbol, TBarType type, std::string_view value)
{
    const bool ean8 = type == EAN8;
    const std::string digits = ean8 ? std::string(value) : EAN13Digits(value);
    const size_t half = ean8 ? EAN8HalfDigits : HalfDigits;
    const size_t firstLeft = ean8 ? 0 : 1;
    auto cell = [&](int32_t start, int32_t length, char c, TTextGroup group) {
        symbol.Text.push_back({start, length, std::string(1, c), group});
    };
    if (!ean8)
        cell(0, symbol.LeadingQuiet, digits[0], TTextGroup::First);
    int32_t pos = symbol.LeadingQuiet + GuardModules;
    for (size_t i = firstLeft; i < firstLeft + half; ++i, pos += DigitModules)
        cell(pos, DigitModules, digits[i], TTextGroup::Left);
    pos += CentreGuardModules;
    for (size_t i = firstLeft + half; i < firstLeft + 2 * half; ++i, pos += DigitModules)
        cell(pos, DigitModules, digits[i], TTextGroup::Right);
    if (type == ISSN) {
        pos += AddOnTextSkip;
        for (const char c : {digits[11], digits[12], AddOnMark}) {
            cell(pos, DigitModules, c, TTextGroup::AddOn);
            pos += DigitModules;
        }
    }
}

void AddRetailText(TLinearSymbol& symbol, TBarType type, std::string_view value, TRetailText text)
{
    // UPC digits stand under the data characters, none in the quiet zones.
    const int32_t left = symbol.LeadingQuiet + GuardModules;
    const int32_t halfModules = int32_t(HalfDigits) * DigitModules;
    switch (text) {
    case TRetailText::Digits: AddDigitCells(symbol, type, value); break;
    case TRetailText::UPCHalves: {
        const size_t n = std::min(value.size(), HalfDigits);
        symbol.Text.push_back({left, halfModules, std::string(value.substr(0, n)), TTextGroup::Line});
        symbol.Text.push_back({left + halfModules + CentreGuardModules, halfModules,
                               std::string(value.substr(n, HalfDigits)), TTextGroup::Line});
        break;
    }
    case TRetailText::UPCWhole: symbol.Text.push_back({left, halfModules, std::string(value), TTextGroup::Line}); break;
    }
}

} // namespace

TLinearSymbol PlainSymbol(std::string modules, std::string text)
{
    TLinearSymbol symbol;
    symbol.Modules = std::move(modules);
    symbol.Margins = PlainMargins;
    AddElements(symbol, PlainQuietZone, [](int32_t, TBarLineType kind) {
        return kind == BLACK_HALF ? TElementReach::Half : TElementReach::Full;
    });
    symbol.TrailingQuiet = PlainQuietZone;
    symbol.TotalModules += PlainQuietZone;
    symbol.Text.push_back({0, symbol.TotalModules, std::move(text), TTextGroup::Line});
    return symbol;
}

TLinearSymbol LinearSymbol(TBarType type, std::string_view value)
{
    const TRetailLayout* layout = RetailLayoutOf(type);
    if (!layout)
        return PlainSymbol(ModuleString(type, value), HumanText(type, value));
    TLinearSymbol symbol;
    symbol.Modules = ModuleString(type, value);
    symbol.Retail = true;
    symbol.Margins = layout->Margins;
    symbol.Guards = layout->Guards;
    symbol.AddOn = layout->AddOn;
    AddElements(symbol, layout->Lead, [layout](int32_t j, TBarLineType) {
        if (std::ranges::any_of(layout->Guards, [j](const TElementRange& g) { return g.Contains(j); }))
            return TElementReach::Full;
        return layout->AddOn.Contains(j) ? TElementReach::AddOn : TElementReach::Data;
    });
    symbol.TrailingQuiet = layout->Trail;
    symbol.TotalModules += layout->Trail;
    AddRetailText(symbol, type, value, layout->Text);
    return symbol;
}

// A plain symbol keeps a text band below its bars whether or not the text is
// shown; a retail symbol's digits stand beside the shorter data bars, its guards
// reaching down between them.
int32_t BarHeightIn(const TLinearSymbol& symbol, int32_t across, int32_t margin, int32_t fontHeight)
{
    if (symbol.Retail)
        return across - GuardExtentFor(fontHeight) - symbol.Margins * margin;
    return across - symbol.Margins * margin + fontHeight;
}

int32_t ExtentAcrossFor(TBarType type, int32_t barHeight, int32_t margin, int32_t fontHeight)
{
    if (const TRetailLayout* layout = RetailLayoutOf(type))
        return barHeight + GuardExtentFor(fontHeight) + layout->Margins * margin;
    return barHeight + PlainMargins * margin - fontHeight;
}

TLinearPicture LayOutLinear(const TLinearSymbol& symbol, TPoint start, int32_t moduleWidth, int32_t barHeight,
                            int32_t fontHeight)
{
    const int32_t y = start.y;
    const int32_t bottom = y + barHeight;
    // Retail data bars end where the digit band begins.
    const int32_t digitBandEnd = bottom + GuardExtentFor(fontHeight);
    const int32_t dataBottom = digitBandEnd + fontHeight;
    const int32_t half = barHeight / 2;
    TLinearPicture picture;
    picture.Bars.reserve(symbol.Elements.size());
    for (const TElement& e : symbol.Elements) {
        if (e.Width == 0)
            continue;
        const int32_t left = start.x + e.Start * moduleWidth;
        const int32_t right = left + e.Width * moduleWidth;
        TRect r{left, y, right, bottom};
        switch (e.Reach) {
        case TElementReach::Full: break;
        case TElementReach::Data: r.Bottom = dataBottom; break;
        case TElementReach::AddOn: r.Top = y - fontHeight; break; // below the add-on's digit band
        case TElementReach::Half: r.Top = bottom - half; break;
        }
        if (e.Dark) {
            picture.Bars.push_back(r);
        } else if (!picture.Spaces.empty() && picture.Spaces.back().Right == r.Left &&
                   picture.Spaces.back().Top == r.Top && picture.Spaces.back().Bottom == r.Bottom) {
            picture.Spaces.back().Right = r.Right;
        } else {
            picture.Spaces.push_back(r);
        }
    }
    picture.Text.reserve(symbol.Text.size());
    for (const TTextCell& cell : symbol.Text) {
        const int32_t left = start.x + cell.Start * moduleWidth;
        const int32_t right = left + cell.Length * moduleWidth;
        TRect r;
        if (cell.Group == TTextGroup::AddOn)
            r = {left, 0, right, -fontHeight}; // along the area's top edge
        else if (symbol.Retail)
            r = {left, dataBottom, right, digitBandEnd};
        else
            r = {left, bottom, right, bottom - fontHeight}; // right after the bars' far ends
        picture.Text.push_back({r, cell.Text, cell.Group});
    }
    return picture;
}

} // namespace Vandrel
