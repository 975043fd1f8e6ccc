// The resource tree on the national demo network (seed 1), with the host's
// real services over its SQLite database:
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/resources/bench_resources [--dir DIR]
//
// - unticking and ticking the home province (its stations and cable
//   segments leave the map and come back; both trees follow), beside the
//   two attribute searches alone (the station and the cable expression);
// - the same for the root's largest domain;
// - a click on the home province: select and fit;
// - one full repaint of the map, the cost each of them adds on screen.
// The database is made in DIR (default $TMPDIR/ocable-resources-bench) on
// first use and reused; nothing writes to it.
#include "HostConfig.h"
#include "NationalDemo.h"

#include "core/NetworkVocabulary.h"
#include "core/ViewContext.h"
#include "core/mPubFun.h"
#include "core/mPubVar.h"
#include "map/NetworkDrawing.h"
#include "map/mdlViewMap.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/gis/MapWidget.h"
#include "platform/ui/ActiveBar.h"
#include "platform/ui/CheckTreeView.h"
#include "platform/ui/MessageBoxService.h"
#include "resources/ResourceTree.h"
#include "resources/ResourceTreeSearch.h"

#include <QApplication>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

namespace fs = std::filesystem;
using namespace ocable;

namespace {

constexpr const char* kHomeProvince = "XZ0116";

// The drawn national network in a view without a main window, with the
// tree window's copy of the resource tree beside the view's own.
struct World {
    gis::MapWidget map1;
    ui::ActiveBar bar{nullptr};
    QTimer timer;
    ui::CheckTreeView tree;
    ui::CheckTreeView windowTree;
    ViewContext view;
    std::unique_ptr<NetworkDrawing> drawing;
    std::unique_ptr<ResourceTree> resources;
    std::string largestDomain;
};

World* world = nullptr;

void setUp(const fs::path& dir) {
    const hostapp::HostConfig config = benchsupport::openNationalDemo(dir, "bench_resources");

    world = new World;
    World& w = *world;
    w.view.activebarMain = &w.bar;
    w.view.tmrNodeClick = &w.timer;
    w.view.TreeResView = &w.tree;
    benchsupport::drawNetwork(config, w.map1, w.tree, w.view, w.drawing);
    gis::Map& map = w.map1.map();
    w.windowTree.copyTree(w.tree.tree());
    w.bar.addBand("frmProperty", "", ui::ActiveBar::BandKind::Dock);
    w.bar.setBandVisible("frmProperty", false);
    w.resources = std::make_unique<ResourceTree>(
        w.view, ResourceTree::Hooks{{}, [] { return &world->windowTree.tree(); }});
    map.setBounds(map.fullExtent());

    const ui::KeyedTree& tree = w.tree.tree();
    std::size_t most = 0;
    for (ui::KeyedTree::NodeId domain : tree.node(vocab::kTreeRootKey).children) {
        const auto objects = restree::collectObjects(tree, domain, 0);
        const std::size_t n = objects.stationList.size() + objects.cableList.size();
        if (n > most) most = n, w.largestDomain = tree.node(domain).key;
    }
    // A station drawn in both station layers (or a segment in both cable
    // layers) has one record and comes back once: after a first round the
    // map holds what every later round restores.
    for (const std::string& key : {std::string(kHomeProvince), w.largestDomain}) {
        w.resources->TreeRes_NodeCheck(key, false);
        w.resources->TreeRes_NodeCheck(key, true);
    }
    const auto home = restree::collectObjects(tree, tree.id(kHomeProvince), 1);
    std::cerr << "home province: " << restree::CollectedObjects::codes(home.stationList).size()
              << " stations, " << restree::CollectedObjects::codes(home.cableList).size()
              << " cable segments; largest domain " << w.largestDomain << "\n";
}

int features() {
    int n = 0;
    for (const char* layer : vocab::kNetworkLayers)
        n += world->map1.map().Layers().Item(layer).featureCount();
    return n;
}

// The searches an untick starts with, from expressions already built.
void BM_SearchHomeProvince(benchmark::State& state) {
    gis::Map& map = world->map1.map();
    const ui::KeyedTree& tree = world->tree.tree();
    const auto objects = restree::collectObjects(tree, tree.id(kHomeProvince), 1);
    const std::string stations = restree::CollectedObjects::searched(objects.stationExpression);
    const std::string cables = restree::CollectedObjects::searched(objects.cableExpression);
    for (auto _ : state) {
        auto a = map.Layers().Item(vocab::kLayerTerminal).Search(stations);
        auto b = map.Layers().Item(vocab::kLayerCable).Search(cables);
        benchmark::DoNotOptimize(a.Count() + b.Count());
    }
}

// Untick (timed) then tick (untimed), or the reverse.
void untickAndTick(benchmark::State& state, const std::string& key, bool timeTheTick) {
    ResourceTree& r = *world->resources;
    const int all = features();
    int hidden = 0;
    for (auto _ : state) {
        if (timeTheTick) state.PauseTiming();
        r.TreeRes_NodeCheck(key, false);
        hidden = all - features();
        if (timeTheTick)
            state.ResumeTiming();
        else
            state.PauseTiming();
        r.TreeRes_NodeCheck(key, true);
        if (!timeTheTick) state.ResumeTiming();
    }
    state.counters["features off"] = hidden;
    if (features() != all) state.SkipWithError("the tick did not bring every feature back");
}

void BM_UntickHomeProvince(benchmark::State& state) {
    untickAndTick(state, kHomeProvince, false);
}
void BM_TickHomeProvince(benchmark::State& state) {
    untickAndTick(state, kHomeProvince, true);
}
void BM_UntickLargestDomain(benchmark::State& state) {
    untickAndTick(state, world->largestDomain, false);
}
void BM_TickLargestDomain(benchmark::State& state) {
    untickAndTick(state, world->largestDomain, true);
}

void BM_ClickHomeProvince(benchmark::State& state) {
    for (auto _ : state)
        world->resources->TreeRes_NodeClick(kHomeProvince);
}

// The repaint that follows each of them.
void BM_FullRepaint(benchmark::State& state) {
    gis::Map& map = world->map1.map();
    map.setBounds(map.fullExtent());
    double dx = 0.01;
    for (auto _ : state) {
        map.setCenterX(map.CenterX() + dx);
        dx = -dx;
        benchmark::DoNotOptimize(world->map1.layerPicture().constBits());
    }
}

} // namespace

// One round per repetition, so that the median shows the usual round and the
// mean the rounds in which the map compacts a layer's storage.
#define ROUNDS(n) Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(n)->ReportAggregatesOnly(true)
BENCHMARK(BM_SearchHomeProvince)->ROUNDS(15);
BENCHMARK(BM_UntickHomeProvince)->ROUNDS(15);
BENCHMARK(BM_TickHomeProvince)->ROUNDS(15);
BENCHMARK(BM_UntickLargestDomain)->ROUNDS(7);
BENCHMARK(BM_TickLargestDomain)->ROUNDS(7);
BENCHMARK(BM_ClickHomeProvince)->ROUNDS(15);
BENCHMARK(BM_FullRepaint)->ROUNDS(15);

int main(int argc, char** argv) {
    return benchsupport::runBenchmarks(argc, argv, "ocable-resources-bench", setUp, [] { delete world; });
}
