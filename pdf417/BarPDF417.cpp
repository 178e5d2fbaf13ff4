#include "pdf417/BarPDF417.h"

#include "core/Exceptions.h"
#include "pdf417/ClusterTables.h"
#include "platform/Canvas.h"
#include "platform/Messages.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace Vandrel {

namespace {
constexpr std::string_view StartPattern = "81111113";
constexpr std::string_view StopPattern = "711311121";
constexpr int32_t CodewordModules = 17;

// A byte property given as int: out-of-range values become one both byte
// setters refuse with their message.
uint8_t ToByte(int value)
{
    return value < 0 || value > 255 ? uint8_t(255) : uint8_t(value);
}

QString Latin1(const std::string& s)
{
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}
} // namespace

TCustomBarPDF417::TCustomBarPDF417(QWidget* owner) : TBarCode(owner), FEncoder(ShowEngineMessage) {}

void TCustomBarPDF417::FSetAspect(float value)
{
    // Also an unchanged value: it recomputes the row height from the current BarX.
    FEncoder.SetAspect(value);
    Invalidate();
}

void TCustomBarPDF417::FSetBarX(int32_t value)
{
    if (FEncoder.SetBarX(value))
        ShowBarCode();
}

void TCustomBarPDF417::FSetBarValue(const std::string& value)
{
    FEncoder.SetBarValue(value);
    ShowBarCode();
}

void TCustomBarPDF417::FSetCodeMode(TCodeMode value)
{
    if (FEncoder.SetCodeMode(value))
        ShowBarCode();
}

void TCustomBarPDF417::FSetDataColumn(int value)
{
    if (FEncoder.SetDataColumn(ToByte(value)))
        Invalidate();
}

void TCustomBarPDF417::FSetDataRow(int value)
{
    if (FEncoder.SetDataRow(ToByte(value)))
        Invalidate();
}

void TCustomBarPDF417::FSetErrorLevel(TErrorLevel value)
{
    if (FEncoder.SetErrorLevel(value))
        ShowBarCode();
}

void TCustomBarPDF417::FSetIsEncrypt(bool value)
{
    if (FEncoder.SetIsEncrypt(value))
        ShowBarCode();
}

void TCustomBarPDF417::FSetPDFType(TPDFType value)
{
    if (FEncoder.SetPDFType(value))
        ShowBarCode();
}

void TCustomBarPDF417::FSetPassword(const std::string& value)
{
    if (FEncoder.SetPassword(value))
        ShowBarCode();
}

QString TCustomBarPDF417::BarValueText() const
{
    return Latin1(BarValue());
}

void TCustomBarPDF417::SetBarValueText(const QString& value)
{
    FSetBarValue(value.toLatin1().toStdString());
}

QString TCustomBarPDF417::PasswordText() const
{
    return Latin1(Password());
}

void TCustomBarPDF417::SetPasswordText(const QString& value)
{
    FSetPassword(value.toLatin1().toStdString());
}

void TCustomBarPDF417::Encode()
{
    CalcuBmpSize();
    FEncoder.SetArea(BmpWidth, BmpHeight);
    FEncoder.SetAngle(Angle());
    FEncoder.StreamToBarData();
}

void TCustomBarPDF417::ShowBarCode()
{
    Encode();
    Invalidate();
}

void TCustomBarPDF417::Paint()
{
    TCanvas canvas(PaintDC());
    if (!Transparent()) {
        canvas.BrushColor = BarBackColor();
        canvas.FillRect({0, 0, width(), height()});
    }
    AreaOrigin = {0, 0};
    CalcuBmpSize();
    DrawBarCode(canvas);
}

void TCustomBarPDF417::CreateBMP(QImage& bmp)
{
    Guarded("Print barcode is error", [&] {
        CalcuBmpSize();
        AreaOrigin = {0, 0};
        bmp = NewBitmap(BmpWidth, BmpHeight);
        if (bmp.isNull())
            return;
        QPainter painter(&bmp);
        TCanvas canvas(&painter);
        if (!Transparent()) {
            canvas.BrushColor = BarBackColor();
            canvas.FillRect({0, 0, BmpWidth, BmpHeight});
        }
        DrawBarCode(canvas);
    });
}

void TCustomBarPDF417::Print(QPainter* dc, TPoint p)
{
    Guarded("Print barcode is error", [&] {
        TCanvas canvas(dc);
        AreaOrigin = p;
        Encode();
        if (FEncoder.CodeWordCount() > 0)
            DrawBarCode(canvas);
        else
            ShowMessage(QStringLiteral("Append data is error!"));
    });
}

void TCustomBarPDF417::Internalprint(QPainter* dc, TPoint p)
{
    Guarded("Internal Print barcode is error", [&] {
        TBarCode::Internalprint(dc, p);
        QImage bmp = NewBitmap(BmpWidth, BmpHeight);
        if (bmp.isNull())
            return;
        AreaOrigin = {0, 0};
        FEncoder.SetBarValue(BarValue());
        ShowBarCode();
        {
            QPainter painter(&bmp);
            TCanvas canvas(&painter);
            DrawBarCode(canvas);
        }
        TCanvas canvas(dc);
        canvas.CopyRect({p.x, p.y, p.x + BmpWidth, p.y + BmpHeight}, bmp, {0, 0, BmpWidth, BmpHeight});
    });
}

void TCustomBarPDF417::SetInitValue()
{
    static constexpr int CornerX[4] = {0, 0, 1, 1};
    static constexpr int CornerY[4] = {0, 1, 1, 0};
    RotateOrigin = {AreaOrigin.x + CornerX[Angle()] * BmpWidth, AreaOrigin.y + CornerY[Angle()] * BmpHeight};
}

void TCustomBarPDF417::SetShownSymbol(int32_t index)
{
    FShownSymbol = index;
    Invalidate();
}

std::span<const TSymbolSize> TCustomBarPDF417::ShownSizes() const
{
    const std::span<const TSymbolSize> sizes = FEncoder.SymbolSizes();
    if (FShownSymbol == AllSymbols)
        return sizes;
    if (FShownSymbol < 0 || size_t(FShownSymbol) >= sizes.size())
        return {};
    return sizes.subspan(size_t(FShownSymbol), 1);
}

// Symbols of a sequence stand side by side, as many as fit on a line; every
// line begins at the same aligned edge as the first. `place` gets each
// symbol's position in the unturned frame, the margin not yet added.
TCustomBarPDF417::TDrawingExtent TCustomBarPDF417::LayOut(int64_t along, const TPlaceFn& place) const
{
    const std::span<const TSymbolSize> sizes = ShownSizes();
    if (sizes.empty())
        return {};
    const int64_t bx = BarX();
    const int64_t nd = FEncoder.FullRows() ? 4 : 2;
    // A symbol with its margin of 2 modules on either side.
    const auto width = [&](TSymbolSize size) { return ((size.Columns + nd) * CodewordModules + 5) * bx; };
    // From a symbol to the next on its line: 8 modules between them (more
    // after a truncated one).
    const auto step = [&](TSymbolSize size) { return ((size.Columns + 4) * CodewordModules + 9) * bx; };
    const int64_t unit = width(sizes[0]);
    // As many symbols as the line holds whole, so that alignment cannot push
    // the last of them off the area.
    const int64_t perLine =
        std::clamp<int64_t>((along - unit) / std::max<int64_t>(1, step(sizes[0])) + 1, 1, int64_t(sizes.size()));
    const int64_t lineWidth = unit + (perLine - 1) * step(sizes[0]);
    const int64_t lineStart = Alignment() == taLeft    ? 0
                              : Alignment() == taRight ? along - lineWidth
                                                       : (along - lineWidth) / 2;
    TDrawingExtent extent{lineStart, lineStart, 0};
    int64_t x = lineStart;
    int64_t y = 0;
    for (size_t k = 0; k < sizes.size(); ++k) {
        if (k > 0 && int64_t(k) % perLine != 0) {
            x += step(sizes[k - 1]);
        } else if (k > 0) {
            x = lineStart;
            y += sizes[k - 1].Rows * int64_t{RowHeight()} + 16 * bx;
        }
        place(sizes[k], x, y);
        extent.Right = std::max(extent.Right, x + width(sizes[k]));
        extent.Bottom = std::max(extent.Bottom, y + sizes[k].Rows * int64_t{RowHeight()} + 4 * bx);
    }
    return extent;
}

TCustomBarPDF417::TDrawingExtent TCustomBarPDF417::DrawingExtent(int64_t along) const
{
    return LayOut(along, [](TSymbolSize, int64_t, int64_t) {});
}

void TCustomBarPDF417::DrawBarCode(TCanvas& canvas)
{
    const TBarData* node =
        FShownSymbol == AllSymbols ? FEncoder.Codewords().Root() : FEncoder.SymbolStart(FShownSymbol);
    if (!node || ShownSizes().empty())
        return;
    SetInitValue();
    const int32_t along = (Angle() == _0 || Angle() == _180) ? BmpWidth : BmpHeight;
    LayOut(along, [&](TSymbolSize size, int64_t x, int64_t y) {
        DrawSymbol(canvas, {int32_t(x), int32_t(y)}, size, node);
    });
}

void TCustomBarPDF417::DrawSymbol(TCanvas& canvas, TPoint at, TSymbolSize size, const TBarData*& node)
{
    const int32_t bx = BarX();
    for (int32_t j = 0; j < size.Rows; ++j) {
        TPoint q{at.x + 2 * bx, at.y + 2 * bx + j * RowHeight()};
        DrawStartRect(canvas, q);
        DrawBarRect(canvas, q, GetBSValue(j, GetFistNote(0, j, size, ErrorLevel())));
        for (int32_t c = 0; c < size.Columns; ++c) {
            DrawBarRect(canvas, q, GetBSValue(j, node ? node->Value : -1));
            node = node ? node->Next : nullptr;
        }
        if (FEncoder.FullRows()) {
            DrawBarRect(canvas, q, GetBSValue(j, GetFistNote(1, j, size, ErrorLevel())));
            DrawEndRect(canvas, q);
        } else {
            DrawRect(canvas, q.x, q.y, BarColor(), 1);
        }
    }
}

void TCustomBarPDF417::DrawStartRect(TCanvas& canvas, TPoint& p)
{
    DrawBarRect(canvas, p, StartPattern);
}

void TCustomBarPDF417::DrawEndRect(TCanvas& canvas, TPoint& p)
{
    DrawBarRect(canvas, p, StopPattern);
}

void TCustomBarPDF417::DrawBarRect(TCanvas& canvas, TPoint& p, std::string_view pattern)
{
    if (pattern.empty()) {
        // Nothing to draw, but the codeword's place is kept.
        p.x += CodewordModules * BarX();
        return;
    }
    for (size_t i = 0; i < pattern.size(); ++i) {
        const int32_t w = pattern[i] - '0';
        const bool bar = i % 2 == 0;
        if (bar || !Transparent())
            DrawRect(canvas, p.x, p.y, bar ? BarColor() : BarBackColor(), w);
        p.x += w * BarX();
    }
}

void TCustomBarPDF417::DrawRect(TCanvas& canvas, int32_t x, int32_t y, const QColor& color, int32_t modules)
{
    TRect r{x, y, x + BarX() * modules, y + RowHeight()};
    GetRotateRect(r, RotateOrigin);
    canvas.BrushColor = color;
    canvas.BrushStyle = bsSolid;
    canvas.FillRect(r);
}

TRect TCustomBarPDF417::LessenRect(const TRect& r, int32_t margin)
{
    return {r.Left + margin, r.Top + margin, r.Right - margin, r.Bottom - margin};
}

} // namespace Vandrel
