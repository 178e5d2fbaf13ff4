#pragma once
// Modal message box and input box with a replaceable handler: Qt dialogs in a
// GUI process, standard error (and an empty answer) headless, a capturing
// handler in tests.
#include <QString>

#include <functional>

namespace Vandrel {

using TMessageHandler = std::function<void(const QString&)>;
using TInputHandler = std::function<QString(const QString& caption, const QString& prompt,
                                            const QString& defaultValue)>;

// Whether a modal dialog can be answered here: a widget application on a real
// display that shows a window of its own. Elsewhere dialogs are not shown.
bool CanShowDialogs();

void ShowMessage(const QString& text);
QString InputBox(const QString& caption, const QString& prompt, const QString& defaultValue);

// Install a handler; an empty function restores the default. Returns the previous one.
TMessageHandler SetMessageHandler(TMessageHandler handler);
TInputHandler SetInputHandler(TInputHandler handler);

} // namespace Vandrel
