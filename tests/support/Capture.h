#pragma once
// Collects the messages the library shows while the capture lives.
#include "platform/Messages.h"

#include <QStringList>

namespace VandrelTest {

class MessageCapture {
public:
    MessageCapture() : FPrevious(Vandrel::SetMessageHandler([this](const QString& text) { Messages << text; })) {}
    ~MessageCapture() { Vandrel::SetMessageHandler(std::move(FPrevious)); }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    QStringList Messages;

private:
    Vandrel::TMessageHandler FPrevious;
};

} // namespace VandrelTest
