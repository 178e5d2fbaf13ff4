#pragma once
// A thin drawing surface over an active QPainter that keeps pen, brush and
// font state the way the symbol drawing code uses it. Rectangles follow device
// conventions: Right and Bottom lie just outside the filled area. The painter's
// own state is saved on construction and restored on destruction.
#include "core/Export.h"
#include "core/Geometry.h"
#include "platform/Font.h"

#include <QColor>
#include <QFont>

#include <string_view>

class QImage;
class QPainter;

namespace Vandrel {

enum TBrushStyle : int { bsSolid, bsClear, bsFDiagonal };

class VANDREL_EXPORT TCanvas {
public:
    explicit TCanvas(QPainter* dc);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    QPainter* Handle() const { return FPainter; }

    QColor PenColor = Qt::black;
    QColor BrushColor = Qt::white;
    TBrushStyle BrushStyle = bsSolid;

    // Fills r with the brush (nothing for a clear brush).
    void FillRect(const TRect& r);
    // A one-pixel pen outline inside r, the interior filled with the brush.
    void Rectangle(const TRect& r);

    // Makes the font of a logical-font record (rotated by its escapement) the
    // canvas font, drawn in `color`.
    void SelectFont(const TLogFont& lf, QColor color);

    // The selected font, to be put back once a drawing step is done with its own.
    struct TFontState {
        QFont Font;
        QColor Color;
        int32_t Escapement;
    };
    TFontState FontState() const { return {FFont, FFontColor, FEscapement}; }
    void SetFontState(const TFontState& state);
    // Text whose cell's top-left corner, in the text's own reading frame, is at
    // `ref`, clipped to `clip`.
    void TextRect(const TRect& clip, TPoint ref, std::string_view text);
    // Unrotated text centred along `cell` and standing on its bottom edge, clipped to it.
    void DrawTextCentredBottom(const TRect& cell, std::string_view text);
    int32_t TextWidth(std::string_view text) const;
    int32_t TextHeight() const;

    // Copies the src rectangle of a bitmap onto the dest rectangle of this canvas.
    void CopyRect(const TRect& dest, const QImage& src, const TRect& srcRect);

private:
    QPainter* FPainter;
    QFont FFont;
    QColor FFontColor = Qt::black;
    int32_t FEscapement = 0; // tenths of a degree, counter-clockwise
};

} // namespace Vandrel
