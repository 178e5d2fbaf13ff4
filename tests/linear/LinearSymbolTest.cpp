// The retail layouts against zint, an independent encoder: which bars are the
// long guards, which stand lower under an add-on's digits, and where the digit
// groups are centred. zint's vector output tells all three: guard rectangles
// are longer than data bars, add-on rectangles start lower, and each digit
// group is one centred string. Positions are compared from the first bar, as
// zint's quiet zones are its own.
#include "linear/LinearSymbol.h"
#include "support/Zint.h"

#include <zint.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace VandrelTest {

using namespace Vandrel;

namespace {

// zint's vector coordinates: two units a module at the default scale.
constexpr double ZintUnitsPerModule = 2;

// A bar from the first bar, in modules: G a long guard, A an add-on bar
// (starting lower), D a data bar.
struct TBar {
    char kind;
    double start;
    double width;
    friend bool operator==(const TBar&, const TBar&) = default;
    friend void PrintTo(const TBar& b, std::ostream* os) { *os << b.kind << b.start << '+' << b.width; }
};

// Bars, and the centres of the digit groups (a half's digits, UPC's digit
// lines, an add-on's digits) from the first bar.
struct TShape {
    std::vector<TBar> bars;
    std::vector<double> centres;
};

TShape OurShape(const TLinearSymbol& symbol)
{
    TShape shape;
    const auto first = std::ranges::find_if(symbol.Elements, &TElement::Dark);
    const double origin = first == symbol.Elements.end() ? 0 : first->Start;
    for (const TElement& e : symbol.Elements)
        if (e.Dark)
            shape.bars.push_back({e.Reach == TElementReach::Full    ? 'G'
                                  : e.Reach == TElementReach::AddOn ? 'A'
                                                                    : 'D',
                                  e.Start - origin, double(e.Width)});
    // zint writes a digit group as one string; it has no '>' after the add-on
    // and puts single digits in its own quiet zones.
    std::vector<const TTextCell*> group;
    auto close = [&] {
        if (!group.empty())
            shape.centres.push_back((group.front()->Start + group.back()->Start + group.back()->Length) / 2.0 - origin);
        group.clear();
    };
    for (const TTextCell& cell : symbol.Text) {
        if (cell.Group == TTextGroup::First || cell.Text == ">")
            continue;
        if (!group.empty() && (group.back()->Group != cell.Group || cell.Group == TTextGroup::Line))
            close();
        group.push_back(&cell);
    }
    close();
    return shape;
}

TShape ZintShape(int symbology, std::string_view data)
{
    ZintOptions options;
    options.vector = true;
    const ZintSymbol symbol = ZintEncode(symbology, data, options);
    if (!symbol.Ok()) {
        ADD_FAILURE() << "zint: " << symbol.error;
        return {};
    }
    double origin = symbol.vectorWidth;
    double dataHeight = symbol.vectorHeight;
    for (const ZintRect& r : symbol.rects) {
        origin = std::min(origin, r.x);
        if (r.y == 0)
            dataHeight = std::min(dataHeight, r.height);
    }
    TShape shape;
    for (const ZintRect& r : symbol.rects)
        shape.bars.push_back({r.y > 0                 ? 'A'
                              : r.height > dataHeight ? 'G'
                                                      : 'D',
                              (r.x - origin) / ZintUnitsPerModule, r.width / ZintUnitsPerModule});
    for (const ZintString& t : symbol.strings)
        if (t.text.size() > 1)
            shape.centres.push_back((t.x - origin) / ZintUnitsPerModule);
    return shape;
}

// The part before an add-on, and the add-on measured from its own first bar:
// zint leaves a gap of its own choice before it.
std::pair<TShape, TShape> SplitAtAddOn(const TShape& shape)
{
    const auto addOn = std::ranges::find(shape.bars, 'A', &TBar::kind);
    const double base = addOn == shape.bars.end() ? 0 : addOn->start;
    TShape main{{shape.bars.begin(), addOn}, {}};
    TShape tail;
    for (auto b = addOn; b != shape.bars.end(); ++b)
        tail.bars.push_back({b->kind, b->start - base, b->width});
    for (const double c : shape.centres)
        if (addOn == shape.bars.end() || c < base)
            main.centres.push_back(c);
        else
            tail.centres.push_back(c - base);
    return {main, tail};
}

TEST(LinearSymbol, RetailLayoutsMatchZint)
{
    struct Case {
        const char* name;
        TBarType type;
        std::string_view value;
        int symbology;
        std::string_view zintData;
    };
    // UPC-A is left out: zint lengthens its first and last digits' bars and
    // writes four digit groups; ours draws it with EAN-13's guards and digit halves.
    const Case cases[] = {
        {"EAN-13", EAN13, "4006381333931", BARCODE_EANX_CHK, "4006381333931"},
        {"EAN-13 completed", EAN13, "978020137962", BARCODE_EANX, "978020137962"},
        {"EAN-8", EAN8, "01234565", BARCODE_EANX_CHK, "01234565"},
        {"ISBN", ISBN, "9780201379624", BARCODE_ISBNX, "9780201379624"},
        {"UPC-E", UPC_E0, "12345650", BARCODE_UPCE, "0123456"},
        {"ISSN", ISSN, "9771234567003", BARCODE_EANX_CHK, "9771234567003+03"},
    };
    for (const Case& c : cases) {
        const auto [ours, oursAddOn] = SplitAtAddOn(OurShape(LinearSymbol(c.type, c.value)));
        const auto [zint, zintAddOn] = SplitAtAddOn(ZintShape(c.symbology, c.zintData));
        EXPECT_EQ(ours.bars, zint.bars) << c.name;
        EXPECT_EQ(ours.centres, zint.centres) << c.name;
        EXPECT_EQ(oursAddOn.bars, zintAddOn.bars) << c.name;
        EXPECT_EQ(oursAddOn.centres, zintAddOn.centres) << c.name;
    }
}

} // namespace
} // namespace VandrelTest
