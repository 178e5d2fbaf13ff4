#include "apps/Cli.h"

#include "core/BarCode.h"

#include <QCoreApplication>

#include <cstdio>

namespace Vandrel {

int UsageError(const QString& message)
{
    std::fprintf(stderr, "vandrel: %s\n", qPrintable(message));
    return ExitUsage;
}

std::optional<int> Parse(QCommandLineParser& parser, const QStringList& args, const QString& description,
                         int positionals)
{
    parser.setApplicationDescription(description);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{"h", "help"}, "Show this help.");
    parser.addOption(help);
    if (!parser.parse(args))
        return UsageError(parser.errorText());
    if (parser.isSet(help)) {
        // Qt names the program by its path; the usage line names the command.
        QString text = parser.helpText();
        text.replace(QCoreApplication::arguments().constFirst(), args.constFirst());
        std::printf("%s", qPrintable(text));
        return 0;
    }
    const QStringList given = parser.positionalArguments();
    if (given.size() > positionals)
        return UsageError("unexpected argument '" + given.at(positionals) + "'");
    if (given.size() < positionals)
        return UsageError("missing argument (see '" + args.constFirst() + " --help')");
    return std::nullopt;
}

std::optional<int> ParseInt(const QString& text, int low, int high)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok && v >= low && v <= high ? std::optional<int>(v) : std::nullopt;
}


std::optional<std::string> ParseLatin1(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return std::nullopt;
    return text.toLatin1().toStdString();
}

void TLook::ApplyTo(TBarCode& control) const
{
    control.FSetAngle(angle);
    control.FSetAlignment(alignment);
    control.FSetTransparent(transparent);
    control.FSetBarColor(barColor);
    control.FSetBarBackColor(backColor);
}

void AddLookOptions(QCommandLineParser& parser)
{
    parser.addOption({"angle", "Quarter turn: 0, 90, 180 or 270 (default 0).", "DEG", "0"});
    parser.addOption({"align", "Symbol alignment: left, right or center (default center).", "A", "center"});
    parser.addOption({"transparent", "Leave spaces and background unpainted."});
    parser.addOption({"bar-color", "Bar colour (default 000000).", "RRGGBB", "000000"});
    parser.addOption({"back-color", "Background colour (default FFFFFF).", "RRGGBB", "FFFFFF"});
}

namespace {
std::optional<QColor> ParseColor(const QString& text)
{
    bool ok = false;
    const uint rgb = text.toUInt(&ok, 16);
    return ok && text.size() == 6 ? std::optional<QColor>(QColor::fromRgb(QRgb(rgb))) : std::nullopt;
}
} // namespace

std::variant<int, TLook> ReadLook(const QCommandLineParser& parser)
{
    const auto degrees = ParseInt(parser.value("angle"), 0, 270);
    if (!degrees || *degrees % 90 != 0)
        return UsageError("--angle takes 0, 90, 180 or 270");
    static const QStringList alignments{"left", "right", "center"};
    const auto alignment = alignments.indexOf(parser.value("align"));
    if (alignment < 0)
        return UsageError("--align takes left, right or center");
    const auto barColor = ParseColor(parser.value("bar-color"));
    const auto backColor = ParseColor(parser.value("back-color"));
    if (!barColor || !backColor)
        return UsageError("colours are six hexadecimal digits RRGGBB");
    return TLook{TAngleType(*degrees / 90), TAlignment(alignment), parser.isSet("transparent"), *barColor,
                 *backColor};
}

} // namespace Vandrel
