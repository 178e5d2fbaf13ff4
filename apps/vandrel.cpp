// vandrel: draws symbols from the command line, headless.
#include "apps/Cli.h"
#include "apps/Linear.h"
#include "apps/Pdf417Command.h"
#include "apps/PrintCommand.h"
#include "apps/Render.h"
#include "apps/ReportCommand.h"
#include "apps/ScanCommand.h"

#include "core/Exceptions.h"
#include "linear/DBSingleBarcode.h"
#include "linear/Symbology.h"
#include "linear/ValueCheck.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMetaEnum>

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <variant>

using namespace Vandrel;

namespace {

const char* const Usage = "Usage: vandrel <command> [options]\n"
                          "\n"
                          "Commands:\n"
                          "  render    draw a linear symbol into a picture, SVG, PDF or EMF file\n"
                          "  modules   print the module string of a symbol\n"
                          "  types     list the symbology names with their ordinals\n"
                          "  gallery   draw sample symbols of every symbology into a directory\n"
                          "  pdf417    encode a value as PDF417: print its codewords, draw it into a file\n"
                          "  scan      read a PDF417 picture back to its bytes\n"
                          "  print     print a symbol on a printer or into a PDF file\n"
                          "  preview   show a symbol in the print preview, or draw the preview into a picture\n"
                          "  report    print sheets of labels from database records, into a PDF file or on a printer\n"
                          "\n"
                          "Run 'vandrel <command> --help' for the options of a command,\n"
                          "'vandrel --version' for the version.\n"
                          "\n"
                          "Exit codes: 0 everything asked was written; 1 a runtime failure or a refused\n"
                          "value (nothing partial is left); 2 a usage error; 3 a batch skipped records.\n";

const char* const RenderExamples =
    "  vandrel render --type EAN13 --value 400638133393 -o label.png\n"
    "  vandrel render --type code128b --value \"SHIP-2026-0004711\" --xdim 0.33mm --dpi 600 -o ship.pdf\n"
    "  vandrel render --type Code39 --value ABC-123 --angle 90 --transparent -o code.svg\n"
    "  vandrel render --type EAN13 --db data/products.sqlite --sql \"SELECT ean FROM products\" \\\n"
    "      --field ean -o out/label-%04d.png\n";

// Draws the control's current value into `fileName`, or answers why not.
TRecordWrite WriteLabel(TCustomSingleBarCode& control, const TAppearance& appearance, const std::string& given,
                        const QString& fileName)
{
    if (const QString refusal = Refusal(appearance.Type, given, appearance.Check); !refusal.isEmpty())
        return {0, refusal};
    if (const QString error = appearance.Fit(control); !error.isEmpty())
        return {Failure(error), QString()};
    return {WriteSymbol(control, fileName, appearance.Dpi), QString()};
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
    AddAppearanceOptions(parser);
    AddDpiOption(parser);
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
    const auto dpi = ReadDpi(parser);
    const auto appearance = dpi ? ReadAppearance(parser, std::get<TBarType>(type), *dpi) : std::nullopt;
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
    return written.Refusal.isEmpty() ? written.Code : Failure(written.Refusal);
}

int ModulesCommand(const QStringList& args)
{
    QCommandLineParser parser;
    AddTypeValueOptions(parser);
    if (const auto done = Parse(
            parser, args,
            "Prints the module string a symbol is drawn from: one character per "
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
    if (const auto done = Parse(parser, args,
                                "Draws sample symbols of every symbology at all four angles "
                                "and lists the files written.",
                                0, "  vandrel gallery --dir out\n"))
        return *done;
    return RunGallery(parser.value("dir"));
}

} // namespace

int main(int argc, char** argv)
{
    // The tool needs a display only to show the preview window.
    const bool window =
        argc > 1 && QByteArray(argv[1]) == "preview" && PreviewShowsAWindow(QStringList(argv + 2, argv + argc));
    if (!window && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (window && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "vandrel: the preview window needs a display; --grab FILE.png draws it without one\n");
        return 1;
    }
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
    if (command == "preview")
        return PreviewCommand(args);
    if (command == "print")
        return PrintCommand(args);
    if (command == "report")
        return ReportCommand(args);
    return UsageError("unknown command '" + command + "'\n" + QString::fromLatin1(Usage));
}
