#include "core/GuiConfig.h"
#include "support/FakeHost.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace ocable;

// The caption and the cable table read from the file are seen at work in
// HostAutomationTest (ScopeOfTwoDomainsWithTheConfiguredCaption) and
// SystemRoutesTest (ConfigurationChoosesViewOrTable); here the defaults.
TEST(GuiConfigTest, AMissingFileOrEmptyValuesKeepTheDefaults) {
    fake::FakeHost host;
    const auto file = GuiConfig::configFilePath(); // where SystemRoutesTest writes it
    std::filesystem::create_directories(file.parent_path());
    for (const bool written : {false, true}) {
        SCOPED_TRACE(written ? "empty values" : "no file");
        if (written)
            std::ofstream(file, std::ios::binary) << "[CAPTION_VIEWOCABLENET]\nCAPTION_RESTREE_SECONDNODE=\n"
                                                     "[LOCALTRANS]\nLOCALTRANS_BY_FIBER=\n[MENU_VIEWS]\n";
        EXPECT_EQ(GuiConfig::areaNodeCaption(), "二干");
        EXPECT_TRUE(GuiConfig::localTransByFiber());
        EXPECT_FALSE(GuiConfig::viewChannelMap());
    }
    std::ofstream(file, std::ios::binary) << "[MENU_VIEWS]\nVIEW_CHANNELMAP=True\n";
    EXPECT_TRUE(GuiConfig::viewChannelMap());
}
