#include "core/GuiConfig.h"
#include "support/FakeHost.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace ocable;

namespace {

void writeConfig(fake::FakeHost& host, const std::string& content) {
    const auto file = GuiConfig::configFilePath();
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
    (void)host;
}

} // namespace

TEST(GuiConfigTest, DefaultsWithoutTheFile) {
    fake::FakeHost host;
    EXPECT_EQ(GuiConfig::configFilePath(), host.sysEnv->systemDir / "data" / "config" / "guiConfig.ini");
    EXPECT_EQ(GuiConfig::areaNodeCaption(), "二干");
    EXPECT_TRUE(GuiConfig::localTransByFiber());
    EXPECT_FALSE(GuiConfig::viewChannelMap());
}

TEST(GuiConfigTest, ReadsTheThreeKeys) {
    fake::FakeHost host;
    writeConfig(host, "[CAPTION_VIEWOCABLENET]\nCAPTION_RESTREE_SECONDNODE=省干\n"
                      "[LOCALTRANS]\nLOCALTRANS_BY_FIBER=false\n[MENU_VIEWS]\nVIEW_CHANNELMAP=True\n");
    EXPECT_EQ(GuiConfig::areaNodeCaption(), "省干");
    EXPECT_FALSE(GuiConfig::localTransByFiber());
    EXPECT_TRUE(GuiConfig::viewChannelMap());
}

TEST(GuiConfigTest, EmptyValuesKeepTheDefaults) {
    fake::FakeHost host;
    writeConfig(host,
                "[CAPTION_VIEWOCABLENET]\nCAPTION_RESTREE_SECONDNODE=\n[LOCALTRANS]\nLOCALTRANS_BY_FIBER=\n");
    EXPECT_EQ(GuiConfig::areaNodeCaption(), "二干");
    EXPECT_TRUE(GuiConfig::localTransByFiber());
}
