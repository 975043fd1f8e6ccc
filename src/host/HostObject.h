#pragma once

namespace ocable::host {

// Common base of every service object the host hands to the plug-in. The
// plug-in converts each element of the host array to the interface it needs
// with dynamic_cast; a failed conversion is a type mismatch.
class HostObject {
public:
    virtual ~HostObject() = default;
};

} // namespace ocable::host
