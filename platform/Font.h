#pragma once
// A font in the shape the drawing code expects: a face name, a height (negative
// for a size in points, its magnitude then being the pixel height), a character
// set, a style and a colour; plus the logical-font record that rotated text is
// built from.
#include "core/Export.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <cstdint>

namespace Vandrel {

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class VANDREL_EXPORT TFont {
public:
    QString Name = QStringLiteral("MS Sans Serif");
    int32_t Height = -11;
    uint8_t Charset = 1;
    uint8_t Style = 0; // TFontStyle bits
    QColor Color = Qt::black;

    // Size in points at the screen's 96 logical pixels per inch.
    int32_t Size() const;
    void SetSize(int32_t points);

    QFont ToQFont() const;
    static TFont FromQFont(const QFont& font, QColor color = Qt::black);

    friend bool operator==(const TFont&, const TFont&) = default;
};

// Logical-font record: escapement and orientation in tenths of a degree,
// counter-clockwise.
struct TLogFont {
    int32_t lfHeight = 0;
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    char lfFaceName[32] = {};
};

// The Qt font a logical-font record describes (pixel height |lfHeight|).
VANDREL_EXPORT QFont FontFromLogFont(const TLogFont& lf);

} // namespace Vandrel
