#include "print/Dialogs.h"

#include "platform/Messages.h"

#include <QDialog>

#include <utility>

namespace Vandrel {

namespace {
TDialogRunner& Runner()
{
    static TDialogRunner runner;
    return runner;
}
} // namespace

bool ExecDialog(QDialog& dialog)
{
    if (Runner())
        return Runner()(dialog);
    return CanShowDialogs() && dialog.exec() == QDialog::Accepted;
}

TDialogRunner SetDialogRunner(TDialogRunner runner)
{
    return std::exchange(Runner(), std::move(runner));
}

} // namespace Vandrel
