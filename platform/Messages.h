#pragma once
// Modal message box and input box with a replaceable handler: Qt dialogs in a
// GUI process, standard error (and an empty answer) headless, a capturing
// handler in tests.
#include "core/Export.h"

#include <QString>

#include <functional>
#include <string>

namespace Vandrel {

using TMessageHandler = std::function<void(const QString&)>;
using TInputHandler =
    std::function<QString(const QString& caption, const QString& prompt, const QString& defaultValue)>;

// Whether a modal dialog can be answered here: a widget application on a real
// display that shows a window of its own. Elsewhere dialogs are not shown.
VANDREL_EXPORT bool CanShowDialogs();

VANDREL_EXPORT void ShowMessage(const QString& text);
// ShowMessage for an engine's text: what a control hands its engines as
// their message function (a TMessageFn).
VANDREL_EXPORT void ShowEngineMessage(const std::string& text);
VANDREL_EXPORT QString InputBox(const QString& caption, const QString& prompt, const QString& defaultValue);

// Install a handler; an empty function restores the default. Returns the previous one.
VANDREL_EXPORT TMessageHandler SetMessageHandler(TMessageHandler handler);
VANDREL_EXPORT TInputHandler SetInputHandler(TInputHandler handler);

} // namespace Vandrel
