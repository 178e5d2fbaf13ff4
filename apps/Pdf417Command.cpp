#include "apps/Pdf417Command.h"

#include "apps/Cli.h"
#include "pdf417/Encoder.h"
#include "platform/Exceptions.h"

#include <QCommandLineParser>
#include <QFile>

#include <climits>
#include <cstdio>
#include <optional>
#include <string>
#include <variant>

namespace Vandrel {

namespace {

// In the order of the enumerations' ordinals.
const QStringList ModeNames{"text", "numeric", "byte", "auto"};
const QStringList TypeNames{"Normal", "Truncated", "MicroPDF417", "TruncatedMicroPDF417"};

// Everything a run sets on the encoder, read before anything is set so that
// usage errors come first.
struct TOptions {
    std::string value;
    TCodeMode mode;
    int level;
    uint8_t columns;
    uint8_t rows;
    TPDFType type;
    float aspect;
    int module;
    int width;
    int height;
    bool encrypt;
    std::string password;
};

// Values and passwords are byte strings; anything outside Latin-1 cannot be one.
std::optional<std::string> Latin1(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return std::nullopt;
    return text.toLatin1().toStdString();
}

std::optional<std::string> FromHex(const QString& text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    for (const QChar c : text)
        if (!c.isDigit() && !QStringLiteral("abcdefABCDEF").contains(c))
            return std::nullopt;
    return QByteArray::fromHex(text.toLatin1()).toStdString();
}

std::variant<int, std::string> ReadValue(const QCommandLineParser& parser)
{
    if (parser.isSet("value") + parser.isSet("input-file") + parser.isSet("hex") != 1)
        return UsageError("give the value with exactly one of --value, --input-file and --hex");
    if (parser.isSet("hex")) {
        const auto bytes = FromHex(parser.value("hex"));
        if (!bytes)
            return UsageError("--hex takes pairs of hexadecimal digits, e.g. 00ff41");
        return *bytes;
    }
    if (parser.isSet("input-file")) {
        QFile file(parser.value("input-file"));
        if (!file.open(QIODevice::ReadOnly))
            return UsageError("cannot read '" + file.fileName() + "': " + file.errorString());
        return file.readAll().toStdString();
    }
    const auto value = Latin1(parser.value("value"));
    if (!value)
        return UsageError("the value holds characters outside Latin-1");
    return *value;
}

std::variant<int, TOptions> ReadOptions(const QCommandLineParser& parser)
{
    const auto value = ReadValue(parser);
    if (const int* code = std::get_if<int>(&value))
        return *code;
    const int mode = ModeNames.indexOf(parser.value("mode"));
    if (mode < 0)
        return UsageError("--mode takes text, numeric, byte or auto");
    const int type = TypeNames.indexOf(parser.value("type"));
    if (type < 0)
        return UsageError("--type takes Normal, Truncated, MicroPDF417 or TruncatedMicroPDF417");
    const auto level = ParseInt(parser.value("level"), INT_MIN, INT_MAX);
    if (!level)
        return UsageError("--level takes a whole number");
    const auto columns = ParseInt(parser.value("columns"), 0, UINT8_MAX);
    const auto rows = ParseInt(parser.value("rows"), 0, UINT8_MAX);
    if (!columns || !rows)
        return UsageError("--columns and --rows take whole numbers from 0 to 255, 0 for automatic");
    bool ok = false;
    const float aspect = parser.value("aspect").toFloat(&ok);
    if (!ok)
        return UsageError("--aspect takes a number");
    const auto module = ParseInt(parser.value("module"), 1, 1000);
    if (!module)
        return UsageError("--module takes a whole number of pixels from 1 to 1000");
    constexpr int MaxExtent = 20000;
    const auto width = ParseInt(parser.value("width"), 1, MaxExtent);
    const auto height = ParseInt(parser.value("height"), 1, MaxExtent);
    if (!width || !height)
        return UsageError(QStringLiteral("--width and --height take whole numbers from 1 to %1").arg(MaxExtent));
    const auto password = Latin1(parser.value("password"));
    if (!password)
        return UsageError("the password holds characters outside Latin-1");
    return TOptions{std::get<std::string>(value), TCodeMode(mode), *level, uint8_t(*columns), uint8_t(*rows),
                    TPDFType(type), aspect, *module, *width, *height, parser.isSet("encrypt"), *password};
}

// Sets the options the way a control's properties are set; refusals are
// reported through the encoder's message function, Aspect's by Exception.
void Apply(const TOptions& o, TPdf417Encoder& encoder)
{
    encoder.SetCodeMode(o.mode);
    encoder.SetErrorLevel(o.level);
    encoder.SetDataColumn(o.columns);
    encoder.SetDataRow(o.rows);
    encoder.SetPDFType(o.type);
    encoder.SetBarX(o.module);
    encoder.SetAspect(o.aspect);
    encoder.SetArea(o.width, o.height);
    encoder.SetIsEncrypt(o.encrypt);
    encoder.SetPassword(o.password);
    encoder.SetBarValue(o.value);
}

// One line per symbol: its size, then its codewords in order.
void PrintCodewords(const TPdf417Encoder& encoder)
{
    const TBarData* node = encoder.Codewords().Root();
    for (const TSymbolSize& size : encoder.SymbolSizes()) {
        std::string line = std::to_string(size.Rows) + "x" + std::to_string(size.Columns) + ":";
        for (int32_t i = 0; i < size.Rows * size.Columns && node; ++i, node = node->Next)
            line += " " + std::to_string(node->Value);
        std::printf("%s\n", line.c_str());
    }
}

} // namespace

int Pdf417Command(const QStringList& args)
{
    QCommandLineParser parser;
    parser.addOption({"codewords", "Print the codewords (required: the only output so far)."});
    parser.addOption({"value", "The value to encode.", "V"});
    parser.addOption({"input-file", "Encode the bytes of this file.", "FILE"});
    parser.addOption({"hex", "Encode these bytes, two hexadecimal digits each.", "HEX"});
    parser.addOption({"mode", "Compaction: text, numeric, byte or auto (default text).", "MODE", "text"});
    parser.addOption({"level", "Error-correction level, 0 to 8 (default 1).", "L", "1"});
    parser.addOption({"columns", "Data columns, 1 to 30, or 0 for automatic (default 3).", "N", "3"});
    parser.addOption({"rows",
                      "Rows, 3 to 90, or 0 for automatic (default 0). A Micro sequence uses it only with "
                      "--columns 0.",
                      "N", "0"});
    parser.addOption({"type",
                      "Normal, Truncated, MicroPDF417 or TruncatedMicroPDF417 (default Normal). The Micro "
                      "types give a Macro PDF417 sequence, one line per symbol.",
                      "T", "Normal"});
    parser.addOption({"aspect",
                      "Row height over module width, at least 3 (default 3); the area's proportions are "
                      "matched with it.",
                      "A", "3"});
    parser.addOption({"module", "Module width in pixels (default 2); it shapes the drawing, not the codewords.",
                      "PX", "2"});
    parser.addOption({"width",
                      "Width of the area the symbol is fitted to when --columns and --rows are both 0, in "
                      "pixels (default 200).",
                      "PX", "200"});
    parser.addOption({"height", "Height of that area in pixels (default 100).", "PX", "100"});
    parser.addOption({"encrypt", "Protect the value with the password; needs --mode byte."});
    parser.addOption({"password", "Password of at most 32 characters (default empty).", "P"});
    if (const auto done = Parse(parser, args,
                                "Encodes a value as PDF417 and prints each symbol as \"ROWSxCOLUMNS: \" and its\n"
                                "codewords: length descriptor first, error correction last.\n"
                                "A value the encoder refuses prints its message and exits with 1."))
        return *done;
    if (!parser.isSet("codewords"))
        return UsageError("missing --codewords (printing the codewords is all pdf417 does so far)");
    const auto options = ReadOptions(parser);
    if (const int* code = std::get_if<int>(&options))
        return *code;

    bool reported = false;
    TPdf417Encoder encoder([&reported](const std::string& text) {
        reported = true;
        std::fprintf(stderr, "%s\n", text.c_str());
    });
    try {
        Apply(std::get<TOptions>(options), encoder);
        if (reported)
            return 1;
        if (!encoder.StreamToBarData()) {
            // The encoder gives up without a message on these two.
            if (!reported)
                std::fprintf(stderr, "vandrel: %s\n", encoder.DataStream().Size() == 0
                                                          ? "nothing to encode: the value is empty"
                                                          : "the value does not fit --columns by --rows");
            return 1;
        }
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    PrintCodewords(encoder);
    return 0;
}

} // namespace Vandrel
