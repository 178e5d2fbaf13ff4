#pragma once
// Finding PDF417 symbols anywhere in a grey picture: every few pixel rows and
// columns, made dark and light by the local threshold and read both ways, are
// searched for the start and the stop pattern by the proportions of their
// runs, so a symbol is found at any scale, in any
// quarter turn and mirrored, dark on light or light on dark. The hits of one
// pattern edge on consecutive scan lines lie on a line, the symbol's left or
// right edge; a start edge, with the stop edge behind it if there is one,
// makes a located symbol.
#include "core/Export.h"

#include <cstdint>
#include <vector>

namespace Vandrel {

// Scan lines in one direction: the picture point (X, Y) of the place `p`
// pixels along scan line `s` is Origin + s·Across + p·Along, pixel centres at
// half pixels. Along and Across are unit vectors along an axis.
struct TScanView {
    float OriginX = 0, OriginY = 0;
    float AlongX = 1, AlongY = 0;
    float AcrossX = 0, AcrossY = 1;
};

// A pattern edge over scan lines First ... Last: p = A + B·s.
struct TEdgeLine {
    double A = 0;
    double B = 0;
    double First = 0;
    double Last = 0;
    double Module = 0; // pixels, the patterns' mean

    double At(double s) const { return A + B * s; }
};

struct TLocated {
    TScanView View;
    TEdgeLine Start;       // the outer edge of the start pattern's first bar
    TEdgeLine Stop;        // the outer edge of the stop pattern's last bar, when HasStop
    bool Inverted = false; // light bars on dark
    bool HasStop = true;   // false for a start edge found alone
};

struct TGreyPicture;

// Every symbol edge pair in `grey`, scanning every `step`-th row and column.
VANDREL_ENGINES_EXPORT std::vector<TLocated> Locate(const TGreyPicture& grey, int32_t step);

} // namespace Vandrel
