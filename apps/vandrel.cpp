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

#include <cerrno>
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
    "  render    draw one symbol into a .png, .bmp, .jpg or .emf file\n"
    "  modules   print the module string of a symbol\n"
    "  types     list the symbology names with their ordinals\n"
    "  gallery   draw sample symbols of every symbology into a directory\n"
    "  pdf417    encode a value as PDF417: print its codewords, draw it into a file\n"
    "  scan      read a PDF417 picture back to its bytes\n"
    "\n"
    "Run 'vandrel <command> --help' for the options of a command.\n";

std::optional<TBarType> ParseType(const QString& name)
{
    bool ok = false;
    const int value = QMetaEnum::fromType<TBarType>().keyToValue(name.toLatin1().constData(), &ok);
    return ok ? std::optional<TBarType>(TBarType(value)) : std::nullopt;
}

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

// How the symbols of a render run look, applied to the control that draws them.
struct TAppearance {
    int width;
    int height;
    TBarType type;
    bool check;
    TLook look;
    bool text;
    int fontSize;

    void ApplyTo(TCustomSingleBarCode& control) const
    {
        control.resize(width, height);
        control.FSetCalcuCheck(check);
        control.FSetBarType(type);
        look.ApplyTo(control);
        control.FSetShowText(text);
        TFont font = control.Font();
        font.Height = -fontSize;
        control.FSetFont(font);
    }
};

std::variant<int, TAppearance> ReadAppearance(const QCommandLineParser& parser, TBarType type)
{
    constexpr int MaxExtent = 20000;
    const auto width = ParseInt(parser.value("width"), 1, MaxExtent);
    const auto height = ParseInt(parser.value("height"), 1, MaxExtent);
    if (!width || !height)
        return UsageError(QStringLiteral("--width and --height take whole numbers from 1 to %1").arg(MaxExtent));
    const auto look = ReadLook(parser);
    if (const int* code = std::get_if<int>(&look))
        return *code;
    const auto fontSize = ParseInt(parser.value("font-size"), 1, 1000);
    if (!fontSize)
        return UsageError("--font-size takes a whole number of pixels from 1 to 1000");
    return TAppearance{*width, *height, type, !parser.isSet("no-check"), std::get<TLook>(look),
                       !parser.isSet("no-text"), *fontSize};
}

// One picture per record of a query, drawn by a 1D control bound to the field.
int RenderRecordsCommand(const QCommandLineParser& parser, const TAppearance& appearance, const QString& pattern)
{
    TDBSingleBarCode control;
    appearance.ApplyTo(control);
    // A leading record with an empty field has no previous symbol to repeat.
    control.SetBarValueText(QString());
    return RenderRecords(
        TRecordRun::From(parser, pattern),
        [&](TDataSource& source, const QString& field) {
            control.SetDataField(field);
            control.SetDataSource(&source);
        },
        [&](const QString& fileName) { return WriteSymbol(control, fileName); });
}

int RenderCommand(const QStringList& args)
{
    QCommandLineParser parser;
    AddTypeValueOptions(parser);
    parser.addOption({QStringList{"o", "output"},
                      "Output file: .png, .bmp, .jpg or .emf (written as .EMF). With --db a pattern\n"
                      "with one %d (or %04d) for the record number.",
                      "FILE"});
    parser.addOption({"width", "Control width in pixels (default 200).", "PX", "200"});
    parser.addOption({"height", "Control height in pixels (default 100).", "PX", "100"});
    AddLookOptions(parser);
    parser.addOption({"no-text", "Draw no human-readable text."});
    parser.addOption({"font-size", "Text height in pixels (default 11).", "PX", "11"});
    AddRecordOptions(parser);
    if (const auto done = Parse(parser, args, "Draws a symbol into a picture file, or one per database record."))
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
        return UsageError("unknown file extension of '" + output + "' (use .png, .bmp, .jpg or .emf)");
    const auto appearance = ReadAppearance(parser, std::get<TBarType>(type));
    if (const int* code = std::get_if<int>(&appearance))
        return *code;

    if (records)
        return RenderRecordsCommand(parser, std::get<TAppearance>(appearance), output);
    TCustomSingleBarCode control;
    std::get<TAppearance>(appearance).ApplyTo(control);
    control.FSetBarValue(value);
    return WriteSymbol(control, output);
}

int ModulesCommand(const QStringList& args)
{
    QCommandLineParser parser;
    AddTypeValueOptions(parser);
    if (const auto done = Parse(parser, args, "Prints the module string a symbol is drawn from: one character per\n"
                                              "element, 0-3 spaces, 5-8 bars, A-D short bars, of 1-4 modules."))
        return *done;
    const auto tv = ReadTypeValue(parser);
    if (const int* code = std::get_if<int>(&tv))
        return *code;
    auto [type, value] = std::get<TTypeValue>(tv);
    if (!parser.isSet("no-check"))
        CompleteCheckDigit(type, value);
    if (!DoDigitNum(type, value)) {
        std::fprintf(stderr, "invalid value\n");
        return 1;
    }
    std::printf("%s\n", ModuleString(type, value).c_str());
    return 0;
}

int TypesCommand(const QStringList& args)
{
    QCommandLineParser parser;
    if (const auto done = Parse(parser, args, "Lists the symbology names with their ordinals."))
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
    if (const auto done = Parse(parser, args, "Draws sample symbols of every symbology at all four angles\n"
                                              "and lists the files written."))
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
