#include "linear/SingleBarcode.h"

#include "core/Exceptions.h"
#include "core/ModuleString.h"
#include "core/TextDraw.h"
#include "linear/Retail.h"
#include "linear/Symbology.h"
#include "linear/ValueCheck.h"
#include "platform/Canvas.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <vector>

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

void TCustomSingleBarCode::DrawCode(TCanvas& canvas, const std::string& modules)
{
    SetInitValue();
    CalcuWidth(modules);
    TPoint q{StartPoint.x + 4 * ModuleWidth, StartPoint.y};
    for (const char c : modules) {
        int32_t k = 0;
        TBarLineType kind = WHITE;
        GetBarProps(c, k, kind);
        const QColor color = ElementBrush(canvas, kind);
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

QColor TCustomSingleBarCode::ElementBrush(TCanvas& canvas, TBarLineType kind) const
{
    // Spaces of a transparent control stay unpainted; the brush of a fresh
    // canvas is solid, so an opaque control paints them in the background colour.
    if (kind == WHITE) {
        if (Transparent())
            canvas.BrushStyle = bsClear;
        return BarBackColor();
    }
    canvas.BrushStyle = bsSolid;
    return BarColor();
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
    // The class name without its namespace, as hosts know the control.
    const std::string_view owner = metaObject()->className();
    DrawCode(canvas, ModuleString(FBarType, FBarValue, owner.substr(owner.rfind(':') + 1)));
    if (!FShowText)
        return;
    TRect r;
    CreateTxtRect(r);
    DrawBottomText(HumanText(FBarType, FBarValue), r, Angle(), TextAlign, canvas, FFont);
}

// Where a retail symbol's guard bars stand and how it is laid out.
struct TCustomSingleBarCode::TRetailLayout {
    int32_t total;   // modules, quiet zones included
    int32_t lead;    // leading quiet zone
    int32_t margins; // margins taken from the extent across the symbol
    struct TRange {
        int32_t first = -1;
        int32_t last = -2;
        bool Contains(int32_t j) const { return j >= first && j <= last; }
    };
    TRange guards[3];
    TRange addOn; // elements that leave the digit band above them free
};

namespace {
using TLayout = TCustomSingleBarCode;
constexpr TLayout::TRetailLayout EAN13Layout{113, 9, 2, {{0, 2}, {27, 31}, {56, 58}}, {}};
constexpr TLayout::TRetailLayout EAN8Layout{81, 7, 2, {{0, 2}, {19, 23}, {40, 42}}, {}};
constexpr TLayout::TRetailLayout UPCELayout{65, 7, 2, {{0, 2}, {27, 32}, {}}, {}};
constexpr TLayout::TRetailLayout ISSNLayout{142, 9, 1, {{0, 2}, {27, 31}, {56, 58}}, {67, 80}};
} // namespace

namespace {
// The retail layout of a type; null for the types that DrawCode lays out.
const TLayout::TRetailLayout* RetailLayoutOf(TBarType type)
{
    switch (type) {
    case EAN8: return &EAN8Layout;
    case EAN13:
    case ISBN:
    case UPC_A: return &EAN13Layout;
    case UPC_E0:
    case UPC_E1: return &UPCELayout;
    case ISSN: return &ISSNLayout;
    default: return nullptr;
    }
}
} // namespace

int32_t TCustomSingleBarCode::SymbolModules() const
{
    if (!DoDigitNum(FBarType, FBarValue))
        return 0;
    if (const TRetailLayout* layout = RetailLayoutOf(FBarType))
        return layout->total;
    try {
        return ModuleCount(ModuleString(FBarType, FBarValue)) + 8;
    } catch (const Exception&) {
        return 0;
    }
}

int32_t TCustomSingleBarCode::ExtentAcrossFor(int32_t barHeight) const
{
    // The inverse of the bar heights that CalcuWidth and RetailLayout compute.
    const int32_t fontHeight = -FFont.Height;
    if (const TRetailLayout* layout = RetailLayoutOf(FBarType))
        return barHeight + fontHeight * 3 / 5 + layout->margins * Margin;
    return barHeight + 2 * Margin + fontHeight;
}

void TCustomSingleBarCode::RetailLayout(const TRetailLayout& layout)
{
    TotalModules = layout.total;
    ModuleWidth = ExtentAlong() / TotalModules;
    BarHeight = ExtentAcross() - GuardExtent - layout.margins * Margin;
    CalcuStartPoint();
}

void TCustomSingleBarCode::DrawRetailElements(TCanvas& canvas, const std::string& modules, const TRetailLayout& layout)
{
    TPoint q{StartPoint.x + layout.lead * ModuleWidth, StartPoint.y};
    for (size_t i = 0; i < modules.size(); ++i) {
        int32_t k = 0;
        TBarLineType kind = WHITE;
        GetBarProps(modules[i], k, kind);
        const QColor color = ElementBrush(canvas, kind);
        const int32_t w = k * ModuleWidth;
        const auto j = int32_t(i);
        const bool guard = std::ranges::any_of(layout.guards, [j](const auto& g) { return g.Contains(j); });
        if (canvas.BrushStyle == bsSolid) {
            if (guard)
                DrawOneRect(canvas, q, w, BarHeight, color);
            else if (layout.addOn.Contains(j)) // bars end level with the guards, below a digit band
                DrawOneRect(canvas, {q.x, q.y - FontHeight}, w, BarHeight + FontHeight, color);
            else // data bars end where the digit band begins
                DrawOneRect(canvas, q, w, BarHeight + FontHeight + GuardExtent, color);
        }
        q.x += w;
    }
    canvas.PenColor = BarBackColor();
    canvas.BrushColor = BarBackColor();
    canvas.BrushStyle = bsClear;
}

void TCustomSingleBarCode::DrawEAN(TCanvas& canvas)
{
    SetInitValue();
    const TRetailLayout& layout = *RetailLayoutOf(FBarType);
    RetailLayout(layout);
    DrawRetailElements(canvas, ModuleString(FBarType, FBarValue), layout);
    if (FShowText)
        DrawBarText(canvas, TextOrigin);
}

void TCustomSingleBarCode::DrawISSN(TCanvas& canvas)
{
    SetInitValue();
    RetailLayout(ISSNLayout);
    DrawRetailElements(canvas, ModuleString(FBarType, FBarValue), ISSNLayout);
    if (FShowText)
        DrawBarText(canvas, TextOrigin);
}

TRect TCustomSingleBarCode::ModuleWindow(TRect r, int32_t offset, int32_t length) const
{
    const int32_t shift = offset * ModuleWidth;
    const int32_t extent = length * ModuleWidth;
    switch (Angle()) {
    case _90:
        UpOffSet(r, shift);
        r.Top = r.Bottom - extent;
        break;
    case _180:
        RightOffSet(r, shift);
        r.Left = r.Right - extent;
        break;
    case _270:
        DownOffSet(r, shift);
        r.Bottom = r.Top + extent;
        break;
    default:
        LeftOffSet(r, shift);
        r.Right = r.Left + extent;
        break;
    }
    return r;
}

void TCustomSingleBarCode::DrawUPC(TCanvas& canvas)
{
    SetInitValue();
    const bool upcA = FBarType == UPC_A;
    const TRetailLayout& layout = *RetailLayoutOf(FBarType);
    RetailLayout(layout);
    DrawRetailElements(canvas, ModuleString(FBarType, FBarValue), layout);
    if (!FShowText)
        return;
    // The digits stand in the band where the data bars end, as on EAN symbols:
    // the band below the guards' ends would lie partly outside the control.
    const int32_t w = TotalModules * ModuleWidth;
    const int32_t bandEnd = StartPoint.y + BarHeight + GuardExtent;
    TRect r{StartPoint.x, bandEnd + FontHeight, StartPoint.x + w, bandEnd};
    GetRotateRect(r, RotateOrigin);
    const std::string_view value = FBarValue;
    if (upcA) {
        // Under the left and right digit halves, none in the quiet zones.
        DrawBottomText(value.substr(0, 6), ModuleWindow(r, 12, 42), Angle(), TextAlign, canvas, FFont);
        DrawBottomText(value.substr(6, 6), ModuleWindow(r, 59, 42), Angle(), TextAlign, canvas, FFont);
    } else {
        DrawBottomText(value, ModuleWindow(r, 10, 42), Angle(), TextAlign, canvas, FFont);
    }
}

void TCustomSingleBarCode::DrawBarText(TCanvas& canvas, const TPoint& origin)
{
    TLogFont lf;
    MakeNewFont(FFont, lf, Angle() * 90, 0);
    const TCanvas::TFontState previous = canvas.FontState();
    canvas.SelectFont(lf, FFont.Color);

    enum TGroup { First, Left, Right, AddOn };
    struct TCell {
        int32_t start; // pixels along the symbol from the origin
        int32_t length;
        char digit;
        TGroup group;
    };
    const bool ean8 = FBarType == EAN8;
    const std::string digits = ean8 ? FBarValue : EAN13Digits(FBarValue);
    const int32_t x = ModuleWidth;
    const int32_t lead = ean8 ? 7 : 9;
    const size_t half = ean8 ? 4 : 6;
    std::vector<TCell> cells;
    if (!ean8)
        cells.push_back({0, 9 * x, digits[0], First});
    int32_t pos = (lead + 3) * x;
    const size_t firstLeft = ean8 ? 0 : 1;
    for (size_t i = firstLeft; i < firstLeft + half; ++i, pos += 7 * x)
        cells.push_back({pos, 7 * x, digits[i], Left});
    pos += 5 * x;
    for (size_t i = firstLeft + half; i < firstLeft + 2 * half; ++i, pos += 7 * x)
        cells.push_back({pos, 7 * x, digits[i], Right});
    if (FBarType == ISSN) {
        // The add-on's digits stand above its bars, along the symbol's top edge.
        pos += 15 * x;
        for (const char c : {digits[11], digits[12], '>'}) {
            cells.push_back({pos, 7 * x, c, AddOn});
            pos += 7 * x;
        }
    }

    const int32_t f = FontHeight;
    const int32_t tw = canvas.TextWidth("1");
    const TPoint areaEnd{AreaOrigin.x + BmpWidth, AreaOrigin.y + BmpHeight};
    for (const TCell& cell : cells) {
        const std::string_view text(&cell.digit, 1);
        const bool addOn = cell.group == AddOn;
        switch (Angle()) {
        case _0: {
            const int32_t top = addOn ? AreaOrigin.y : origin.y + f;
            canvas.DrawTextCentredBottom({origin.x + cell.start, top, origin.x + cell.start + cell.length, top - f},
                                         text);
            break;
        }
        case _90: {
            const int32_t low = origin.y - cell.start - cell.length;
            const int32_t c = low + cell.length / 2;
            const int32_t left = addOn ? AreaOrigin.x : origin.x + f;
            static constexpr int32_t Divisor[] = {6, 4, 5, 5};
            canvas.TextRect({left, low, left - f, low + cell.length}, {left, c + tw / Divisor[cell.group]}, text);
            break;
        }
        case _180: {
            const int32_t low = origin.x - cell.start - cell.length;
            const int32_t top = addOn ? areaEnd.y + f : origin.y;
            const int32_t centred = low + (tw + cell.length) / 2;
            const int32_t along = cell.group == First  ? low + cell.length / 2 - tw / 6
                                  : cell.group == Left ? centred
                                                       : centred + 1;
            canvas.TextRect({low, top, low + cell.length, top - f}, {along, top - f}, text);
            break;
        }
        case _270: {
            const int32_t low = origin.y + cell.start;
            const int32_t c = low + cell.length / 2;
            const int32_t left = addOn ? areaEnd.x + f : origin.x;
            canvas.TextRect({left, low, left - f, low + cell.length}, {left - f, c - tw / (addOn ? 5 : 6)}, text);
            break;
        }
        }
    }
    canvas.SetFontState(previous);
}

} // namespace Vandrel
