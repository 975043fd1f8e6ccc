#pragma once

#include "core/mPubVar.h"
#include "host/SharedNames.h"
#include "map/DrawingWindow.h"
#include "platform/gis/Feature.h"
#include "platform/ui/CheckTreeView.h"
#include "support/FakeHost.h"
#include "systemtree/SystemRoutes.h"
#include "systemtree/SystemTree.h"
#include "systemtree/frmViewResTree.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace ocable::systemtree::testing_support {

// The host tables the system tree and the routes read, as the host database
// declares them (the view of systems over cables is a plain table here).
inline void createSystemTables(fake::FakeHost& host) {
    host.exec(R"(CREATE TABLE EN_SUBNET_P (P_KEY TEXT PRIMARY KEY, P_NAME TEXT, REMARK TEXT);
        CREATE TABLE RE_TREE_STRUCT (NODEKEY TEXT NOT NULL, NODENAME TEXT, PARENTKEY TEXT, NODELEVEL INTEGER,
            P_KEY TEXT NOT NULL, IS_DELETE TEXT, REMARK TEXT DEFAULT '');
        CREATE TABLE TRANSSYSTEM (SYSTEMCODE TEXT PRIMARY KEY, SYSNAME TEXT, TRANMODEL TEXT);
        CREATE TABLE MAP_V_RE_CABLE_SUNNET_SYSTEM (OCABLECODE TEXT, SYSTEMCODE TEXT);
        CREATE TABLE re_ocable_transsystem (SYSTEMCODE TEXT, OCABLECODE TEXT);
        CREATE TABLE EN_OCABLE (OCABLECODE TEXT PRIMARY KEY, OCABLENAME TEXT, STATION_A TEXT, STATION_Z TEXT);
        CREATE TABLE RE_DWDMC_SDHT (SYSTEMCODE TEXT, CHANNELSERIAL TEXT);
        CREATE TABLE EN_DWDM_CHANNEL (DWDMCHANNELCODE TEXT, DWDMTOPOLINKCODE TEXT);
        CREATE TABLE EN_DWDM_RES (DWDMTOPOLINKCODE TEXT, STATION_A TEXT, STATION_Z TEXT);
        CREATE TABLE "V_EN_FIBER$OC" (OCABLECODE TEXT, SYSTEMCODE TEXT))");
}

// A map view without a window, as the drawing sees it, with the main
// window's hidden system tree and the shared tree window beside it. The
// property band the routes dock into is the host run's
// (SystemTreeAutomationTest).
struct ViewFixture : test::DrawingWindow {
    fake::FakeHost host;
    ui::CheckTreeView mainTree;
    SystemRoutes routes{view};
    SystemTree tree{view, routes};

    ViewFixture() {
        createSystemTables(host);
        view.TreeSystemView = &mainTree;
        host.data->sql.clear();
    }
    ~ViewFixture() { frmViewResTree::unload(); }

    gis::Layer& cables() { return layer(vocab::kLayerCable); }
    gis::Layer& backbone() { return layer(vocab::kLayerBackbone); }
    ui::KeyedTree& shown() { return frmViewResTree::instance().TreeSystem()->tree(); }

    // A drawn segment of the ordinary cable layer with its record, counted
    // for `systems` shown systems.
    void drawCable(const std::string& code, double x, int systems,
                   const char* layerName = vocab::kLayerCable) {
        gis::Feature f = gis::FeatureFactory::CreateLine(gis::Points{{x, 30.0}, {x + 1, 31.0}},
                                                         layer(layerName).defaultStyle());
        f.setCarriedRow({"标注" + code, code});
        const gis::Feature added = layer(layerName).AddFeature(f);
        view.cableFeatures.Add(std::make_shared<clsFearture>(clsFearture{.ftr = added,
                                                                         .label = "标注" + code,
                                                                         .ftrCode = code,
                                                                         .remark = std::to_string(systems),
                                                                         .ftrKey = added.FeatureKey(),
                                                                         .layerName = layerName}),
                               code);
    }

    // Codes of the features on a layer, or of its selection, sorted.
    static std::vector<std::string> codesOn(const gis::Layer& layer, bool selectedOnly = false) {
        std::vector<std::string> codes;
        for (const gis::Feature& f : layer.AllFeatures())
            if (!selectedOnly || layer.Selection().contains(f)) codes.push_back(*layer.valueOf(f.id(), 1));
        std::sort(codes.begin(), codes.end());
        return codes;
    }
    std::string remark(const std::string& code) { return (*view.cableFeatures.find(code))->remark; }
    // The route queries sent since the last clear, one per system shown or hidden.
    std::vector<std::string> routeQueries() const {
        std::vector<std::string> out;
        for (const std::string& s : host.data->sql)
            if (s.find("WHERE SYSTEMCODE = '") != std::string::npos)
                out.push_back(s.substr(s.rfind('=') + 2));
        return out;
    }
};

} // namespace ocable::systemtree::testing_support
