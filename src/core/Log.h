#pragma once

#include <QLoggingCategory>

#include <exception>
#include <utility>

// The plug-in's logging category. Every guard that passes over an error says
// here what it skipped and why, so that a support engineer can tell why a row
// was not drawn or a step of the load did not happen.
Q_DECLARE_LOGGING_CATEGORY(lcComponent)

namespace ocable {

// Runs one step that may fail without ending its caller: a failure is logged
// with the step's name and passed over. Returns whether the step completed.
template <class Fn> bool guarded(const char* step, Fn&& fn) noexcept {
    try {
        std::forward<Fn>(fn)();
        return true;
    } catch (const std::exception& e) {
        qCWarning(lcComponent, "%s: %s", step, e.what());
    } catch (...) {
        qCWarning(lcComponent, "%s: unknown error", step);
    }
    return false;
}

} // namespace ocable
