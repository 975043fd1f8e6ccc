#pragma once

#include "host/HostObject.h"

#include <filesystem>
#include <string>

namespace ocable::host {

// The login environment: folders (without a trailing separator), the user
// and two caption prefixes for message-box titles.
class ISysEnv : public virtual HostObject {
public:
    virtual std::filesystem::path getSystemDir() = 0;
    virtual std::filesystem::path getAppDir() = 0;
    virtual std::filesystem::path getMapDir() = 0;
    virtual std::string getUserName() = 0;
    virtual int getUserLevel() = 0;
    virtual std::string getTitleA() = 0;
    virtual std::string getTitleB() = 0;
};

// Held while the plug-in is loaded; no operation of it is used.
class ISysParam : public virtual HostObject {};

// Held while the plug-in is loaded; no operation of it is used.
class IHostExtra : public virtual HostObject {};

} // namespace ocable::host
