#include "apps/ReportCommand.h"

#include "apps/Cli.h"
#include "apps/Linear.h"
#include "apps/PrintCommand.h"
#include "apps/Render.h"
#include "platform/DataSet.h"
#include "platform/DeviceCaps.h"
#include "platform/Printer.h"
#include "print/PrinterPreview.h"
#include "report/Labels.h"
#include "report/QRPDF417.h"
#include "report/QRSingleBarCode.h"
#include "report/QuickRep.h"

#include <QCommandLineParser>
#include <QPageSize>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

namespace Vandrel {

namespace {

const char* const Examples =
    "  vandrel report --db data/products.sqlite --sql \"SELECT ean, name FROM products WHERE ean <> ''\" \\\n"
    "      --field ean --type EAN13 --text-field name --label 63.5x38.1mm --columns 3 --pdf labels.pdf\n"
    "  vandrel report --db data/products.sqlite --sql \"SELECT name FROM products\" --field name --pdf417 \\\n"
    "      --label 70x35mm --pdf names.pdf\n"
    "  vandrel report --db data/products.sqlite --sql \"SELECT ean FROM products\" --field ean --type EAN13 \\\n"
    "      --printer VandrelPDF\n"
    "  vandrel report --db data/products.sqlite --sql \"SELECT ean FROM products\" --field ean --type EAN13 \\\n"
    "      --grab sheet.png --size 1200x1700\n";

// Inside a label: a margin all round, so that neighbouring labels' symbols
// never touch, and the line of words under the symbol.
constexpr double PaddingMM = 1.5;
constexpr double TextLineMM = 4.5;
constexpr double TextPoints = 8;
// The widest PDF417 module tried, in design pixels (96 per inch): 0.8 mm.
constexpr int WidestModule = 3;

struct TSheet {
    const char* Name;
    TQRPaperSize Paper;
    QSizeF MM;
};
constexpr TSheet Sheets[] = {{"A4", TQRPaperSize::A4, {210, 297}}, {"Letter", TQRPaperSize::Letter, {215.9, 279.4}}};

// A length option in millimetres; px are pixels at `dpi`.
std::optional<double> LengthMM(const QString& text, int dpi)
{
    const auto pixels = ParseLength(text, dpi);
    return pixels ? std::optional<double>(*pixels * 25.4 / dpi) : std::nullopt;
}

// "63.5x38.1mm", "63.5mmx38.1mm" or "2.5x1.5in": one unit serves both.
std::optional<QSizeF> ParseLabel(const QString& text, int dpi)
{
    static const QRegularExpression size("^\\s*([0-9.]+)\\s*(px|mm|in)?\\s*x\\s*([0-9.]+)\\s*(px|mm|in)?\\s*$");
    const QRegularExpressionMatch m = size.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QString unit = m.captured(4).isEmpty() ? m.captured(2) : m.captured(4);
    const QString firstUnit = m.captured(2).isEmpty() ? unit : m.captured(2);
    const auto width = LengthMM(m.captured(1) + firstUnit, dpi);
    const auto height = LengthMM(m.captured(3) + unit, dpi);
    if (!width || !height)
        return std::nullopt;
    return QSizeF(*width, *height);
}

// What the options ask of the symbol on each label.
struct TSymbolOptions {
    bool Pdf417 = false;
    TBarType Type = EAN13;
    bool Check = true;
    TCodeMode Mode = tMode;
    TErrorLevel Level = Level1;
    int DataColumns = 0;
};

std::variant<int, TSymbolOptions> ReadSymbolOptions(const QCommandLineParser& parser)
{
    TSymbolOptions o;
    o.Pdf417 = parser.isSet("pdf417");
    if (o.Pdf417 == parser.isSet("type"))
        return UsageError("give one of --type T and --pdf417");
    if (!o.Pdf417) {
        const auto type = ReadType(parser);
        if (const int* code = std::get_if<int>(&type))
            return *code;
        o.Type = std::get<TBarType>(type);
        o.Check = !parser.isSet("no-check");
        return o;
    }
    const auto coding = ReadModeLevel(parser);
    if (!coding)
        return ExitUsage;
    const auto columns = ParseInt(parser.value("data-columns"), 0, 30);
    if (!columns)
        return UsageError("--data-columns takes a whole number from 1 to 30, or 0 for the fewest that fit");
    o.Mode = coding->Mode;
    o.Level = coding->Level;
    o.DataColumns = *columns;
    return o;
}

// How the labels lie on the sheet: as many whole labels across and down as
// fit on the printable area (or --columns across), the grid centred on the
// sheet as on label stock.
struct TGrid {
    QSizeF Label;
    double Gap;
    int Columns;
    int Rows;
    QSizeF Sheet;

    double Left() const { return (Sheet.width() - Columns * Label.width() - (Columns - 1) * Gap) / 2; }
    double Top() const { return (Sheet.height() - Rows * Label.height()) / 2; }
};

std::variant<int, TGrid> ReadGrid(const QCommandLineParser& parser, const TSheet& sheet, int dpi, QSizeF unprintable)
{
    const auto label = ParseLabel(parser.value("label"), dpi);
    if (!label)
        return UsageError("--label takes WxH, e.g. 63.5x38.1mm, 2.5x1.5in or 600x360px");
    const auto gap = parser.value("gap").trimmed() == QLatin1String("0") ? std::optional<double>(0)
                                                                         : LengthMM(parser.value("gap"), dpi);
    if (!gap)
        return UsageError("--gap takes a length, e.g. 2.5mm, or 0");
    const QSizeF paper = sheet.MM;
    const QSizeF printable = paper - 2 * unprintable;
    const int fit = int(std::floor((printable.width() + *gap + 1e-9) / (label->width() + *gap)));
    const int rows = int(std::floor((printable.height() + 1e-9) / label->height()));
    if (fit < 1 || rows < 1)
        return UsageError(QStringLiteral("a %1 x %2 mm label does not fit on the printable area of the %3 sheet "
                                         "(%4 x %5 mm)")
                              .arg(label->width(), 0, 'f', 1)
                              .arg(label->height(), 0, 'f', 1)
                              .arg(sheet.Name)
                              .arg(printable.width(), 0, 'f', 1)
                              .arg(printable.height(), 0, 'f', 1));
    int columns = fit;
    if (parser.isSet("columns")) {
        const auto given = ParseInt(parser.value("columns"), 1, 100);
        if (!given)
            return UsageError("--columns takes a whole number from 1 to 100");
        if (*given > fit)
            return UsageError(QStringLiteral("%1 columns of %2 mm labels do not fit across the %3 sheet; %4 do")
                                  .arg(*given)
                                  .arg(label->width(), 0, 'f', 1)
                                  .arg(sheet.Name)
                                  .arg(fit));
        columns = *given;
    }
    const double inside = 2 * PaddingMM + 1;
    if (label->width() < inside || label->height() < inside + (parser.isSet("text-field") ? TextLineMM : 0))
        return UsageError("--label is too small to hold a symbol");
    return TGrid{*label, *gap, columns, rows, paper};
}

// Thrown from inside the run to stop it with an exit code already reported.
struct TStopped {
    int Code;
};

// The report: one detail band, the size of a label, holding the symbol
// element bound to --field and, with --text-field, the words under it.
class TLabelReport {
public:
    TLabelReport(const TGrid& grid, const TSheet& sheet, const TSymbolOptions& o, const QString& textField)
        : FOptions(o)
    {
        FReport.SetPaperSize(sheet.Paper);
        FReport.SetColumns(grid.Columns);
        FReport.SetColumnSpace(grid.Gap);
        FReport.SetLeftMargin(grid.Left());
        FReport.SetRightMargin(grid.Left());
        FReport.SetTopMargin(grid.Top());
        FReport.SetBottomMargin(grid.Top());
        auto* detail = new TQRBand(&FReport, TQRBandType::rbDetail);
        detail->SetHeight(grid.Label.height());
        const double textHeight = textField.isEmpty() ? 0 : TextLineMM;
        const QRectF symbol(PaddingMM, PaddingMM, grid.Label.width() - 2 * PaddingMM,
                            grid.Label.height() - 2 * PaddingMM - textHeight);
        if (o.Pdf417) {
            auto* element = new TDBQRPDF417(detail);
            element->BarCodeControl()->Encoder().SetMessage(
                [this](const std::string& text) { FMessages << QString::fromStdString(text); });
            element->FSetCodeMode(o.Mode);
            element->FSetErrorLevel(o.Level);
            element->FSetDataColumn(o.DataColumns);
            FPdf417 = element;
            Place(*element, symbol);
        } else {
            auto* element = new TDBQRSingleBarCode(detail);
            element->FSetBarType(o.Type);
            element->BarCodeControl()->FSetCalcuCheck(o.Check);
            FLinear = element;
            Place(*element, symbol);
        }
        if (!textField.isEmpty()) {
            auto* text = new TQRDBText(detail);
            text->SetDataField(textField);
            text->SetAlignment(taCenter);
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSizeF(TextPoints);
            text->SetFont(font);
            Place(*text, QRectF(PaddingMM, symbol.bottom(), symbol.width(), textHeight));
            FText = text;
        }
    }

    TQuickRep& Report() { return FReport; }

    // Binds the elements to the records and has the run print only the
    // records whose symbol can be printed, through `tally`.
    void Bind(TDataSet& records, const QString& field, TRecordTally& tally)
    {
        FSource.SetDataSet(&records);
        if (FText)
            FText->SetDataSet(&records);
        if (FPdf417) {
            FPdf417->SetDataField(field);
            FPdf417->SetDataSource(&FSource);
        } else {
            FLinear->SetDataField(field);
            FLinear->SetDataSource(&FSource);
        }
        FReport.SetDataSet(&records);
        FReport.OnFilter = [this, &tally] {
            bool take = false;
            const int code = tally.Record([&](int, const QString& value) {
                const QString refusal = Refusal(value);
                take = refusal.isEmpty();
                FPrinted += take;
                return TRecordWrite{0, refusal};
            });
            if (code != 0)
                throw TStopped{code};
            return take;
        };
    }

    ~TLabelReport()
    {
        // The elements go with the report; unlink them from the source first.
        FSource.SetDataSet(nullptr);
    }

    int Printed() const { return FPrinted; }

private:
    static void Place(TQRPrintable& element, const QRectF& mm)
    {
        element.Size().SetLeft(mm.left());
        element.Size().SetTop(mm.top());
        element.Size().SetWidth(mm.width());
        element.Size().SetHeight(mm.height());
    }

    // Why the current record's label must not be printed, or an empty string.
    // The elements already hold the record's value: the dataset's move to
    // the record gave it to them.
    QString Refusal(const QString& text)
    {
        // --on-empty repeat: the elements kept the last printed record's value.
        if (text.isEmpty())
            return FPrinted == 0 ? QStringLiteral("the field is empty and no record before it was printed") : QString();
        const auto value = ParseLatin1(text);
        if (!value)
            return QStringLiteral("the value holds characters outside Latin-1");
        if (FLinear) {
            const QString refusal = Vandrel::Refusal(FOptions.Type, *value, FOptions.Check);
            return refusal.isEmpty() ? FLinear->PrintProblem() : refusal;
        }
        return FitPdf417();
    }

    // The widest module, and then the fewest data columns (--data-columns 0),
    // that let the symbol fit its place on the label; why none does, or an
    // empty string. A grid the encoder refuses is just not the one: only
    // when no grid holds the value is its refusal the record's.
    QString FitPdf417()
    {
        const int from = FOptions.DataColumns ? FOptions.DataColumns : 1;
        const int to = FOptions.DataColumns ? FOptions.DataColumns : 30;
        QString refusal;
        for (int module = WidestModule; module >= 1; --module) {
            for (int columns = from; columns <= to; ++columns) {
                FMessages.clear();
                FPdf417->FSetBarX(module);
                FPdf417->FSetDataColumn(columns);
                if (!FMessages.isEmpty())
                    refusal = FMessages.join("; ");
                else if (FPdf417->BarCodeControl()->Encoder().CodeWordCount() > 0 && FPdf417->PrintProblem().isEmpty())
                    return QString();
            }
        }
        FMessages.clear();
        return !refusal.isEmpty() ? refusal
                                  : QStringLiteral("the symbol does not fit the label even with 0.26 mm modules");
    }

    TSymbolOptions FOptions;
    TQuickRep FReport;
    TDataSource FSource;
    TDBQRSingleBarCode* FLinear = nullptr;
    TDBQRPDF417* FPdf417 = nullptr;
    TQRDBText* FText = nullptr;
    QStringList FMessages;
    int FPrinted = 0;
};

// The output's resolution, that --label, --gap and px lengths are taken at,
// and its unprintable margin on either side in millimetres; nullopt after a
// usage error.
struct TOutputPage {
    int Dpi;
    QSizeF Unprintable;
};
std::optional<TOutputPage> OutputPage(const QCommandLineParser& parser, const TPrinter& printer)
{
    if (parser.isSet("pdf")) {
        const auto dpi = ReadDpi(parser);
        return dpi ? std::optional<TOutputPage>({*dpi, QSizeF(0, 0)}) : std::nullopt;
    }
    if (parser.isSet("printer")) {
        const int dpi = GetDeviceCaps(printer.Handle(), LOGPIXELSX);
        return TOutputPage{dpi, QSizeF(GetDeviceCaps(printer.Handle(), PHYSICALOFFSETX),
                                       GetDeviceCaps(printer.Handle(), PHYSICALOFFSETY)) *
                                    (25.4 / dpi)};
    }
    TPrinterPreview* preview = PrinterPreview();
    const int dpi = preview->GetPixelsPerInchX();
    return TOutputPage{dpi, QSizeF(preview->GetFullPageWidth() - preview->GetPageWidth(),
                                   preview->GetFullPageHeight() - preview->GetPageHeight()) *
                                (25.4 / 2 / dpi)};
}

} // namespace

int ReportCommand(const QStringList& args)
{
    QCommandLineParser parser;
    AddRecordOptions(parser, false);
    AddTypeOptions(parser);
    parser.addOption({"pdf417", "Print the --field as PDF417 instead of a linear symbol of --type; the modules are "
                                "as wide as the label allows, up to 0.8 mm, in as few data columns as fit."});
    AddModeLevelOptions(parser, "PDF417");
    parser.addOption({"data-columns",
                      "PDF417 data columns, 1 to 30, or 0 for the fewest that fit the label (default 0).", "N", "0"});
    parser.addOption({"text-field", "Print this field's text in a line under the symbol.", "NAME"});
    parser.addOption({"label", "Size of one label (default 63.5x38.1mm).", "WxH", "63.5x38.1mm"});
    parser.addOption({"columns", "Labels across the sheet (default: as many as fit).", "N"});
    parser.addOption({"gap", "Space between the columns of labels (default 0).", "LENGTH", "0"});
    parser.addOption({"page", "The sheet: A4 or Letter (default A4).", "A4|Letter", "A4"});
    AddJobOptions(parser);
    AddGrabOptions(parser);
    if (const auto done = Parse(parser, args,
                                "Prints one label per record of a query: its symbol, and optionally a line of "
                                "text under it, the labels laid out across and then down the sheets and the grid "
                                "centred on each sheet. Lengths take mm, in, or px (pixels of the output: --dpi "
                                "for --pdf, the printer's or the preview's resolution otherwise). A record whose "
                                "field is empty, or whose value the symbology refuses or cannot fit on the label, "
                                "is named and skipped (exit 3); when no record gives a label, nothing is written "
                                "or printed (exit 1). On a printer the job starts only once every page was laid "
                                "out.",
                                0, Examples))
        return *done;
    if (parser.isSet("pdf") + parser.isSet("printer") + parser.isSet("grab") != 1)
        return UsageError("give one of --pdf FILE, --printer NAME and --grab FILE.png");
    if (!parser.isSet("db"))
        return UsageError("missing --db FILE");
    const auto run = TRecordRun::From(parser, QString());
    if (!run)
        return ExitUsage;
    const auto symbol = ReadSymbolOptions(parser);
    if (const int* code = std::get_if<int>(&symbol))
        return *code;
    const TSheet* sheet = nullptr;
    for (const TSheet& s : Sheets)
        if (parser.value("page").compare(QLatin1String(s.Name), Qt::CaseInsensitive) == 0)
            sheet = &s;
    if (!sheet)
        return UsageError("--page takes A4 or Letter");
    const auto grab = ReadGrab(parser);
    if (const int* code = std::get_if<int>(&grab))
        return *code;

    TPrinter printer;
    TJobOutput output;
    if (!parser.isSet("grab"))
        if (const auto failed = output.SetUp(parser, printer))
            return *failed;
    const auto page = OutputPage(parser, printer);
    if (!page)
        return ExitUsage;
    const auto grid = ReadGrid(parser, *sheet, page->Dpi, page->Unprintable);
    if (const int* code = std::get_if<int>(&grid))
        return *code;

    const QString textField = parser.value("text-field");
    return OpenRecords(*run, {run->Field, textField}, [&](TDataSet& records) {
        TLabelReport labels(std::get<TGrid>(grid), *sheet, std::get<TSymbolOptions>(symbol), textField);
        TRecordTally tally(*run, records);
        labels.Bind(records, run->Field, tally);
        TQuickRep& report = labels.Report();
        report.SetReportTitle(parser.value("title"));
        try {
            if (parser.isSet("grab")) {
                report.Preview();
            } else if (parser.isSet("pdf")) {
                const TInstalledPrinter installed(&printer);
                report.Print();
            } else {
                // Recorded first, so that a run that fails or prints no
                // label sends nothing to the printer.
                TPrinterPreview recording;
                recording.SetPrinter(parser.value("printer"), QString(), QString());
                report.PrintTo(&recording);
                if (labels.Printed() > 0) {
                    const TInstalledPrinter installed(&printer);
                    printer.SetOrientation(poPortrait);
                    printer.SetPageSize(QPageSize(sheet->MM, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch));
                    recording.PrintPages(1, int(recording.Pages().size()));
                }
            }
        } catch (const TStopped& stopped) {
            return stopped.Code;
        } catch (const Exception& e) {
            return Failure(QString::fromStdString(e.what()));
        }
        if (labels.Printed() == 0)
            return Failure("no record gave a label: nothing was written");
        const int code = parser.isSet("grab") ? ShowPreview(std::get<TGrab>(grab)) : output.Finish(parser);
        return code != 0 ? code : tally.Finish();
    });
}

} // namespace Vandrel
