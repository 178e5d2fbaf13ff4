#pragma once
// A band report: a sheet with margins, bands printed in a fixed order (page
// header, title, column header, a detail band per record of a dataset laid
// out in columns, summary, page footer) and the elements placed on them. It
// prints through a virtual printer, so the same run reaches a printer, a PDF
// file or the print preview.
#include "core/Exceptions.h"
#include "core/Export.h"
#include "platform/DataSet.h"
#include "report/Printable.h"

#include <QPointer>
#include <QSizeF>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace Vandrel {

class TQuickRep;
class TVirtualPrinter;

class VANDREL_EXPORT EReportError : public Exception {
public:
    using Exception::Exception;
};

// The printer of one report run: report units to device pixels of the
// target's printable area, the page canvas and the page breaks.
class VANDREL_EXPORT TQRPrinter {
public:
    TQRPrinter(TVirtualPrinter& target, const TQuickRep& report);

    // Report units from the sheet's left (top) edge to device pixels from
    // the printable area's left (top) edge.
    int XPos(double x) const;
    int YPos(double y) const;
    // A length in report units in device pixels, across and down.
    int XSize(double width) const;
    int YSize(double height) const;
    // Device pixels per design pixel, across and down: what sizes given in
    // design pixels (pen widths, font heights, module widths) are scaled by.
    double ScaleX() const { return FPixelsPerInchX / DesignPixelsPerInch; }
    double ScaleY() const { return FPixelsPerInchY / DesignPixelsPerInch; }
    int PixelsPerInchX() const { return FPixelsPerInchX; }
    int PixelsPerInchY() const { return FPixelsPerInchY; }

    // The canvas of the current page; null outside the job.
    QPainter* Canvas() const;
    int PageNumber() const { return FPageNumber; }
    TVirtualPrinter& Target() const { return FTarget; }

    void BeginDoc();
    void NewPage();
    void EndDoc();

private:
    TVirtualPrinter& FTarget;
    const TQuickRep& FReport;
    int FPixelsPerInchX;
    int FPixelsPerInchY;
    int FOffsetX;
    int FOffsetY;
    int FPageNumber = 0;
};

class VANDREL_EXPORT TQRBand : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TQRBandType BandType READ BandType WRITE SetBandType)
    Q_PROPERTY(double Height READ Height WRITE SetHeight)

public:
    enum class TQRBandType : int { rbPageHeader, rbTitle, rbColumnHeader, rbDetail, rbSummary, rbPageFooter };
    Q_ENUM(TQRBandType)

    explicit TQRBand(QWidget* parent = nullptr, TQRBandType type = TQRBandType::rbDetail);

    TQRBandType BandType() const { return FBandType; }
    void SetBandType(TQRBandType value) { FBandType = value; }
    // In the report's units.
    double Height() const;
    void SetHeight(double value);
    double HeightMM() const { return FHeightMM; }

    TQuickRep* ParentReport() const;
    // The elements placed on the band, in the order they were placed.
    std::vector<TQRPrintable*> Printables() const;
    // Prints every element for a band instance at X, Y report units from
    // the sheet's top-left corner.
    virtual void Print(double X, double Y);

private:
    TQRBandType FBandType;
    double FHeightMM = 20;
};

using TQRBandType = TQRBand::TQRBandType;

class VANDREL_EXPORT TQuickRep : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TQRUnit Units READ Units WRITE SetUnits)
    Q_PROPERTY(TQRPaperSize PaperSize READ PaperSize WRITE SetPaperSize)
    Q_PROPERTY(bool Landscape READ Landscape WRITE SetLandscape)
    Q_PROPERTY(double PaperWidth READ PaperWidth WRITE SetPaperWidth)
    Q_PROPERTY(double PaperLength READ PaperLength WRITE SetPaperLength)
    Q_PROPERTY(double LeftMargin READ LeftMargin WRITE SetLeftMargin)
    Q_PROPERTY(double TopMargin READ TopMargin WRITE SetTopMargin)
    Q_PROPERTY(double RightMargin READ RightMargin WRITE SetRightMargin)
    Q_PROPERTY(double BottomMargin READ BottomMargin WRITE SetBottomMargin)
    Q_PROPERTY(int Columns READ Columns WRITE SetColumns)
    Q_PROPERTY(double ColumnSpace READ ColumnSpace WRITE SetColumnSpace)
    Q_PROPERTY(QString ReportTitle READ ReportTitle WRITE SetReportTitle)

public:
    enum class TQRUnit : int { MM, Inch, Pixels };
    Q_ENUM(TQRUnit)
    // Custom takes PaperWidth by PaperLength.
    enum class TQRPaperSize : int { A4, Letter, Custom };
    Q_ENUM(TQRPaperSize)

    explicit TQuickRep(QWidget* parent = nullptr);
    ~TQuickRep() override;

    TQRUnit Units() const { return FUnits; }
    void SetUnits(TQRUnit value) { FUnits = value; }
    // A value in the report's units in millimetres, and back. Pixels are
    // design pixels.
    double ToMillimetres(double value) const;
    double FromMillimetres(double mm) const;

    TQRPaperSize PaperSize() const { return FPaperSize; }
    // A4 and Letter set PaperWidth and PaperLength to their own.
    void SetPaperSize(TQRPaperSize value);
    bool Landscape() const { return FLandscape; }
    void SetLandscape(bool value) { FLandscape = value; }
    // The portrait sheet in the report's units; setting either makes the paper Custom.
    double PaperWidth() const { return FromMillimetres(FPaperMM.width()); }
    void SetPaperWidth(double value);
    double PaperLength() const { return FromMillimetres(FPaperMM.height()); }
    void SetPaperLength(double value);
    // The sheet as printed, turned when Landscape, in millimetres.
    QSizeF SheetMM() const { return FLandscape ? FPaperMM.transposed() : FPaperMM; }

    // In the report's units, from the sheet's edges.
    double LeftMargin() const { return FromMillimetres(FMarginsMM[0]); }
    double TopMargin() const { return FromMillimetres(FMarginsMM[1]); }
    double RightMargin() const { return FromMillimetres(FMarginsMM[2]); }
    double BottomMargin() const { return FromMillimetres(FMarginsMM[3]); }
    void SetLeftMargin(double value) { FMarginsMM[0] = ToMillimetres(value); }
    void SetTopMargin(double value) { FMarginsMM[1] = ToMillimetres(value); }
    void SetRightMargin(double value) { FMarginsMM[2] = ToMillimetres(value); }
    void SetBottomMargin(double value) { FMarginsMM[3] = ToMillimetres(value); }

    // Detail bands (and the column header) are laid out in this many columns
    // across the sheet, ColumnSpace apart, filled left to right, then down.
    int Columns() const { return FColumns; }
    void SetColumns(int value);
    double ColumnSpace() const { return FromMillimetres(FColumnSpaceMM); }
    void SetColumnSpace(double value) { FColumnSpaceMM = ToMillimetres(value); }
    // The width of one column in the report's units.
    double ColumnWidth() const;

    QString ReportTitle() const { return FReportTitle; }
    void SetReportTitle(const QString& value) { FReportTitle = value; }

    // The detail band prints once per record of the dataset (opened for the
    // run when it is closed), or once when there is none. Not owned.
    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* value) { FDataSet = value; }
    // Asked for every record before its detail band prints: false skips it.
    std::function<bool()> OnFilter;

    // The bands placed on the report, in the order they were placed.
    std::vector<TQRBand*> Bands() const;

    // The printer of the current run; null outside a run.
    TQRPrinter* QRPrinter() const { return FQRPrinter.get(); }
    // Pages of the last run.
    int PageCount() const { return FPageCount; }

    // One run as one job on `printer`: the report's sheet and orientation
    // are set on it, then every band prints. EReportError, before anything
    // is printed, when the printer's sheet is smaller than the report's, the
    // margins reach into the printer's unprintable margin, or a band cannot
    // fit on a page; a job that fails is ended before the error passes on.
    void PrintTo(TVirtualPrinter* printer);
    // PrintTo(VirtualPrinter).
    void Print();
    // The run recorded in the print preview, whose window shows it.
    void Preview();

private:
    class TRun;

    TQRUnit FUnits = TQRUnit::MM;
    TQRPaperSize FPaperSize = TQRPaperSize::A4;
    bool FLandscape = false;
    QSizeF FPaperMM{210, 297};
    double FMarginsMM[4] = {10, 10, 10, 10};
    int FColumns = 1;
    double FColumnSpaceMM = 0;
    QString FReportTitle;
    QPointer<TDataSet> FDataSet;
    std::unique_ptr<TQRPrinter> FQRPrinter;
    int FPageCount = 0;
};

using TQRUnit = TQuickRep::TQRUnit;
using TQRPaperSize = TQuickRep::TQRPaperSize;

} // namespace Vandrel
