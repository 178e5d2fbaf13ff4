#pragma once
// Human-readable text beside a symbol, at any quarter turn.
#include "core/Export.h"
#include "core/Geometry.h"
#include "platform/Font.h"

#include <string_view>

namespace Vandrel {

class TCanvas;

// Fills the logical-font record from `font`; escapement and orientation are
// given in degrees. Fields the font does not describe are left as they are.
VANDREL_EXPORT void MakeNewFont(const TFont& font, TLogFont& lf, int32_t escapement, int32_t orientation);

// Draws `text` inside `r` reading along a symbol turned by `angle` quarter
// turns: tFull spreads the characters evenly, tLeft puts the text at the start
// corner of r in its reading frame.
VANDREL_EXPORT void DrawBottomText(std::string_view text, const TRect& r, int32_t angle, int32_t align, TCanvas& canvas,
                                   const TFont& font);

} // namespace Vandrel
