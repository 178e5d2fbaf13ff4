#include "apps/Cli.h"

#include "core/BarCode.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>

namespace Vandrel {

int UsageError(const QString& message)
{
    std::fprintf(stderr, "vandrel: %s\n", qPrintable(message));
    return ExitUsage;
}

int Failure(const QString& message)
{
    std::fprintf(stderr, "vandrel: %s\n", qPrintable(message));
    return ExitFailure;
}

QString PictureSizeError(qint64 width, qint64 height)
{
    if (width <= 0 || height <= 0)
        return QStringLiteral("the symbol leaves no picture to draw (%1 x %2 pixels)").arg(width).arg(height);
    // Each extent is below the budget, so the product cannot overflow.
    if (width > MaxPicturePixels || height > MaxPicturePixels || width * height > MaxPicturePixels)
        return QStringLiteral("the picture would be %1 x %2 pixels, more than the %3 million pixels allowed; "
                              "choose a smaller module width or size")
            .arg(width)
            .arg(height)
            .arg(MaxPicturePixels / 1000000);
    return QString();
}

void AddDpiOption(QCommandLineParser& parser)
{
    parser.addOption({"dpi",
                      QStringLiteral("Resolution in dots per inch that lengths in mm or in are converted at and "
                                     "that PNG, JPEG, SVG and PDF files record (default %1).")
                          .arg(DefaultDpi),
                      "DPI", QString::number(DefaultDpi)});
}

std::optional<int> ReadDpi(const QCommandLineParser& parser)
{
    const auto dpi = ParseInt(parser.value("dpi"), 10, 10000);
    if (!dpi)
        UsageError("--dpi takes a whole number from 10 to 10000");
    return dpi;
}

std::optional<double> ParseLength(const QString& text, int dpi)
{
    static const QRegularExpression length("^\\s*([0-9]*\\.?[0-9]+)\\s*(px|mm|in)?\\s*$");
    const QRegularExpressionMatch m = length.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const double number = m.captured(1).toDouble();
    const QString unit = m.captured(2);
    const double pixels = unit == QLatin1String("mm")   ? number * dpi / 25.4
                          : unit == QLatin1String("in") ? number * dpi
                                                        : number;
    return std::isfinite(pixels) && pixels > 0 ? std::optional<double>(pixels) : std::nullopt;
}

std::optional<int> ReadPixels(const QCommandLineParser& parser, const QString& option, int dpi, int low, int high)
{
    const auto length = ParseLength(parser.value(option), dpi);
    if (!length || std::nearbyint(*length) < low || std::nearbyint(*length) > high) {
        UsageError(QStringLiteral("--%1 takes a length from %2 to %3 pixels (e.g. %2, %4mm or 0.5in at --dpi %5)")
                       .arg(option)
                       .arg(low)
                       .arg(high)
                       .arg(QString::number(low * 25.4 / dpi, 'f', 2))
                       .arg(dpi));
        return std::nullopt;
    }
    return int(std::nearbyint(*length));
}

void AddPasswordOptions(QCommandLineParser& parser, const QString& purpose)
{
    parser.addOption({"password",
                      purpose + " Visible to other users of this machine: prefer --password-file, or the "
                                "environment variable VANDREL_PASSWORD, which is read when neither option is given.",
                      "P"});
    parser.addOption({"password-file", "Read the password from the first line of this file.", "FILE"});
}

std::optional<std::string> ReadPassword(const QCommandLineParser& parser)
{
    if (parser.isSet("password") && parser.isSet("password-file")) {
        UsageError("--password and --password-file exclude each other");
        return std::nullopt;
    }
    QString text;
    if (parser.isSet("password-file")) {
        QFile file(parser.value("password-file"));
        // A password is short: reading a line of bounded length guards against /dev/zero.
        if (!file.open(QIODevice::ReadOnly)) {
            UsageError("cannot read '" + file.fileName() + "': " + file.errorString());
            return std::nullopt;
        }
        text = QString::fromUtf8(file.readLine(4096)).remove(QRegularExpression("[\\r\\n]+$"));
    } else if (parser.isSet("password")) {
        text = parser.value("password");
    } else {
        text = qEnvironmentVariable("VANDREL_PASSWORD");
    }
    const auto password = ParseLatin1(text);
    if (!password)
        UsageError("the password holds characters outside Latin-1");
    return password;
}

namespace {
// Paragraphs of running text broken into lines of at most 79 columns.
QString Wrapped(const QString& text)
{
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (!line.isEmpty() && line.size() + 1 + word.size() > 79) {
                lines << line;
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}
} // namespace

std::optional<int> Parse(QCommandLineParser& parser, const QStringList& args, const QString& description,
                         int positionals, const char* examples)
{
    parser.setApplicationDescription(Wrapped(description));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{"h", "help"}, "Show this help.");
    parser.addOption(help);
    if (!parser.parse(args))
        return UsageError(parser.errorText());
    if (parser.isSet(help)) {
        // Qt names the program by its path; the usage line names the command.
        QString text = parser.helpText();
        text.replace(QCoreApplication::arguments().constFirst(), args.constFirst());
        if (examples)
            text += QStringLiteral("\nExamples:\n") + QLatin1String(examples);
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
    control.FSetAngle(Angle);
    control.FSetAlignment(Alignment);
    control.FSetTransparent(Transparent);
    control.FSetBarColor(BarColor);
    control.FSetBarBackColor(BackColor);
}

void AddLookOptions(QCommandLineParser& parser)
{
    parser.addOption({"angle", "Quarter turn: 0, 90, 180 or 270 (default 0).", "DEG", "0"});
    parser.addOption({"align", "Symbol alignment: left, right or center (default center).", "A", "center"});
    parser.addOption({"transparent", "Leave spaces and background unpainted (PNG and TIFF keep them transparent)."});
    parser.addOption({"bar-color", "Bar colour, RRGGBB or #RRGGBB (default 000000).", "RRGGBB", "000000"});
    parser.addOption({"back-color", "Background colour, RRGGBB or #RRGGBB (default FFFFFF).", "RRGGBB", "FFFFFF"});
}

std::optional<QColor> ParseColor(const QString& text)
{
    const QString digits = text.startsWith(QLatin1Char('#')) ? text.mid(1) : text;
    static const QRegularExpression hex("^[0-9A-Fa-f]{6}$");
    if (!hex.match(digits).hasMatch())
        return std::nullopt;
    return QColor::fromRgb(QRgb(digits.toUInt(nullptr, 16)));
}

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
        return UsageError("--bar-color and --back-color take six hexadecimal digits, RRGGBB or #RRGGBB");
    return TLook{TAngleType(*degrees / 90), TAlignment(alignment), parser.isSet("transparent"), *barColor, *backColor};
}

const QStringList Pdf417ModeNames{"text", "numeric", "byte", "auto"};

void AddModeLevelOptions(QCommandLineParser& parser, const QString& prefix)
{
    // "Compaction", or "PDF417 compaction".
    const auto start = [&prefix](const QString& words) {
        return prefix.isEmpty() ? words.left(1).toUpper() + words.mid(1) : prefix + ' ' + words;
    };
    parser.addOption({"mode", start("compaction: text, numeric, byte or auto (default text)."), "MODE", "text"});
    parser.addOption(
        {"level", start("error-correction level, 0 to 8 (default 1): 2 to 512 error-correction codewords."), "L", "1"});
}

std::optional<TModeLevel> ReadModeLevel(const QCommandLineParser& parser, std::optional<TCodeMode> implied)
{
    const int mode =
        implied && !parser.isSet("mode") ? int(*implied) : int(Pdf417ModeNames.indexOf(parser.value("mode")));
    if (mode < 0) {
        UsageError("--mode takes text, numeric, byte or auto");
        return std::nullopt;
    }
    const auto level = ParseInt(parser.value("level"), 0, 8);
    if (!level) {
        UsageError("--level takes a whole number from 0 to 8");
        return std::nullopt;
    }
    return TModeLevel{TCodeMode(mode), TErrorLevel(*level)};
}

} // namespace Vandrel
