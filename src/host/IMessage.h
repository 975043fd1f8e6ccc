#pragma once

#include "host/HostObject.h"

#include <string>

namespace ocable::host {

// How the plug-in tells the user something.
class IMessage : public virtual HostObject {
public:
    virtual void showNotice(const std::string& text) = 0;
    virtual void showError(const std::string& text) = 0;
    virtual void reportError(const std::string& text) = 0;
};

} // namespace ocable::host
