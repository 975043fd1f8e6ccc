// The find dialog on the national demo network (seed 1: 100,000 stations,
// about 150,000 cable segments), with the host's real services over SQLite:
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench/resources/bench_find [--dir DIR]
//
// - a matching station search as the user makes it: the name typed into the
//   box (the station list selects its first entry beginning with it), then
//   "查询": the query, the hits, the first one located on the drawn map;
//   beside the bare sqlite3 run of the same statement into strings;
// - filling both lists (the dialog's load) beside the bare sqlite3 read of
//   the same names;
// - typing two end names that no list entry begins with: the longest prefix
//   search, over every cable name with each dash.
// The database is made in DIR (default $TMPDIR/ocable-find-bench) on first
// use and reused.
#include "HostConfig.h"
#include "NationalDemo.h"

#include "core/NetworkVocabulary.h"
#include "core/ViewContext.h"
#include "core/mPubFun.h"
#include "core/mPubVar.h"
#include "map/NetworkDrawing.h"
#include "map/mdlViewMap.h"
#include "platform/gis/Map.h"
#include "platform/gis/MapWidget.h"
#include "platform/ui/CheckTreeView.h"
#include "platform/ui/MessageBoxService.h"
#include "resources/FindSearch.h"
#include "resources/frmViewFindStation.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QStringListModel>
#include <QTabWidget>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
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
    fs::path db;
    // Two station names cut to city and district: searches of the size a
    // user types, alternating so that every press runs its query.
    QString terms[2];
};

World* world = nullptr;

void setUp(const fs::path& dir) {
    const hostapp::HostConfig config = benchsupport::openNationalDemo(dir, "bench_find");
    const fs::path db = config.database;

    world = new World;
    World& w = *world;
    w.db = db;
    benchsupport::drawNetwork(config, w.map1, w.tree, w.view, w.drawing);

    auto names = mPubFun::openRecordset(find::kStationListSql);
    const QStringList all = find::listNames(names.get(), "STATIONNAME");
    w.terms[0] = all[all.size() / 3].left(4);
    w.terms[1] = all[2 * all.size() / 3].left(4);
    frmViewFindStation::showFor(w.view);
}

// Every row of a statement read into strings with the sqlite3 C API.
std::size_t bareRead(const fs::path& db, const std::string& sql) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_exec(h, "PRAGMA case_sensitive_like = ON", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr);
    std::vector<std::string> rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const auto* t = sqlite3_column_text(st, 0);
        rows.emplace_back(t ? reinterpret_cast<const char*>(t) : "");
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    return rows.size();
}

template <class T> T* child(const char* name) {
    return frmViewFindStation::showFor(world->view).findChild<T*>(name);
}

void BM_BareStationQuery(benchmark::State& state) {
    std::size_t i = 0, hits = 0;
    for (auto _ : state)
        hits = bareRead(world->db, find::stationQuery(world->terms[i++ % 2].toStdString(), true));
    state.counters["hits"] = static_cast<double>(hits);
}

void BM_MatchingStationSearch(benchmark::State& state) {
    child<QTabWidget>("SSTabRes")->setCurrentIndex(0);
    child<QCheckBox>("chkMatch")->setChecked(true);
    auto* box = child<QLineEdit>("txtStation");
    auto& dialog = frmViewFindStation::showFor(world->view);
    std::size_t i = 0;
    for (auto _ : state) {
        box->setText(world->terms[i++ % 2]);
        dialog.cmdOK_Click();
    }
    state.counters["hits"] = static_cast<double>(dialog.search().results().size());
    ui::MessageBoxService::instance().clearHistory();
}

void BM_BareNameRead(benchmark::State& state) {
    std::size_t rows = 0;
    for (auto _ : state)
        rows = bareRead(world->db, find::kStationListSql) + bareRead(world->db, find::kCableListSql);
    state.counters["names"] = static_cast<double>(rows);
}

void BM_FillLists(benchmark::State& state) {
    auto& dialog = frmViewFindStation::showFor(world->view);
    for (auto _ : state) {
        dialog.Form_Load();
        QApplication::processEvents(); // the shown list lays out its new rows
    }
    state.counters["names"] =
        static_cast<double>(dialog.stationNames().rowCount() + dialog.cableNames().rowCount());
}

void BM_TypeUnknownCableEnds(benchmark::State& state) {
    child<QTabWidget>("SSTabRes")->setCurrentIndex(1);
    auto* start = child<QLineEdit>("txtStart");
    auto* end = child<QLineEdit>("txtEnd");
    start->setText("无此局站");
    std::size_t i = 0;
    for (auto _ : state)
        end->setText(i++ % 2 ? "无此终点" : "无此终点站");
}

} // namespace

BENCHMARK(BM_BareStationQuery)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);
BENCHMARK(BM_MatchingStationSearch)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);
BENCHMARK(BM_BareNameRead)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);
BENCHMARK(BM_FillLists)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);
BENCHMARK(BM_TypeUnknownCableEnds)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);

int main(int argc, char** argv) {
    return benchsupport::runBenchmarks(argc, argv, "ocable-find-bench", setUp, [] { delete world; });
}
