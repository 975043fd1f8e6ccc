#pragma once

// A map view without a main window: the two maps, the two bars with their
// bands, the timer, and the five network layers with their datasets, over a
// fake host whose database holds a STATION table and whose resource service
// and view bridge remember what the plug-in asked of them.

#include "core/NetworkVocabulary.h"
#include "core/ViewContext.h"
#include "core/mPubVar.h"
#include "host/IResService.h"
#include "interaction/MapCommands.h"
#include "map/DrawingWindow.h"
#include "map/mdlViewMap.h"
#include "platform/db/SqlQuote.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/gis/MapWidget.h"
#include "platform/ui/ActiveBar.h"
#include "platform/ui/MessageBoxService.h"
#include "support/FakeHost.h"

#include <QTimer>
#include <memory>

namespace ocable::itest {

struct RecordingViewBridge : host::IViewBridge {
    std::vector<std::string> calls;
    bool callView(const std::string& view, const std::string& a, const std::string& b) override {
        calls.push_back(view + "(" + a + "," + b + ")");
        return true;
    }
};

struct TestView {
    fake::FakeHost host;
    gis::MapWidget map1;
    gis::MapWidget map2;
    ui::ActiveBar bar{nullptr};
    ui::ActiveBar menu{nullptr};
    QTimer timer;
    ViewContext view;
    MapCommands commands{view};
    std::shared_ptr<fake::FakeResService> res = host.resService;
    std::shared_ptr<RecordingViewBridge> bridge = std::make_shared<RecordingViewBridge>();

    TestView() {
        mPubVar::gobjViewBridge.set(bridge);
        map1.resize(800, 600);
        map2.resize(220, 160);
        test::addNetworkLayers(map());
        map().CreateCustomTool(10, gis::ToolType::Point, 18);
        map().setBounds(gis::Rectangle(110, 30, 120, 40));
        view.Map1 = &map1;
        view.Map2 = &map2;
        view.map = &map1.map();
        view.activebarMain = &bar;
        view.ActiveBarMenu = &menu;
        view.tmrIntervel = &timer;
        commands.buildBands();
        host.exec("CREATE TABLE STATION (STATIONCODE TEXT, STATIONNAME TEXT, LNG REAL, LAT REAL)");
        auto& box = ui::MessageBoxService::instance();
        box.setScripted(true);
        box.clearQueue();
        box.clearHistory();
    }

    gis::Map& map() { return map1.map(); }
    gis::Layer& layer(const char* name) { return map().Layers().Item(name); }

    gis::Feature addStation(const char* layerName, const std::string& code, const std::string& name, double x,
                            double y) {
        gis::Feature f = gis::FeatureFactory::CreateSymbol({x, y}, {});
        f.setCarriedRow({name, code});
        host.exec("INSERT INTO STATION VALUES (" + db::sqlQuote(code) + ", " + db::sqlQuote(name) + ", " +
                  std::to_string(x) + ", " + std::to_string(y) + ")");
        return layer(layerName).AddFeature(f);
    }
    gis::Feature addLine(const char* layerName, const std::string& code, gis::Parts parts) {
        gis::Feature f = gis::FeatureFactory::CreateLine(parts, {});
        f.setCarriedRow({"1.0", code});
        return layer(layerName).AddFeature(f);
    }
    // Adds a drawn feature to its layer's selection.
    void select(const gis::Feature& f) { f.Layer()->Selection().Add(f); }
};

} // namespace ocable::itest
