#include "core/TextDraw.h"

#include "core/Enums.h"
#include "platform/Canvas.h"

#include <algorithm>
#include <cstring>

namespace Vandrel {

void MakeNewFont(const TFont& font, TLogFont& lf, int32_t escapement, int32_t orientation)
{
    lf.lfHeight = font.Height;
    lf.lfWidth = 0;
    lf.lfEscapement = escapement * 10;
    lf.lfOrientation = orientation * 10;
    lf.lfWeight = (font.Style & fsBold) ? 700 : 400;
    lf.lfItalic = (font.Style & fsItalic) ? 1 : 0;
    lf.lfUnderline = (font.Style & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (font.Style & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = font.Charset;
    const QByteArray name = font.Name.toLatin1();
    const size_t n = std::min<size_t>(size_t(name.size()), sizeof lf.lfFaceName - 1);
    std::memcpy(lf.lfFaceName, name.constData(), n);
    lf.lfFaceName[n] = '\0';
}

namespace {
// Start corner of r in the reading frame of each quarter turn, and the
// direction in which successive characters advance.
struct TReadingFrame {
    TPoint Start;
    TPoint Step; // unit vector along the text
};

TReadingFrame ReadingFrame(const TRect& r, int32_t angle)
{
    switch (angle & 3) {
    case 1: return {{r.Left, r.Bottom}, {0, -1}};
    case 2: return {{r.Right, r.Bottom}, {-1, 0}};
    case 3: return {{r.Right, r.Top}, {0, 1}};
    default: return {{r.Left, r.Top}, {1, 0}};
    }
}
} // namespace

void DrawBottomText(std::string_view text, const TRect& r, int32_t angle, int32_t align, TCanvas& canvas,
                    const TFont& font)
{
    TLogFont lf;
    MakeNewFont(font, lf, angle * 90, 0);
    const TCanvas::TFontState previous = canvas.FontState();
    canvas.SelectFont(lf, font.Color);
    struct Restore {
        TCanvas& Canvas;
        const TCanvas::TFontState& State;
        ~Restore() { Canvas.SetFontState(State); }
    } restore{canvas, previous};

    const TReadingFrame frame = ReadingFrame(r, angle);
    if (align == tFull) {
        const auto n = int32_t(text.size());
        if (n == 0)
            return;
        const int32_t length = frame.Step.x != 0 ? r.Right - r.Left : r.Bottom - r.Top;
        const int32_t d = length / n;
        const int32_t lead = (length % n) / 2;
        TPoint p{frame.Start.x + frame.Step.x * lead, frame.Start.y + frame.Step.y * lead};
        for (int32_t i = 0; i < n; ++i) {
            canvas.TextRect(r, p, text.substr(size_t(i), 1));
            p = {p.x + frame.Step.x * d, p.y + frame.Step.y * d};
        }
    } else {
        canvas.TextRect(r, frame.Start, text);
    }
}

} // namespace Vandrel
