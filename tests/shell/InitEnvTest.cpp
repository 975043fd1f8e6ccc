// Every run of the stand-alone host hands initEnv an array from 1 with all
// seven services and uses them (tests/apps/ocable-host), and the property
// forms of MapInteractionTest.TheOverviewThenTheHostsWindowsWithRealData come
// from the service classes initEnv finds exported by the host program; here
// the arrays the host never sends. A service the host offers no class for is
// named on use, not a crash: OpenRecordsetTest.AFailedQueryIsNothingAndIsLogged.
#include "core/InitEnvError.h"
#include "core/mPubVar.h"
#include "shell/clsMain.h"
#include "support/FakeHost.h"

#include <functional>
#include <gtest/gtest.h>

using namespace ocable;
using ocable::fake::FakeHost;
using Kind = InitEnvError::Kind;

namespace {

struct InitEnvTest : ::testing::Test {
    FakeHost host;
    clsMain main;
    void SetUp() override { mPubVar::releaseGlobals(); }
};

} // namespace

TEST_F(InitEnvTest, LowerBoundZeroIgnoresElementZero) {
    auto arr = host.array(0);
    arr.elements[0] = host.message; // not the grid service: must not matter
    main.initEnv(arr);
    // Each element is read at the same offset: the first and the last prove it.
    EXPECT_EQ(mPubVar::gobjGridService.peek(), host.grid);
    EXPECT_EQ(mPubVar::gobjHostExtra.peek(), host.extra);
    EXPECT_EQ(host.resService->initialised, 1);
    EXPECT_EQ(mPubVar::gUserName, "demo");
    // The main window's unload reads the environment after the release: the
    // host's factory makes it anew.
    mPubVar::releaseGlobals();
    EXPECT_TRUE(mPubVar::gobjSysEnv.empty());
    EXPECT_EQ(mPubVar::gobjSysEnv->getMapDir(), host.sysEnv->mapDir);
}

// The first element that is missing or of the wrong class ends initEnv with
// its number; what was stored before it stays, nothing after it is stored and
// the resource service is not started.
TEST_F(InitEnvTest, AnArrayThatCannotServeFailsAtItsFirstBadElement) {
    const struct {
        const char* name;
        int lowerBound;
        std::function<void(host::HostArray&)> spoil;
        Kind kind;
        int element;
    } rows[] = {
        {"seventhMissing", 1, [](host::HostArray& a) { a.elements.pop_back(); }, Kind::SubscriptOutOfRange,
         7},
        {"thirdNotTheEnvironment", 1, [&](host::HostArray& a) { a.elements[2] = host.message; },
         Kind::TypeMismatch, 3},
        {"twoDimensional", 1, [](host::HostArray& a) { a.dimensions = 2; }, Kind::SubscriptOutOfRange, 1},
        {"fromTwo", 2, [](host::HostArray&) {}, Kind::SubscriptOutOfRange, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        mPubVar::releaseGlobals();
        auto arr = host.array(row.lowerBound);
        row.spoil(arr);
        try {
            main.initEnv(arr);
            ADD_FAILURE() << "initEnv accepted the array";
        } catch (const InitEnvError& e) {
            EXPECT_EQ(e.kind(), row.kind);
            EXPECT_EQ(e.element(), row.element);
            EXPECT_NE(std::string(e.what()).find("第 " + std::to_string(row.element) + " 个元素"),
                      std::string::npos);
        }
        EXPECT_EQ(mPubVar::gobjGridService.peek() == host.grid, row.element > 1);
        EXPECT_EQ(mPubVar::gobjDataAccess.peek() == host.data, row.element > 6);
        EXPECT_TRUE(mPubVar::gobjHostExtra.empty());
        EXPECT_EQ(host.resService->initialised, 0);
    }
}
