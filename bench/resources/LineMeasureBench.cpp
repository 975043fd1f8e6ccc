// The cable line window and the length of selected cable segments on the
// national demo network (seed 1), with the host's real services over its
// SQLite database:
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench/resources/bench_line_measure [--dir DIR]
//
// - the line window of the largest parallel backbone group: dictionary,
//   matching over every record of the view, detail rows, translation of
//   each distinct value in one query, the grid filled and fitted; beside the
//   same window with a code-table query per cell (the texts are compared
//   before timing), beside the scan for matching records alone and beside
//   the translation alone, a query per cell against one for all;
// - the length of 10,000 selected cable segments (message box answered by
//   script, clipboard set) beside a bare read of their length column.
// The database is made in DIR (default $TMPDIR/ocable-line-bench) on first use.
#include "HostConfig.h"
#include "NationalDemo.h"

#include "core/NetworkVocabulary.h"
#include "core/ViewContext.h"
#include "core/mPubFun.h"
#include "core/mPubVar.h"
#include "interaction/Measurement.h"
#include "map/NetworkDrawing.h"
#include "map/mdlViewMap.h"
#include "platform/db/SqlQuote.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/gis/MapWidget.h"
#include "platform/ui/CheckTreeView.h"
#include "platform/ui/MessageBoxService.h"
#include "platform/ui/SheetGrid.h"
#include "resources/CodeTranslation.h"
#include "resources/frmShowLineInfox.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace ocable;

namespace {

struct World {
    gis::MapWidget map1;
    ui::CheckTreeView tree;
    ViewContext view;
    std::unique_ptr<NetworkDrawing> drawing;
    frmShowLineInfox::Ends ends; // of the largest parallel group
    std::size_t groupSize = 0;
    std::vector<std::string> cellValues; // the group's cells before translation
};

World* world = nullptr;

frmShowLineInfox::Ends endsOf(const std::string& code) {
    frmShowLineInfox::Ends ends;
    auto record = world->view.resTree->Item(vocab::cableKey(code));
    const char* fields[4] = {"LNG_A", "LAT_A", "LNG_Z", "LAT_Z"};
    for (int i = 0; i < 4; ++i)
        ends[static_cast<std::size_t>(i)] = record->Item(std::string(fields[i]))->Value;
    return ends;
}

// The window as the Part builds it, a code-table query per cell.
std::vector<QStringList> perCellWindow() {
    std::vector<std::string> fields;
    if (auto rs =
            mPubFun::openRecordset("select * from tabledictionarynew where tablename = 'EN_OCABLE' order "
                                   "by isvisible desc,serial"))
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
            fields.push_back(rs->Fields("ENFIELD").toText());
    ui::SheetGrid grid;
    grid.setMaxCol(static_cast<int>(fields.size()));
    grid.setMaxRow(1);
    int row = 1;
    for (const std::string& code : frmShowLineInfox::matchingCodes(*world->view.resTree, world->ends)) {
        auto rs =
            mPubFun::openRecordset("select * from V_EN_OCABLE$OC where OCABLECODE=" + db::sqlQuote(code));
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext(), ++row) {
            grid.setMaxRow(row);
            for (std::size_t c = 0; c < fields.size(); ++c)
                grid.setEntry(row, static_cast<int>(c) + 1,
                              QString::fromStdString(codes::translateOne(rs->Fields(fields[c]).toText())));
        }
    }
    grid.setColWidthAuto(-1, 1, grid.maxRow(), grid.maxCol(), true);
    return grid.rowsAsShown();
}

std::vector<QStringList> lineWindow() {
    frmShowLineInfox window;
    window.showLines(world->view.resTree.get(), world->ends, vocab::kCableTable, &world->view.cableFeatures);
    window.load();
    return window.fbLineShow()->rowsAsShown();
}

void setUp(const fs::path& dir) {
    const hostapp::HostConfig config = benchsupport::openNationalDemo(dir, "bench_line_measure");
    const fs::path db = config.database;

    world = new World;
    World& w = *world;
    benchsupport::drawNetwork(config, w.map1, w.tree, w.view, w.drawing);
    gis::Map& map = w.map1.map();

    // The largest group of backbone segments between the same two ends.
    auto rs = mPubFun::openRecordset(
        "SELECT MIN(OCABLECODE), COUNT(*) FROM MAP_V_EN_OCABLE WHERE RESLEVEL IN ('ZY132001','ZY132003',"
        "'ZY110502','ZY110503') GROUP BY MIN(STATION_A, STATION_Z), MAX(STATION_A, STATION_Z) ORDER BY 2 "
        "DESC "
        "LIMIT 1");
    rs->MoveFirst();
    w.ends = endsOf(rs->Fields(0).toText());
    w.groupSize = frmShowLineInfox::matchingCodes(*w.view.resTree, w.ends).size();
    for (const std::string& code : frmShowLineInfox::matchingCodes(*w.view.resTree, w.ends)) {
        auto detail =
            mPubFun::openRecordset("select * from V_EN_OCABLE$OC where OCABLECODE=" + db::sqlQuote(code));
        for (detail->MoveFirst(); !detail->Eof(); detail->MoveNext())
            for (int c = 0; c < detail->FieldCount(); ++c)
                w.cellValues.push_back(detail->Fields(c).toText());
    }
    const auto batched = lineWindow(), perCell = perCellWindow();
    std::cerr << "bench_line_measure: " << w.view.resTree->count() << " records; largest group "
              << w.groupSize << " segments, " << batched.size() << " rows; cells "
              << (batched == perCell ? "equal" : "DIFFER") << " to the per-cell translation\n";
    if (batched != perCell) std::exit(1);

    // 10,000 selected segments: the ordinary layer's first, then backbone.
    int wanted = 10000;
    for (const char* name : {vocab::kLayerCable, vocab::kLayerBackbone}) {
        gis::Layer& layer = map.Layers().Item(name);
        const gis::FeatureSet all = layer.AllFeatures();
        for (int i = 1; i <= all.Count() && wanted > 0; ++i, --wanted)
            layer.Selection().Add(all.Item(i));
    }
}

void BM_LineWindow(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(lineWindow().size());
    state.counters["rows"] = static_cast<double>(world->groupSize);
}

void BM_LineWindowPerCellQueries(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(perCellWindow().size());
}

// The translation alone: the group's cells one query each, and all at once.
void BM_TranslatePerCell(benchmark::State& state) {
    for (auto _ : state)
        for (const std::string& v : world->cellValues)
            benchmark::DoNotOptimize(codes::translateOne(v));
    state.counters["cells"] = static_cast<double>(world->cellValues.size());
}

void BM_TranslateDistinctOnce(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(codes::translateAll(world->cellValues).size());
}

void BM_MatchingRecordsAlone(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(frmShowLineInfox::matchingCodes(*world->view.resTree, world->ends).size());
}

void BM_BareLengthColumnRead(benchmark::State& state) {
    gis::Map& map = world->map1.map();
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (const char* name : {vocab::kLayerCable, vocab::kLayerBackbone}) {
            const gis::Selection& selection = map.Layers().Item(name).Selection();
            const gis::Dataset& data = map.Datasets().Item(name);
            for (int i = 1; i <= selection.Count(); ++i)
                bytes += data.Value(selection.Item(i), 1).size();
        }
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_CableLength10k(benchmark::State& state) {
    Measurement measure(world->view);
    for (auto _ : state) {
        measure.showCableLength();
        state.PauseTiming();
        ui::MessageBoxService::instance().clearHistory();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_LineWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LineWindowPerCellQueries)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TranslatePerCell)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_TranslateDistinctOnce)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_MatchingRecordsAlone)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_BareLengthColumnRead)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CableLength10k)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    return benchsupport::runBenchmarks(argc, argv, "ocable-line-bench", setUp, [] { delete world; });
}
