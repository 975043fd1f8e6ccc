// Working the map on the national demo network (seed 1), with the host's
// real services over its SQLite database:
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench/interaction/bench_interaction [--dir DIR]
//
// - locateStation / locateOcable (search, select, fit; no repaint) beside
//   the bare attribute search of the same codes;
// - a station move from mouse-down to the saved UPDATE and the moved line
//   ends, without a repaint;
// - one drag step's repaint beside a full render of the map (and beside the
//   same step drawing every layer again, as it did before);
// - the overview update.
// The database is made in DIR (default $TMPDIR/ocable-interaction-bench) on
// first use and reused; the moves write to it.
#include "HostConfig.h"
#include "NationalDemo.h"

#include "core/NetworkVocabulary.h"
#include "core/ViewContext.h"
#include "core/mPubFun.h"
#include "core/mPubVar.h"
#include "interaction/Locating.h"
#include "interaction/MouseHandler.h"
#include "interaction/Overview.h"
#include "interaction/PopupCommands.h"
#include "interaction/StationMover.h"
#include "map/NetworkDrawing.h"
#include "map/mdlViewMap.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/gis/MapWidget.h"
#include "platform/gis/SearchExpression.h"
#include "platform/ui/ActiveBar.h"
#include "platform/ui/CheckTreeView.h"
#include "platform/ui/MessageBoxService.h"

#include <QApplication>
#include <QImage>
#include <QRegion>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace ocable;

namespace {

// The drawn national network in a view without a main window.
struct World {
    gis::MapWidget map1;
    gis::MapWidget map2;
    ui::ActiveBar bar{nullptr};
    ui::ActiveBar menu{nullptr};
    QTimer timer;
    ui::CheckTreeView tree;
    ViewContext view;
    std::unique_ptr<NetworkDrawing> drawing;
    std::unique_ptr<PopupCommands> popup;
    std::unique_ptr<StationMover> mover;
    std::unique_ptr<MouseHandler> mouse;
    std::unique_ptr<Locating> locating;
    std::unique_ptr<Overview> overview;
    std::vector<std::string> stationCodes, cableCodes;
};

World* world = nullptr;

void setUp(const fs::path& dir) {
    const hostapp::HostConfig config = benchsupport::openNationalDemo(dir, "bench_interaction");

    world = new World;
    World& w = *world;
    w.map1.resize(1600, 1000);
    w.map2.resize(220, 160);
    gis::Map& map = w.map1.map();
    map.setSymbolFolder(mPubFun::getCustomSymbolDir());
    map.loadGeoset(config.appDir / vocab::kAppMapFolder / vocab::kNetworkGeoset);
    mdlViewMap::bindLayerDatasets(map);
    map.CreateCustomTool(10, gis::ToolType::Point, 18);
    w.map2.map().loadGeoset(config.appDir / vocab::kAppMapFolder / vocab::kOverviewGeoset);
    w.view.Map1 = &w.map1;
    w.view.Map2 = &w.map2;
    w.view.map = &map;
    w.view.activebarMain = &w.bar;
    w.view.ActiveBarMenu = &w.menu;
    w.view.tmrIntervel = &w.timer;
    w.view.TreeRes = &w.tree.tree();
    w.view.LayerDictionary.assign(vocab::kNetworkLayers.begin(), vocab::kNetworkLayers.end());
    w.drawing = std::make_unique<NetworkDrawing>(w.view, NetworkDrawing::Hooks{});
    std::string rule = vocab::kRuleByArea, scope = vocab::kScopeAll;
    w.drawing->drawOcableNetMap(rule, scope);
    w.bar.addBand("toolbar", "", ui::ActiveBar::BandKind::Toolbar);
    w.bar.addTool("toolbar", "mnu_view_Drag", "");
    w.bar.addBand("frmProperty", "", ui::ActiveBar::BandKind::Dock);
    w.bar.setBandVisible("frmProperty", false); // the move alone, without the property window
    w.menu.addBand("mnuPop", "", ui::ActiveBar::BandKind::Popup);
    w.popup = std::make_unique<PopupCommands>(w.view, *w.drawing);
    w.mover = std::make_unique<StationMover>(w.view);
    w.mouse = std::make_unique<MouseHandler>(w.view, *w.popup, *w.mover);
    w.locating = std::make_unique<Locating>(w.view);
    w.overview = std::make_unique<Overview>(w.view);
    map.setBounds(map.fullExtent());
    w.map2.map().setBounds(w.map2.map().fullExtent());

    for (const char* layer : {vocab::kLayerTerminal, vocab::kLayerOtherStation}) {
        const gis::FeatureSet all = map.Layers().Item(layer).AllFeatures();
        for (int i = 1; i <= all.Count(); i += std::max(1, all.Count() / 500))
            w.stationCodes.push_back(map.Datasets().Item(layer).Value(all.Item(i), 2));
    }
    for (const char* layer : {vocab::kLayerCable, vocab::kLayerBackbone}) {
        const gis::FeatureSet all = map.Layers().Item(layer).AllFeatures();
        for (int i = 1; i <= all.Count(); i += std::max(1, all.Count() / 500))
            w.cableCodes.push_back(map.Datasets().Item(layer).Value(all.Item(i), 2));
    }
}

void BM_SearchStationCode(benchmark::State& state) {
    gis::Map& map = world->map1.map();
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string& code = world->stationCodes[i++ % world->stationCodes.size()];
        auto a =
            map.Layers().Item(vocab::kLayerTerminal).Search(gis::searchTerm(vocab::kStationCodeColumn, code));
        auto b = map.Layers()
                     .Item(vocab::kLayerOtherStation)
                     .Search(gis::searchTerm(vocab::kStationCodeColumn, code));
        benchmark::DoNotOptimize(a.Count() + b.Count());
    }
}

void BM_LocateStation(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state)
        world->locating->locateStation(world->stationCodes[i++ % world->stationCodes.size()]);
}

void BM_SearchOcableCode(benchmark::State& state) {
    gis::Map& map = world->map1.map();
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string& code = world->cableCodes[i++ % world->cableCodes.size()];
        auto a = map.Layers().Item(vocab::kLayerCable).Search(gis::searchTerm(vocab::kCableCodeColumn, code));
        if (a.Count() != 1)
            a = map.Layers()
                    .Item(vocab::kLayerBackbone)
                    .Search(gis::searchTerm(vocab::kCableCodeColumn, code));
        benchmark::DoNotOptimize(a.Count());
    }
}

void BM_LocateOcable(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state)
        world->locating->locateOcable(world->cableCodes[i++ % world->cableCodes.size()]);
}

// Mouse-down on a selected station in drag mode, the pick-up tick, one move,
// the release answered "Yes": the UPDATE and the line ends; no repaint.
void BM_StationMove(benchmark::State& state) {
    World& w = *world;
    gis::Map& map = w.map1.map();
    std::size_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.locating->locateStation(w.stationCodes[i++ % w.stationCodes.size()]);
        gis::Feature station;
        for (const char* layer : {vocab::kLayerTerminal, vocab::kLayerOtherStation})
            if (map.Layers().Item(layer).Selection().Count())
                station = map.Layers().Item(layer).Selection().Item(1);
        const QPointF from = map.mapToScreen({station.CenterX(), station.CenterY()});
        const QPointF to = from + QPointF(12, 7);
        w.view.IsDraging = true;
        ui::MessageBoxService::instance().queueAnswer(ui::MessageBoxService::Answer::Yes);
        state.ResumeTiming();
        w.mouse->mouseDown(1, 0, from.x(), from.y());
        w.mouse->timerTick();
        w.mouse->mouseMove(1, 0, to.x(), to.y());
        w.mouse->mouseUp(1, 0, to.x(), to.y());
    }
    w.view.IsDraging = false;
    w.timer.stop();
    ui::MessageBoxService::instance().clearHistory();
}

// One drag step at whole-country zoom as the station mover makes it: the
// station moved by a few pixels and updated, the map's picture brought up
// to date, and the repainted area painted as the screen gets it. The
// layers were drawn once, without the station, when the move began.
void BM_DragStepRepaint(benchmark::State& state) {
    World& w = *world;
    gis::Map& map = w.map1.map();
    map.setBounds(map.fullExtent());
    gis::Feature station = map.Layers().Item(vocab::kLayerTerminal).AllFeatures().Item(1);
    w.map1.beginMove({station});
    w.map1.layerPicture();
    const int renders = w.map1.renderCount();
    QImage screen(w.map1.size(), QImage::Format_ARGB32_Premultiplied);
    double dx = 8 * map.viewport().scale();
    for (auto _ : state) {
        station.Offset(dx, 0);
        station.Update();
        dx = -dx;
        const QRect area = w.map1.moveStepArea();
        w.map1.render(&screen, area.topLeft(), QRegion(area));
    }
    if (w.map1.renderCount() != renders) state.SkipWithError("a drag step drew the layers again");
    w.map1.endMove();
}

// The same step as it was before the map kept the picture without the
// station: every layer drawn again after the update.
void BM_DragStepDrawingEverything(benchmark::State& state) {
    World& w = *world;
    gis::Map& map = w.map1.map();
    map.setBounds(map.fullExtent());
    gis::Feature station = map.Layers().Item(vocab::kLayerTerminal).AllFeatures().Item(1);
    double dx = 8 * map.viewport().scale();
    for (auto _ : state) {
        station.Offset(dx, 0);
        station.Update();
        dx = -dx;
        benchmark::DoNotOptimize(w.map1.layerPicture().constBits());
    }
}

void BM_FullRender(benchmark::State& state) {
    World& w = *world;
    gis::Map& map = w.map1.map();
    map.setBounds(map.fullExtent());
    double dx = 0.01;
    for (auto _ : state) {
        map.setCenterX(map.CenterX() + dx); // a view change: every layer drawn again
        dx = -dx;
        benchmark::DoNotOptimize(w.map1.layerPicture().constBits());
    }
}

void BM_UpdateOverview(benchmark::State& state) {
    for (auto _ : state)
        world->overview->updateOverview();
}

} // namespace

BENCHMARK(BM_SearchStationCode)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LocateStation)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_SearchOcableCode)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LocateOcable)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_StationMove)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_DragStepRepaint)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_DragStepDrawingEverything)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_FullRender)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_UpdateOverview)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    return benchsupport::runBenchmarks(argc, argv, "ocable-interaction-bench", setUp, [] { delete world; });
}
