#include "pdf417/BarPDF417.h"

#include "core/Exceptions.h"
#include "pdf417/Symbol.h"
#include "platform/Canvas.h"
#include "platform/Messages.h"
#include "render/Bars.h"

#include <QColorSpace>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace Vandrel {

namespace {

// A byte property given as int: out-of-range values become one both byte
// setters refuse with their message.
uint8_t ToByte(int value)
{
    return value < 0 || value > 255 ? uint8_t(255) : uint8_t(value);
}

TSequenceLook Look(const TCustomBarPDF417& control)
{
    return {control.BarX(), control.RowHeight(), control.Encoder().FullRows(), control.Alignment()};
}

QString Latin1(const std::string& s)
{
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

// `bmp` made a `width` × `height` bitmap of `format`, its pixels unset: the
// caller's own pixels when they already are such a bitmap, of a new one's
// resolution, colour space and no text, and nothing else shares them.
void PrepareBitmap(QImage& bmp, int32_t width, int32_t height, QImage::Format format)
{
    static const QImage fresh(1, 1, QImage::Format_RGB32);
    const bool reusable = !bmp.isNull() && bmp.width() == width && bmp.height() == height && bmp.format() == format &&
                          bmp.isDetached() && bmp.dotsPerMeterX() == fresh.dotsPerMeterX() &&
                          bmp.dotsPerMeterY() == fresh.dotsPerMeterY() &&
                          bmp.devicePixelRatio() == fresh.devicePixelRatio() && bmp.offset() == fresh.offset() &&
                          bmp.textKeys().isEmpty() && bmp.colorSpace() == fresh.colorSpace();
    if (!reusable)
        bmp = QImage(std::max(width, 0), std::max(height, 0), format);
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
        // An opaque background colour is the bitmap's only fill; one the
        // white shows through is blended over it, as a painter does.
        const bool ownFill = !Transparent() && BarBackColor().alpha() == 255;
        PrepareBitmap(bmp, BmpWidth, BmpHeight, QImage::Format_RGB32);
        if (bmp.isNull())
            return;
        if (ownFill && BarColor().alpha() == 255) {
            // Bars and background in one pass, each pixel written once.
            std::vector<TPlacedRows> placed;
            ShownSymbols(placed);
            FillPicture(bmp, placed, BarX(), RowHeight(), {Angle(), RotateOrigin}, PixelOf(bmp, BarColor()),
                        PixelOf(bmp, BarBackColor()));
            return;
        }
        if (ownFill) {
            bmp.fill(BarBackColor());
        } else {
            bmp.fill(Qt::white);
            if (!Transparent())
                QPainter(&bmp).fillRect(0, 0, BmpWidth, BmpHeight, BarBackColor());
        }
        // The whole bitmap is the background already: bars only.
        FillBarCode(bmp, false);
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
        // The bitmap stays white around the symbols; an opaque control
        // paints only the symbols' rows in its background.
        FillBarCode(bmp, !Transparent());
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

TCustomBarPDF417::TDrawingExtent TCustomBarPDF417::DrawingExtent(int64_t along) const
{
    const TSequenceLayout layout = LayOutSequence(ShownSizes(), Look(*this), along);
    return {layout.Left, layout.Right, layout.Bottom};
}

void TCustomBarPDF417::ShownSymbols(std::vector<TPlacedRows>& placed)
{
    placed.clear();
    const std::span<const TSymbolSize> sizes = ShownSizes();
    std::span<const TPdf417Symbol> symbols = FEncoder.Symbols();
    if (sizes.empty() || symbols.size() != FEncoder.SymbolSizes().size())
        return;
    if (FShownSymbol != AllSymbols) {
        // A symbol whose codewords the list does not reach is not drawn.
        size_t before = 0;
        for (const TSymbolSize size : std::span(FEncoder.SymbolSizes()).first(size_t(FShownSymbol)))
            before += size_t(size.Rows) * size_t(size.Columns);
        if (before >= FEncoder.Codewords().Values().size())
            return;
        symbols = symbols.subspan(size_t(FShownSymbol), 1);
    }
    SetInitValue();
    const int32_t along = (Angle() == _0 || Angle() == _180) ? BmpWidth : BmpHeight;
    const TSequenceLayout layout = LayOutSequence(sizes, Look(*this), along);
    placed.reserve(symbols.size());
    for (size_t k = 0; k < symbols.size(); ++k)
        placed.push_back({&symbols[k], {int32_t(layout.Places[k].X), int32_t(layout.Places[k].Y)}});
}

void TCustomBarPDF417::ShownBars(std::vector<TRect>& bars, std::vector<TRect>* light)
{
    std::vector<TPlacedRows> placed;
    ShownSymbols(placed);
    // Runs alternate bar and space, and every row starts with a bar.
    size_t runs = 0;
    for (const TPlacedRows& symbol : placed)
        runs += symbol.Symbol->Runs.size() + symbol.Symbol->RowStarts.size();
    bars.reserve(runs / 2);
    for (const TPlacedRows& symbol : placed)
        AppendBars(*symbol.Symbol, symbol.At, BarX(), RowHeight(), bars, light);
}

void TCustomBarPDF417::DrawBarCode(TCanvas& canvas)
{
    std::vector<TRect> bars;
    std::vector<TRect> light;
    ShownBars(bars, Transparent() ? nullptr : &light);
    const TQuarterTurn turn{Angle(), RotateOrigin};
    PaintBars(*canvas.Handle(), light, turn, BarBackColor());
    PaintBars(*canvas.Handle(), bars, turn, BarColor());
}

void TCustomBarPDF417::FillBarCode(QImage& image, bool light)
{
    // FillRows writes pixels as they are; a colour the bitmap shows through
    // is blended by a painter instead, as it always was.
    if (BarColor().alpha() < 255 || (light && BarBackColor().alpha() < 255)) {
        std::vector<TRect> bars;
        std::vector<TRect> lightBars;
        ShownBars(bars, light ? &lightBars : nullptr);
        const TQuarterTurn turn{Angle(), RotateOrigin};
        QPainter painter(&image);
        PaintBars(painter, lightBars, turn, BarBackColor());
        PaintBars(painter, bars, turn, BarColor());
        return;
    }
    std::vector<TPlacedRows> placed;
    ShownSymbols(placed);
    FillRows(image, placed, BarX(), RowHeight(), {Angle(), RotateOrigin}, PixelOf(image, BarColor()),
             light ? std::optional(PixelOf(image, BarBackColor())) : std::nullopt);
}

void TCustomBarPDF417::DrawStartRect(TCanvas& canvas, TPoint& p)
{
    DrawBarRect(canvas, p, Pdf417StartPattern);
}

void TCustomBarPDF417::DrawEndRect(TCanvas& canvas, TPoint& p)
{
    DrawBarRect(canvas, p, Pdf417StopPattern);
}

void TCustomBarPDF417::DrawBarRect(TCanvas& canvas, TPoint& p, std::string_view pattern)
{
    // A one-row symbol of this pattern alone; an empty pattern keeps its
    // codeword's place undrawn.
    TPdf417Symbol piece;
    AppendPattern(piece.Runs, pattern);
    piece.RowStarts = {0, piece.Runs.size()};
    std::vector<TRect> bars;
    std::vector<TRect> light;
    AppendBars(piece, p, BarX(), RowHeight(), bars, Transparent() ? nullptr : &light);
    const TQuarterTurn turn{Angle(), RotateOrigin};
    PaintBars(*canvas.Handle(), light, turn, BarBackColor());
    PaintBars(*canvas.Handle(), bars, turn, BarColor());
    for (const TElementRun run : piece.Runs)
        p.x += run.Modules * BarX();
}

void TCustomBarPDF417::DrawRect(TCanvas& canvas, int32_t x, int32_t y, const QColor& color, int32_t modules)
{
    const TRect bar{x, y, x + BarX() * modules, y + RowHeight()};
    PaintBars(*canvas.Handle(), {&bar, 1}, {Angle(), RotateOrigin}, color);
}

TRect TCustomBarPDF417::LessenRect(const TRect& r, int32_t margin)
{
    return {r.Left + margin, r.Top + margin, r.Right - margin, r.Bottom - margin};
}

} // namespace Vandrel
