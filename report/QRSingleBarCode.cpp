#include "report/QRSingleBarCode.h"

#include "report/ControlOnPage.h"
#include "report/QuickRep.h"

#include <QRect>

#include <algorithm>
#include <cmath>

namespace Vandrel {

namespace {

// A setter's one pattern: an unchanged value reaches neither the control nor
// the screen.
template <typename Field, typename Setter>
void Mirror(TQRPrintable& element, TSingleBarCode& control, Field& field, const Field& value, Setter set)
{
    if (value == field)
        return;
    field = value;
    (control.*set)(value);
    element.Invalidate();
}

// What a report run changes on the control for the page. The designer's
// size, font and transparency come back on every way out of Print, so the
// designer shows the element as it did before the run.
class TDesignState {
public:
    explicit TDesignState(TSingleBarCode& control)
        : FControl(control), FSize(control.size()), FFont(control.Font()), FTransparent(control.Transparent())
    {
    }
    ~TDesignState()
    {
        FControl.resize(FSize);
        FControl.Font() = FFont;
        FControl.FSetTransparent(FTransparent);
    }
    TDesignState(const TDesignState&) = delete;
    TDesignState& operator=(const TDesignState&) = delete;

private:
    TSingleBarCode& FControl;
    QSize FSize;
    TFont FFont;
    bool FTransparent;
};

// Font heights are design pixels; on the page the text keeps its height on
// paper. The height keeps its sign (negative means a pixel height).
TFont PrintedFont(TFont font, double scale)
{
    constexpr double Largest = 1 << 20;
    font.Height = int32_t(std::nearbyint(std::clamp(font.Height * scale, -Largest, Largest)));
    return font;
}

// A symbol the element cannot hold would print without bars (modules of no
// width) or without room for them across; that must not pass unnoticed in a
// run of many pages. A value the symbology refuses (no modules) is left to
// the control, which hatches the area.
QString FitProblem(const TSingleBarCode& control, QSize page, const TQRPrinter& printer)
{
    const int32_t modules = control.SymbolModules();
    if (modules == 0)
        return QString();
    const bool upright = control.Angle() == _90 || control.Angle() == _270;
    const int along = upright ? page.height() : page.width();
    const int across = upright ? page.width() : page.height();
    if (along < modules)
        return QStringLiteral("The linear barcode element is too short for its symbol at %1 dpi: its %2 modules "
                              "need at least %2 pixels along it, the element gives %3")
            .arg(upright ? printer.PixelsPerInchY() : printer.PixelsPerInchX())
            .arg(modules)
            .arg(along);
    if (const int32_t least = control.ExtentAcrossFor(1); across < least)
        return QStringLiteral("The linear barcode element is too narrow for its bars and text at %1 dpi: they "
                              "need at least %2 pixels across the symbol, the element gives %3")
            .arg(upright ? printer.PixelsPerInchX() : printer.PixelsPerInchY())
            .arg(least)
            .arg(across);
    return QString();
}

} // namespace

TCustomQRSingleBarCode::TCustomQRSingleBarCode(QWidget* parent)
    : TQRPrintable(parent), FBarCodeControl(std::make_unique<TSingleBarCode>())
{
    resize(65, 40);
    FBarCodeControl->resize(size());
    FBarCodeControl->FSetAlignment(taCenter);
    FBarCodeControl->FSetShowText(FShowText);
    FBarValue = FBarCodeControl->BarValue();
}

TCustomQRSingleBarCode::~TCustomQRSingleBarCode() = default;

void TCustomQRSingleBarCode::FSetBarType(TBarType value)
{
    Mirror(*this, *FBarCodeControl, FBarType, value, &TSingleBarCode::FSetBarType);
}

void TCustomQRSingleBarCode::FSetBarValue(const std::string& value)
{
    Mirror(*this, *FBarCodeControl, FBarValue, value, &TSingleBarCode::FSetBarValue);
}

QString TCustomQRSingleBarCode::BarValueText() const
{
    return QString::fromLatin1(FBarValue.data(), qsizetype(FBarValue.size()));
}

void TCustomQRSingleBarCode::SetBarValueText(const QString& value)
{
    FSetBarValue(value.toLatin1().toStdString());
}

void TCustomQRSingleBarCode::FSetAngle(TAngleType value)
{
    Mirror(*this, *FBarCodeControl, FAngle, value, &TSingleBarCode::FSetAngle);
}

void TCustomQRSingleBarCode::FSetBarBackColor(const QColor& value)
{
    Mirror(*this, *FBarCodeControl, FBarBackColor, value, &TSingleBarCode::FSetBarBackColor);
}

void TCustomQRSingleBarCode::FSetBarColor(const QColor& value)
{
    Mirror(*this, *FBarCodeControl, FBarColor, value, &TSingleBarCode::FSetBarColor);
}

void TCustomQRSingleBarCode::FSetAlignment(TAlignment value)
{
    Mirror(*this, *FBarCodeControl, FAlignment, value, &TSingleBarCode::FSetAlignment);
}

void TCustomQRSingleBarCode::FSetFont(const TFont& value)
{
    Mirror(*this, *FBarCodeControl, FFont, value, &TSingleBarCode::FSetFont);
}

void TCustomQRSingleBarCode::SetFontFromQFont(const QFont& value)
{
    FSetFont(TFont::FromQFont(value, FFont.Color));
}

void TCustomQRSingleBarCode::FSetTransparent(bool value)
{
    Mirror(*this, *FBarCodeControl, FTransparent, value, &TSingleBarCode::FSetTransparent);
}

void TCustomQRSingleBarCode::FSetShowText(bool value)
{
    Mirror(*this, *FBarCodeControl, FShowText, value, &TSingleBarCode::FSetShowText);
}

// The control draws the designer's picture with the element's font as it is
// now, so that changes made to Font() in place show as well.
void TCustomQRSingleBarCode::Paint()
{
    FBarCodeControl->FSetTransparent(FTransparent);
    FBarCodeControl->Font() = FFont;
    FBarCodeControl->Internalprint(Canvas(), {0, 0});
    TQRPrintable::Paint();
}

// The control draws at the printer's resolution, on the element's place on
// the page: module widths come from the page's pixels, and the font's design
// pixels are scaled to keep their size on paper. Printed symbols are opaque,
// whatever the element shows in the designer; the frame is drawn over them.
void TCustomQRSingleBarCode::Print(double X, double Y)
{
    const TDesignState restore(*FBarCodeControl);
    PrintControl(*this, *FBarCodeControl, X, Y, [this](QSize page) { return PrepareForPage(page); });
}

QString TCustomQRSingleBarCode::PrintProblem()
{
    const TDesignState restore(*FBarCodeControl);
    return PrepareForPage(PageRect(0, 0).size());
}

QString TCustomQRSingleBarCode::PrepareForPage(QSize page)
{
    const TQRPrinter& printer = *QRPrinter();
    const bool upright = FAngle == _90 || FAngle == _270;
    TSingleBarCode& control = *FBarCodeControl;
    control.resize(page);
    control.Font() = PrintedFont(FFont, upright ? printer.ScaleX() : printer.ScaleY());
    control.FSetTransparent(false);
    return FitProblem(control, page, printer);
}

// The symbol's size follows the element's, in the report's own units.
void TCustomQRSingleBarCode::SizeChanged()
{
    FollowSize(*this, *FBarCodeControl);
}

TDBQRSingleBarCode::TDBQRSingleBarCode(QWidget* parent)
    : TCustomQRSingleBarCode(parent),
      TDataAware(
          this, [this](const QString& text) { SetBarValueText(text); }, [this] { Invalidate(); })
{
}

} // namespace Vandrel
