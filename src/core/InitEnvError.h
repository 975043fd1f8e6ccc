#pragma once

#include <stdexcept>
#include <string>

namespace ocable {

// Why initEnv stopped, and at which element of the host array.
class InitEnvError : public std::runtime_error {
public:
    enum class Kind { SubscriptOutOfRange, TypeMismatch };

    InitEnvError(Kind kind, int element, const std::string& message)
        : std::runtime_error(message), kind_(kind), element_(element) {}

    Kind kind() const { return kind_; }
    int element() const { return element_; }

private:
    Kind kind_;
    int element_;
};

} // namespace ocable
