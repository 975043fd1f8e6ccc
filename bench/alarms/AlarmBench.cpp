// The host's alarm handling on the national demo network (seed 1), with the
// plug-in's main window drawn over the host's real services:
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/alarms/bench_alarms [--dir DIR]
//
// - 1,000 alarms raised on 1,000 stations as one batch (the lines one poll
//   of the event file reads), a tenth of them critical: markers, bitmaps,
//   the ten fields through the main window's procedure, the last critical
//   alarm located and announced; and the 1,000 clears as one batch;
// - 1,000 events one at a time (a feed that sends one line a poll);
// - baseline: the bare attribute searches of the same station codes in
//   both station layers.
// The database is made in DIR (default $TMPDIR/ocable-alarm-bench) on first
// use and reused.
#include "AlarmBoard.h"
#include "HostConfig.h"
#include "NationalDemo.h"

#include "core/NetworkVocabulary.h"
#include "core/mPubVar.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/gis/MapWidget.h"
#include "platform/gis/SearchExpression.h"
#include "platform/ui/MessageBoxService.h"
#include "shell/frmViewOcableMain.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

namespace fs = std::filesystem;
using namespace ocable;

namespace {

struct World {
    hostapp::AlarmBoard board;
    std::vector<hostapp::AlarmEvent> raised, cleared; // 1,000 stations each
    std::vector<hostapp::AlarmEvent> feed;            // 500 raised and their clears, interleaved
    std::vector<std::string> codes;                   // the stations of the raised events
};
World* world = nullptr;

void setUp(const fs::path& dir) {
    benchsupport::openNationalDemo(dir, "bench_alarms");

    frmViewOcableMain& view = frmViewOcableMain::instance();
    view.resize(1600, 1000);
    view.drawOcableNetMap(vocab::kRuleByArea, vocab::kScopeAll);
    view.show();
    QApplication::processEvents();

    world = new World;
    world->board.setSoundPaused(true);
    gis::Map& map = view.map1();
    std::vector<std::string> stations;
    for (const char* layer : {vocab::kLayerTerminal, vocab::kLayerOtherStation}) {
        const gis::FeatureSet all = map.Layers().Item(layer).AllFeatures();
        for (const gis::Feature& f : all)
            stations.push_back(map.Datasets().Item(layer).Value(f, 2));
    }
    std::mt19937 rng(1);
    std::shuffle(stations.begin(), stations.end(), rng);
    const char* texts[] = {"", "未知告警", "门禁告警", "机房温度偏高", "光功率过低", "光缆中断"};
    for (int i = 0; i < 1000; ++i) {
        hostapp::AlarmEvent e;
        e.station = QString::fromStdString(stations[static_cast<std::size_t>(i)]);
        e.level = i % 10 == 9 ? 5 : 1 + i % 4;
        e.time = "2026-12-06 08:00:00";
        e.text = QString::fromUtf8(texts[e.level]);
        world->raised.push_back(e);
        world->codes.push_back(stations[static_cast<std::size_t>(i)]);
    }
    world->cleared = world->raised;
    std::shuffle(world->cleared.begin(), world->cleared.end(), rng);
    for (auto& e : world->cleared)
        e.raised = false;
    // A live feed: each of 500 alarms raised, then cleared three events later.
    const auto clearOf = [](hostapp::AlarmEvent e) {
        e.raised = false;
        return e;
    };
    for (std::size_t i = 0; i < 503; ++i) {
        if (i < 500) world->feed.push_back(world->raised[i]);
        if (i >= 3) world->feed.push_back(clearOf(world->raised[i - 3]));
    }
    world->board.apply({}); // the alarm pictures, written once
}

// Baseline: the attribute searches that find the 1,000 stations, both station layers each.
void BM_SearchEventStations(benchmark::State& state) {
    gis::Map& map = frmViewOcableMain::instance().map1();
    for (auto _ : state)
        for (const std::string& code : world->codes) {
            auto a = map.Layers()
                         .Item(vocab::kLayerTerminal)
                         .Search(gis::searchTerm(vocab::kStationCodeColumn, code));
            auto b = map.Layers()
                         .Item(vocab::kLayerOtherStation)
                         .Search(gis::searchTerm(vocab::kStationCodeColumn, code));
            benchmark::DoNotOptimize(a.Count() + b.Count());
        }
}

void settle() {
    ui::MessageBoxService::instance().clearHistory();
}

// 1,000 alarms raised on 1,000 stations in one batch (one poll of the event
// file): bitmaps, markers, fields, the critical one located and announced.
void BM_Raise1000AsOneBatch(benchmark::State& state) {
    for (auto _ : state) {
        world->board.apply(world->raised);
        state.PauseTiming();
        world->board.apply(world->cleared);
        settle();
        state.ResumeTiming();
    }
}

// The same 1,000 alarms cleared in one batch: the stations as drawn again.
void BM_Clear1000AsOneBatch(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        world->board.apply(world->raised);
        settle();
        state.ResumeTiming();
        world->board.apply(world->cleared);
    }
}

// 1,000 events one at a time, as a feed sending one line a poll: 500 alarms
// each raised and cleared three events later.
void BM_Feed1000OneByOne(benchmark::State& state) {
    for (auto _ : state) {
        for (const auto& e : world->feed)
            world->board.apply({e});
        state.PauseTiming();
        settle();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_SearchEventStations)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Raise1000AsOneBatch)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Clear1000AsOneBatch)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Feed1000OneByOne)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    return benchsupport::runBenchmarks(argc, argv, "ocable-alarm-bench", setUp, [] {
        delete world;
        frmViewOcableMain::instance().close();
    });
}
