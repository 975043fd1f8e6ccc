// This program exports the host's service classes the way ocable-host does
// (its target has ENABLE_EXPORTS), so initEnv must find them by itself.
#include "core/mPubVar.h"
#include "host/PluginAbi.h"
#include "shell/clsMain.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

using namespace ocable;

namespace {

auto exportedMessage = std::make_shared<fake::FakeMessage>();
auto exportedResService = std::make_shared<fake::FakeResService>();

} // namespace

extern "C" __attribute__((visibility("default"))) const host::ServiceFactories*
QzTransHostServiceFactories() {
    static const host::ServiceFactories factories = [] {
        host::ServiceFactories f;
        f.message = [] { return exportedMessage; };
        f.resService = [] { return exportedResService; };
        return f;
    }();
    return &factories;
}

TEST(HostExportsTest, InitEnvTakesTheServiceClassesTheProgramExports) {
    fake::FakeHost host;
    mPubVar::registerServiceFactories({}); // nothing registered by hand
    clsMain main;
    auto objects = host.array();
    main.initEnv(objects);
    EXPECT_EQ(exportedResService->initialised, 1);
    EXPECT_EQ(mPubVar::gobjResService.peek(), exportedResService);

    // After the close released the globals, a message service is made anew.
    mPubVar::releaseGlobals();
    mPubVar::gobjMessage->showNotice("已找到宿主服务");
    EXPECT_EQ(exportedMessage->shown, std::vector<std::string>{"notice:已找到宿主服务"});
}
