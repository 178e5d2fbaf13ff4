#pragma once
// How engines report conditions a user can correct: the owner of an engine
// object hands it a function that shows the text (a control passes
// ShowMessage, the command-line tool standard error). The engine abandons the
// operation after reporting.
#include <functional>
#include <string>

namespace Vandrel {

using TMessageFn = std::function<void(const std::string&)>;

} // namespace Vandrel
