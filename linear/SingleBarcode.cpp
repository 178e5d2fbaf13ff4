#include "linear/SingleBarcode.h"

#include "core/Exceptions.h"
#include "core/ModuleString.h"
#include "core/TextDraw.h"
#include "linear/LinearSymbol.h"
#include "linear/Symbology.h"
#include "linear/ValueCheck.h"
#include "platform/Canvas.h"
#include "render/Bars.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace Vandrel {

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

// Sets the drawing target for one drawing and puts the previous one back.
class TCustomSingleBarCode::TTargetScope {
public:
    TTargetScope(TTarget& target, TTarget value) : FTarget(target), FSaved(target) { target = value; }
    ~TTargetScope() { FTarget = FSaved; }
    TTargetScope(const TTargetScope&) = delete;
    TTargetScope& operator=(const TTargetScope&) = delete;

private:
    TTarget& FTarget;
    TTarget FSaved;
};

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
    const TTargetScope target(FTarget, {nullptr, true});
    DrawOneBarCode(PaintDC());
}

void TCustomSingleBarCode::CreateBMP(QImage& bmp)
{
    Guarded("Creat barcode bitmap is error", [&] {
        Prepare({0, 0});
        // One fill: the background, or a new bitmap's white under a transparent
        // control and under a translucent background, which blends over it.
        const bool opaque = !Transparent() && BarBackColor().alpha() == 255;
        bmp = QImage(std::max(BmpWidth, 0), std::max(BmpHeight, 0), QImage::Format_RGB32);
        if (bmp.isNull())
            return;
        bmp.fill(opaque ? BarBackColor() : QColor(Qt::white));
        QPainter painter(&bmp);
        if (!opaque && !Transparent())
            painter.fillRect(0, 0, BmpWidth, BmpHeight, BarBackColor());
        const TTargetScope target(FTarget, {&bmp, true});
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
            // The bitmap is white, not the background: an opaque control's
            // spaces are painted on it.
            const TTargetScope target(FTarget, {&bmp, false});
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
    case Inter2_5:
    case Indust2_5:
    case Matrix2_5: Draw2_5(canvas); break;
    case Code39:
    case Code39Ex: DrawCode_39(canvas); break;
    case Code128_A:
    case Code128_B:
    case Code128_C:
    case EAN128_A:
    case EAN128_B:
    case EAN128_C: DrawCode_128(canvas); break;
    case Code93:
    case Code93Ex: DrawCode_93(canvas); break;
    case MSI: DrawMSI(canvas); break;
    case PostNet: DrawPostNet(canvas); break;
    case CodaBar: DrawCodabar(canvas); break;
    case EAN8:
    case EAN13:
    case ISBN: DrawEAN(canvas); break;
    case UPC_A:
    case UPC_E0:
    case UPC_E1: DrawUPC(canvas); break;
    case ISSN: DrawISSN(canvas); break;
    }
}

TLinearSymbol TCustomSingleBarCode::Symbol() const
{
    try {
        return LinearSymbol(FBarType, FBarValue);
    } catch (const EBarValue& e) {
        // The class name without its namespace, as hosts know the control.
        const std::string_view owner = metaObject()->className();
        throw Exception(std::string(owner.substr(owner.rfind(':') + 1)) + ":" + e.what());
    }
}

void TCustomSingleBarCode::SizeFor(const TLinearSymbol& symbol)
{
    TotalModules = symbol.TotalModules;
    ModuleWidth = ExtentAlong() / TotalModules;
    BarHeight = BarHeightIn(symbol, ExtentAcross(), Margin, FontHeight);
    CalcuStartPoint();
}

TLinearPicture TCustomSingleBarCode::LayOut(const TLinearSymbol& symbol) const
{
    return LayOutLinear(symbol, StartPoint, ModuleWidth, BarHeight, FontHeight);
}

TQuarterTurn TCustomSingleBarCode::Turn() const
{
    return {Angle(), RotateOrigin};
}

void TCustomSingleBarCode::DrawSymbol(TCanvas& canvas)
{
    const TLinearSymbol symbol = Symbol();
    SetInitValue();
    SizeFor(symbol);
    const TLinearPicture picture = LayOut(symbol);
    DrawBars(canvas, picture);
    if (FShowText)
        DrawText(canvas, picture);
}

void TCustomSingleBarCode::DrawCode(TCanvas& canvas, const std::string& modules)
{
    const TLinearSymbol symbol = PlainSymbol(modules);
    SetInitValue();
    SizeFor(symbol);
    DrawBars(canvas, LayOut(symbol));
}

void TCustomSingleBarCode::DrawBars(TCanvas& canvas, const TLinearPicture& picture)
{
    // A transparent control leaves its spaces unpainted; an opaque one paints
    // them unless its background is filled already.
    const bool spaces = !Transparent() && !FTarget.Filled;
    const TQuarterTurn turn = Turn();
    auto draw = [&](const std::vector<TRect>& rects, const QColor& colour) {
        // Raw pixels only for an opaque colour: a translucent one blends.
        if (FTarget.Raster && colour.alpha() == 255)
            FillBars(*FTarget.Raster, rects, turn, PixelOf(*FTarget.Raster, colour));
        else
            PaintBars(*canvas.Handle(), rects, turn, colour);
    };
    if (spaces)
        draw(picture.Spaces, BarBackColor());
    draw(picture.Bars, BarColor());
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
    GuardExtent = GuardExtentFor(FontHeight);
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
    SizeFor(PlainSymbol(modules));
}

void TCustomSingleBarCode::CalcuStartPoint()
{
    const int32_t w = TotalModules * ModuleWidth;
    const int32_t l = ExtentAlong();
    StartPoint.x = Alignment() == taLeft ? 0 : Alignment() == taRight ? l - w : (l - w) / 2;
    StartPoint.y = Margin;
    TextOrigin = GetRotatePoint({StartPoint.x, StartPoint.y + BarHeight + GuardExtentFor(FontHeight)}, RotateOrigin);
}

void TCustomSingleBarCode::CreateTxtRect(TRect& r)
{
    // The line under a plain symbol, as the engine lays it out.
    TLinearSymbol symbol;
    symbol.TotalModules = TotalModules;
    symbol.Text.push_back({0, TotalModules, {}, TTextGroup::Line});
    r = Turn().Apply(LayOut(symbol).Text.front().Rect);
}

int32_t TCustomSingleBarCode::SymbolModules() const
{
    if (!DoDigitNum(FBarType, FBarValue))
        return 0;
    try {
        return LinearSymbol(FBarType, FBarValue).TotalModules;
    } catch (const Exception&) {
        return 0;
    }
}

int32_t TCustomSingleBarCode::ExtentAcrossFor(int32_t barHeight) const
{
    return Vandrel::ExtentAcrossFor(FBarType, barHeight, Margin, FFont.Height);
}

void TCustomSingleBarCode::DrawText(TCanvas& canvas, const TLinearPicture& picture)
{
    const TQuarterTurn turn = Turn();
    for (const TTextBox& box : picture.Text)
        if (box.Group == TTextGroup::Line)
            DrawBottomText(box.Text, turn.Apply(box.Rect), Angle(), TextAlign, canvas, FFont);
    DrawDigits(canvas, picture, {0, 0});
}

void TCustomSingleBarCode::DrawBarText(TCanvas& canvas, const TPoint& origin)
{
    DrawDigits(canvas, LayOut(Symbol()), {origin.x - TextOrigin.x, origin.y - TextOrigin.y});
}

namespace {
// A digit's glyph is drawn from its cell's corner in the text's reading frame;
// turned, a fraction of a digit's width (1 / divisor) moves it back towards
// the cell's middle. The fractions, per group, keep each digit over the bars
// it stands for: First, Left, Right, AddOn.
constexpr int32_t Along90Divisor[] = {6, 4, 5, 5};
constexpr int32_t Along270Divisor[] = {6, 6, 6, 5};
// Half-turned, a digit is centred on its cell by half a digit width; the
// leading digit sits a sixth of a digit before the middle of the quiet zone,
// and the right half and the add-on one pixel further on.
constexpr int32_t First180Divisor = 6;
constexpr int32_t Along180Shift[] = {0, 0, 1, 1};

// The reference point of a digit in its turned cell `clip`, `length` pixels
// along the symbol, for digits `tw` pixels wide.
TPoint DigitReference(TAngleType angle, TTextGroup group, const TRect& clip, int32_t length, int32_t tw)
{
    const auto g = size_t(group);
    switch (angle) {
    case _90: return {clip.Left, clip.Top + length / 2 + tw / Along90Divisor[g]};
    case _180: {
        const int32_t along = group == TTextGroup::First ? clip.Left + length / 2 - tw / First180Divisor
                                                         : clip.Left + (tw + length) / 2 + Along180Shift[g];
        return {along, clip.Bottom};
    }
    case _270: return {clip.Right, clip.Top + length / 2 - tw / Along270Divisor[g]};
    default: return {clip.Left, clip.Top};
    }
}
} // namespace

void TCustomSingleBarCode::DrawDigits(TCanvas& canvas, const TLinearPicture& picture, TPoint shift)
{
    const auto digit = [](const TTextBox& box) { return box.Group != TTextGroup::Line; };
    if (std::ranges::none_of(picture.Text, digit))
        return;
    TLogFont lf;
    MakeNewFont(FFont, lf, Angle() * 90, 0);
    const TCanvas::TFontState previous = canvas.FontState();
    canvas.SelectFont(lf, FFont.Color);
    const int32_t tw = canvas.TextWidth("1");
    TQuarterTurn turn = Turn();
    turn.Origin = {turn.Origin.x + shift.x, turn.Origin.y + shift.y};
    for (const TTextBox& box : picture.Text) {
        if (!digit(box))
            continue;
        const TRect clip = turn.Apply(box.Rect);
        if (Angle() == _0)
            canvas.DrawTextCentredBottom(clip, box.Text);
        else
            canvas.TextRect(clip, DigitReference(Angle(), box.Group, clip, box.Rect.Right - box.Rect.Left, tw),
                            box.Text);
    }
    canvas.SetFontState(previous);
}

} // namespace Vandrel
