#include "report/QRPDF417.h"

#include "report/ControlOnPage.h"
#include "report/QuickRep.h"

#include <QRect>

#include <algorithm>
#include <cmath>

namespace Vandrel {

namespace {

// A setter's one pattern: an unchanged value reaches neither the control nor
// the screen. The element then keeps what the control kept, so a value the
// control refuses (with its message, or its error passing on) leaves both
// at the old one. True when the value changed.
template <typename Field, typename Value, typename Setter, typename Getter>
bool Mirror(TQRPrintable& element, TBarPDF417& control, Field& field, const Value& value, Setter set, Getter get)
{
    if (value == field)
        return false;
    (control.*set)(value);
    const auto kept = static_cast<Field>((control.*get)());
    if (kept == field)
        return false;
    field = kept;
    element.Invalidate();
    return true;
}

// What a report run changes on the control for the page. The designer's
// size, module width, row height and transparency come back on every way
// out of Print. Nothing is encoded here, since a destructor must not throw:
// the control encodes afresh whenever it draws.
class TDesignState {
public:
    explicit TDesignState(TBarPDF417& control)
        : FControl(control), FSize(control.size()), FBarX(control.BarX()), FAspect(control.Aspect()),
          FTransparent(control.Transparent())
    {
    }
    ~TDesignState()
    {
        FControl.resize(FSize);
        FControl.Encoder().SetBarX(FBarX);
        // The control accepted this Aspect before, so it cannot raise now.
        FControl.Encoder().SetAspect(FAspect);
        FControl.FSetTransparent(FTransparent);
        FControl.Invalidate();
    }
    TDesignState(const TDesignState&) = delete;
    TDesignState& operator=(const TDesignState&) = delete;

private:
    TBarPDF417& FControl;
    QSize FSize;
    int32_t FBarX;
    float FAspect;
    bool FTransparent;
};

// BarX is in design pixels; on the page a module keeps its width on paper,
// and never narrows to nothing.
int32_t PrintedBarX(int32_t barX, double scale)
{
    constexpr double Largest = 1 << 20;
    return int32_t(std::nearbyint(std::clamp(barX * scale, 1.0, Largest)));
}

// A symbol larger than the element would print cut at the element's edges,
// into its neighbours; that must not pass unnoticed in a run of many pages.
QString FitProblem(const TBarPDF417& control, QSize page, const TQRPrinter& printer)
{
    const bool upright = control.Angle() == _90 || control.Angle() == _270;
    const int along = upright ? page.height() : page.width();
    const int across = upright ? page.width() : page.height();
    const TCustomBarPDF417::TDrawingExtent extent = control.DrawingExtent(along);
    if (extent.Left >= 0 && extent.Right <= along && extent.Bottom <= across)
        return QString();
    const int64_t length = extent.Right - extent.Left;
    return QStringLiteral("The PDF417 element is too small for its symbol at %1 x %2 dpi: the symbol needs %3 x %4 "
                          "pixels, the element gives %5 x %6")
        .arg(printer.PixelsPerInchX())
        .arg(printer.PixelsPerInchY())
        .arg(upright ? extent.Bottom : length)
        .arg(upright ? length : extent.Bottom)
        .arg(page.width())
        .arg(page.height());
}

QString Latin1(const std::string& s)
{
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

} // namespace

TCustomQRPDF417::TCustomQRPDF417(QWidget* parent)
    : TQRPrintable(parent), FBarCodeControl(std::make_unique<TBarPDF417>())
{
    resize(120, 40);
    FBarCodeControl->resize(size());
    FBarCodeControl->FSetAlignment(taCenter);
    FBarCodeControl->FSetBarColor(FBarColor);
    FBarCodeControl->FSetBarBackColor(FBarBackColor);
    FBarCodeControl->FSetCodeMode(FCodeMode);
    FSetBarValue("PDF417");
}

TCustomQRPDF417::~TCustomQRPDF417() = default;

void TCustomQRPDF417::FSetBarValue(const std::string& value)
{
    Mirror(*this, *FBarCodeControl, FBarValue, value, &TBarPDF417::FSetBarValue, &TBarPDF417::BarValue);
}

QString TCustomQRPDF417::BarValueText() const
{
    return Latin1(FBarValue);
}

void TCustomQRPDF417::SetBarValueText(const QString& value)
{
    FSetBarValue(value.toLatin1().toStdString());
}

void TCustomQRPDF417::FSetAngle(TAngleType value)
{
    Mirror(*this, *FBarCodeControl, FAngle, value, &TBarPDF417::FSetAngle, &TBarPDF417::Angle);
}

void TCustomQRPDF417::FSetBarBackColor(const QColor& value)
{
    Mirror(*this, *FBarCodeControl, FBarBackColor, value, &TBarPDF417::FSetBarBackColor, &TBarPDF417::BarBackColor);
}

void TCustomQRPDF417::FSetBarColor(const QColor& value)
{
    Mirror(*this, *FBarCodeControl, FBarColor, value, &TBarPDF417::FSetBarColor, &TBarPDF417::BarColor);
}

void TCustomQRPDF417::FSetAlignment(TAlignment value)
{
    Mirror(*this, *FBarCodeControl, FAlignment, value, &TBarPDF417::FSetAlignment, &TBarPDF417::Alignment);
}

void TCustomQRPDF417::FSetTransparent(bool value)
{
    Mirror(*this, *FBarCodeControl, FTransparent, value, &TBarPDF417::FSetTransparent, &TBarPDF417::Transparent);
}

void TCustomQRPDF417::FSetErrorLevel(TErrorLevel value)
{
    Mirror(*this, *FBarCodeControl, FErrorLevel, value, &TBarPDF417::FSetErrorLevel, &TBarPDF417::ErrorLevel);
}

void TCustomQRPDF417::FSetDataColumn(int value)
{
    Mirror(*this, *FBarCodeControl, FDataColumn, value, &TBarPDF417::FSetDataColumn, &TBarPDF417::DataColumn);
}

void TCustomQRPDF417::FSetDataRow(int value)
{
    Mirror(*this, *FBarCodeControl, FDataRow, value, &TBarPDF417::FSetDataRow, &TBarPDF417::DataRow);
}

void TCustomQRPDF417::FSetPDFType(TPDFType value)
{
    Mirror(*this, *FBarCodeControl, FPDFType, value, &TBarPDF417::FSetPDFType, &TBarPDF417::PDFType);
}

void TCustomQRPDF417::FSetCodeMode(TCodeMode value)
{
    Mirror(*this, *FBarCodeControl, FCodeMode, value, &TBarPDF417::FSetCodeMode, &TBarPDF417::CodeMode);
}

void TCustomQRPDF417::FSetAspect(float value)
{
    Mirror(*this, *FBarCodeControl, FAspect, value, &TBarPDF417::FSetAspect, &TBarPDF417::Aspect);
}

void TCustomQRPDF417::FSetIsEncrypt(bool value)
{
    Mirror(*this, *FBarCodeControl, FIsEncrypt, value, &TBarPDF417::FSetIsEncrypt, &TBarPDF417::IsEncrypt);
}

void TCustomQRPDF417::FSetPassword(const std::string& value)
{
    Mirror(*this, *FBarCodeControl, FPassword, value, &TBarPDF417::FSetPassword, &TBarPDF417::Password);
}

QString TCustomQRPDF417::PasswordText() const
{
    return Latin1(FPassword);
}

void TCustomQRPDF417::SetPasswordText(const QString& value)
{
    FSetPassword(value.toLatin1().toStdString());
}

// The control keeps its row height until Aspect is set again; setting it
// keeps the rows Aspect module widths high, as the property promises, on
// screen and at the printer's module width alike.
void TCustomQRPDF417::FSetBarX(int32_t value)
{
    if (Mirror(*this, *FBarCodeControl, FBarX, value, &TBarPDF417::FSetBarX, &TBarPDF417::BarX))
        FBarCodeControl->FSetAspect(FAspect);
}

void TCustomQRPDF417::Paint()
{
    FBarCodeControl->resize(size());
    FBarCodeControl->FSetTransparent(FTransparent);
    FBarCodeControl->Internalprint(Canvas(), {0, 0});
    TQRPrintable::Paint();
}

// The control draws at the printer's resolution, on the element's place on
// the page: BarX, in design pixels, is scaled to keep the module's width on
// paper, and the symbol is encoded for the page's area. Printed symbols are
// opaque, whatever the element shows in the designer; the frame is drawn
// over them.
void TCustomQRPDF417::Print(double X, double Y)
{
    const TDesignState restore(*FBarCodeControl);
    PrintControl(*this, *FBarCodeControl, X, Y, [this](QSize page) { return PrepareForPage(page); });
}

QString TCustomQRPDF417::PrintProblem()
{
    const TDesignState restore(*FBarCodeControl);
    return PrepareForPage(PageRect(0, 0).size());
}

QString TCustomQRPDF417::PrepareForPage(QSize page)
{
    const TQRPrinter& printer = *QRPrinter();
    const bool upright = FAngle == _90 || FAngle == _270;
    TBarPDF417& control = *FBarCodeControl;
    control.resize(page);
    control.FSetTransparent(false);
    // Through the encoder, whose control setters would encode after each
    // change: the fit is checked against one encoding, for the page's area.
    control.Encoder().SetBarX(PrintedBarX(FBarX, upright ? printer.ScaleY() : printer.ScaleX()));
    control.Encoder().SetAspect(FAspect);
    control.ShowBarCode();
    return FitProblem(control, page, printer);
}

// The symbol's size follows the element's, in the report's own units.
void TCustomQRPDF417::SizeChanged()
{
    FollowSize(*this, *FBarCodeControl);
}

TDBQRPDF417::TDBQRPDF417(QWidget* parent)
    : TCustomQRPDF417(parent),
      // Every record change repaints, also when the record holds the value shown.
      TDataAware(
          this,
          [this](const QString& text) {
              SetBarValueText(text);
              Invalidate();
          },
          [this] { Invalidate(); })
{
}

} // namespace Vandrel
