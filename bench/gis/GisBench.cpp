// Figures of the map component on a national network: 100,000 stations
// (symbols) and 150,000 two-point cable segments, all labelled.
//
//   build-gis-rel/bench/gis/gis_bench
//
// Search figures come in pairs: the indexed search and a scan of every row
// answering the same expression (the "Scan" rows), measured in the same run.

#include "platform/gis/GeometryOps.h"
#include "platform/gis/Map.h"
#include "platform/gis/MapRenderer.h"
#include "platform/gis/MapWidget.h"

#include <QApplication>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <random>

using namespace ocable::gis;

namespace {

constexpr int kStations = 100'000;
constexpr int kCables = 150'000;
constexpr int kBatch = 10'000;

std::string code(const char* prefix, int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%s%06d", prefix, i);
    return buf;
}

// The features and rows to add, made once: stations clustered round 300
// towns of eastern and central China, each cable joining two nearby stations.
struct Source {
    std::vector<Feature> stations, cables;
    std::vector<RowValues> stationRows, cableRows;

    Source() {
        std::mt19937 rng(42);
        std::uniform_real_distribution<double> lon(98, 124), lat(21, 45), jitter(-0.6, 0.6);
        std::vector<Point> towns;
        for (int i = 0; i < 300; ++i)
            towns.emplace_back(lon(rng), lat(rng));
        Style symbol;
        symbol.SymbolBitmapSize = 8;
        std::vector<Point> at;
        // Station i belongs to town i % 300, so stations i and i + 300 k are neighbours.
        for (int i = 0; i < kStations; ++i) {
            const Point& t = towns[static_cast<std::size_t>(i) % towns.size()];
            at.emplace_back(t.x + jitter(rng), t.y + jitter(rng));
            stations.push_back(FeatureFactory::CreateSymbol(at.back(), symbol));
            stationRows.emplace_back(std::vector<std::string>{"名称", "StationCode"},
                                     std::vector<std::string>{"局站" + std::to_string(i), code("STA", i)});
        }
        const int patterns[] = {1, 1, 1, 64, 51, 39, 30, 13, 0};
        for (int i = 0; i < kCables; ++i) {
            const std::size_t a = rng() % at.size();
            const std::size_t b = (a + towns.size() * (1 + rng() % 8)) % at.size();
            Style line;
            line.LinePattern = patterns[rng() % 9];
            line.LineWidth = i % 10 == 0 ? 3 : 1;
            line.LineColor = i % 10 == 0 ? rgb(0, 0, 255) : rgb(0, 0, 0);
            cables.push_back(FeatureFactory::CreateLine(Points{at[a], at[b]}, line));
            std::string label = i % 10 == 0 ? "(局站" + std::to_string(a) + "-局站" + std::to_string(b) +
                                                  ") 长度:" + std::to_string(rng() % 300) + "KM"
                                            : std::to_string(rng() % 300);
            cableRows.emplace_back(std::vector<std::string>{"Label", "OcableCode"},
                                   std::vector<std::string>{label, code("OC", i)});
        }
    }
};

const Source& source() {
    static const Source s;
    return s;
}

void fill(Map& map) {
    const Source& s = source();
    Layer& stations = map.Layers().CreateLayer("局站", 1, {"名称", "StationCode"}, LayerKind::Symbol);
    Layer& cables = map.Layers().CreateLayer("光缆段", 2, {"Label", "OcableCode"}, LayerKind::Line);
    stations.setAutoLabel(true);
    cables.setAutoLabel(true);
    for (int i = 0; i < kStations; i += kBatch) {
        stations.BeginAccess(AccessMode::ReadWrite);
        for (int k = i; k < std::min(kStations, i + kBatch); ++k)
            stations.AddFeature(s.stations[k], s.stationRows[k]);
        stations.EndAccess();
    }
    for (int i = 0; i < kCables; i += kBatch) {
        cables.BeginAccess(AccessMode::ReadWrite);
        for (int k = i; k < std::min(kCables, i + kBatch); ++k)
            cables.AddFeature(s.cables[k], s.cableRows[k]);
        cables.EndAccess();
    }
}

// One drawn network shared by the search and drawing figures.
Map& network() {
    static Map* map = [] {
        auto* m = new Map;
        fill(*m);
        m->setViewSize({1600, 1000});
        const Rectangle all = m->fullExtent();
        m->setBounds(all.expanded(all.Width() * 0.02, all.Height() * 0.02));
        return m;
    }();
    return *map;
}

std::string orOfCodes(int terms, std::mt19937& rng) {
    std::string expr;
    for (int t = 0; t < terms; ++t)
        expr += " OR OcableCode = \"" + code("OC", static_cast<int>(rng() % kCables)) + "\"";
    return expr.substr(3);
}

void BM_AddAllInBatches(benchmark::State& state) {
    source();
    double bytesPerCable = 0;
    for (auto _ : state) {
        Map map;
        fill(map);
        state.PauseTiming();
        Layer& cables = map.Layers().Item("光缆段");
        cables.Search(R"(OcableCode = "OC000001")"); // the code index exists after a first search
        bytesPerCable = static_cast<double>(cables.store().memoryBytes()) / kCables;
        state.ResumeTiming();
    }
    state.counters["features"] = kStations + kCables;
    state.counters["bytes_per_two_point_line"] = bytesPerCable;
}

template <bool Indexed> void BM_SearchOneTerm(benchmark::State& state) {
    const Layer& cables = network().Layers().Item("光缆段");
    std::mt19937 rng(1);
    std::vector<std::string> exprs;
    for (int i = 0; i < 256; ++i)
        exprs.push_back("OcableCode = \"" + code("OC", static_cast<int>(rng() % kCables)) + "\"");
    std::size_t i = 0, found = 0;
    for (auto _ : state) {
        const auto& e = exprs[i++ % exprs.size()];
        FeatureSet set = Indexed ? cables.Search(e) : cables.searchByScan(e);
        found += static_cast<std::size_t>(set.Count());
        benchmark::DoNotOptimize(set);
    }
    if (found != static_cast<std::size_t>(state.iterations()))
        state.SkipWithError("a code was not found exactly once");
}

template <bool Indexed> void BM_SearchOr1000(benchmark::State& state) {
    const Layer& cables = network().Layers().Item("光缆段");
    std::mt19937 rng(2);
    std::vector<std::string> exprs;
    for (int i = 0; i < 8; ++i)
        exprs.push_back(orOfCodes(1000, rng));
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& e = exprs[i++ % exprs.size()];
        FeatureSet set = Indexed ? cables.Search(e) : cables.searchByScan(e);
        benchmark::DoNotOptimize(set);
    }
}

template <bool Indexed> void BM_SearchWithinDistance(benchmark::State& state) {
    const Layer& cables = network().Layers().Item("光缆段");
    const FeatureStore& store = cables.store();
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> lon(100, 122), lat(23, 43);
    std::size_t found = 0;
    for (auto _ : state) {
        const Point p(lon(rng), lat(rng));
        if constexpr (Indexed) {
            found += static_cast<std::size_t>(
                cables.SearchWithinDistance(p, 5, DistanceUnit::Kilometre, SearchType::PartiallyWithin)
                    .Count());
        } else {
            const Metric km = Metric::kilometresAt(p.y);
            for (FeatureStore::Slot s = 0; s < store.slotCount(); ++s)
                if (store.alive(s) && distanceToFeature(p, store, s, km) <= 5) ++found;
        }
    }
    state.counters["found_per_search"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}

// Draws the map's current view once per iteration and reports what was drawn.
QImage renderRepeatedly(benchmark::State& state, Map& map) {
    MapRenderer renderer;
    QImage image(map.viewSize(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        renderer.render(map, painter, RenderOptions{});
    }
    state.counters["features"] = renderer.stats().features;
    state.counters["labels"] = renderer.stats().labels;
    return image;
}

void BM_RenderFull(benchmark::State& state) {
    Map& map = network();
    QImage image = renderRepeatedly(state, map);
    static bool saved = false;
    if (!saved && qEnvironmentVariableIsSet("GIS_BENCH_PNG"))
        saved = image.save(qEnvironmentVariable("GIS_BENCH_PNG"));
}

void BM_RenderProvince(benchmark::State& state) {
    Map& map = network();
    const Rectangle whole = map.Bounds();
    map.setBounds({112, 28, 117, 32});
    renderRepeatedly(state, map);
    map.setBounds(whole);
}

// Dragging with the pan tool: each mouse move repaints the widget from its
// kept picture, shifted.
void BM_PanRedrawFromCache(benchmark::State& state) {
    MapWidget widget;
    fill(widget.map());
    widget.resize(1600, 1000);
    widget.show();
    QApplication::processEvents();
    widget.map().setBounds(network().Bounds());
    widget.map().setCurrentTool(tools::Pan);
    widget.repaint();
    const int renders = widget.renderCount();
    widget.injectMouse(MapWidget::MouseAction::Down, 1, 0, {800, 500});
    int x = 800;
    for (auto _ : state) {
        x = x >= 1100 ? 800 : x + 3;
        widget.injectMouse(MapWidget::MouseAction::Move, 1, 0, {double(x), 500});
        widget.repaint();
    }
    widget.injectMouse(MapWidget::MouseAction::Up, 1, 0, {double(x), 500});
    if (widget.renderCount() != renders) state.SkipWithError("the layers were drawn again during the drag");
}

} // namespace

BENCHMARK(BM_AddAllInBatches)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_TEMPLATE(BM_SearchOneTerm, true)->Name("BM_SearchOneTerm")->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_SearchOneTerm, false)->Name("BM_SearchOneTerm_Scan")->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_SearchOr1000, true)->Name("BM_SearchOr1000")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_SearchOr1000, false)->Name("BM_SearchOr1000_Scan")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_SearchWithinDistance, true)->Name("BM_SearchWithin5km")->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_SearchWithinDistance, false)
    ->Name("BM_SearchWithin5km_Scan")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderProvince)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanRedrawFromCache)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
