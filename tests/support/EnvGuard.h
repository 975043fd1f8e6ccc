#pragma once

#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ocable::testsupport {

// Sets or unsets environment variables for one test and puts back what was
// there before, also when the test fails half-way.
class EnvGuard {
public:
    EnvGuard() = default;
    // Only keeps these to put back; the test sets them as it likes.
    explicit EnvGuard(std::initializer_list<const char*> names) {
        for (const char* name : names)
            save(name);
    }
    ~EnvGuard() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

    EnvGuard& set(const std::string& name, const std::string& value) {
        save(name);
        ::setenv(name.c_str(), value.c_str(), 1);
        return *this;
    }
    EnvGuard& unset(const std::string& name) {
        save(name);
        ::unsetenv(name.c_str());
        return *this;
    }

private:
    void save(const std::string& name) {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

} // namespace ocable::testsupport
