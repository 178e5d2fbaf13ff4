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

// The tool's exit codes: 0 when everything asked was written.
inline constexpr int ExitFailure = 1; // a runtime failure or a refused value; nothing partial is left
inline constexpr int ExitUsage = 2;   // the command line is wrong
inline constexpr int ExitSkipped = 3; // a batch skipped records, each one named

// Prints "vandrel: <message>" on standard error and answers ExitUsage.
int UsageError(const QString& message);
// Prints "vandrel: <message>" on standard error and answers ExitFailure.
int Failure(const QString& message);

// No picture is drawn above this many pixels (256 MB at 32 bits a pixel):
// a mistyped size must fail at once, not after minutes of swapping.
inline constexpr qint64 MaxPicturePixels = 64'000'000;
// Why a picture of width x height pixels cannot be drawn, or an empty string.
QString PictureSizeError(qint64 width, qint64 height);

// The resolution that physical lengths are converted at and that picture
// files record: --dpi, 300 unless given.
inline constexpr int DefaultDpi = 300;
void AddDpiOption(QCommandLineParser& parser);
// The readers of options answer nullopt after printing the usage error.
std::optional<int> ReadDpi(const QCommandLineParser& parser);

// A length in pixels: "12" or "12px", "50mm", "0.5in" (converted at `dpi`).
// nullopt when malformed, not finite or not above zero.
std::optional<double> ParseLength(const QString& text, int dpi);
// A length option as whole pixels within [low, high] (rounded to nearest);
// the usage error names the option and its range.
std::optional<int> ReadPixels(const QCommandLineParser& parser, const QString& option, int dpi, int low, int high);

// --password and --password-file; the environment variable VANDREL_PASSWORD
// is read when neither is given, so a password need not stand on the command
// line. Empty when none of the three gives one.
void AddPasswordOptions(QCommandLineParser& parser, const QString& purpose);
std::optional<std::string> ReadPassword(const QCommandLineParser& parser);

// Parses the options of one command; prints help (the description wrapped,
// the options, then `examples` when given) and answers 0, or reports a
// usage error and answers 2, or answers nullopt to go on. args[0] names the
// command ("vandrel render"); the command takes `positionals` arguments.
std::optional<int> Parse(QCommandLineParser& parser, const QStringList& args, const QString& description,
                         int positionals = 0, const char* examples = nullptr);

// A whole number within [low, high], or nullopt.
std::optional<int> ParseInt(const QString& text, int low, int high);

// Colours: RRGGBB or #RRGGBB.
std::optional<QColor> ParseColor(const QString& text);

// PDF417 --mode (compaction) and --level (error correction); `prefix` starts
// their descriptions ("PDF417 compaction", or "Compaction" when empty).
extern const QStringList Pdf417ModeNames; // in the order of TCodeMode's ordinals
void AddModeLevelOptions(QCommandLineParser& parser, const QString& prefix);
struct TModeLevel {
    TCodeMode Mode;
    TErrorLevel Level;
};
// `implied` stands for --mode when it is not given.
std::optional<TModeLevel> ReadModeLevel(const QCommandLineParser& parser, std::optional<TCodeMode> implied = {});

// Values and passwords are byte strings: anything outside Latin-1 is refused.
std::optional<std::string> ParseLatin1(const QString& text);

// How any control is drawn: --angle, --align, --transparent and the colours.
class TBarCode;
struct TLook {
    TAngleType Angle;
    TAlignment Alignment;
    bool Transparent;
    QColor BarColor;
    QColor BackColor;
    void ApplyTo(TBarCode& control) const;
};
void AddLookOptions(QCommandLineParser& parser);
std::variant<int, TLook> ReadLook(const QCommandLineParser& parser);

} // namespace Vandrel
