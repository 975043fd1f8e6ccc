// Figures of the keyed check-box tree on a national resource tree:
// "ROOT" -> 6 domains -> 34 provinces -> a station and a cable group per
// province -> stations and cable segments, 250,000 nodes in all.
//
//   build-ui-rel/bench/ui/ui_tree_bench
//
// "Bare" clears and refills a tree nobody watches: the baseline of the rows
// with a view attached ("Fresh" fills a new tree, as the first drawing does).
// "ViewBulk" clears and refills the tree of a shown CheckTreeView inside one
// bulk update, as the drawing does; "ViewSingle" tells the view of every node
// (one fill of a new tree: compare it with "Fresh"). "Mirror" copies a filled
// tree node by node into another, as the main window does into the tree
// window on activation. "CheckRoot" ticks or unticks all 250,000 nodes of a
// shown tree.

#include "platform/ui/CheckTreeView.h"
#include "platform/ui/KeyedTree.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using ocable::ui::CheckTreeView;
using ocable::ui::KeyedTree;

namespace {

struct NodeSpec {
    std::string parent, key, text;
};

// The nodes in the order the drawing adds them: all group nodes first, then
// the leaves group by group.
std::vector<NodeSpec> resourceTree(std::size_t total) {
    constexpr int kDomains = 6, kProvinces = 34;
    std::vector<NodeSpec> out;
    out.reserve(total);
    out.push_back({"", "ROOT", "网络组织图"});
    for (int d = 0; d < kDomains; ++d)
        out.push_back({"ROOT", "管理域" + std::to_string(d + 1), "二干"});
    std::vector<std::string> groups;
    for (int p = 0; p < kProvinces; ++p) {
        char code[24];
        std::snprintf(code, sizeof code, "XZ0116%04d", p + 1);
        out.push_back({"管理域" + std::to_string(p % kDomains + 1), code, "省份" + std::to_string(p + 1)});
        out.push_back({code, std::string(code) + ":STA", "局站"});
        out.push_back({code, std::string(code) + ":OCA", "光缆段"});
        groups.push_back(std::string(code) + ":STA");
        groups.push_back(std::string(code) + ":OCA");
    }
    const std::size_t leaves = total - out.size();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const bool station = g % 2 == 0;
        const std::size_t begin = leaves * g / groups.size(), end = leaves * (g + 1) / groups.size();
        for (std::size_t i = begin; i < end; ++i) {
            char code[32];
            std::snprintf(code, sizeof code, "%s%07zu", station ? "ST" : "OC", i);
            out.push_back(
                {groups[g], groups[g] + ":" + code, (station ? "局站" : "光缆段") + std::to_string(i)});
        }
    }
    return out;
}

const std::vector<NodeSpec>& specs(std::size_t total) {
    static std::size_t madeFor = 0;
    static std::vector<NodeSpec> s;
    if (madeFor != total) {
        s = resourceTree(total);
        madeFor = total;
    }
    return s;
}

// Root and domains open, as the drawing leaves them.
void fill(KeyedTree& tree, const std::vector<NodeSpec>& nodes) {
    for (const auto& n : nodes) {
        auto& node = tree.node(tree.Add(n.parent, n.key, n.text));
        node.checked = true;
        node.expanded = n.parent.empty() || n.parent == "ROOT";
    }
}

std::size_t size(const benchmark::State& state) {
    return static_cast<std::size_t>(state.range(0));
}

// A tree made anew, as at the first drawing.
void BM_FillFresh(benchmark::State& state) {
    const auto& nodes = specs(size(state));
    for (auto _ : state) {
        auto tree = std::make_unique<KeyedTree>();
        fill(*tree, nodes);
        benchmark::DoNotOptimize(tree->Count());
        state.PauseTiming(); // the tree's destruction is not part of the fill
        tree.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * nodes.size()));
}

// Cleared and filled again, as at every later drawing: the baseline of the view rows.
void BM_FillBare(benchmark::State& state) {
    const auto& nodes = specs(size(state));
    KeyedTree tree;
    fill(tree, nodes);
    for (auto _ : state) {
        tree.Clear();
        fill(tree, nodes);
        benchmark::DoNotOptimize(tree.Count());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * nodes.size()));
}

void BM_FillViewBulk(benchmark::State& state) {
    const auto& nodes = specs(size(state));
    CheckTreeView view;
    view.resize(300, 600);
    view.show();
    for (auto _ : state) {
        {
            KeyedTree::BulkUpdate bulk(view.tree());
            view.tree().Clear();
            fill(view.tree(), nodes);
        }
        view.syncExpanded();
        QApplication::processEvents(); // the view lays out and paints
        benchmark::DoNotOptimize(view.model().rowCount());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * nodes.size()));
}

void BM_FillViewSingle(benchmark::State& state) {
    const auto& nodes = specs(size(state));
    CheckTreeView view;
    view.resize(300, 600);
    view.show();
    for (auto _ : state) {
        view.tree().Clear();
        fill(view.tree(), nodes);
        view.syncExpanded();
        QApplication::processEvents();
        benchmark::DoNotOptimize(view.model().rowCount());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * nodes.size()));
}

void BM_MirrorBare(benchmark::State& state) {
    const auto& nodes = specs(size(state));
    KeyedTree source;
    fill(source, nodes);
    KeyedTree target;
    for (auto _ : state) {
        target.copyFrom(source);
        benchmark::DoNotOptimize(target.Count());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * nodes.size()));
}

void BM_MirrorIntoView(benchmark::State& state) {
    const auto& nodes = specs(size(state));
    KeyedTree source;
    fill(source, nodes);
    CheckTreeView view;
    view.resize(300, 600);
    view.show();
    for (auto _ : state) {
        view.tree().copyFrom(source);
        view.syncExpanded();
        QApplication::processEvents();
        benchmark::DoNotOptimize(view.model().rowCount());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * nodes.size()));
}

// Unticking and ticking the root of a shown tree: every node changes and the view is told.
void BM_CheckRootWithView(benchmark::State& state) {
    const auto& nodes = specs(size(state));
    CheckTreeView view;
    view.resize(300, 600);
    {
        KeyedTree::BulkUpdate bulk(view.tree());
        fill(view.tree(), nodes);
    }
    view.syncExpanded();
    view.show();
    QApplication::processEvents();
    bool on = false;
    for (auto _ : state) {
        view.tree().setCheckedRecursive(view.tree().id("ROOT"), on);
        QApplication::processEvents();
        on = !on;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * nodes.size()));
}

// Finding every leaf by key: what a check handler does for each object below a node.
void BM_FindByKey(benchmark::State& state) {
    const auto& nodes = specs(size(state));
    KeyedTree tree;
    fill(tree, nodes);
    for (auto _ : state) {
        std::size_t found = 0;
        for (const auto& n : nodes)
            found += tree.find(n.key) != KeyedTree::npos;
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * nodes.size()));
}

constexpr std::int64_t kNodes = 250'000;

BENCHMARK(BM_FillFresh)->Arg(kNodes)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FillBare)->Arg(kNodes)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FillViewBulk)->Arg(kNodes)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FillViewSingle)->Arg(25'000)->Arg(kNodes)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MirrorBare)->Arg(kNodes)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MirrorIntoView)->Arg(kNodes)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CheckRootWithView)->Arg(kNodes)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_FindByKey)->Arg(kNodes)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
