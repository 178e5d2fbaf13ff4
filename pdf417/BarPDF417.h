#pragma once
// The PDF417 controls: TCustomBarPDF417 owns an encoder, re-encodes when a
// property that shapes the codewords changes, and draws the codeword list row
// by row at any quarter turn; TBarPDF417 is the published control
// (TDBBarPDF417, in DBBarPDF417.h, takes its value from a database field).
#include "core/BarCode.h"
#include "core/Export.h"
#include "pdf417/Encoder.h"

#include <QString>

#include <span>
#include <string>
#include <vector>

namespace Vandrel {

class TCanvas;
struct TPlacedRows;

class VANDREL_EXPORT TCustomBarPDF417 : public TBarCode {
    Q_OBJECT
    // A float; forms and Designer store doubles, not floats.
    Q_PROPERTY(double Aspect READ Aspect WRITE FSetAspect)
    Q_PROPERTY(int BarX READ BarX WRITE FSetBarX)
    // The value is a byte string; Designer edits it as Latin-1 text.
    Q_PROPERTY(QString BarValue READ BarValueText WRITE SetBarValueText)
    Q_PROPERTY(Vandrel::TCodeMode CodeMode READ CodeMode WRITE FSetCodeMode)
    Q_PROPERTY(int DataColumn READ DataColumn WRITE FSetDataColumn)
    Q_PROPERTY(int DataRow READ DataRow WRITE FSetDataRow)
    Q_PROPERTY(Vandrel::TErrorLevel ErrorLevel READ ErrorLevel WRITE FSetErrorLevel)
    Q_PROPERTY(bool IsEncrypt READ IsEncrypt WRITE FSetIsEncrypt)
    Q_PROPERTY(Vandrel::TPDFType PDFType READ PDFType WRITE FSetPDFType)
    Q_PROPERTY(QString Password READ PasswordText WRITE SetPasswordText)
    // Aspect, BarX and CodeMode have no declared default: always stored.
    Q_CLASSINFO("default:DataColumn", "3")
    Q_CLASSINFO("default:DataRow", "0")
    Q_CLASSINFO("default:ErrorLevel", "Level1")
    Q_CLASSINFO("default:IsEncrypt", "false")
    Q_CLASSINFO("default:PDFType", "Normal")

public:
    explicit TCustomBarPDF417(QWidget* owner = nullptr);

    float Aspect() const { return FEncoder.Aspect(); }
    void FSetAspect(float value);
    int32_t BarX() const { return FEncoder.BarX(); }
    void FSetBarX(int32_t value);
    int32_t RowHeight() const { return FEncoder.RowHeight(); }
    const std::string& BarValue() const { return FEncoder.BarValue(); }
    void FSetBarValue(const std::string& value);
    TCodeMode CodeMode() const { return FEncoder.CodeMode(); }
    void FSetCodeMode(TCodeMode value);
    int DataColumn() const { return FEncoder.DataColumn(); }
    void FSetDataColumn(int value);
    int DataRow() const { return FEncoder.DataRow(); }
    void FSetDataRow(int value);
    TErrorLevel ErrorLevel() const { return FEncoder.ErrorLevel(); }
    void FSetErrorLevel(TErrorLevel value);
    bool IsEncrypt() const { return FEncoder.IsEncrypt(); }
    void FSetIsEncrypt(bool value);
    TPDFType PDFType() const { return FEncoder.PDFType(); }
    void FSetPDFType(TPDFType value);
    const std::string& Password() const { return FEncoder.Password(); }
    void FSetPassword(const std::string& value);

    QString BarValueText() const;
    void SetBarValueText(const QString& value);
    QString PasswordText() const;
    void SetPasswordText(const QString& value);

    // The encoding state: value streams, codeword list, symbol sizes.
    TPdf417Encoder& Encoder() { return FEncoder; }
    const TPdf417Encoder& Encoder() const { return FEncoder; }
    TMemoryStream& DataStream() const { return FEncoder.DataStream(); }
    void AppendStream(const TMemoryStream& stream) { FEncoder.AppendStream(stream); }
    void AppendString(std::string_view s) { FEncoder.AppendString(s); }
    void ClearData() { FEncoder.ClearData(); }

    // Re-encodes DataStream for the control's size and repaints.
    void ShowBarCode();
    void Refresh() { Invalidate(); }

    // Draws into `bmp`, the caller's own pixels when it already is a bitmap
    // of the drawing's size and format that nothing shares, so that drawing
    // again into the same QImage allocates nothing.
    void CreateBMP(QImage& bmp) override;
    void Print(QPainter* dc, TPoint p) override;
    void Internalprint(QPainter* dc, TPoint p) override;

    // Draws the codeword list: rows of start pattern, left row indicator,
    // data codewords in the row's cluster, right row indicator and stop
    // pattern (or one closing bar for the truncated kinds).
    void DrawBarCode(TCanvas& canvas);
    void SetInitValue();
    void DrawStartRect(TCanvas& canvas, TPoint& p);
    void DrawEndRect(TCanvas& canvas, TPoint& p);
    // Draws a width pattern (bar first) at p and moves p past it.
    void DrawBarRect(TCanvas& canvas, TPoint& p, std::string_view pattern);
    void DrawRect(TCanvas& canvas, int32_t x, int32_t y, const QColor& color, int32_t modules);

    // DrawBarCode draws every symbol of a sequence (AllSymbols), or only the
    // one of this 0-based index, alone as if the sequence held only it: one
    // picture per symbol keeps a long sequence drawable.
    static constexpr int32_t AllSymbols = -1;
    int32_t ShownSymbol() const { return FShownSymbol; }
    void SetShownSymbol(int32_t index);

    // What DrawBarCode covers of an area `along` pixels long (its width, its
    // height at 90 and 270 degrees), unturned: from Left to Right along the
    // rows, Left below 0 where the aligned line starts before the area, and
    // from 0 to Bottom across them, the 2-module margin included. An area
    // too short for one symbol gets one symbol per line. In 64 bits, so that
    // a size too large to draw can be refused before anything is drawn.
    struct TDrawingExtent {
        int64_t Left = 0;
        int64_t Right = 0;
        int64_t Bottom = 0;
    };
    TDrawingExtent DrawingExtent(int64_t along) const;

    static TRect LessenRect(const TRect& r, int32_t margin);
    void ChangeX() {}

    // The screen point the symbol frame's origin maps to.
    TPoint RotateOrigin;

protected:
    void Paint() override;

private:
    void Encode();
    std::span<const TSymbolSize> ShownSizes() const;
    // The shown symbols placed for the drawing area in the unturned frame,
    // RotateOrigin set for it.
    void ShownSymbols(std::vector<TPlacedRows>& placed);
    // The same as bars; with `light`, also each row's background.
    void ShownBars(std::vector<TRect>& bars, std::vector<TRect>* light);
    // Draws straight into an axis-aligned bitmap, with each row's background
    // when `light`.
    void FillBarCode(QImage& image, bool light);

    TPdf417Encoder FEncoder;
    int32_t FShownSymbol = AllSymbols;
};

// The published PDF417 control.
class VANDREL_EXPORT TBarPDF417 : public TCustomBarPDF417 {
    Q_OBJECT

public:
    using TCustomBarPDF417::TCustomBarPDF417;
};

} // namespace Vandrel

// Forms saved before TDBBarPDF417 had a header of its own name this one for it.
#include "pdf417/DBBarPDF417.h"
