#include "platform/Font.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace Vandrel {

namespace {
constexpr int32_t ScreenDpi = 96;

void ApplyPixelHeight(QFont& font, int32_t height)
{
    // Positive heights include the internal leading; without a font metric at
    // hand both signs are taken as the pixel size, which keeps symbols stable.
    font.setPixelSize(std::max(1, std::abs(height)));
}
} // namespace

int32_t TFont::Size() const
{
    return int32_t(std::nearbyint(-double(Height) * 72.0 / ScreenDpi));
}

void TFont::SetSize(int32_t points)
{
    Height = -int32_t(std::nearbyint(double(points) * ScreenDpi / 72.0));
}

QFont TFont::ToQFont() const
{
    QFont f(Name);
    ApplyPixelHeight(f, Height);
    f.setBold(Style & fsBold);
    f.setItalic(Style & fsItalic);
    f.setUnderline(Style & fsUnderline);
    f.setStrikeOut(Style & fsStrikeOut);
    return f;
}

TFont TFont::FromQFont(const QFont& font, QColor color)
{
    TFont f;
    f.Name = font.family();
    if (font.pixelSize() > 0)
        f.Height = -font.pixelSize();
    else
        f.SetSize(int32_t(std::nearbyint(font.pointSizeF())));
    f.Style = uint8_t((font.bold() ? fsBold : 0) | (font.italic() ? fsItalic : 0) |
                      (font.underline() ? fsUnderline : 0) | (font.strikeOut() ? fsStrikeOut : 0));
    f.Color = color;
    return f;
}

QFont FontFromLogFont(const TLogFont& lf)
{
    QFont f(QString::fromLatin1(lf.lfFaceName, int(strnlen(lf.lfFaceName, sizeof lf.lfFaceName))));
    ApplyPixelHeight(f, lf.lfHeight);
    f.setBold(lf.lfWeight >= 600);
    f.setItalic(lf.lfItalic != 0);
    f.setUnderline(lf.lfUnderline != 0);
    f.setStrikeOut(lf.lfStrikeOut != 0);
    return f;
}

} // namespace Vandrel
