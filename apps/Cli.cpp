#include "apps/Cli.h"

#include <QCoreApplication>

#include <cstdio>

namespace Vandrel {

int UsageError(const QString& message)
{
    std::fprintf(stderr, "vandrel: %s\n", qPrintable(message));
    return ExitUsage;
}

// Parses the options of one command; prints help and answers 0, or reports a
// usage error and answers 2, or answers nullopt to go on.
std::optional<int> Parse(QCommandLineParser& parser, const QStringList& args, const QString& description)
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
    if (!parser.positionalArguments().isEmpty())
        return UsageError("unexpected argument '" + parser.positionalArguments().first() + "'");
    return std::nullopt;
}

std::optional<int> ParseInt(const QString& text, int low, int high)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok && v >= low && v <= high ? std::optional<int>(v) : std::nullopt;
}


} // namespace Vandrel
