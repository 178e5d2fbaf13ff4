// vandrel: draws symbols from the command line, headless.
#include "apps/Cli.h"
#include "apps/Pdf417Command.h"
#include "apps/Render.h"
#include "apps/ScanCommand.h"

#include "linear/DBSingleBarcode.h"
#include "linear/Symbology.h"
#include "linear/ValueCheck.h"
#include "platform/Exceptions.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMetaEnum>

#include <QDir>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <optional>
#include <variant>

using namespace Vandrel;

namespace {

const char* const Usage =
    "Usage: vandrel <command> [options]\n"
    "\n"
    "Commands:\n"
    "  render    draw a linear symbol into a picture, SVG, PDF or EMF file\n"
    "  modules   print the module string of a symbol\n"
    "  types     list the symbology names with their ordinals\n"
    "  gallery   draw sample symbols of every symbology into a directory\n"
    "  pdf417    encode a value as PDF417: print its codewords, draw it into a file\n"
    "  scan      read a PDF417 picture back to its bytes\n"
    "\n"
    "Run 'vandrel <command> --help' for the options of a command,\n"
    "'vandrel --version' for the version.\n"
    "\n"
    "Exit codes: 0 everything asked was written; 1 a runtime failure or a refused\n"
    "value (nothing partial is left); 2 a usage error; 3 a batch skipped records.\n";

// Type names match without regard to case, '-', '_' and spaces, so that
// "ean13", "EAN-13" and "code128b" name what the ordinals list calls EAN13,
// EAN13 and Code128_B; a few common names stand for the symbologies too.
QString TypeKey(const QString& name)
{
    return name.toLower().remove(QRegularExpression("[-_ ]"));
}

std::optional<TBarType> ParseType(const QString& name)
{
    static const QHash<QString, TBarType> names = [] {
        QHash<QString, TBarType> table{
            {"itf", Inter2_5},         {"interleaved2of5", Inter2_5}, {"industrial2of5", Indust2_5},
            {"matrix2of5", Matrix2_5}, {"code39extended", Code39Ex},  {"code93extended", Code93Ex},
            {"upce", UPC_E0},          {"gs1128", EAN128_C},          {"ean128", EAN128_C},
            {"code128", Code128_B},
        };
        const QMetaEnum types = QMetaEnum::fromType<TBarType>();
        for (int i = 0; i < types.keyCount(); ++i)
            table.insert(TypeKey(QLatin1String(types.key(i))), TBarType(types.value(i)));
        return table;
    }();
    const auto found = names.constFind(TypeKey(name));
    return found == names.cend() ? std::nullopt : std::optional<TBarType>(*found);
}

const char* const RenderExamples =
    "  vandrel render --type EAN13 --value 400638133393 -o label.png\n"
    "  vandrel render --type code128b --value \"SHIP-2026-0004711\" --xdim 0.33mm --dpi 600 -o ship.pdf\n"
    "  vandrel render --type Code39 --value ABC-123 --angle 90 --transparent -o code.svg\n"
    "  vandrel render --type EAN13 --db data/products.sqlite --sql \"SELECT ean FROM products\" \\\n"
    "      --field ean -o out/label-%04d.png\n";

struct TTypeValue {
    TBarType type;
    std::string value;
};

// The --type and --value options that render and modules share.
void AddTypeValueOptions(QCommandLineParser& parser)
{
    parser.addOption({"type", "Symbology name, as listed by 'vandrel types'.", "T"});
    parser.addOption({"value", "The value to encode.", "V"});
    parser.addOption({"check", "Complete retail values with their check digit (default)."});
    parser.addOption({"no-check", "Leave retail values as given."});
}

std::variant<int, TBarType> ReadType(const QCommandLineParser& parser)
{
    if (!parser.isSet("type"))
        return UsageError("missing --type");
    if (parser.isSet("check") && parser.isSet("no-check"))
        return UsageError("--check and --no-check exclude each other");
    const auto type = ParseType(parser.value("type"));
    if (!type)
        return UsageError("unknown type '" + parser.value("type") + "' (see 'vandrel types')");
    return *type;
}

std::variant<int, std::string> ReadValue(const QCommandLineParser& parser)
{
    if (!parser.isSet("value"))
        return UsageError("missing --value");
    const auto value = ParseLatin1(parser.value("value"));
    if (!value)
        return UsageError("the value holds characters outside Latin-1");
    return *value;
}

std::variant<int, TTypeValue> ReadTypeValue(const QCommandLineParser& parser)
{
    const auto type = ReadType(parser);
    if (const int* code = std::get_if<int>(&type))
        return *code;
    const auto value = ReadValue(parser);
    if (const int* code = std::get_if<int>(&value))
        return *code;
    return TTypeValue{std::get<TBarType>(type), std::get<std::string>(value)};
}

// Why the tool refuses to draw `value` as `type`, or an empty string. The
// control hatches a value its symbology cannot carry and completes a retail
// value with its check digit; a label tool must not print either in silence.
QString Refusal(TBarType type, const std::string& value, bool check)
{
    const QString shown = QString::fromLatin1(value.data(), qsizetype(value.size()));
    if (!DoDigitNum(type, value))
        return QStringLiteral("cannot encode '%1': %2").arg(shown, QString::fromStdString(DescribeValueRule(type)));
    if (check)
        if (const auto digit = WrongCheckDigit(type, value))
            return QStringLiteral("the check digit of %1 should be %2 (--no-check draws the value as given)")
                .arg(shown)
                .arg(QChar(*digit));
    return QString();
}

// How the symbols of a render run are sized and look, applied to the control
// that draws them. Without --width and --height the picture is sized to the
// symbol: `xdim` pixels a module, bars `barHeight` pixels long.
struct TAppearance {
    std::optional<QSize> size;
    int xdim;
    int barHeight;
    TBarType type;
    bool check;
    TLook look;
    bool text;
    int fontSize;
    int dpi;

    void ApplyTo(TCustomSingleBarCode& control) const
    {
        control.FSetCalcuCheck(check);
        control.FSetBarType(type);
        look.ApplyTo(control);
        control.FSetShowText(text);
        TFont font = control.Font();
        font.Height = -fontSize;
        control.FSetFont(font);
    }

    // Sizes the control to its current value; the message says why it cannot be drawn.
    QString Fit(TCustomSingleBarCode& control) const
    {
        const bool upright = look.angle == _90 || look.angle == _270;
        const qint64 modules = control.SymbolModules();
        if (!size) {
            const qint64 along = modules * xdim;
            const qint64 across = control.ExtentAcrossFor(barHeight);
            const QString error = PictureSizeError(upright ? across : along, upright ? along : across);
            if (error.isEmpty())
                control.resize(int(upright ? across : along), int(upright ? along : across));
            return error;
        }
        control.resize(*size);
        const int along = upright ? size->height() : size->width();
        const int across = upright ? size->width() : size->height();
        const char* alongName = upright ? "--height" : "--width";
        const char* acrossName = upright ? "--width" : "--height";
        if (along < modules)
            return QStringLiteral("the symbol needs at least %1 pixels along it (%1 modules of 1 pixel), %2 gives %3")
                .arg(modules)
                .arg(alongName)
                .arg(along);
        if (const int least = control.ExtentAcrossFor(1); across < least)
            return QStringLiteral("the symbol needs at least %1 pixels across it for bars and text, %2 gives %3")
                .arg(least)
                .arg(acrossName)
                .arg(across);
        return QString();
    }
};

std::optional<TAppearance> ReadAppearance(const QCommandLineParser& parser, TBarType type)
{
    const auto dpi = ReadDpi(parser);
    if (!dpi)
        return std::nullopt;
    if (parser.isSet("width") != parser.isSet("height")) {
        UsageError("give --width and --height together, or neither to size the picture to the symbol");
        return std::nullopt;
    }
    std::optional<QSize> size;
    if (parser.isSet("width")) {
        if (parser.isSet("xdim") || parser.isSet("bar-height")) {
            UsageError("--width and --height size the picture; --xdim and --bar-height size the symbol: give one pair");
            return std::nullopt;
        }
        const auto width = ReadPixels(parser, "width", *dpi, 1, 20000);
        const auto height = width ? ReadPixels(parser, "height", *dpi, 1, 20000) : std::nullopt;
        if (!height)
            return std::nullopt;
        size = QSize(*width, *height);
    }
    const auto xdim = ReadPixels(parser, "xdim", *dpi, 1, 100);
    if (!xdim)
        return std::nullopt;
    const auto barHeight =
        parser.isSet("bar-height") ? ReadPixels(parser, "bar-height", *dpi, 1, 20000) : std::optional<int>(50 * *xdim);
    if (!barHeight)
        return std::nullopt;
    const auto look = ReadLook(parser);
    if (std::holds_alternative<int>(look))
        return std::nullopt;
    // The text follows the module width: 11 pixels at 2-pixel modules.
    const int defaultFont = size ? 11 : std::max(8, int(std::lround(5.5 * *xdim)));
    const auto fontSize = parser.isSet("font-size") ? ReadPixels(parser, "font-size", *dpi, 1, 1000)
                                                    : std::optional<int>(defaultFont);
    if (!fontSize)
        return std::nullopt;
    return TAppearance{size, *xdim, *barHeight, type, !parser.isSet("no-check"), std::get<TLook>(look),
                       !parser.isSet("no-text"), *fontSize, *dpi};
}

// Draws the control's current value into `fileName`, or answers why not.
TRecordWrite WriteLabel(TCustomSingleBarCode& control, const TAppearance& appearance, const std::string& given,
                        const QString& fileName)
{
    if (const QString refusal = Refusal(appearance.type, given, appearance.check); !refusal.isEmpty())
        return {0, refusal};
    if (const QString error = appearance.Fit(control); !error.isEmpty())
        return {Failure(error), QString()};
    return {WriteSymbol(control, fileName, appearance.dpi), QString()};
}

// One picture per record of a query, drawn by a 1D control bound to the field.
int RenderRecordsCommand(const TRecordRun& run, const TAppearance& appearance)
{
    TDBSingleBarCode control;
    appearance.ApplyTo(control);
    return RenderRecords(
        run,
        [&](TDataSource& source, const QString& field) {
            control.SetDataField(field);
            control.SetDataSource(&source);
        },
        [&](const QString& fileName, const QString& value) {
            const auto latin1 = ParseLatin1(value);
            if (!latin1)
                return TRecordWrite{0, QStringLiteral("the value holds characters outside Latin-1")};
            // An empty value (--on-empty repeat) draws what the control holds.
            return WriteLabel(control, appearance, value.isEmpty() ? control.BarValue() : *latin1, fileName);
        });
}

int RenderCommand(const QStringList& args)
{
    QCommandLineParser parser;
    AddTypeValueOptions(parser);
    parser.addOption({QStringList{"o", "output"}, QStringLiteral("Output file: %1.").arg(OutputFormats), "FILE"});
    parser.addOption({"xdim", "Module width: the width of the narrowest bar (default 2 pixels; 0.33mm at --dpi).",
                      "LENGTH", "2"});
    parser.addOption({"bar-height", "Bar length (default 50 module widths); a retail symbol's guard bars.",
                      "LENGTH"});
    parser.addOption({"width", "Picture width, with --height, instead of sizing the picture to the symbol; "
                               "refused when the symbol does not fit.",
                      "LENGTH"});
    parser.addOption({"height", "Picture height, with --width.", "LENGTH"});
    AddDpiOption(parser);
    AddLookOptions(parser);
    parser.addOption({"no-text", "Draw no human-readable text."});
    parser.addOption({"font-size", "Text height (default 11 pixels at 2-pixel modules, following --xdim).",
                      "LENGTH"});
    AddRecordOptions(parser);
    if (const auto done = Parse(parser, args,
                                "Draws a symbol into a picture file, or one per database record. A value the "
                                "symbology cannot carry, or a retail value whose check digit is wrong, is refused "
                                "(exit 1) and nothing is written.",
                                0, RenderExamples))
        return *done;

    const bool records = parser.isSet("db");
    if (records && parser.isSet("value"))
        return UsageError("--value and --db exclude each other");
    const auto type = ReadType(parser);
    if (const int* code = std::get_if<int>(&type))
        return *code;
    std::string value;
    if (!records) {
        const auto read = ReadValue(parser);
        if (const int* code = std::get_if<int>(&read))
            return *code;
        value = std::get<std::string>(read);
    }
    if (!parser.isSet("output"))
        return UsageError("missing -o FILE");
    const QString output = parser.value("output");
    if (!IsRenderableFile(output))
        return UsageError(QStringLiteral("unknown file extension of '%1' (use %2)").arg(output, OutputFormats));
    const auto appearance = ReadAppearance(parser, std::get<TBarType>(type));
    if (!appearance)
        return ExitUsage;

    if (records) {
        const auto run = TRecordRun::From(parser, output);
        return run ? RenderRecordsCommand(*run, *appearance) : ExitUsage;
    }
    TCustomSingleBarCode control;
    appearance->ApplyTo(control);
    control.FSetBarValue(value);
    const TRecordWrite written = WriteLabel(control, *appearance, value, output);
    return written.refusal.isEmpty() ? written.code : Failure(written.refusal);
}

int ModulesCommand(const QStringList& args)
{
    QCommandLineParser parser;
    AddTypeValueOptions(parser);
    if (const auto done = Parse(parser, args, "Prints the module string a symbol is drawn from: one character per "
                                              "element, 0-3 spaces, 5-8 bars, A-D short bars, of 1-4 modules.",
                                0, "  vandrel modules --type Code39 --value ABC\n  vandrel modules --type ean13 --value 400638133393\n"))
        return *done;
    const auto tv = ReadTypeValue(parser);
    if (const int* code = std::get_if<int>(&tv))
        return *code;
    auto [type, value] = std::get<TTypeValue>(tv);
    if (!DoDigitNum(type, value)) {
        std::fprintf(stderr, "invalid value\n");
        return 1;
    }
    const bool check = !parser.isSet("no-check");
    if (const QString refusal = Refusal(type, value, check); !refusal.isEmpty())
        return Failure(refusal);
    if (check)
        CompleteCheckDigit(type, value);
    std::printf("%s\n", ModuleString(type, value).c_str());
    return 0;
}

int TypesCommand(const QStringList& args)
{
    QCommandLineParser parser;
    if (const auto done = Parse(parser, args,
                                "Lists the symbology names with their ordinals. --type also takes them in any "
                                "case, without '-', '_' or spaces (ean13, EAN-13, code128b), and the common names "
                                "itf, upce, code128 (set B), gs1128 (EAN128_C).",
                                0, "  vandrel types\n"))
        return *done;
    const QMetaEnum types = QMetaEnum::fromType<TBarType>();
    for (int i = 0; i < types.keyCount(); ++i)
        std::printf("%d %s\n", types.value(i), types.key(i));
    return 0;
}

int GalleryCommand(const QStringList& args)
{
    QCommandLineParser parser;
    parser.addOption({"dir", "Directory to write into (default out).", "DIR", "out"});
    if (const auto done = Parse(parser, args, "Draws sample symbols of every symbology at all four angles "
                                              "and lists the files written.",
                                0, "  vandrel gallery --dir out\n"))
        return *done;
    return RunGallery(parser.value("dir"));
}

} // namespace

int main(int argc, char** argv)
{
    // The tool never needs a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a private runtime directory and complains on every start without one.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray dir = QDir::tempPath().toLocal8Bit() + "/vandrel-runtime-" + QByteArray::number(getuid());
        if (mkdir(dir.constData(), 0700) == 0 || errno == EEXIST)
            qputenv("XDG_RUNTIME_DIR", dir);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("vandrel");

    QStringList args = QApplication::arguments();
    if (args.size() < 2)
        return UsageError("missing command\n" + QString::fromLatin1(Usage));
    const QString command = args.takeAt(1);
    args[0] = "vandrel " + command;
    if (command == "--help" || command == "-h" || command == "help") {
        std::printf("%s", Usage);
        return 0;
    }
    if (command == "--version" || command == "version") {
        std::printf("vandrel %s\n", VANDREL_VERSION);
        return 0;
    }
    if (command == "render")
        return RenderCommand(args);
    if (command == "modules")
        return ModulesCommand(args);
    if (command == "types")
        return TypesCommand(args);
    if (command == "gallery")
        return GalleryCommand(args);
    if (command == "pdf417")
        return Pdf417Command(args);
    if (command == "scan")
        return ScanCommand(args);
    return UsageError("unknown command '" + command + "'\n" + QString::fromLatin1(Usage));
}
