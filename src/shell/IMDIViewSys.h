#pragma once

#include <string>

namespace ocable {

// The host's view protocol. This view takes no commands and needs no
// initialisation through it, so both operations decline.
class IMDIViewSys {
public:
    bool CommandHandler(const std::string& /*command*/) { return false; }
    bool InitView(const std::string& /*a*/, const std::string& /*b*/, const std::string& /*c*/) {
        return false;
    }
};

} // namespace ocable
