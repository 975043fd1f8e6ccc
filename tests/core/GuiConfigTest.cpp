#include "core/GuiConfig.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

using namespace ocable;

// The caption and the cable table read from the file are seen at work in
// HostAutomationTest (ScopeOfTwoDomainsWithTheConfiguredCaption) and
// SystemRoutesTest (ConfigurationChoosesViewOrTable); here the defaults.
TEST(GuiConfigTest, AMissingFileOrEmptyValuesKeepTheDefaults) {
    fake::FakeHost host;
    const std::string file = "system/data/config/guiConfig.ini"; // in the host's system folder
    for (const bool written : {false, true}) {
        SCOPED_TRACE(written ? "empty values" : "no file");
        if (written)
            host.folder.write(file, "[CAPTION_VIEWOCABLENET]\nCAPTION_RESTREE_SECONDNODE=\n"
                                    "[LOCALTRANS]\nLOCALTRANS_BY_FIBER=\n[MENU_VIEWS]\n");
        EXPECT_EQ(GuiConfig::areaNodeCaption(), "二干");
        EXPECT_TRUE(GuiConfig::localTransByFiber());
        EXPECT_FALSE(GuiConfig::viewChannelMap());
    }
    host.folder.write(file, "[MENU_VIEWS]\nVIEW_CHANNELMAP=True\n");
    EXPECT_TRUE(GuiConfig::viewChannelMap());
}
