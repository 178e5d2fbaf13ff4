#pragma once
// TCustomSingleBarCode: the control that draws one linear symbol of any of the
// 23 symbologies with its human-readable text, on screen, into bitmaps and on
// any painter, at every quarter turn.
#include "core/BarCode.h"
#include "core/Export.h"
#include "platform/Font.h"

#include <QFont>
#include <QString>

#include <string>

namespace Vandrel {

class TCanvas;
struct TLinearPicture;
struct TLinearSymbol;
struct TQuarterTurn;

class VANDREL_EXPORT TCustomSingleBarCode : public TBarCode {
    Q_OBJECT
    // First: a form sets properties in this order, and whether the value is
    // completed with its check digit must be known before the type and value.
    Q_PROPERTY(bool CalcuCheck READ CalcuCheck WRITE FSetCalcuCheck)
    Q_PROPERTY(Vandrel::TBarType BarType READ BarType WRITE FSetBarType)
    // The value is a byte string; Designer edits it as Latin-1 text.
    Q_PROPERTY(QString BarValue READ BarValueText WRITE SetBarValueText)
    Q_PROPERTY(QFont Font READ FontAsQFont WRITE SetFontFromQFont)
    Q_PROPERTY(bool ShowText READ ShowText WRITE FSetShowText)
    // CalcuCheck's default is the value a new control has, so that a control
    // saved without it reads back as it was saved.
    Q_CLASSINFO("default:BarType", "Inter2_5")
    Q_CLASSINFO("default:CalcuCheck", "true")
    Q_CLASSINFO("default:ShowText", "true")

public:
    explicit TCustomSingleBarCode(QWidget* owner = nullptr);

    TBarType BarType() const { return FBarType; }
    void FSetBarType(TBarType value);
    const std::string& BarValue() const { return FBarValue; }
    void FSetBarValue(const std::string& value);
    bool CalcuCheck() const { return FCalcuCheck; }
    void FSetCalcuCheck(bool value);
    // The control's own font; changing it directly does not repaint.
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    void FSetFont(const TFont& value);
    bool ShowText() const { return FShowText; }
    void FSetShowText(bool value);

    QString BarValueText() const;
    void SetBarValueText(const QString& value);
    QFont FontAsQFont() const { return FFont.ToQFont(); }
    void SetFontFromQFont(const QFont& value);

    // Per-drawing layout (pixels), recomputed by every drawing.
    int32_t Margin = 2;
    int32_t FontHeight = 0;
    int32_t GuardExtent = 0;
    int32_t TotalModules = 0;
    TPoint RotateOrigin;
    TPoint StartPoint;
    TPoint TextOrigin;
    TTextAlign TextAlign = tFull;

    // The modules along the symbol, quiet zones included, that the current
    // value is drawn in; 0 when the symbology refuses the value. A control
    // whose extent along the symbol is below this draws nothing.
    int32_t SymbolModules() const;
    // The extent across the symbol that gives bars `barHeight` pixels long
    // (a retail symbol's guard bars) with the current font.
    int32_t ExtentAcrossFor(int32_t barHeight) const;

    void CreateBMP(QImage& bmp) override;
    void Print(QPainter* dc, TPoint p) override;
    void Internalprint(QPainter* dc, TPoint p) override;

    // Validates the value and dispatches to the symbology's drawing routine;
    // a value the symbology cannot encode hatches the drawing area instead.
    void DrawOneBarCode(QPainter* dc);
    void DrawCode(TCanvas& canvas, const std::string& modules);
    void DrawOneRect(TCanvas& canvas, TPoint p, int32_t w, int32_t h, const QColor& color);
    void SetInitValue();
    void CalcuWidth(const std::string& modules);
    void CalcuStartPoint();
    void CreateTxtRect(TRect& r);

    bool DoDigitNum(TBarType type, const std::string& value) const;
    bool DoCheckDigit(TBarType type);

    // The symbology routines: each draws the value's symbol as the engine lays
    // it out (LinearSymbol), bars first, then the text.
    void Draw2_5(TCanvas& canvas) { DrawSymbol(canvas); }
    void DrawCode_39(TCanvas& canvas) { DrawSymbol(canvas); }
    void DrawCode_128(TCanvas& canvas) { DrawSymbol(canvas); }
    void DrawCode_93(TCanvas& canvas) { DrawSymbol(canvas); }
    void DrawMSI(TCanvas& canvas) { DrawSymbol(canvas); }
    void DrawPostNet(TCanvas& canvas) { DrawSymbol(canvas); }
    void DrawCodabar(TCanvas& canvas) { DrawSymbol(canvas); }
    void DrawEAN(TCanvas& canvas) { DrawSymbol(canvas); }
    void DrawUPC(TCanvas& canvas) { DrawSymbol(canvas); }
    void DrawISSN(TCanvas& canvas) { DrawSymbol(canvas); }
    // The single-digit cells of a retail symbol (EAN-13, EAN-8, ISBN, ISSN),
    // their digit band ending at `origin` (TextOrigin as CalcuStartPoint sets it).
    void DrawBarText(TCanvas& canvas, const TPoint& origin);

protected:
    void Paint() override;

private:
    // Where the current drawing goes besides its painter: a bitmap whose
    // pixels the bars are written into directly, and whether the area behind
    // the symbol is already filled with the background.
    struct TTarget {
        QImage* Raster = nullptr;
        bool Filled = false;
    };
    class TTargetScope;

    // Margin, font height and drawing area before every drawing.
    void Prepare(TPoint origin);
    // The extent of the drawing area along the symbol and across it.
    int32_t ExtentAlong() const;
    int32_t ExtentAcross() const;
    // The symbol of the current value; an encoder's refusal names this control.
    TLinearSymbol Symbol() const;
    // TotalModules, ModuleWidth, BarHeight, StartPoint and TextOrigin for `symbol`.
    void SizeFor(const TLinearSymbol& symbol);
    TLinearPicture LayOut(const TLinearSymbol& symbol) const;
    TQuarterTurn Turn() const;
    void DrawSymbol(TCanvas& canvas);
    // The bars, and the spaces of an opaque control over unfilled ground.
    void DrawBars(TCanvas& canvas, const TLinearPicture& picture);
    void DrawText(TCanvas& canvas, const TLinearPicture& picture);
    void DrawDigits(TCanvas& canvas, const TLinearPicture& picture, TPoint shift);

    TBarType FBarType = Inter2_5;
    std::string FBarValue = "123456";
    bool FCalcuCheck = true;
    TFont FFont;
    bool FShowText = true;
    TTarget FTarget;
};

// The published 1D control: its value is set by the host or at design time.
class VANDREL_EXPORT TSingleBarCode : public TCustomSingleBarCode {
    Q_OBJECT

public:
    using TCustomSingleBarCode::TCustomSingleBarCode;
};

} // namespace Vandrel
