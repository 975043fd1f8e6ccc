#pragma once

#include "core/LibraryObjects.h"
#include "host/PluginAbi.h"

#include <string>

namespace ocable {

// The plug-in's one public class: takes the host's services and opens the
// optical-cable network map.
class clsMain : public host::IViewPlugin {
public:
    // Takes the host's service classes when the host program exports them
    // (host::kHostServiceFactoriesSymbol). Stores host elements 1..7 in the
    // globals, in order; stops with an InitEnvError at the first missing or
    // wrongly typed element, keeping the elements stored before it. Element
    // 0, when present, is ignored.
    void initEnv(host::HostArray& objArr) override;

    // Draws the network for every management domain and shows the map window
    // when the drawing succeeded. sTmp is accepted and not used.
    void ShowOcable(std::string& sTmp) override;

private:
    LibraryObjectToken token_;
};

} // namespace ocable
