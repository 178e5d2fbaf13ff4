#pragma once
// The library's exception family. Failures inside drawing, printing, encoding
// and the cipher raise Exception (or one of the special kinds below) with a
// fixed English message; conditions a user can correct go through ShowMessage.
#include "core/Export.h"

#include <stdexcept>
#include <string>

namespace Vandrel {

class VANDREL_ENGINES_EXPORT Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class VANDREL_ENGINES_EXPORT EOutOfResources : public Exception {
public:
    using Exception::Exception;
};
class VANDREL_ENGINES_EXPORT EInvalidCast : public Exception {
public:
    using Exception::Exception;
};
class VANDREL_ENGINES_EXPORT EListError : public Exception {
public:
    using Exception::Exception;
};
class VANDREL_ENGINES_EXPORT EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Runs a drawing or printing step and reports any failure inside it as one
// Exception with the fixed `message`.
template <typename Step>
void Guarded(const char* message, Step&& step)
{
    try {
        step();
    } catch (...) {
        throw Exception(message);
    }
}

} // namespace Vandrel
