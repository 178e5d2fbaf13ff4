#pragma once
// TBarCode: the base of every visual barcode control. It owns what all symbols
// share (colours, alignment, quarter-turn rotation, the per-drawing area, the
// printing resolution, transparency) and the image export. It draws nothing
// itself: derived controls override Paint and the three drawing hooks.
#include "core/Enums.h"
#include "core/Export.h"
#include "core/Geometry.h"

#include <QColor>
#include <QWidget>

class QImage;
class QPainter;
class QPaintDevice;

namespace Vandrel {

class VANDREL_EXPORT TBarCode : public QWidget {
    Q_OBJECT
    Q_PROPERTY(Vandrel::TAlignment Alignment READ Alignment WRITE FSetAlignment)
    Q_PROPERTY(Vandrel::TAngleType Angle READ Angle WRITE FSetAngle)
    Q_PROPERTY(QColor BarBackColor READ BarBackColor WRITE FSetBarBackColor)
    Q_PROPERTY(QColor BarColor READ BarColor WRITE FSetBarColor)
    // Physical sizes are floats; forms and Designer store doubles, not floats.
    Q_PROPERTY(double SymbolWidth READ SymbolWidth WRITE FSetSymbolWidth)
    Q_PROPERTY(double SymbolHeight READ SymbolHeight WRITE FSetSymbolHeight)
    Q_PROPERTY(bool Transparent READ FGetTransparent WRITE FSetTransparent)
    Q_PROPERTY(Vandrel::TUnitType UnitType READ UnitType WRITE FSetUnitType)
    Q_PROPERTY(int PrintDPIX MEMBER PrintDPIX)
    Q_PROPERTY(int PrintDPIY MEMBER PrintDPIY)
    // Forms store a property only when it differs from its declared default
    // (package/Published.h); SymbolWidth, SymbolHeight and Transparent have
    // none and are always stored.
    Q_CLASSINFO("default:Alignment", "taCenter")
    Q_CLASSINFO("default:Angle", "_0")
    Q_CLASSINFO("default:BarBackColor", "#ffffff")
    Q_CLASSINFO("default:BarColor", "#000000")
    Q_CLASSINFO("default:UnitType", "Inch")
    Q_CLASSINFO("default:PrintDPIX", "300")
    Q_CLASSINFO("default:PrintDPIY", "300")

public:
    explicit TBarCode(QWidget* owner = nullptr);

    TAlignment Alignment() const { return FAlignment; }
    void FSetAlignment(TAlignment value);
    TAngleType Angle() const { return FAngle; }
    void FSetAngle(TAngleType value);
    QColor BarBackColor() const { return FBarBackColor; }
    void FSetBarBackColor(const QColor& value);
    QColor BarColor() const { return FBarColor; }
    void FSetBarColor(const QColor& value);
    float SymbolWidth() const { return FSymbolWidth; }
    void FSetSymbolWidth(float value);
    float SymbolHeight() const { return FSymbolHeight; }
    void FSetSymbolHeight(float value);
    bool FGetTransparent() const;
    void FSetTransparent(bool value);
    bool Transparent() const { return FGetTransparent(); }
    TUnitType UnitType() const { return FUnitType; }
    void FSetUnitType(TUnitType value);

    int32_t PrintDPIX = 300;
    int32_t PrintDPIY = 300;

    // Per-drawing state, written at the start of every drawing (pixels of the target).
    TPoint AreaOrigin;
    int32_t BmpWidth = 0;
    int32_t BmpHeight = 0;
    int32_t ModuleWidth = 0;
    int32_t BarHeight = 0;

    // P turned by Angle about (0, 0), then moved by T.
    TPoint GetRotatePoint(TPoint p, TPoint t) const;
    // R turned by Angle and moved by T, kept normalised.
    void GetRotateRect(TRect& r, TPoint t) const;

    static int32_t GetPixPerInchSX(const QPaintDevice* dc);
    static int32_t GetPixPerInchSY(const QPaintDevice* dc);
    static int32_t GetPixPerMMSX(const QPaintDevice* dc);
    static int32_t GetPixPerMMSY(const QPaintDevice* dc);

    void CalcuBmpSize();

    // Draw the symbol into a bitmap that the hook sizes itself.
    virtual void CreateBMP(QImage& bmp);
    // Draw the symbol on a painter with the drawing area's top-left at p.
    virtual void Print(QPainter* dc, TPoint p);
    // Draw offscreen at the drawing-area size and copy the picture to p.
    virtual void Internalprint(QPainter* dc, TPoint p);

    void CopyToClipboard();
    void SaveToJpg(const QString& fileName);
    void SaveToEmf(const QString& fileName);
    // The file SaveToEmf writes for `fileName`: the name cut after its first
    // "." (or given one) and ending in "EMF".
    static QString EmfFileName(const QString& fileName);
    // Whether files can be created in the directory `path` (which ends in a
    // separator, or is empty for the current directory). Tells the user when not.
    bool CheckFilePath(const QString& path);

    // Schedules a repaint; every request is announced through invalidated().
    void Invalidate();

Q_SIGNALS:
    void invalidated();

protected:
    // Draws the current symbol over the whole client area; only valid while
    // PaintDC() is set, that is from inside paintEvent.
    virtual void Paint() {}
    QPainter* PaintDC() const { return FPaintDC; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TAlignment FAlignment = taCenter;
    TAngleType FAngle = _0;
    QColor FBarBackColor = Qt::white;
    QColor FBarColor = Qt::black;
    float FSymbolWidth = 0;
    float FSymbolHeight = 0;
    TUnitType FUnitType = Inch;
    QPainter* FPaintDC = nullptr;
};

// A new bitmap of the given size, white until something is drawn on it.
VANDREL_EXPORT QImage NewBitmap(int32_t width, int32_t height);

} // namespace Vandrel
