#pragma once
// Modal dialogs of the printing components run through a replaceable runner,
// as messages do: the dialog's own event loop in a GUI process, a cancelled
// answer headless, and an answering function in tests.
#include "core/Export.h"

#include <functional>

class QDialog;

namespace Vandrel {

// Runs `dialog` modally; true when the user confirmed it.
using TDialogRunner = std::function<bool(QDialog& dialog)>;

VANDREL_EXPORT bool ExecDialog(QDialog& dialog);

// Installs a runner; an empty function restores the default. Returns the previous one.
VANDREL_EXPORT TDialogRunner SetDialogRunner(TDialogRunner runner);

} // namespace Vandrel
