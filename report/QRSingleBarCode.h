#pragma once
// The linear barcode elements of a band report. Each owns an invisible
// TSingleBarCode, mirrors its properties and has it draw: on the element in
// the designer, on the page at the printer's resolution when the report runs.
#include "core/DataAware.h"
#include "core/Export.h"
#include "linear/SingleBarcode.h"
#include "platform/Font.h"
#include "report/Printable.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <memory>
#include <string>

namespace Vandrel {

class VANDREL_EXPORT TCustomQRSingleBarCode : public TQRPrintable {
    Q_OBJECT
    Q_PROPERTY(Vandrel::TAngleType Angle READ Angle WRITE FSetAngle)
    Q_PROPERTY(Vandrel::TAlignment Alignment READ Alignment WRITE FSetAlignment)
    Q_PROPERTY(QColor BarBackColor READ BarBackColor WRITE FSetBarBackColor)
    Q_PROPERTY(QColor BarColor READ BarColor WRITE FSetBarColor)
    Q_PROPERTY(Vandrel::TBarType BarType READ BarType WRITE FSetBarType)
    // The value is a byte string; Designer edits it as Latin-1 text.
    Q_PROPERTY(QString BarValue READ BarValueText WRITE SetBarValueText)
    Q_PROPERTY(QFont Font READ FontAsQFont WRITE SetFontFromQFont)
    Q_PROPERTY(bool ShowText READ ShowText WRITE FSetShowText)
    Q_PROPERTY(bool Transparent READ Transparent WRITE FSetTransparent)
    // BarType has no declared default: always stored.
    Q_CLASSINFO("default:Angle", "_0")
    Q_CLASSINFO("default:Alignment", "taCenter")
    Q_CLASSINFO("default:BarBackColor", "#ffffff")
    Q_CLASSINFO("default:BarColor", "#000000")
    Q_CLASSINFO("default:ShowText", "true")
    Q_CLASSINFO("default:Transparent", "false")

public:
    explicit TCustomQRSingleBarCode(QWidget* parent = nullptr);
    ~TCustomQRSingleBarCode() override;

    // Owned, never shown.
    TSingleBarCode* BarCodeControl() const { return FBarCodeControl.get(); }

    TBarType BarType() const { return FBarType; }
    void FSetBarType(TBarType value);
    const std::string& BarValue() const { return FBarValue; }
    void FSetBarValue(const std::string& value);
    QString BarValueText() const;
    void SetBarValueText(const QString& value);
    TAngleType Angle() const { return FAngle; }
    void FSetAngle(TAngleType value);
    QColor BarBackColor() const { return FBarBackColor; }
    void FSetBarBackColor(const QColor& value);
    QColor BarColor() const { return FBarColor; }
    void FSetBarColor(const QColor& value);
    TAlignment Alignment() const { return FAlignment; }
    void FSetAlignment(TAlignment value);
    // The wrapper's own font. Its attributes reach the control whenever the
    // control draws, so changes made in place are honoured too.
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    void FSetFont(const TFont& value);
    QFont FontAsQFont() const { return FFont.ToQFont(); }
    void SetFontFromQFont(const QFont& value);
    bool Transparent() const { return FTransparent; }
    void FSetTransparent(bool value);
    bool ShowText() const { return FShowText; }
    void FSetShowText(bool value);

    // Draws the symbol on the run's page at the element's place, at the
    // printer's resolution, opaque, then the frame. EReportError when the
    // symbol does not fit the element there (it would print cut or blank).
    void Print(double X, double Y) override;
    // Why the element cannot print its current value in the current run, or
    // an empty string: what Print would refuse, asked before the band prints.
    QString PrintProblem();

protected:
    void Paint() override;
    void SizeChanged() override;

private:
    // Sets the control up for drawing on `page` pixels of the run's page;
    // why the symbol cannot be drawn there, or an empty string.
    QString PrepareForPage(QSize page);

    std::unique_ptr<TSingleBarCode> FBarCodeControl;
    TBarType FBarType = Inter2_5;
    std::string FBarValue;
    TAngleType FAngle = _0;
    QColor FBarBackColor = Qt::white;
    QColor FBarColor = Qt::black;
    TAlignment FAlignment = taCenter;
    TFont FFont;
    bool FTransparent = false;
    bool FShowText = true;
};

class VANDREL_EXPORT TQRSingleBarCode : public TCustomQRSingleBarCode {
    Q_OBJECT

public:
    using TCustomQRSingleBarCode::TCustomQRSingleBarCode;
};

// Takes BarValue from a field of the current record.
class VANDREL_EXPORT TDBQRSingleBarCode : public TCustomQRSingleBarCode, public TDataAware {
    Q_OBJECT
    // The value comes from the field: neither edited in Designer nor stored.
    Q_PROPERTY(QString BarValue READ BarValueText DESIGNABLE false STORED false)
    Q_PROPERTY(QString DataField READ GetDataField WRITE SetDataField)
    // A reference to another object, which a form file cannot hold: set in code.
    Q_PROPERTY(Vandrel::TDataSource* DataSource READ GetDataSource WRITE SetDataSource STORED false)

public:
    explicit TDBQRSingleBarCode(QWidget* parent = nullptr);
};

} // namespace Vandrel
