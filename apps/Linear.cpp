#include "apps/Linear.h"

#include "linear/Symbology.h"
#include "linear/ValueCheck.h"

#include <QHash>
#include <QMetaEnum>
#include <QRegularExpression>

#include <cmath>

namespace Vandrel {

namespace {
// Type names match without regard to case, '-', '_' and spaces, so that
// "ean13", "EAN-13" and "code128b" name what the ordinals list calls EAN13,
// EAN13 and Code128_B; a few common names stand for the symbologies too.
QString TypeKey(const QString& name)
{
    return name.toLower().remove(QRegularExpression("[-_ ]"));
}
} // namespace

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

void AddTypeOptions(QCommandLineParser& parser)
{
    parser.addOption({"type", "Symbology name, as listed by 'vandrel types'.", "T"});
    parser.addOption({"check", "Complete retail values with their check digit (default)."});
    parser.addOption({"no-check", "Leave retail values as given."});
}

void AddTypeValueOptions(QCommandLineParser& parser)
{
    AddTypeOptions(parser);
    parser.addOption({"value", "The value to encode.", "V"});
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

void TAppearance::ApplyTo(TCustomSingleBarCode& control) const
{
    control.FSetCalcuCheck(Check);
    control.FSetBarType(Type);
    Look.ApplyTo(control);
    control.FSetShowText(Text);
    TFont font = control.Font();
    font.Height = -FontSize;
    control.FSetFont(font);
}

QString TAppearance::Fit(TCustomSingleBarCode& control) const
{
    const bool upright = Look.Angle == _90 || Look.Angle == _270;
    const qint64 modules = control.SymbolModules();
    if (!Size) {
        const qint64 along = modules * XDim;
        const qint64 across = control.ExtentAcrossFor(BarHeight);
        const QString error = PictureSizeError(upright ? across : along, upright ? along : across);
        if (error.isEmpty())
            control.resize(int(upright ? across : along), int(upright ? along : across));
        return error;
    }
    control.resize(*Size);
    const int along = upright ? Size->height() : Size->width();
    const int across = upright ? Size->width() : Size->height();
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

void AddAppearanceOptions(QCommandLineParser& parser)
{
    parser.addOption(
        {"xdim", "Module width: the width of the narrowest bar (default 2 pixels; 0.33mm at --dpi).", "LENGTH", "2"});
    parser.addOption({"bar-height", "Bar length (default 50 module widths); a retail symbol's guard bars.", "LENGTH"});
    parser.addOption({"width",
                      "Width of the symbol's area, with --height, instead of sizing it to the symbol; "
                      "refused when the symbol does not fit.",
                      "LENGTH"});
    parser.addOption({"height", "Height of that area, with --width.", "LENGTH"});
    AddLookOptions(parser);
    parser.addOption({"no-text", "Draw no human-readable text."});
    parser.addOption({"font-size", "Text height (default 11 pixels at 2-pixel modules, following --xdim).", "LENGTH"});
}

std::optional<TAppearance> ReadAppearance(const QCommandLineParser& parser, TBarType type, int dpi)
{
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
        const auto width = ReadPixels(parser, "width", dpi, 1, 20000);
        const auto height = width ? ReadPixels(parser, "height", dpi, 1, 20000) : std::nullopt;
        if (!height)
            return std::nullopt;
        size = QSize(*width, *height);
    }
    const auto xdim = ReadPixels(parser, "xdim", dpi, 1, 100);
    if (!xdim)
        return std::nullopt;
    const auto barHeight =
        parser.isSet("bar-height") ? ReadPixels(parser, "bar-height", dpi, 1, 20000) : std::optional<int>(50 * *xdim);
    if (!barHeight)
        return std::nullopt;
    const auto look = ReadLook(parser);
    if (std::holds_alternative<int>(look))
        return std::nullopt;
    // The text follows the module width: 11 pixels at 2-pixel modules.
    const int defaultFont = size ? 11 : std::max(8, int(std::lround(5.5 * *xdim)));
    const auto fontSize =
        parser.isSet("font-size") ? ReadPixels(parser, "font-size", dpi, 1, 1000) : std::optional<int>(defaultFont);
    if (!fontSize)
        return std::nullopt;
    return TAppearance{
        size,      *xdim, *barHeight, type, !parser.isSet("no-check"), std::get<TLook>(look), !parser.isSet("no-text"),
        *fontSize, dpi};
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

} // namespace Vandrel
