#include "platform/Messages.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QWidget>

#include <algorithm>
#include <cstdio>

namespace Vandrel {

// A modal dialog needs someone to answer it: a widget application on a real
// display that shows a window of its own. A tool, a service or a test that
// merely created an application object must never block on an unseen box;
// there the text goes to standard error and questions get an empty answer.
bool CanShowDialogs()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return false;
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [](const QWidget* w) { return w->isVisible(); });
}

namespace {

void DefaultMessage(const QString& text)
{
    if (CanShowDialogs())
        QMessageBox::information(nullptr, QCoreApplication::applicationName(), text);
    else
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

QString DefaultInput(const QString& caption, const QString& prompt, const QString& defaultValue)
{
    if (!CanShowDialogs())
        return QString();
    bool ok = false;
    const QString answer = QInputDialog::getText(nullptr, caption, prompt, QLineEdit::Normal, defaultValue, &ok);
    return ok ? answer : defaultValue;
}

TMessageHandler& MessageHandler()
{
    static TMessageHandler handler;
    return handler;
}

TInputHandler& InputHandler()
{
    static TInputHandler handler;
    return handler;
}
} // namespace

void ShowMessage(const QString& text)
{
    if (MessageHandler())
        MessageHandler()(text);
    else
        DefaultMessage(text);
}

void ShowEngineMessage(const std::string& text)
{
    ShowMessage(QString::fromStdString(text));
}

QString InputBox(const QString& caption, const QString& prompt, const QString& defaultValue)
{
    return InputHandler() ? InputHandler()(caption, prompt, defaultValue) : DefaultInput(caption, prompt, defaultValue);
}

TMessageHandler SetMessageHandler(TMessageHandler handler)
{
    return std::exchange(MessageHandler(), std::move(handler));
}

TInputHandler SetInputHandler(TInputHandler handler)
{
    return std::exchange(InputHandler(), std::move(handler));
}

} // namespace Vandrel
