#include "print/Dialogs.h"

#include <QApplication>
#include <QDialog>

#include <utility>

namespace Vandrel {

namespace {
// Only a widget application on a real display can answer a modal dialog; a
// tool or a service that merely created an application object would block
// forever on a window nobody sees.
bool CanShowDialogs()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

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
