#include "core/InitEnvError.h"
#include "core/mPubVar.h"
#include "shell/clsMain.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

using namespace ocable;
using ocable::fake::FakeHost;

namespace {

struct InitEnvTest : ::testing::Test {
    FakeHost host;
    clsMain main;
    void SetUp() override { mPubVar::releaseGlobals(); }
};

InitEnvError initEnvFailure(clsMain& main, host::HostArray arr) {
    try {
        main.initEnv(arr);
    } catch (const InitEnvError& e) {
        return e;
    }
    ADD_FAILURE() << "initEnv accepted the array";
    return InitEnvError(InitEnvError::Kind::TypeMismatch, 0, "");
}

} // namespace

TEST_F(InitEnvTest, StoresElementsOneToSevenAndPreparesServices) {
    auto arr = host.array(1);
    main.initEnv(arr);
    EXPECT_EQ(mPubVar::gobjGridService.peek(), host.grid);
    EXPECT_EQ(mPubVar::gobjCommon.peek(), host.common);
    EXPECT_EQ(mPubVar::gobjSysEnv.peek(), host.sysEnv);
    EXPECT_EQ(mPubVar::gobjMessage.peek(), host.message);
    EXPECT_EQ(mPubVar::gobjDataAccess.peek(), host.data);
    EXPECT_EQ(mPubVar::gobjHostExtra.peek(), host.extra);
    EXPECT_EQ(host.resService->initialised, 1);
    EXPECT_EQ(mPubVar::gUserName, "demo");
}

TEST_F(InitEnvTest, LowerBoundZeroIgnoresElementZero) {
    auto arr = host.array(0);
    arr.elements[0] = host.message; // not the grid service: must not matter
    main.initEnv(arr);
    EXPECT_EQ(mPubVar::gobjGridService.peek(), host.grid);
    EXPECT_EQ(mPubVar::gobjHostExtra.peek(), host.extra);
}

TEST_F(InitEnvTest, MissingSeventhElementFailsAfterStoringTheFirstSix) {
    auto arr = host.array(1);
    arr.elements.pop_back();
    const auto e = initEnvFailure(main, arr);
    EXPECT_EQ(e.kind(), InitEnvError::Kind::SubscriptOutOfRange);
    EXPECT_EQ(e.element(), 7);
    EXPECT_NE(std::string(e.what()).find("第 7 个元素"), std::string::npos);
    EXPECT_EQ(mPubVar::gobjDataAccess.peek(), host.data);
    EXPECT_TRUE(mPubVar::gobjHostExtra.empty());
    EXPECT_EQ(host.resService->initialised, 0);
}

TEST_F(InitEnvTest, WrongTypeStopsAtThatElementWithoutRollback) {
    auto arr = host.array(1);
    arr.elements[2] = host.message; // element 3 must be the environment
    const auto e = initEnvFailure(main, arr);
    EXPECT_EQ(e.kind(), InitEnvError::Kind::TypeMismatch);
    EXPECT_EQ(e.element(), 3);
    EXPECT_NE(std::string(e.what()).find("第 3 个元素"), std::string::npos);
    EXPECT_EQ(mPubVar::gobjCommon.peek(), host.common);
    EXPECT_TRUE(mPubVar::gobjMessage.empty());
}

TEST_F(InitEnvTest, ArraysThatCannotHoldIndexOneFail) {
    auto twoDimensional = host.array(1);
    twoDimensional.dimensions = 2;
    EXPECT_EQ(initEnvFailure(main, twoDimensional).element(), 1);
    auto fromTwo = host.array(2);
    EXPECT_EQ(initEnvFailure(main, fromTwo).kind(), InitEnvError::Kind::SubscriptOutOfRange);
}

TEST_F(InitEnvTest, SecondCallReplacesTheReferences) {
    auto arr = host.array(1);
    main.initEnv(arr);
    auto otherMessage = std::make_shared<ocable::fake::FakeMessage>();
    arr.elements[4] = otherMessage;
    main.initEnv(arr);
    EXPECT_EQ(mPubVar::gobjMessage.peek(), otherMessage);
    EXPECT_EQ(host.resService->initialised, 2);
}

TEST_F(InitEnvTest, ReleasedServicesAreCreatedAgainOnUse) {
    auto arr = host.array(1);
    main.initEnv(arr);
    mPubVar::releaseGlobals();
    EXPECT_TRUE(mPubVar::gobjSysEnv.empty());
    // The main window's unload reads the environment after the release.
    EXPECT_EQ(mPubVar::gobjSysEnv->getMapDir(), host.sysEnv->mapDir);
    // The host offers no message class: reading one is a clear error.
    try {
        mPubVar::gobjMessage->showNotice("x");
        FAIL() << "no factory, yet a message service appeared";
    } catch (const HostServiceError& e) {
        EXPECT_NE(std::string(e.what()).find("gobjMessage"), std::string::npos);
    }
}
