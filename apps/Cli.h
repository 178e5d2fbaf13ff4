#pragma once
// What every command of the vandrel tool shares: option parsing with --help,
// and one-line usage errors with exit code 2.
#include "core/Enums.h"

#include <QColor>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <variant>

namespace Vandrel {

inline constexpr int ExitUsage = 2;

// Prints "vandrel: <message>" on standard error and answers ExitUsage.
int UsageError(const QString& message);

// Parses the options of one command; prints help and answers 0, or reports a
// usage error and answers 2, or answers nullopt to go on. args[0] names the
// command ("vandrel render"); the command takes `positionals` arguments.
std::optional<int> Parse(QCommandLineParser& parser, const QStringList& args, const QString& description,
                         int positionals = 0);

// A whole number within [low, high], or nullopt.
std::optional<int> ParseInt(const QString& text, int low, int high);

// Values and passwords are byte strings: anything outside Latin-1 is refused.
std::optional<std::string> ParseLatin1(const QString& text);

// How any control is drawn: --angle, --align, --transparent and the colours.
class TBarCode;
struct TLook {
    TAngleType angle;
    TAlignment alignment;
    bool transparent;
    QColor barColor;
    QColor backColor;
    void ApplyTo(TBarCode& control) const;
};
void AddLookOptions(QCommandLineParser& parser);
std::variant<int, TLook> ReadLook(const QCommandLineParser& parser);

} // namespace Vandrel
