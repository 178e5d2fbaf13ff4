#include "apps/PrintCommand.h"

#include "apps/Cli.h"
#include "apps/Linear.h"
#include "core/Exceptions.h"
#include "pdf417/BarPDF417.h"
#include "platform/DeviceCaps.h"
#include "platform/Printer.h"
#include "print/BarPrint.h"
#include "print/PreviewForm.h"
#include "print/PrinterPreview.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <variant>

namespace Vandrel {

namespace {

const char* const Examples =
    "  vandrel print --list\n"
    "  vandrel print --type EAN13 --value 4006381333931 --width 60mm --height 30mm --at 20mm,20mm --pdf out.pdf\n"
    "  vandrel print --type EAN13 --value 4006381333931 --width 60mm --height 30mm --printer VandrelPDF\n"
    "  vandrel print --pdf417 --value \"Printed PDF417\" --width 80mm --height 30mm --pdf p.pdf\n";

constexpr int DefaultPrintDpi = 600;

// A place on the printable area: lengths as ParseLength takes them, and zero,
// the edge itself, which ParseLength refuses as a size.
std::optional<TPoint> ParseAt(const QString& text, int dpi)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    static const QRegularExpression zero("^\\s*(0+\\.?0*|\\.0+)\\s*(px|mm|in)?\\s*$");
    int32_t xy[2];
    for (int i = 0; i < 2; ++i) {
        const auto length = zero.match(parts[i]).hasMatch() ? std::optional<double>(0) : ParseLength(parts[i], dpi);
        // Beyond any printable area; the bound keeps the conversion defined.
        if (!length || *length > 1e6)
            return std::nullopt;
        xy[i] = int32_t(std::nearbyint(*length));
    }
    return TPoint{xy[0], xy[1]};
}

// A 1D control of --type and --value, or the refusal already reported.
std::variant<int, std::unique_ptr<TBarCode>> Linear(const QCommandLineParser& parser, int dpi)
{
    const auto read = ReadTypeValue(parser);
    if (const int* code = std::get_if<int>(&read))
        return *code;
    const TTypeValue& typeValue = std::get<TTypeValue>(read);
    const auto appearance = ReadAppearance(parser, typeValue.Type, dpi);
    if (!appearance)
        return ExitUsage;
    const std::string& given = typeValue.Value;
    if (const QString refusal = Refusal(appearance->Type, given, appearance->Check); !refusal.isEmpty())
        return Failure(refusal);
    auto control = std::make_unique<TSingleBarCode>();
    appearance->ApplyTo(*control);
    control->FSetBarValue(given);
    if (const QString error = appearance->Fit(*control); !error.isEmpty())
        return Failure(error);
    return std::unique_ptr<TBarCode>(std::move(control));
}

// The widest whole-pixel module that fits the encoded symbol, with its
// 2-module margin and rows 3 modules high, into the control's area; 0 when
// not even 1 pixel does.
int32_t FittingModule(const TCustomBarPDF417& control)
{
    const TPdf417Encoder& encoder = control.Encoder();
    const TSymbolSize size = encoder.SymbolSizes().front();
    const int32_t nd = encoder.FullRows() ? 4 : 2;
    const int32_t along = (size.Columns + nd) * 17 + 5;
    const int32_t across = 4 + 3 * size.Rows;
    const bool upright = control.Angle() == _90 || control.Angle() == _270;
    const int32_t length = upright ? control.height() : control.width();
    const int32_t breadth = upright ? control.width() : control.height();
    return std::min(length / along, breadth / across);
}

// A PDF417 control of --value and the few encoding options printing offers,
// its modules as wide as the area allows; or the refusal already reported.
std::variant<int, std::unique_ptr<TBarCode>> Pdf417(const QCommandLineParser& parser, int dpi)
{
    const auto value = ReadValue(parser);
    if (const int* code = std::get_if<int>(&value))
        return *code;
    const auto coding = ReadModeLevel(parser);
    if (!coding)
        return ExitUsage;
    const auto columns = ParseInt(parser.value("columns"), 0, 30);
    const auto rows = ParseInt(parser.value("rows"), 0, 90);
    if (!columns || !rows)
        return UsageError("--columns takes 0 to 30 and --rows 0 to 90, 0 for automatic");
    if (!parser.isSet("width") || !parser.isSet("height"))
        return UsageError("--pdf417 needs --width and --height: the area the symbol is fitted into");
    const auto width = ReadPixels(parser, "width", dpi, 1, 20000);
    const auto height = width ? ReadPixels(parser, "height", dpi, 1, 20000) : std::nullopt;
    if (!height)
        return ExitUsage;
    const auto look = ReadLook(parser);
    if (const int* code = std::get_if<int>(&look))
        return *code;

    auto control = std::make_unique<TBarPDF417>();
    QString refusal;
    control->Encoder().SetMessage([&refusal](const std::string& text) { refusal = QString::fromStdString(text); });
    try {
        control->resize(*width, *height);
        std::get<TLook>(look).ApplyTo(*control);
        control->FSetCodeMode(coding->Mode);
        control->FSetErrorLevel(coding->Level);
        control->FSetDataColumn(*columns);
        control->FSetDataRow(*rows);
        control->FSetBarValue(std::get<std::string>(value));
    } catch (const Exception& e) {
        return Failure(QString::fromStdString(e.what()));
    }
    if (!refusal.isEmpty())
        return Failure(refusal);
    if (control->Encoder().CodeWordCount() == 0 || control->Encoder().SymbolSizes().empty())
        return Failure(std::get<std::string>(value).empty() ? "nothing to encode: the value is empty"
                                                            : "the value does not fit --columns by --rows");
    const int32_t module = FittingModule(*control);
    if (module < 1)
        return Failure(QStringLiteral("the symbol does not fit %1 x %2 pixels even with 1-pixel modules")
                           .arg(*width)
                           .arg(*height));
    control->FSetBarX(module);
    control->FSetAspect(3); // rows 3 modules high at the new module width
    return std::unique_ptr<TBarCode>(std::move(control));
}

int ListPrinters()
{
    const QStringList names = TPrinter().Printers();
    if (names.isEmpty())
        std::fprintf(stderr, "vandrel: no printers are installed (--pdf always works)\n");
    for (const QString& name : names)
        std::printf("%s\n", qPrintable(name));
    return 0;
}

// The symbol's area must lie on the printable area: a symbol cut at the edge
// would be a label that does not scan.
QString PlaceError(const TBarCode& control, TPoint at, int pageWidth, int pageHeight)
{
    if (qint64(at.x) + control.width() <= pageWidth && qint64(at.y) + control.height() <= pageHeight)
        return QString();
    return QStringLiteral("the symbol's area of %1 x %2 pixels at %3,%4 reaches beyond the printable area of "
                          "%5 x %6 pixels")
        .arg(control.width())
        .arg(control.height())
        .arg(at.x)
        .arg(at.y)
        .arg(pageWidth)
        .arg(pageHeight);
}

// The symbol and its place: what print and preview share.
void AddSymbolOptions(QCommandLineParser& parser)
{
    AddTypeValueOptions(parser);
    parser.addOption({"pdf417", "Print the --value as PDF417 instead of a linear symbol of --type."});
    AddModeLevelOptions(parser, "PDF417");
    parser.addOption({"columns", "PDF417 data columns, 1 to 30, or 0 for automatic (default 3).", "N", "3"});
    parser.addOption({"rows", "PDF417 rows, 3 to 90, or 0 for automatic (default 0).", "N", "0"});
    AddAppearanceOptions(parser);
    parser.addOption({"at", "Top-left corner of the symbol's area on the printable area (default 0,0).", "X,Y", "0,0"});
}

// The symbol the options describe, sized at `dpi`, or the refusal already reported.
std::variant<int, std::unique_ptr<TBarCode>> ReadSymbol(const QCommandLineParser& parser, int dpi)
{
    if (parser.isSet("pdf417") == parser.isSet("type"))
        return UsageError("give one of --type T and --pdf417");
    return parser.isSet("pdf417") ? Pdf417(parser, dpi) : Linear(parser, dpi);
}

// Reads the symbol the options describe and its place on a printable area
// of `pageWidth` x `pageHeight` pixels, and hands both to `job` through a
// print component; the refusal or failure reported, or 0.
int PrintPlaced(const QCommandLineParser& parser, int dpi, int pageWidth, int pageHeight,
                const std::function<void(TBarPrint&, TPoint)>& job)
{
    const auto at = ParseAt(parser.value("at"), dpi);
    if (!at)
        return UsageError("--at takes two lengths X,Y, e.g. 20mm,20mm or 0,0");
    auto made = ReadSymbol(parser, dpi);
    if (const int* code = std::get_if<int>(&made))
        return *code;
    const std::unique_ptr<TBarCode> control = std::move(std::get<std::unique_ptr<TBarCode>>(made));
    if (const QString error = PlaceError(*control, *at, pageWidth, pageHeight); !error.isEmpty())
        return Failure(error);
    TBarPrint print;
    print.SetBarCode(control.get());
    try {
        job(print, *at);
    } catch (const Exception& e) {
        return Failure(QString::fromStdString(e.what()));
    }
    return 0;
}

} // namespace

void AddJobOptions(QCommandLineParser& parser)
{
    parser.addOption({"pdf", "Print into this PDF file.", "FILE"});
    parser.addOption({"dpi",
                      QStringLiteral("Resolution of the PDF file, which lengths in mm or in are converted at "
                                     "(default %1); a printer has its own.")
                          .arg(DefaultPrintDpi),
                      "DPI", QString::number(DefaultPrintDpi)});
    parser.addOption({"printer", "Print on this printer (see 'vandrel print --list').", "NAME"});
    parser.addOption({"copies", "Copies on the printer (default 1).", "N", "1"});
    parser.addOption({"title", "Name of the print job (default vandrel).", "TEXT", "vandrel"});
}

std::optional<int> TJobOutput::SetUp(const QCommandLineParser& parser, TPrinter& printer)
{
    if (parser.isSet("dpi") && parser.isSet("printer"))
        return UsageError("--dpi is for --pdf: a printer prints at its own resolution");
    if (parser.isSet("copies") && parser.isSet("pdf"))
        return UsageError("--copies is for --printer");
    printer.SetTitle(parser.value("title"));
    if (parser.isSet("printer")) {
        try {
            printer.SetPrinter(parser.value("printer"));
        } catch (const EPrinter& e) {
            return Failure(QString::fromStdString(e.what()) + " (see 'vandrel print --list')");
        }
        const auto copies = ParseInt(parser.value("copies"), 1, 999);
        if (!copies)
            return UsageError("--copies takes a whole number from 1 to 999");
        printer.SetCopies(*copies);
        return std::nullopt;
    }
    const auto dpi = ReadDpi(parser);
    if (!dpi)
        return ExitUsage;
    const QFileInfo target(parser.value("pdf"));
    if (target.isDir())
        return Failure(QStringLiteral("Cannot write '%1': %2").arg(target.filePath(), std::strerror(EISDIR)));
    FPending.setFileTemplate(target.dir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    if (!FPending.open())
        return Failure(QStringLiteral("Cannot write '%1': %2").arg(target.filePath(), FPending.errorString()));
    printer.SetOutputFileName(FPending.fileName());
    printer.SetResolution(*dpi);
    return std::nullopt;
}

int TJobOutput::Finish(const QCommandLineParser& parser)
{
    if (parser.isSet("printer")) {
        std::printf("printed on %s\n", qPrintable(parser.value("printer")));
        return 0;
    }
    const QString target = parser.value("pdf");
    // A temporary file is its owner's alone; the PDF gets what any new file gets.
    const mode_t mask = umask(0);
    umask(mask);
    const QByteArray pending = QFile::encodeName(FPending.fileName());
    // rename(2) replaces the target in one step: readers see the old file or the new one.
    if (chmod(pending.constData(), 0666 & ~mask) != 0 ||
        std::rename(pending.constData(), QFile::encodeName(target).constData()) != 0)
        return Failure(QStringLiteral("Cannot write '%1': %2").arg(target, std::strerror(errno)));
    FPending.setAutoRemove(false);
    std::printf("%s\n", qPrintable(target));
    return 0;
}

int PrintCommand(const QStringList& args)
{
    QCommandLineParser parser;
    parser.addOption({"list", "List the installed printers and exit."});
    AddSymbolOptions(parser);
    AddJobOptions(parser);
    if (const auto done = Parse(parser, args,
                                "Prints a symbol on a printer or into a PDF file, its area's top-left corner at "
                                "--at on the printable area. Lengths are pixels of the printer (px, the default), "
                                "mm or in. A value the symbology cannot carry, a retail value whose check digit "
                                "is wrong, or a symbol that does not fit its area or the page is refused (exit 1) "
                                "and nothing is printed.",
                                0, Examples))
        return *done;
    if (parser.isSet("list"))
        return ListPrinters();
    if (parser.isSet("pdf") == parser.isSet("printer"))
        return UsageError("give one of --pdf FILE and --printer NAME");
    TPrinter printer;
    TJobOutput output;
    if (const auto failed = output.SetUp(parser, printer))
        return *failed;
    const int printed = PrintPlaced(parser, GetDeviceCaps(printer.Handle(), LOGPIXELSX), printer.PageWidth(),
                                    printer.PageHeight(), [&printer](TBarPrint& print, TPoint at) {
                                        const TInstalledPrinter installed(&printer);
                                        print.Print(at);
                                    });
    if (printed != 0)
        return printed;
    return output.Finish(parser);
}

} // namespace Vandrel

namespace Vandrel {

namespace {
const char* const PreviewExamples =
    "  vandrel preview --type Code128_B --value \"Preview me\" --width 80mm --height 25mm --at 20mm,20mm\n"
    "  vandrel preview --type Code128_B --value \"Preview me\" --width 80mm --height 25mm --grab pre.png "
    "--size 1200x1600\n"
    "  vandrel preview --pdf417 --value \"Hello\" --width 60mm --height 20mm --grab p.png --zoom 150\n";

// The zoom names of --zoom, in the order of the view modes' ordinals.
const QStringList ZoomNames{"500", "200", "150", "100", "75", "50", "25", "10", "width", "page"};

std::optional<QSize> ParseSize(const QString& text)
{
    static const QRegularExpression size("^(\\d{2,5})x(\\d{2,5})$");
    const QRegularExpressionMatch m = size.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QSize s(m.captured(1).toInt(), m.captured(2).toInt());
    return s.width() <= 8000 && s.height() <= 8000 ? std::optional<QSize>(s) : std::nullopt;
}
} // namespace

bool PreviewShowsAWindow(const QStringList& args)
{
    return !args.contains(QStringLiteral("--grab")) && !args.contains(QStringLiteral("--help")) &&
           !args.contains(QStringLiteral("-h"));
}

void AddGrabOptions(QCommandLineParser& parser)
{
    parser.addOption({"grab", "Draw the preview window into this PNG file instead of showing it.", "FILE.png"});
    parser.addOption({"zoom",
                      "Zoom of the grabbed window: 500, 200, 150, 100, 75, 50, 25, 10, width or page "
                      "(default page, the whole page).",
                      "ZOOM", "page"});
    parser.addOption({"size", "Size of the grabbed window in pixels (default 544x375).", "WxH", "544x375"});
}

std::variant<int, TGrab> ReadGrab(const QCommandLineParser& parser)
{
    const int zoom = ZoomNames.indexOf(parser.value("zoom"));
    if (zoom < 0)
        return UsageError("--zoom takes 500, 200, 150, 100, 75, 50, 25, 10, width or page");
    const auto size = ParseSize(parser.value("size"));
    if (!size)
        return UsageError("--size takes WxH in pixels, from 10x10 to 8000x8000, e.g. 1200x1600");
    const QString file = parser.value("grab");
    if (parser.isSet("grab") && QFileInfo(file).suffix().toLower() != QLatin1String("png"))
        return UsageError("--grab writes a .png file");
    return TGrab{file, *size, TViewMode(zoom)};
}

int ShowPreview(const TGrab& grab)
{
    if (grab.File.isEmpty()) {
        BarPreviewForm->PreviewBox->SetViewMode(grab.Zoom);
        QApplication::exec();
        return 0;
    }
    const QImage picture = BarPreviewForm->GrabPreview(grab.Size, grab.Zoom);
    BarPreviewForm->hide();
    QSaveFile file(grab.File);
    QImageWriter writer(&file, "png");
    if (!file.open(QIODevice::WriteOnly) || !writer.write(picture) || !file.commit())
        return Failure(
            QStringLiteral("Cannot write '%1': %2")
                .arg(grab.File, file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString()));
    std::printf("%s\n", qPrintable(grab.File));
    return 0;
}

int PreviewCommand(const QStringList& args)
{
    QCommandLineParser parser;
    AddSymbolOptions(parser);
    AddGrabOptions(parser);
    if (const auto done = Parse(parser, args,
                                "Records a symbol as a one-page print job in the print preview and shows the "
                                "preview window, or draws the window into a picture with --grab (no display "
                                "needed). Lengths are pixels of the preview's printer (px, the default), mm or in. "
                                "The symbol is refused as 'vandrel print' refuses it.",
                                0, PreviewExamples))
        return *done;
    const auto grab = ReadGrab(parser);
    if (const int* code = std::get_if<int>(&grab))
        return *code;

    TPrinterPreview* preview = PrinterPreview();
    const int previewed = PrintPlaced(parser, preview->Metrics().PixelsPerInch, preview->GetPageWidth(),
                                      preview->GetPageHeight(), [](TBarPrint& print, TPoint at) { print.Preview(at); });
    if (previewed != 0)
        return previewed;
    return ShowPreview(std::get<TGrab>(grab));
}

} // namespace Vandrel
