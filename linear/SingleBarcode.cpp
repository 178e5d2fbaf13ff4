#include "linear/SingleBarcode.h"

#include "core/TextDraw.h"
#include "linear/Symbology.h"
#include "linear/ValueCheck.h"
#include "platform/Canvas.h"
#include "platform/Exceptions.h"

#include <QImage>
#include <QPainter>

namespace Vandrel {

namespace {
// Runs a drawing step and reports any failure inside it as `message`.
template <typename Step>
void Guarded(const char* message, Step&& step)
{
    try {
        step();
    } catch (...) {
        throw Exception(message);
    }
}
} // namespace

TCustomSingleBarCode::TCustomSingleBarCode(QWidget* owner) : TBarCode(owner)
{
    FFont.SetSize(8);
    FFont.Height = -11;
}

void TCustomSingleBarCode::FSetBarType(TBarType value)
{
    if (value == FBarType)
        return;
    FBarType = value;
    if (FCalcuCheck)
        DoCheckDigit(FBarType);
    Invalidate();
}

void TCustomSingleBarCode::FSetBarValue(const std::string& value)
{
    if (value == FBarValue)
        return;
    FBarValue = value;
    if (FCalcuCheck)
        DoCheckDigit(FBarType);
    Invalidate();
}

void TCustomSingleBarCode::FSetCalcuCheck(bool value)
{
    FCalcuCheck = value;
    // Completing is idempotent, so it runs on every assignment of True.
    if (FCalcuCheck) {
        DoCheckDigit(FBarType);
        Invalidate();
    }
}

void TCustomSingleBarCode::FSetFont(const TFont& value)
{
    if (&value != &FFont)
        FFont = value;
    Invalidate();
}

void TCustomSingleBarCode::FSetShowText(bool value)
{
    if (value == FShowText)
        return;
    FShowText = value;
    Invalidate();
}

QString TCustomSingleBarCode::BarValueText() const
{
    return QString::fromLatin1(FBarValue.data(), qsizetype(FBarValue.size()));
}

void TCustomSingleBarCode::SetBarValueText(const QString& value)
{
    FSetBarValue(value.toLatin1().toStdString());
}

void TCustomSingleBarCode::SetFontFromQFont(const QFont& value)
{
    FSetFont(TFont::FromQFont(value, FFont.Color));
}

bool TCustomSingleBarCode::DoDigitNum(TBarType type, const std::string& value) const
{
    return Vandrel::DoDigitNum(type, value);
}

bool TCustomSingleBarCode::DoCheckDigit(TBarType type)
{
    if (!DoDigitNum(FBarType, FBarValue))
        return false;
    // The field is written directly: the calling setter repaints afterwards.
    return CompleteCheckDigit(type, FBarValue);
}

void TCustomSingleBarCode::Prepare(TPoint origin)
{
    Margin = 2;
    FontHeight = FFont.Height;
    AreaOrigin = origin;
    CalcuBmpSize();
}

void TCustomSingleBarCode::Paint()
{
    TCanvas canvas(PaintDC());
    canvas.PenColor = BarColor();
    if (!Transparent()) {
        canvas.BrushColor = BarBackColor();
        canvas.BrushStyle = bsSolid;
        canvas.FillRect({0, 0, width(), height()});
    }
    canvas.BrushStyle = bsClear;
    Prepare({0, 0});
    DrawOneBarCode(PaintDC());
}

void TCustomSingleBarCode::CreateBMP(QImage& bmp)
{
    Guarded("Creat barcode bitmap is error", [&] {
        Prepare({0, 0});
        bmp = NewBitmap(BmpWidth, BmpHeight);
        if (bmp.isNull())
            return;
        QPainter painter(&bmp);
        if (!Transparent())
            painter.fillRect(0, 0, BmpWidth, BmpHeight, BarBackColor());
        DrawOneBarCode(&painter);
    });
}

void TCustomSingleBarCode::Print(QPainter* dc, TPoint p)
{
    Guarded("Print barcode is error", [&] {
        Prepare(p);
        DrawOneBarCode(dc);
    });
}

void TCustomSingleBarCode::Internalprint(QPainter* dc, TPoint p)
{
    Guarded("Internal Print barcode is error", [&] {
        TBarCode::Internalprint(dc, p);
        QImage bmp = NewBitmap(BmpWidth, BmpHeight);
        if (bmp.isNull())
            return;
        {
            QPainter painter(&bmp);
            Prepare({0, 0});
            DrawOneBarCode(&painter);
        }
        TCanvas canvas(dc);
        canvas.CopyRect({p.x, p.y, p.x + BmpWidth, p.y + BmpHeight}, bmp, {0, 0, BmpWidth, BmpHeight});
    });
}

void TCustomSingleBarCode::DrawOneBarCode(QPainter* dc)
{
    TCanvas canvas(dc);
    if (!DoDigitNum(FBarType, FBarValue)) {
        const TRect area{AreaOrigin.x, AreaOrigin.y, AreaOrigin.x + BmpWidth, AreaOrigin.y + BmpHeight};
        canvas.BrushColor = BarBackColor();
        canvas.BrushStyle = bsSolid;
        canvas.FillRect(area);
        canvas.BrushColor = BarColor();
        canvas.BrushStyle = bsFDiagonal;
        canvas.PenColor = BarBackColor();
        canvas.Rectangle(area);
        return;
    }
    switch (FBarType) {
    case Code39:
    case Code39Ex: DrawCode_39(canvas); break;
    default: break; // symbologies whose drawing is not available yet draw nothing
    }
}

void TCustomSingleBarCode::DrawCode(TCanvas& canvas, const std::string& modules)
{
    SetInitValue();
    CalcuWidth(modules);
    TPoint q{StartPoint.x + 4 * ModuleWidth, StartPoint.y};
    for (const char c : modules) {
        int32_t k = 0;
        TBarLineType kind = WHITE;
        GetBarProps(c, k, kind);
        QColor color;
        if (kind == WHITE) {
            if (Transparent())
                canvas.BrushStyle = bsClear;
            color = BarBackColor();
        } else {
            canvas.BrushStyle = bsSolid;
            color = BarColor();
        }
        const int32_t w = k * ModuleWidth;
        if (canvas.BrushStyle == bsSolid) {
            if (kind == BLACK_HALF) {
                // Short bars stand on the base line of the full bars.
                const int32_t h = BarHeight / 2;
                DrawOneRect(canvas, {q.x, q.y + BarHeight - h}, w, h, color);
            } else {
                DrawOneRect(canvas, q, w, BarHeight, color);
            }
        }
        q.x += w;
    }
}

void TCustomSingleBarCode::DrawOneRect(TCanvas& canvas, TPoint p, int32_t w, int32_t h, const QColor& color)
{
    TRect r{p.x, p.y, p.x + w, p.y + h};
    GetRotateRect(r, RotateOrigin);
    canvas.PenColor = color;
    canvas.BrushColor = color;
    canvas.FillRect(r);
}

void TCustomSingleBarCode::SetInitValue()
{
    GuardExtent = -(FontHeight * 3 / 5);
    static constexpr int CornerX[4] = {0, 0, 1, 1};
    static constexpr int CornerY[4] = {0, 1, 1, 0};
    RotateOrigin = {AreaOrigin.x + CornerX[Angle()] * BmpWidth, AreaOrigin.y + CornerY[Angle()] * BmpHeight};
}

int32_t TCustomSingleBarCode::ExtentAlong() const
{
    return (Angle() == _0 || Angle() == _180) ? BmpWidth : BmpHeight;
}

int32_t TCustomSingleBarCode::ExtentAcross() const
{
    return (Angle() == _0 || Angle() == _180) ? BmpHeight : BmpWidth;
}

void TCustomSingleBarCode::CalcuWidth(const std::string& modules)
{
    TotalModules = ModuleCount(modules) + 8;
    ModuleWidth = ExtentAlong() / TotalModules;
    // The text band is reserved whether or not the text is shown.
    BarHeight = ExtentAcross() - 2 * Margin + FontHeight;
    CalcuStartPoint();
}

void TCustomSingleBarCode::CalcuStartPoint()
{
    const int32_t w = TotalModules * ModuleWidth;
    const int32_t l = ExtentAlong();
    StartPoint.x = Alignment() == taLeft ? 0 : Alignment() == taRight ? l - w : (l - w) / 2;
    StartPoint.y = Margin;
    TextOrigin = GetRotatePoint({StartPoint.x, StartPoint.y + BarHeight - FontHeight * 3 / 5}, RotateOrigin);
}

void TCustomSingleBarCode::CreateTxtRect(TRect& r)
{
    const int32_t w = TotalModules * ModuleWidth;
    r = {StartPoint.x, StartPoint.y + BarHeight, StartPoint.x + w, StartPoint.y + BarHeight - FontHeight};
    GetRotateRect(r, RotateOrigin);
}

void TCustomSingleBarCode::DrawLinear(TCanvas& canvas)
{
    DrawCode(canvas, ModuleString(FBarType, FBarValue));
    if (!FShowText)
        return;
    TRect r;
    CreateTxtRect(r);
    DrawBottomText(HumanText(FBarType, FBarValue), r, Angle(), TextAlign, canvas, FFont);
}

void TCustomSingleBarCode::DrawCode_39(TCanvas& canvas)
{
    DrawLinear(canvas);
}

} // namespace Vandrel
