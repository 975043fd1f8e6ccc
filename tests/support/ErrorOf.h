#pragma once

#include <exception>
#include <string>

namespace ocable::testsupport {

// The message of the Error the call throws, or "" when it throws none. An
// exception of another type passes through and fails the test, so a check
// also holds the error to its type.
template <class Error = std::exception, class Fn> std::string errorOf(Fn&& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

} // namespace ocable::testsupport
