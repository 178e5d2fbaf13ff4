#pragma once
// How engines report conditions a user can correct: the owner of an engine
// object hands it a function that shows the text (a control passes
// ShowMessage, the command-line tool standard error). The engine abandons the
// operation after reporting.
#include <functional>
#include <string>

namespace Vandrel {

using TMessageFn = std::function<void(const std::string&)>;

// Shows `text` through `message`; an owner that gave none hears nothing.
inline void Report(const TMessageFn& message, const std::string& text)
{
    if (message)
        message(text);
}

// Reports `text` and answers false, so that a check reads
// `ok || Refuse(message, "...")`.
inline bool Refuse(const TMessageFn& message, const std::string& text)
{
    Report(message, text);
    return false;
}

} // namespace Vandrel
