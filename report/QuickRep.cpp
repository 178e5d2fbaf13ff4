#include "report/QuickRep.h"

#include "platform/DataSet.h"
#include "print/PrinterPreview.h"
#include "print/VirtualPrinter.h"
#include "report/Printable.h"

#include <QPageSize>
#include <QPainter>

#include <cmath>

namespace Vandrel {

namespace {
constexpr double MillimetresPerInch = 25.4;
// A printer's sheet may differ from the report's by rounding to its pixels.
constexpr double SheetToleranceMM = 0.5;
// The most pages one run prints: far beyond any real report, it stops a run
// whose data never ends from filling a disk.
constexpr int MaxPages = 100000;

QString Millimetres(double mm)
{
    return QString::number(mm, 'f', 1);
}

const char* BandName(TQRBandType type)
{
    static constexpr const char* Names[] = {"page header", "title",   "column header",
                                            "detail",      "summary", "page footer"};
    return Names[int(type)];
}
} // namespace

// --- TQRPrinter -------------------------------------------------------------

TQRPrinter::TQRPrinter(TVirtualPrinter& target, const TQuickRep& report)
    : FTarget(target), FReport(report), FPixelsPerInchX(std::max(1, target.GetPixelsPerInchX())),
      FPixelsPerInchY(std::max(1, target.GetPixelsPerInchY())),
      FOffsetX((target.GetFullPageWidth() - target.GetPageWidth()) / 2),
      FOffsetY((target.GetFullPageHeight() - target.GetPageHeight()) / 2)
{
}

int TQRPrinter::XPos(double x) const
{
    return XSize(x) - FOffsetX;
}

int TQRPrinter::YPos(double y) const
{
    return YSize(y) - FOffsetY;
}

int TQRPrinter::XSize(double width) const
{
    return int(std::nearbyint(FReport.ToMillimetres(width) / MillimetresPerInch * FPixelsPerInchX));
}

int TQRPrinter::YSize(double height) const
{
    return int(std::nearbyint(FReport.ToMillimetres(height) / MillimetresPerInch * FPixelsPerInchY));
}

QPainter* TQRPrinter::Canvas() const
{
    return FTarget.GetCanvas();
}

void TQRPrinter::BeginDoc()
{
    FTarget.BeginDoc();
    FPageNumber = 1;
}

void TQRPrinter::NewPage()
{
    FTarget.NewPage();
    ++FPageNumber;
}

void TQRPrinter::EndDoc()
{
    FTarget.EndDoc();
}

// --- TQRBand ----------------------------------------------------------------

TQRBand::TQRBand(QWidget* parent, TQRBandType type) : QWidget(parent), FBandType(type)
{
    resize(width(), int(std::nearbyint(FHeightMM / MillimetresPerInch * DesignPixelsPerInch)));
}

double TQRBand::Height() const
{
    const TQuickRep* report = ParentReport();
    return report ? report->FromMillimetres(FHeightMM) : FHeightMM;
}

void TQRBand::SetHeight(double value)
{
    const TQuickRep* report = ParentReport();
    FHeightMM = report ? report->ToMillimetres(value) : value;
    resize(width(), int(std::nearbyint(FHeightMM / MillimetresPerInch * DesignPixelsPerInch)));
}

TQuickRep* TQRBand::ParentReport() const
{
    return qobject_cast<TQuickRep*>(parent());
}

std::vector<TQRPrintable*> TQRBand::Printables() const
{
    const QList<TQRPrintable*> printables = findChildren<TQRPrintable*>(Qt::FindDirectChildrenOnly);
    return {printables.begin(), printables.end()};
}

void TQRBand::Print(double X, double Y)
{
    for (TQRPrintable* element : Printables())
        element->Print(X, Y);
}

// --- TQuickRep --------------------------------------------------------------

TQuickRep::TQuickRep(QWidget* parent) : QWidget(parent) {}

TQuickRep::~TQuickRep() = default;

double TQuickRep::ToMillimetres(double value) const
{
    switch (FUnits) {
    case TQRUnit::MM: return value;
    case TQRUnit::Inch: return value * MillimetresPerInch;
    case TQRUnit::Pixels: return value * MillimetresPerInch / DesignPixelsPerInch;
    }
    return value;
}

double TQuickRep::FromMillimetres(double mm) const
{
    switch (FUnits) {
    case TQRUnit::MM: return mm;
    case TQRUnit::Inch: return mm / MillimetresPerInch;
    case TQRUnit::Pixels: return mm / MillimetresPerInch * DesignPixelsPerInch;
    }
    return mm;
}

void TQuickRep::SetPaperSize(TQRPaperSize value)
{
    FPaperSize = value;
    if (value == TQRPaperSize::A4)
        FPaperMM = QSizeF(210, 297);
    else if (value == TQRPaperSize::Letter)
        FPaperMM = QSizeF(215.9, 279.4);
}

void TQuickRep::SetPaperWidth(double value)
{
    FPaperSize = TQRPaperSize::Custom;
    FPaperMM.setWidth(ToMillimetres(value));
}

void TQuickRep::SetPaperLength(double value)
{
    FPaperSize = TQRPaperSize::Custom;
    FPaperMM.setHeight(ToMillimetres(value));
}

void TQuickRep::SetColumns(int value)
{
    FColumns = std::max(1, value);
}

double TQuickRep::ColumnWidth() const
{
    const double across = SheetMM().width() - FMarginsMM[0] - FMarginsMM[2];
    return FromMillimetres((across - (FColumns - 1) * FColumnSpaceMM) / FColumns);
}

std::vector<TQRBand*> TQuickRep::Bands() const
{
    const QList<TQRBand*> bands = findChildren<TQRBand*>(Qt::FindDirectChildrenOnly);
    return {bands.begin(), bands.end()};
}

// One run of a report: where the next band goes, in millimetres from the
// sheet's top-left corner, and the page breaks.
class TQuickRep::TRun {
public:
    explicit TRun(TQuickRep& report) : FReport(report), FSheet(report.SheetMM()) {}

    void Check() const;
    void PrintAll();

private:
    std::vector<TQRBand*> Of(TQRBandType type) const;
    double HeightOf(TQRBandType type) const;
    double Bottom() const { return FSheet.height() - FReport.FMarginsMM[3] - HeightOf(TQRBandType::rbPageFooter); }
    void PrintBands(TQRBandType type, double xMM);
    void StartPage();
    void EndPage();
    // Makes room for `height` millimetres of bands, on a new page if need be.
    void Room(double height);
    void PrintDetails();
    void PrintDetail(const std::vector<TQRBand*>& details, double height);

    TQuickRep& FReport;
    QSizeF FSheet;
    double FY = 0;
    int FColumn = 0;
};

std::vector<TQRBand*> TQuickRep::TRun::Of(TQRBandType type) const
{
    std::vector<TQRBand*> bands;
    for (TQRBand* band : FReport.Bands())
        if (band->BandType() == type)
            bands.push_back(band);
    return bands;
}

double TQuickRep::TRun::HeightOf(TQRBandType type) const
{
    double height = 0;
    for (const TQRBand* band : Of(type))
        height += band->HeightMM();
    return height;
}

// Everything that would make a run fail or loop is refused before it starts.
void TQuickRep::TRun::Check() const
{
    const double* m = FReport.FMarginsMM;
    if (!(FSheet.width() > 0 && FSheet.height() > 0) || m[0] < 0 || m[1] < 0 || m[2] < 0 || m[3] < 0 ||
        m[0] + m[2] >= FSheet.width() || m[1] + m[3] >= FSheet.height())
        throw EReportError(QStringLiteral("The margins leave nothing of the %1 x %2 mm sheet to print on")
                               .arg(Millimetres(FSheet.width()), Millimetres(FSheet.height()))
                               .toStdString());
    if (FReport.ColumnWidth() <= 0 || FReport.FColumnSpaceMM < 0)
        throw EReportError(QStringLiteral("%1 columns %2 mm apart do not fit between the margins")
                               .arg(FReport.FColumns)
                               .arg(Millimetres(FReport.FColumnSpaceMM))
                               .toStdString());
    // What must fit between the page header and the page footer: the title
    // with the column header on page 1, and on any page the column header
    // with a detail row or with the summary; else the run would never end.
    const double free = Bottom() - m[1] - HeightOf(TQRBandType::rbPageHeader);
    const double header = HeightOf(TQRBandType::rbColumnHeader);
    for (TQRBandType type : {TQRBandType::rbTitle, TQRBandType::rbDetail, TQRBandType::rbSummary}) {
        const double needed = header + HeightOf(type);
        if (needed > free + 1e-9)
            throw EReportError(QStringLiteral("The %1 band with the column header (%2 mm) does not fit on a "
                                              "page: %3 mm are free between the page header and the page footer")
                                   .arg(BandName(type), Millimetres(needed), Millimetres(std::max(0.0, free)))
                                   .toStdString());
    }
}

void TQuickRep::TRun::PrintBands(TQRBandType type, double xMM)
{
    for (TQRBand* band : Of(type)) {
        band->Print(FReport.FromMillimetres(xMM), FReport.FromMillimetres(FY));
        FY += band->HeightMM();
    }
}

void TQuickRep::TRun::StartPage()
{
    FY = FReport.FMarginsMM[1];
    FColumn = 0;
    PrintBands(TQRBandType::rbPageHeader, FReport.FMarginsMM[0]);
}

void TQuickRep::TRun::EndPage()
{
    FY = Bottom();
    PrintBands(TQRBandType::rbPageFooter, FReport.FMarginsMM[0]);
}

void TQuickRep::TRun::Room(double height)
{
    if (FY + height <= Bottom() + 1e-9)
        return;
    EndPage();
    if (FReport.FQRPrinter->PageNumber() >= MaxPages)
        throw EReportError(
            QStringLiteral("The report reached %1 pages; it is stopped there").arg(MaxPages).toStdString());
    FReport.FQRPrinter->NewPage();
    StartPage();
    PrintBands(TQRBandType::rbColumnHeader, FReport.FMarginsMM[0]);
}

void TQuickRep::TRun::PrintDetail(const std::vector<TQRBand*>& details, double height)
{
    if (FColumn == 0)
        Room(height);
    const double columnStep = FReport.ToMillimetres(FReport.ColumnWidth()) + FReport.FColumnSpaceMM;
    const double x = FReport.FMarginsMM[0] + FColumn * columnStep;
    double y = FY;
    for (TQRBand* band : details) {
        band->Print(FReport.FromMillimetres(x), FReport.FromMillimetres(y));
        y += band->HeightMM();
    }
    if (++FColumn == FReport.FColumns) {
        FColumn = 0;
        FY += height;
    }
}

void TQuickRep::TRun::PrintDetails()
{
    const std::vector<TQRBand*> details = Of(TQRBandType::rbDetail);
    const double height = HeightOf(TQRBandType::rbDetail);
    TDataSet* data = FReport.FDataSet;
    if (!data) {
        if (!FReport.OnFilter || FReport.OnFilter())
            PrintDetail(details, height);
    } else {
        for (data->First(); !data->Eof(); data->Next())
            if (!FReport.OnFilter || FReport.OnFilter())
                PrintDetail(details, height);
    }
    // A row of columns left part-filled still takes its height.
    if (FColumn != 0) {
        FColumn = 0;
        FY += height;
    }
}

void TQuickRep::TRun::PrintAll()
{
    StartPage();
    PrintBands(TQRBandType::rbTitle, FReport.FMarginsMM[0]);
    PrintBands(TQRBandType::rbColumnHeader, FReport.FMarginsMM[0]);
    PrintDetails();
    Room(HeightOf(TQRBandType::rbSummary));
    PrintBands(TQRBandType::rbSummary, FReport.FMarginsMM[0]);
    EndPage();
}

void TQuickRep::PrintTo(TVirtualPrinter* printer)
{
    if (!printer)
        throw EReportError("No printer to print the report on");
    if (FQRPrinter)
        throw EReportError("The report is already running");
    TRun run(*this);
    run.Check();
    printer->SetOrientation(FLandscape ? poLandscape : poPortrait);
    printer->SetPageSize(QPageSize(FPaperMM, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch));
    // The sheet the printer took; one smaller than the report's would cut the labels off.
    FQRPrinter = std::make_unique<TQRPrinter>(*printer, *this);
    const struct Ended {
        std::unique_ptr<TQRPrinter>& Printer;
        ~Ended() { Printer.reset(); }
    } ended{FQRPrinter};
    const double takenWidth = printer->GetFullPageWidth() * MillimetresPerInch / FQRPrinter->PixelsPerInchX();
    const double takenHeight = printer->GetFullPageHeight() * MillimetresPerInch / FQRPrinter->PixelsPerInchY();
    const QSizeF sheet = SheetMM();
    if (takenWidth + SheetToleranceMM < sheet.width() || takenHeight + SheetToleranceMM < sheet.height())
        throw EReportError(QStringLiteral("The printer's sheet of %1 x %2 mm is smaller than the report's of "
                                          "%3 x %4 mm")
                               .arg(Millimetres(takenWidth), Millimetres(takenHeight), Millimetres(sheet.width()),
                                    Millimetres(sheet.height()))
                               .toStdString());
    // Whatever lies in the printer's unprintable margin would be cut off.
    const double offsetX =
        (takenWidth - printer->GetPageWidth() * MillimetresPerInch / FQRPrinter->PixelsPerInchX()) / 2;
    const double offsetY =
        (takenHeight - printer->GetPageHeight() * MillimetresPerInch / FQRPrinter->PixelsPerInchY()) / 2;
    if (std::min(FMarginsMM[0], FMarginsMM[2]) + SheetToleranceMM < offsetX ||
        std::min(FMarginsMM[1], FMarginsMM[3]) + SheetToleranceMM < offsetY)
        throw EReportError(QStringLiteral("The report's margins (left %1, top %2, right %3, bottom %4 mm) reach into "
                                          "the printer's unprintable margin of %5 mm across and %6 mm down")
                               .arg(Millimetres(FMarginsMM[0]), Millimetres(FMarginsMM[1]), Millimetres(FMarginsMM[2]),
                                    Millimetres(FMarginsMM[3]), Millimetres(offsetX), Millimetres(offsetY))
                               .toStdString());
    if (!FReportTitle.isEmpty())
        printer->SetTitle(FReportTitle);

    // The dataset is opened for the run when it was closed, and left as it was found.
    const bool opened = FDataSet && !FDataSet->Active();
    if (opened)
        FDataSet->Open();
    const struct Restore {
        QPointer<TDataSet> Data;
        bool Close;
        ~Restore()
        {
            if (Close && Data)
                Data->Close();
        }
    } restore{FDataSet, opened};

    FQRPrinter->BeginDoc();
    try {
        run.PrintAll();
    } catch (...) {
        EndFailedJob(*printer);
        throw;
    }
    FPageCount = FQRPrinter->PageNumber();
    FQRPrinter->EndDoc();
}

void TQuickRep::Print()
{
    PrintTo(VirtualPrinter);
}

void TQuickRep::Preview()
{
    TPrinterPreview* preview = PrinterPreview();
    preview->SetPrinterSetupOwner(this);
    PrintTo(preview);
}

} // namespace Vandrel
