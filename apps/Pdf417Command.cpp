#include "apps/Pdf417Command.h"

#include "apps/Cli.h"
#include "apps/Render.h"
#include "pdf417/BarPDF417.h"
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
    bool explicitSize;
    TLook look;
};

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
    if (parser.isSet("value") + parser.isSet("input-file") + parser.isSet("hex") + parser.isSet("db") != 1)
        return UsageError("give the value with exactly one of --value, --input-file, --hex and --db");
    if (parser.isSet("db"))
        return std::string();
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
    const auto value = ParseLatin1(parser.value("value"));
    if (!value)
        return UsageError("the value holds characters outside Latin-1");
    return *value;
}

std::variant<int, TOptions> ReadOptions(const QCommandLineParser& parser)
{
    const auto value = ReadValue(parser);
    if (const int* code = std::get_if<int>(&value))
        return *code;
    // Only byte compaction carries a protected payload: --encrypt implies it.
    const bool impliedByte = parser.isSet("encrypt") && !parser.isSet("mode");
    const int mode = impliedByte ? int(bMode) : ModeNames.indexOf(parser.value("mode"));
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
    const auto password = ParseLatin1(parser.value("password"));
    if (!password)
        return UsageError("the password holds characters outside Latin-1");
    const auto look = ReadLook(parser);
    if (const int* code = std::get_if<int>(&look))
        return *code;
    return TOptions{std::get<std::string>(value), TCodeMode(mode), *level, uint8_t(*columns), uint8_t(*rows),
                    TPDFType(type), aspect, *module, *width, *height, parser.isSet("encrypt"), *password,
                    parser.isSet("width") || parser.isSet("height"), std::get<TLook>(look)};
}

// Sets the options through the control's properties; refusals are reported
// through the encoder's message function, Aspect's by Exception. The value
// comes last, so that it is encoded once with everything else in place.
void Apply(const TOptions& o, TCustomBarPDF417& control)
{
    control.resize(o.width, o.height);
    o.look.ApplyTo(control);
    control.FSetCodeMode(o.mode);
    control.FSetErrorLevel(TErrorLevel(o.level));
    control.FSetDataColumn(o.columns);
    control.FSetDataRow(o.rows);
    control.FSetPDFType(o.type);
    control.FSetBarX(o.module);
    control.FSetAspect(o.aspect);
    control.FSetIsEncrypt(o.encrypt);
    control.FSetPassword(o.password);
}

// Encodes the value. With the default grid a value too long for 90 rows of
// 3 columns gets the fewest columns that hold it, rather than no symbol.
void EncodeValue(TCustomBarPDF417& control, const std::string& value, bool defaultGrid)
{
    for (int columns = control.DataColumn();; ++columns) {
        try {
            control.FSetDataColumn(columns);
            control.FSetBarValue(value);
            return;
        } catch (const Exception&) {
            if (!defaultGrid || columns >= MaxColumns)
                throw;
        }
    }
}

// Sizes the control to hold its whole symbol or sequence with the 2-module
// margin, one symbol per line, without encoding again.
void FitToSymbols(TCustomBarPDF417& control)
{
    const TPdf417Encoder& encoder = control.Encoder();
    if (encoder.SymbolSizes().empty())
        return;
    const int32_t bx = control.BarX();
    const int32_t nd = encoder.FullRows() ? 4 : 2;
    const int32_t along = ((encoder.SymbolSizes()[0].Columns + nd) * 17 + 5) * bx;
    int32_t across = 4 * bx;
    for (const TSymbolSize& size : encoder.SymbolSizes())
        across += size.Rows * control.RowHeight();
    across += (encoder.SymbolCount() - 1) * 16 * bx;
    const bool upright = control.Angle() == _90 || control.Angle() == _270;
    control.resize(upright ? across : along, upright ? along : across);
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
    parser.addOption({"codewords", "Print the codewords of each symbol."});
    parser.addOption({QStringList{"o", "output"},
                      "Draw the symbol into a .png, .bmp, .jpg or .emf file (.emf is written as .EMF).\n"
                      "With --db a pattern with one %d (or %04d) for the record number.",
                      "FILE"});
    parser.addOption({"value", "The value to encode.", "V"});
    parser.addOption({"input-file", "Encode the bytes of this file.", "FILE"});
    parser.addOption({"hex", "Encode these bytes, two hexadecimal digits each.", "HEX"});
    parser.addOption({"mode", "Compaction: text, numeric, byte or auto (default text).", "MODE", "text"});
    parser.addOption({"level", "Error-correction level, 0 to 8 (default 1).", "L", "1"});
    parser.addOption({"columns",
                      "Data columns, 1 to 30, or 0 for automatic (default 3; a value too long for 90 rows\n"
                      "of 3 columns, with --rows not given either, gets the fewest columns that hold it).",
                      "N", "3"});
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
                      "Width of the area in pixels (default 200): the symbol is fitted to it when --columns "
                      "and --rows are both 0. Given, it is also the picture's size; otherwise the picture "
                      "holds the whole symbol or sequence.",
                      "PX", "200"});
    parser.addOption({"height", "Height of that area in pixels (default 100).", "PX", "100"});
    parser.addOption({"encrypt", "Protect the value with the password; byte compaction (the mode --encrypt\n"
                                 "implies; any other --mode is refused)."});
    parser.addOption({"password", "Password of at most 32 characters (default empty).", "P"});
    AddLookOptions(parser);
    AddRecordOptions(parser);
    if (const auto done = Parse(parser, args,
                                "Encodes a value as PDF417 and prints each symbol as \"ROWSxCOLUMNS: \" and its\n"
                                "codewords: length descriptor first, error correction last.\n"
                                "A value the encoder refuses prints its message and exits with 1."))
        return *done;
    const bool codewords = parser.isSet("codewords");
    const bool output = parser.isSet("output");
    if (!codewords && !output)
        return UsageError("give --codewords, -o FILE, or both");
    if (output && !IsRenderableFile(parser.value("output")))
        return UsageError("unknown file extension of '" + parser.value("output") + "' (use .png, .bmp, .jpg or .emf)");
    if (parser.isSet("db") && (codewords || !output))
        return UsageError("--db draws pictures: give -o with a %d pattern and no --codewords");
    const auto options = ReadOptions(parser);
    if (const int* code = std::get_if<int>(&options))
        return *code;
    const TOptions& o = std::get<TOptions>(options);

    bool reported = false;
    const auto report = [&reported](const std::string& text) {
        reported = true;
        std::fprintf(stderr, "%s\n", text.c_str());
    };
    if (parser.isSet("db")) {
        TDBBarPDF417 control;
        control.Encoder().SetMessage(report);
        try {
            Apply(o, control);
        } catch (const Exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
        if (reported)
            return 1;
        const auto run = TRecordRun::From(parser, parser.value("output"));
        if (!run)
            return ExitUsage;
        return RenderRecords(
            *run,
            [&](TDataSource& source, const QString& field) {
                control.SetDataField(field);
                control.SetDataSource(&source);
            },
            [&](const QString& fileName, const QString&) {
                if (!o.explicitSize)
                    FitToSymbols(control);
                const int code = WriteSymbol(control, fileName, DefaultDpi);
                // The next record is encoded for the area the options give.
                control.resize(o.width, o.height);
                return TRecordWrite{code, QString()};
            });
    }

    TBarPDF417 control;
    control.Encoder().SetMessage(report);
    try {
        Apply(o, control);
        if (reported)
            return 1;
        EncodeValue(control, o.value, !parser.isSet("columns") && !parser.isSet("rows"));
        if (control.Encoder().CodeWordCount() == 0) {
            // The encoder gives up without a message on these two.
            if (!reported)
                std::fprintf(stderr, "vandrel: %s\n", o.value.empty() ? "nothing to encode: the value is empty"
                                                                       : "the value does not fit --columns by --rows");
            return 1;
        }
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    if (codewords)
        PrintCodewords(control.Encoder());
    if (!output)
        return 0;
    if (!o.explicitSize)
        FitToSymbols(control);
    return WriteSymbol(control, parser.value("output"), DefaultDpi);
}

} // namespace Vandrel
