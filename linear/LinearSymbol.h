#pragma once
// A linear symbol as data: its elements with how far each reaches across the
// symbol, its quiet zones, and the cells of its human-readable text, all in
// modules. LayOutLinear turns it into bars and text boxes in pixels of the
// symbol's own unturned frame (x along the symbol, y across it), ready for the
// renderer; no control lays out guards or digit cells itself.
#include "core/Enums.h"
#include "core/Export.h"
#include "core/Geometry.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Vandrel {

// How far an element reaches across the symbol.
enum class TElementReach : uint8_t {
    Full,  // the whole bar height: every element of a plain symbol, a retail symbol's guards
    Data,  // a retail data element: it ends where the digit band begins
    AddOn, // a retail add-on element: it starts below the add-on's digits, ends level with the guards
    Half,  // a short bar standing on the base line of the full bars
};

struct TElement {
    int32_t Start; // modules from the symbol's leading edge, quiet zone included
    int32_t Width; // modules
    bool Dark;
    TElementReach Reach;
};

// Which part of a symbol a piece of text belongs to; it decides the band the
// text stands in and how a single digit is placed in its cell.
enum class TTextGroup : uint8_t {
    First, // an EAN-13 symbol's leading digit, in the leading quiet zone
    Left,  // a digit of the left half
    Right, // a digit of the right half
    AddOn, // a digit of the add-on, above its bars
    Line,  // text spread evenly along its cell: a plain symbol's value, UPC's digit groups
};

struct TTextCell {
    int32_t Start;  // modules from the symbol's leading edge
    int32_t Length; // modules
    std::string Text;
    TTextGroup Group;
};

// Element indexes [first, last]; empty by default.
struct TElementRange {
    int32_t First = -1;
    int32_t Last = -2;
    constexpr bool Contains(int32_t j) const { return j >= First && j <= Last; }
};

struct TLinearSymbol {
    std::string Modules; // one character per element (see GetBarProps)
    std::vector<TElement> Elements;
    int32_t LeadingQuiet = 0;  // modules before the first element
    int32_t TrailingQuiet = 0; // modules after the last one
    int32_t TotalModules = 0;  // quiet zones included
    bool Retail = false;       // guards reach below the data bars into the digit band
    int32_t Margins = 0;       // margins taken from the extent across the symbol
    std::array<TElementRange, 3> Guards{};
    TElementRange AddOn;
    std::vector<TTextCell> Text;
};

// The symbol of a value that DoDigitNum accepts, with `text` as the plain
// symbols' human-readable line. Raises EBarValue or EConvertError otherwise
// (see ModuleString).
VANDREL_ENGINES_EXPORT TLinearSymbol LinearSymbol(TBarType type, std::string_view value);
// A module string drawn as a plain symbol (quiet zones on both sides, every
// element full or half height) under the line `text`.
VANDREL_ENGINES_EXPORT TLinearSymbol PlainSymbol(std::string modules, std::string text = {});

// The bar height (a retail symbol's guard length) in an extent across the
// symbol, and the extent across that gives bars `barHeight` long, which
// depends on the type alone. Font heights are TFont::Height values.
VANDREL_ENGINES_EXPORT int32_t BarHeightIn(const TLinearSymbol& symbol, int32_t across, int32_t margin,
                                           int32_t fontHeight);
VANDREL_ENGINES_EXPORT int32_t ExtentAcrossFor(TBarType type, int32_t barHeight, int32_t margin, int32_t fontHeight);
// How far guard bars reach below the data bars: 3/5 of the font height.
constexpr int32_t GuardExtentFor(int32_t fontHeight)
{
    return -(fontHeight * 3 / 5);
}

struct TTextBox {
    TRect Rect; // unturned frame, pixels
    std::string_view Text;
    TTextGroup Group;
};

struct TLinearPicture {
    std::vector<TRect> Bars; // the dark elements
    // The light elements, neighbours of equal reach merged: what an opaque
    // symbol paints in its background colour over ground not yet filled.
    std::vector<TRect> Spaces;
    std::vector<TTextBox> Text; // views into the symbol's text
};

// The symbol's leading corner (quiet zone included) at `start` with modules
// `moduleWidth` pixels wide; bars `barHeight` long; text `fontHeight` high.
VANDREL_ENGINES_EXPORT TLinearPicture LayOutLinear(const TLinearSymbol& symbol, TPoint start, int32_t moduleWidth,
                                                   int32_t barHeight, int32_t fontHeight);

} // namespace Vandrel
