#pragma once
// The 1D symbol options that render, modules and print share: the symbology
// and value, the refusals of values a label must not carry, and how the
// control is sized and looks.
#include "apps/Cli.h"
#include "linear/SingleBarcode.h"

#include <QCommandLineParser>
#include <QSize>
#include <QString>

#include <optional>
#include <string>
#include <variant>

namespace Vandrel {

// A symbology by its name in any case, without '-', '_' or spaces, or by a common name.
std::optional<TBarType> ParseType(const QString& name);

// --type, --check and --no-check, and with them --value; the readers answer
// the exit code after printing the usage error.
void AddTypeOptions(QCommandLineParser& parser);
void AddTypeValueOptions(QCommandLineParser& parser);
std::variant<int, TBarType> ReadType(const QCommandLineParser& parser);
std::variant<int, std::string> ReadValue(const QCommandLineParser& parser);
struct TTypeValue {
    TBarType Type;
    std::string Value;
};
std::variant<int, TTypeValue> ReadTypeValue(const QCommandLineParser& parser);

// Why the tool refuses to draw `value` as `type`, or an empty string. The
// control hatches a value its symbology cannot carry and completes a retail
// value with its check digit; a label tool must not print either in silence.
QString Refusal(TBarType type, const std::string& value, bool check);

// How the symbols of a run are sized and look, applied to the control that
// draws them. Without --width and --height the control is sized to the
// symbol: `XDim` pixels a module, bars `BarHeight` pixels long.
struct TAppearance {
    std::optional<QSize> Size;
    int XDim;
    int BarHeight;
    TBarType Type;
    bool Check;
    TLook Look;
    bool Text;
    int FontSize;
    int Dpi;

    void ApplyTo(TCustomSingleBarCode& control) const;
    // Sizes the control to its current value; the message says why it cannot be drawn.
    QString Fit(TCustomSingleBarCode& control) const;
};

// --xdim, --bar-height, --width, --height, the look, --no-text and --font-size.
void AddAppearanceOptions(QCommandLineParser& parser);
// Lengths are converted at `dpi`; nullopt after a usage error was printed.
std::optional<TAppearance> ReadAppearance(const QCommandLineParser& parser, TBarType type, int dpi);

} // namespace Vandrel
