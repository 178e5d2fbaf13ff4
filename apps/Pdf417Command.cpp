#include "apps/Pdf417Command.h"

#include "apps/Cli.h"
#include "apps/Render.h"
#include "core/Exceptions.h"
#include "crypto/Payload.h"
#include "pdf417/BarPDF417.h"
#include "platform/Canvas.h"

#include <QCommandLineParser>
#include <QFile>

#include <cstdio>
#include <iterator>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace Vandrel {

namespace {

// In the order of the enumerations' ordinals.
const QStringList TypeNames{"Normal", "Truncated", "MicroPDF417", "TruncatedMicroPDF417"};

// The most bytes one symbol can carry in each mode, in ordinal order: its
// data codewords (all but the length descriptor and the two error-correction
// codewords of level 0) at the mode's best packing, two text characters, 44
// digits in 15 codewords or 6 bytes in 5; automatic compaction packs nothing
// better than digits. A longer value is refused before it is read whole.
constexpr qint64 MaxDataCodewords = MaxSymbolCodewords - 1 - 2;
constexpr qint64 SymbolBytes[] = {MaxDataCodewords * 2, MaxDataCodewords * 44 / 15, MaxDataCodewords * 6 / 5,
                                  MaxDataCodewords * 44 / 15};
static_assert(std::size(SymbolBytes) == cMode + 1);
// A sequence is cut from the whole value with its codewords held in memory:
// 1 MiB encodes in about a second within tens of megabytes, and makes some
// two thousand symbols, a file each with --split.
constexpr qint64 SequenceBytes = qint64{1} << 20;

// Everything a run sets on the encoder, read before anything is set so that
// usage errors come first.
struct TOptions {
    TCodeMode Mode;
    TErrorLevel Level;
    int Columns;
    int Rows;
    bool DefaultGrid; // neither --columns nor --rows given
    TPDFType Type;
    float Aspect;
    int Module;
    QSize Area;
    bool ExplicitSize;
    bool Encrypt;
    std::string Password;
    TLook Look;
    int Dpi;
    std::string Value;

    bool Sequence() const { return Type == MicroPDF417 || Type == TruncatedMicroPDF417; }
    qint64 MaxValueBytes() const { return Sequence() ? SequenceBytes : SymbolBytes[Mode]; }
    QString TooLong() const
    {
        return QStringLiteral("the value is longer than %1 bytes, the most %2")
            .arg(MaxValueBytes())
            .arg(Sequence() ? QStringLiteral("a Macro PDF417 sequence takes")
                            : QStringLiteral("one symbol carries in %1 mode (--type MicroPDF417 spreads a longer "
                                             "value over a sequence)")
                                  .arg(Pdf417ModeNames[Mode]));
    }
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

// At most `limit` + 1 bytes of the file, so that /dev/zero or a huge file is
// refused at once.
std::variant<int, std::string> ReadFile(const QString& fileName, qint64 limit)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return UsageError("cannot read '" + file.fileName() + "': " + file.errorString());
    QByteArray bytes;
    while (bytes.size() <= limit) {
        const QByteArray chunk = file.read(limit + 1 - bytes.size());
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (file.error() != QFileDevice::NoError)
        return Failure("cannot read '" + file.fileName() + "': " + file.errorString());
    return bytes.toStdString();
}

// The value of --hex, --input-file or --value; a value longer than the
// options allow is refused (exit 1).
std::variant<int, std::string> ReadValue(const QCommandLineParser& parser, const TOptions& o)
{
    if (parser.isSet("db"))
        return std::string();
    std::variant<int, std::string> value;
    if (parser.isSet("hex")) {
        const auto bytes = FromHex(parser.value("hex"));
        if (!bytes)
            return UsageError("--hex takes pairs of hexadecimal digits, e.g. 00ff41");
        value = *bytes;
    } else if (parser.isSet("input-file")) {
        value = ReadFile(parser.value("input-file"), o.MaxValueBytes());
    } else {
        const auto latin1 = ParseLatin1(parser.value("value"));
        if (!latin1)
            return UsageError("the value holds characters outside Latin-1");
        value = *latin1;
    }
    if (const auto* bytes = std::get_if<std::string>(&value); bytes && qint64(bytes->size()) > o.MaxValueBytes())
        return Failure(o.TooLong());
    return value;
}

// --password or --password-file only with --encrypt, which needs a password
// from one of them or from VANDREL_PASSWORD.
std::variant<int, std::string> ReadEncryptPassword(const QCommandLineParser& parser)
{
    if (!parser.isSet("encrypt")) {
        if (parser.isSet("password") || parser.isSet("password-file"))
            return UsageError("--password and --password-file go with --encrypt");
        return std::string();
    }
    const auto password = ReadPassword(parser);
    if (!password)
        return ExitUsage;
    if (password->empty())
        return UsageError("--encrypt needs a password: --password-file FILE, the environment variable "
                          "VANDREL_PASSWORD, or --password");
    if (password->size() > MaxPasswordLength)
        return UsageError(QStringLiteral("the password takes at most %1 characters, it has %2")
                              .arg(MaxPasswordLength)
                              .arg(password->size()));
    return *password;
}

std::variant<int, TOptions> ReadOptions(const QCommandLineParser& parser)
{
    if (parser.isSet("value") + parser.isSet("input-file") + parser.isSet("hex") + parser.isSet("db") != 1)
        return UsageError("give the value with exactly one of --value, --input-file, --hex and --db");
    // Only byte compaction carries a protected payload: --encrypt implies it.
    const auto coding = ReadModeLevel(parser, parser.isSet("encrypt") ? std::optional<TCodeMode>(bMode) : std::nullopt);
    if (!coding)
        return ExitUsage;
    const int type = TypeNames.indexOf(parser.value("type"));
    if (type < 0)
        return UsageError("--type takes Normal, Truncated, MicroPDF417 or TruncatedMicroPDF417");
    const auto columns = ParseInt(parser.value("columns"), 0, MaxColumns);
    if (!columns)
        return UsageError(QStringLiteral("--columns takes a whole number from 1 to %1, or 0 to follow the area's "
                                         "proportions")
                              .arg(MaxColumns));
    const auto rows = ParseInt(parser.value("rows"), 0, MaxRows);
    if (!rows || (*rows != 0 && *rows < MinRows))
        return UsageError(
            QStringLiteral("--rows takes a whole number from %1 to %2, or 0 for automatic").arg(MinRows).arg(MaxRows));
    bool ok = false;
    const float aspect = parser.value("aspect").toFloat(&ok);
    if (!ok || !(aspect >= 3.0f && aspect <= 100.0f))
        return UsageError("--aspect takes a number from 3 to 100");
    const auto dpi = ReadDpi(parser);
    const auto module = dpi ? ReadPixels(parser, "module", *dpi, 1, 50) : std::nullopt;
    const auto width = module ? ReadPixels(parser, "width", *dpi, 1, 20000) : std::nullopt;
    const auto height = width ? ReadPixels(parser, "height", *dpi, 1, 20000) : std::nullopt;
    if (!height)
        return ExitUsage;
    const auto look = ReadLook(parser);
    if (const int* code = std::get_if<int>(&look))
        return *code;
    const auto password = ReadEncryptPassword(parser);
    if (const int* code = std::get_if<int>(&password))
        return *code;
    TOptions o{coding->Mode,
               coding->Level,
               *columns,
               *rows,
               !parser.isSet("columns") && !parser.isSet("rows"),
               TPDFType(type),
               aspect,
               *module,
               QSize(*width, *height),
               parser.isSet("width") || parser.isSet("height"),
               parser.isSet("encrypt"),
               std::get<std::string>(password),
               std::get<TLook>(look),
               *dpi,
               {}};
    auto value = ReadValue(parser, o);
    if (const int* code = std::get_if<int>(&value))
        return *code;
    o.Value = std::move(std::get<std::string>(value));
    return o;
}

// Why a value was not encoded: the control's own message, printed as it is,
// or the tool's.
struct TRefusal {
    QString Text;
    bool FromControl = false;

    int Report() const
    {
        if (!FromControl)
            return Failure(Text);
        std::fprintf(stderr, "%s\n", qPrintable(Text));
        return ExitFailure;
    }
};

// One picture to write: a file, its size, and the symbol it shows.
struct TPicture {
    QString FileName;
    QSize Size;
    int32_t Symbol;
};

// The tool's control prints the symbols it encoded, as CreateBMP draws
// them. The control's own printing path (SVG, PDF, transparent pictures)
// encodes the value again for the picture's size: that could give another
// grid than the one sized and printed with --codewords, and a sequence
// another file ID in every file of it, at the cost of encoding the whole
// sequence once per file.
class TEncodedBarPDF417 final : public TBarPDF417 {
public:
    void Print(QPainter* dc, TPoint p) override
    {
        TCanvas canvas(dc);
        AreaOrigin = p;
        CalcuBmpSize();
        DrawBarCode(canvas);
    }
};

// Encodes values with the options and draws them: one value, or one per
// record of a --db batch.
class TPdf417Writer {
public:
    explicit TPdf417Writer(const TOptions& o) : FOptions(o)
    {
        FControl.Encoder().SetMessage([this](const std::string& text) { FMessages.push_back(text); });
        FControl.resize(o.Area);
        o.Look.ApplyTo(FControl);
        FControl.FSetCodeMode(o.Mode);
        FControl.FSetErrorLevel(o.Level);
        FControl.FSetPDFType(o.Type);
        FControl.FSetDataRow(o.Rows);
        // Aspect after BarX: the row height follows both.
        FControl.FSetBarX(o.Module);
        FControl.FSetAspect(o.Aspect);
        FControl.FSetIsEncrypt(o.Encrypt);
        FControl.FSetPassword(o.Password);
    }

    // What the control refused since it was last asked, e.g. an option
    // combination while the options were set.
    std::optional<TRefusal> Refused()
    {
        if (FMessages.empty())
            return std::nullopt;
        QStringList texts;
        for (const std::string& text : FMessages)
            texts << QString::fromStdString(text);
        FMessages.clear();
        return TRefusal{texts.join("; "), true};
    }

    // Encodes `value` for the area the options give.
    std::optional<TRefusal> Encode(const std::string& value)
    {
        FControl.resize(FOptions.Area);
        try {
            EncodeWithColumns(value);
        } catch (const Exception& e) {
            FMessages.clear();
            return TRefusal{QString::fromStdString(e.what()), true};
        }
        if (auto refusal = Refused())
            return refusal;
        const TPdf417Encoder& encoder = FControl.Encoder();
        // The encoder gives up without a message on these two.
        if (encoder.CodeWordCount() == 0)
            return TRefusal{value.empty() ? QStringLiteral("nothing to encode: the value is empty")
                                          : QStringLiteral("the value does not fit --columns by --rows")};
        return std::nullopt;
    }

    // One line per symbol: its size, then its codewords in order.
    void PrintCodewords() const
    {
        const TPdf417Encoder& encoder = FControl.Encoder();
        const TBarData* node = encoder.Codewords().Root();
        for (const TSymbolSize& size : encoder.SymbolSizes()) {
            std::string line = std::to_string(size.Rows) + "x" + std::to_string(size.Columns) + ":";
            for (int32_t i = 0; i < size.Rows * size.Columns && node; ++i, node = node->Next)
                line += " " + std::to_string(node->Value);
            std::printf("%s\n", line.c_str());
        }
    }

    // The pictures of the encoded value: one, or one per symbol when split,
    // `output` numbering them from 1 in sequence order; or why they cannot be
    // drawn.
    std::variant<std::vector<TPicture>, QString> Pictures(const QString& output, bool split)
    {
        const int32_t count = split ? FControl.Encoder().SymbolCount() : 1;
        std::vector<TPicture> pictures;
        for (int32_t k = 0; k < count; ++k) {
            const int32_t symbol = split ? k : TCustomBarPDF417::AllSymbols;
            FControl.SetShownSymbol(symbol);
            auto size = PictureSize();
            if (const QString* error = std::get_if<QString>(&size))
                return *error;
            pictures.push_back({split ? NumberedName(output, k + 1) : output, std::get<QSize>(size), symbol});
        }
        return pictures;
    }

    // Writes the pictures; after a failure, those written before it are
    // removed, so that no part of a sequence is left.
    int Write(const std::vector<TPicture>& pictures)
    {
        std::vector<QString> written;
        for (const TPicture& picture : pictures) {
            FControl.SetShownSymbol(picture.Symbol);
            FControl.resize(picture.Size);
            if (const int code = WriteSymbol(FControl, picture.FileName, FOptions.Dpi)) {
                for (const QString& fileName : written)
                    QFile::remove(fileName);
                return code;
            }
            written.push_back(picture.FileName);
        }
        return 0;
    }

private:
    // With neither --columns nor --rows, a value too long for 90 rows of 3
    // columns gets the fewest columns that hold it, rather than no symbol.
    void EncodeWithColumns(const std::string& value)
    {
        for (int columns = FOptions.Columns;; ++columns) {
            try {
                FControl.FSetDataColumn(columns);
                FControl.FSetBarValue(value);
                return;
            } catch (const Exception&) {
                if (!FOptions.DefaultGrid || columns >= MaxColumns)
                    throw;
            }
        }
    }

    // The picture of the symbols shown: the area the options give, which
    // must hold them, or their own extent with the 2-module margin.
    std::variant<QSize, QString> PictureSize() const
    {
        const bool upright = FControl.Angle() == _90 || FControl.Angle() == _270;
        const QSize area = FOptions.Area;
        if (FOptions.ExplicitSize) {
            const int along = upright ? area.height() : area.width();
            const int across = upright ? area.width() : area.height();
            const auto extent = FControl.DrawingExtent(along);
            if (extent.Left < 0 || extent.Right > along || extent.Bottom > across) {
                const qint64 length = extent.Right - extent.Left;
                return QStringLiteral("the symbol needs %1 x %2 pixels, more than the %3 x %4 that --width and "
                                      "--height give; leave both out to size the picture to the symbol")
                    .arg(upright ? extent.Bottom : length)
                    .arg(upright ? length : extent.Bottom)
                    .arg(area.width())
                    .arg(area.height());
            }
            if (QString error = PictureSizeError(area.width(), area.height()); !error.isEmpty())
                return error;
            return area;
        }
        const auto extent = FControl.DrawingExtent(0);
        const qint64 along = extent.Right - extent.Left;
        const qint64 width = upright ? extent.Bottom : along;
        const qint64 height = upright ? along : extent.Bottom;
        if (QString error = PictureSizeError(width, height); !error.isEmpty()) {
            if (FControl.ShownSymbol() == TCustomBarPDF417::AllSymbols && FControl.Encoder().SymbolCount() > 1)
                error += QStringLiteral(", or --split to write one file per symbol");
            return error;
        }
        return QSize(int(width), int(height));
    }

    const TOptions& FOptions;
    TEncodedBarPDF417 FControl;
    std::vector<std::string> FMessages;
};

// Encodes the one value and prints or draws it.
int RunValue(const TOptions& o, bool codewords, const std::optional<QString>& output, bool split)
{
    TPdf417Writer writer(o);
    if (const auto refusal = writer.Refused())
        return refusal->Report();
    if (const auto refusal = writer.Encode(o.Value))
        return refusal->Report();
    if (!output) {
        writer.PrintCodewords();
        return 0;
    }
    const auto pictures = writer.Pictures(*output, split);
    if (const QString* error = std::get_if<QString>(&pictures))
        return Failure(*error);
    if (codewords)
        writer.PrintCodewords();
    return writer.Write(std::get<std::vector<TPicture>>(pictures));
}

// One picture per record. The writer encodes each record's value itself
// rather than through a data-aware control, whose encoding runs inside the
// dataset's move to the record: a refusal there could not become the
// record's own.
int RunRecords(const TOptions& o, const TRecordRun& run)
{
    TPdf417Writer writer(o);
    if (const auto refusal = writer.Refused())
        return refusal->Report();
    std::optional<std::string> previous;
    return RenderRecords(
        run, [](TDataSource&, const QString&) {},
        [&](const QString& fileName, const QString& text) {
            const auto latin1 = ParseLatin1(text);
            if (!latin1)
                return TRecordWrite{0, QStringLiteral("the value holds characters outside Latin-1")};
            // An empty value (--on-empty repeat) draws the last one written.
            if (text.isEmpty() && !previous)
                return TRecordWrite{0, QStringLiteral("the field is empty and no record before it was written")};
            const std::string value = text.isEmpty() ? *previous : *latin1;
            if (qint64(value.size()) > o.MaxValueBytes())
                return TRecordWrite{0, o.TooLong()};
            if (const auto refusal = writer.Encode(value))
                return TRecordWrite{0, refusal->Text};
            const auto pictures = writer.Pictures(fileName, false);
            if (const QString* error = std::get_if<QString>(&pictures))
                return TRecordWrite{Failure(*error), QString()};
            const int code = writer.Write(std::get<std::vector<TPicture>>(pictures));
            if (code == 0)
                previous = value;
            return TRecordWrite{code, QString()};
        });
}

const char* const Examples =
    "  vandrel pdf417 --value \"Hello, PDF417\" --codewords\n"
    "  vandrel pdf417 --input-file ticket.bin --mode byte --level 4 --module 0.33mm --dpi 600 \\\n"
    "      -o ticket.pdf\n"
    "  vandrel pdf417 --input-file manual.txt --type MicroPDF417 --split -o part-%03d.png\n"
    "  VANDREL_PASSWORD=s3cret vandrel pdf417 --value \"Payroll 2026\" --encrypt -o payroll.svg\n"
    "  vandrel pdf417 --db data/products.sqlite --sql \"SELECT name FROM products\" --field name \\\n"
    "      -o out/product-%04d.png\n";

void AddOptions(QCommandLineParser& parser)
{
    parser.addOption({"codewords",
                      "Print the codewords of each symbol: \"ROWSxCOLUMNS:\", then the length descriptor, the data "
                      "and the error correction."});
    parser.addOption({QStringList{"o", "output"},
                      "Draw the symbol into this file: " + QString::fromLatin1(OutputFormats) +
                          ". With --db a pattern with one %d (or %0Nd, N below 100) for the record number; with "
                          "--split one for the symbol's place in the sequence.",
                      "FILE"});
    parser.addOption({"value", "The value to encode.", "V"});
    parser.addOption({"input-file", "Encode the bytes of this file.", "FILE"});
    parser.addOption({"hex", "Encode these bytes, two hexadecimal digits each.", "HEX"});
    AddModeLevelOptions(parser, QString());
    parser.addOption({"columns",
                      "Data columns, 1 to 30, or 0 to follow the area's proportions (default 3; a value too long "
                      "for 90 rows of 3 columns, with --rows not given either, gets the fewest columns that "
                      "hold it).",
                      "N", "3"});
    parser.addOption({"rows",
                      "Rows, 3 to 90, or 0 for automatic (default 0). A value that needs more than 30 columns "
                      "in that many rows is refused. A Micro sequence uses it only with --columns 0.",
                      "N", "0"});
    parser.addOption(
        {"type",
         "Normal, Truncated, MicroPDF417 or TruncatedMicroPDF417 (default Normal). The Micro types "
         "give a Macro PDF417 sequence of linked symbols, drawn one below the other (side by side as far as "
         "--width leaves room).",
         "T", "Normal"});
    parser.addOption({"aspect", "Row height over module width, 3 to 100 (default 3).", "A", "3"});
    parser.addOption({"module",
                      "Module width, 1 to 50 pixels, or a length in mm or in at --dpi (default 2 pixels); it "
                      "shapes the drawing, not the codewords.",
                      "LENGTH", "2"});
    parser.addOption({"width",
                      "Width of the area, 1 to 20000 pixels or a length in mm or in (default 200 pixels): with "
                      "--columns 0 and --rows 0 the grid follows its proportions. Given, with or without "
                      "--height, the area is the picture's size and a symbol that does not fit it is refused; "
                      "otherwise the picture holds the whole symbol or sequence.",
                      "LENGTH", "200"});
    parser.addOption(
        {"height", "Height of that area, 1 to 20000 pixels or a length (default 100 pixels).", "LENGTH", "100"});
    AddDpiOption(parser);
    parser.addOption({"split",
                      "Write each symbol of a Macro PDF417 sequence (a Micro --type) into a file of its own: -o "
                      "takes one %d (or %0Nd, N below 100) for the symbol's place in the sequence, 1 for the "
                      "first."});
    parser.addOption(
        {"encrypt", QStringLiteral("Protect the value with a password of 1 to %1 characters; byte compaction, "
                                   "which --encrypt implies (any other --mode is refused).")
                        .arg(MaxPasswordLength)});
    AddPasswordOptions(parser, "The password for --encrypt.");
    AddLookOptions(parser);
    AddRecordOptions(parser);
}

} // namespace

int Pdf417Command(const QStringList& args)
{
    QCommandLineParser parser;
    AddOptions(parser);
    const QString description =
        QStringLiteral(
            "Encodes a value as PDF417: prints the codewords of each symbol (--codewords), draws the symbol into a "
            "file (-o), or both.\n"
            "One symbol carries at most %1 bytes in text mode, %2 in numeric and auto mode and %3 in byte mode; a "
            "Macro PDF417 sequence (--type MicroPDF417 or TruncatedMicroPDF417) at most %4 bytes. A longer value, "
            "one the encoder refuses, or a picture of more than %5 million pixels is refused with the reason and "
            "nothing is written.\n"
            "Exit codes: 0 everything asked was written; 1 a refused value or a runtime failure; 2 a usage error; "
            "3 a --db batch skipped records.")
            .arg(SymbolBytes[tMode])
            .arg(SymbolBytes[nMode])
            .arg(SymbolBytes[bMode])
            .arg(SequenceBytes)
            .arg(MaxPicturePixels / 1000000);
    if (const auto done = Parse(parser, args, description, 0, Examples))
        return *done;
    const bool codewords = parser.isSet("codewords");
    const std::optional<QString> output =
        parser.isSet("output") ? std::optional<QString>(parser.value("output")) : std::nullopt;
    const bool split = parser.isSet("split");
    const bool records = parser.isSet("db");
    if (!codewords && !output)
        return UsageError("give --codewords, -o FILE, or both");
    if (output && !IsRenderableFile(*output))
        return UsageError(QStringLiteral("unknown file extension of '%1' (use %2)").arg(*output, OutputFormats));
    if (codewords && output == QStringLiteral("-"))
        return UsageError("--codewords and -o - would both write to standard output");
    if (records && (codewords || !output || split))
        return UsageError("--db draws pictures: give -o with a %d pattern, and neither --codewords nor --split");
    if (split && !(output && IsNumberedPattern(*output)))
        return UsageError("with --split the output takes one %d (or %0Nd, N below 100) for the symbol's place "
                          "in the sequence, e.g. part-%03d.png");
    const auto options = ReadOptions(parser);
    if (const int* code = std::get_if<int>(&options))
        return *code;
    const TOptions& o = std::get<TOptions>(options);
    if (split && !o.Sequence())
        return UsageError("--split writes the symbols of a sequence: give --type MicroPDF417 or "
                          "TruncatedMicroPDF417");
    if (records) {
        const auto run = TRecordRun::From(parser, *output);
        return run ? RunRecords(o, *run) : ExitUsage;
    }
    return RunValue(o, codewords, output, split);
}

} // namespace Vandrel
