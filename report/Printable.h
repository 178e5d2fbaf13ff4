#pragma once
// TQRPrintable: an element of a band report. It is a widget on a band, so a
// designer shows and moves it, and its place and size are kept in report
// units, so a report prints it at the same place on the sheet whatever the
// printer's resolution. The report calls Print once per band instance.
#include "core/Export.h"

#include <QColor>
#include <QWidget>

#include <array>

class QPainter;

namespace Vandrel {

class TQRBand;
class TQRPrinter;
class TQRPrintable;
class TQuickRep;

// The designer shows a report at 96 pixels per inch, Qt's logical screen
// resolution; design pixels convert to millimetres and back at this rate.
constexpr double DesignPixelsPerInch = 96;

// Lines drawn along the element's edges, on screen and on paper.
struct TQRFrame {
    bool DrawLeft = false;
    bool DrawTop = false;
    bool DrawRight = false;
    bool DrawBottom = false;
    double Width = 1; // design pixels
    QColor Color = Qt::black;

    bool Any() const { return DrawLeft || DrawTop || DrawRight || DrawBottom; }
    friend bool operator==(const TQRFrame&, const TQRFrame&) = default;
};

// An element's place and size in the units of its report (millimetres when
// it is on none): Height, Left, Top, Width are values 0 to 3. Left and Top
// are measured from the band's top-left corner. Setting a value moves or
// resizes the widget to match at the design resolution; moving or resizing
// the widget sets the values from its geometry.
class VANDREL_EXPORT TQRPrintableSize {
public:
    static constexpr int HeightIndex = 0;
    static constexpr int LeftIndex = 1;
    static constexpr int TopIndex = 2;
    static constexpr int WidthIndex = 3;

    double GetValue(int index) const;
    void SetValue(int index, double value);

    double Height() const { return GetValue(HeightIndex); }
    double Left() const { return GetValue(LeftIndex); }
    double Top() const { return GetValue(TopIndex); }
    double Width() const { return GetValue(WidthIndex); }
    void SetHeight(double value) { SetValue(HeightIndex, value); }
    void SetLeft(double value) { SetValue(LeftIndex, value); }
    void SetTop(double value) { SetValue(TopIndex, value); }
    void SetWidth(double value) { SetValue(WidthIndex, value); }

private:
    friend class TQRPrintable;
    explicit TQRPrintableSize(TQRPrintable& owner) : FOwner(owner) {}
    // Takes the values from the widget's geometry where it no longer
    // matches them (a hidden widget gets its resize event only when shown).
    void FollowGeometry() const;

    TQRPrintable& FOwner;
    mutable std::array<double, 4> FMillimetres{};
};

class VANDREL_EXPORT TQRPrintable : public QWidget {
    Q_OBJECT

public:
    explicit TQRPrintable(QWidget* parent = nullptr);

    TQRPrintableSize& Size() { return FSize; }
    const TQRPrintableSize& Size() const { return FSize; }
    const TQRFrame& Frame() const { return FFrame; }
    void SetFrame(const TQRFrame& value);

    // The band and the report the element is placed on, or null.
    TQRBand* ParentBand() const;
    TQuickRep* ParentReport() const;
    // The printer of the parent report's run; null outside a run.
    TQRPrinter* QRPrinter() const;

    // Draws the element for a band instance whose top-left corner lies X, Y
    // report units from the sheet's top-left corner. Here: the frame.
    virtual void Print(double X, double Y);
    // The element's place on the page for band offsets X, Y, in device
    // pixels of the run's printable area. Its size does not depend on the
    // place: every label of a sheet gets the same symbol.
    QRect PageRect(double X, double Y) const;

    // Schedules a repaint; every request is announced through invalidated().
    void Invalidate();

Q_SIGNALS:
    void invalidated();

protected:
    // Draws the element in the designer, on Canvas(). Here: the frame.
    virtual void Paint();
    // The element's size changed, through Size or a resize event. Here: nothing.
    virtual void SizeChanged() {}
    // The painter of the current paintEvent; null outside it.
    QPainter* Canvas() const { return FCanvas; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    friend class TQRPrintableSize;
    void DrawFrame(QPainter& painter, const QRect& rect, double scale) const;

    TQRPrintableSize FSize;
    TQRFrame FFrame;
    QPainter* FCanvas = nullptr;
    // Set while the size object moves the widget, so that the exact values
    // are not replaced by ones rounded to design pixels.
    bool FPlacing = false;
};

} // namespace Vandrel
