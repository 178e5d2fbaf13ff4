#pragma once
// The PDF417 elements of a band report. Each owns an invisible TBarPDF417,
// mirrors its properties and has it draw: on the element in the designer,
// on the page at the printer's resolution when the report runs.
#include "core/DataAware.h"
#include "core/Export.h"
#include "pdf417/BarPDF417.h"
#include "report/Printable.h"

#include <QColor>
#include <QString>

#include <memory>
#include <string>

namespace Vandrel {

class VANDREL_EXPORT TCustomQRPDF417 : public TQRPrintable {
    Q_OBJECT
    Q_PROPERTY(Vandrel::TAngleType Angle READ Angle WRITE FSetAngle)
    // A float; forms and Designer store doubles, not floats.
    Q_PROPERTY(double Aspect READ Aspect WRITE FSetAspect)
    Q_PROPERTY(Vandrel::TAlignment Alignment READ Alignment WRITE FSetAlignment)
    Q_PROPERTY(QColor BarBackColor READ BarBackColor WRITE FSetBarBackColor)
    Q_PROPERTY(QColor BarColor READ BarColor WRITE FSetBarColor)
    Q_PROPERTY(QString BarValue READ BarValueText WRITE SetBarValueText)
    Q_PROPERTY(int BarX READ BarX WRITE FSetBarX)
    Q_PROPERTY(Vandrel::TCodeMode CodeMode READ CodeMode WRITE FSetCodeMode)
    Q_PROPERTY(int DataColumn READ DataColumn WRITE FSetDataColumn)
    Q_PROPERTY(int DataRow READ DataRow WRITE FSetDataRow)
    Q_PROPERTY(Vandrel::TErrorLevel ErrorLevel READ ErrorLevel WRITE FSetErrorLevel)
    Q_PROPERTY(bool IsEncrypt READ IsEncrypt WRITE FSetIsEncrypt)
    Q_PROPERTY(Vandrel::TPDFType PDFType READ PDFType WRITE FSetPDFType)
    Q_PROPERTY(QString Password READ PasswordText WRITE SetPasswordText)
    Q_PROPERTY(bool Transparent READ Transparent WRITE FSetTransparent)
    // Aspect, BarX and CodeMode have no declared default: always stored.
    Q_CLASSINFO("default:Angle", "_0")
    Q_CLASSINFO("default:Alignment", "taCenter")
    Q_CLASSINFO("default:BarBackColor", "#ffffff")
    Q_CLASSINFO("default:BarColor", "#000000")
    Q_CLASSINFO("default:DataColumn", "3")
    Q_CLASSINFO("default:DataRow", "0")
    Q_CLASSINFO("default:ErrorLevel", "Level1")
    Q_CLASSINFO("default:IsEncrypt", "false")
    Q_CLASSINFO("default:PDFType", "Normal")
    Q_CLASSINFO("default:Transparent", "false")

public:
    explicit TCustomQRPDF417(QWidget* parent = nullptr);
    ~TCustomQRPDF417() override;

    // Owned, never shown.
    TBarPDF417* BarCodeControl() const { return FBarCodeControl.get(); }

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
    bool Transparent() const { return FTransparent; }
    void FSetTransparent(bool value);
    TErrorLevel ErrorLevel() const { return FErrorLevel; }
    void FSetErrorLevel(TErrorLevel value);
    // A value the control refuses (DataColumn above 30, Aspect below 3.0)
    // leaves both at the value the control kept; the control's message or
    // error still reaches the caller.
    int DataColumn() const { return FDataColumn; }
    void FSetDataColumn(int value);
    int DataRow() const { return FDataRow; }
    void FSetDataRow(int value);
    TPDFType PDFType() const { return FPDFType; }
    void FSetPDFType(TPDFType value);
    TCodeMode CodeMode() const { return FCodeMode; }
    void FSetCodeMode(TCodeMode value);
    float Aspect() const { return FAspect; }
    void FSetAspect(float value);
    bool IsEncrypt() const { return FIsEncrypt; }
    void FSetIsEncrypt(bool value);
    const std::string& Password() const { return FPassword; }
    void FSetPassword(const std::string& value);
    QString PasswordText() const;
    void SetPasswordText(const QString& value);
    // The module width in design pixels; printed at the printer's resolution
    // it covers the same length on paper.
    int32_t BarX() const { return FBarX; }
    void FSetBarX(int32_t value);

    // Draws the symbol on the run's page at the element's place, at the
    // printer's resolution, opaque, then the frame. EReportError when the
    // symbol does not fit the element there (it would print cut).
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

    std::unique_ptr<TBarPDF417> FBarCodeControl;
    std::string FBarValue;
    TAngleType FAngle = _0;
    QColor FBarBackColor = Qt::white;
    QColor FBarColor = Qt::black;
    TAlignment FAlignment = taCenter;
    bool FTransparent = false;
    TErrorLevel FErrorLevel = Level1;
    uint8_t FDataColumn = 3;
    uint8_t FDataRow = 0;
    TPDFType FPDFType = Normal;
    TCodeMode FCodeMode = tMode;
    float FAspect = 3.0f;
    bool FIsEncrypt = false;
    std::string FPassword;
    int32_t FBarX = 2;
};

class VANDREL_EXPORT TQRPDF417 : public TCustomQRPDF417 {
    Q_OBJECT

public:
    using TCustomQRPDF417::TCustomQRPDF417;
};

// Takes BarValue from a field of the current record.
class VANDREL_EXPORT TDBQRPDF417 : public TCustomQRPDF417, public TDataAware {
    Q_OBJECT
    // The value comes from the field: neither edited in Designer nor stored.
    Q_PROPERTY(QString BarValue READ BarValueText DESIGNABLE false STORED false)
    Q_PROPERTY(QString DataField READ GetDataField WRITE SetDataField)
    // A reference to another object, which a form file cannot hold: set in code.
    Q_PROPERTY(Vandrel::TDataSource* DataSource READ GetDataSource WRITE SetDataSource STORED false)

public:
    explicit TDBQRPDF417(QWidget* parent = nullptr);
};

} // namespace Vandrel
