// The transmission-system tree on the national demo network (seed 1), each
// figure beside the bare sqlite3 read of the rows it needs:
//   - loadRules, then genNewTree of the largest rule (copy into the tree
//     window included);
//   - unticking and ticking again the group of that rule whose systems come
//     nearest to a tenth of all systems, over a cable layer holding one
//     two-point line per segment the systems run over (the map itself is
//     not drawn here; the drawing has its own benchmark);
//   - saving the largest rule in one transaction.
//
//   build/bench/bench/systemtree/bench_systemtree [--dir DIR] [--runs N]

#include "DemoDbGenerator.h"
#include "HostServices.h"
#include "SqliteDataAccess.h"

#include "core/ViewContext.h"
#include "core/mPubVar.h"
#include "host/SharedNames.h"
#include "platform/gis/Feature.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Layers.h"
#include "platform/gis/Map.h"
#include "platform/ui/CheckTreeView.h"
#include "platform/ui/MessageBoxService.h"
#include "systemtree/RuleStore.h"
#include "systemtree/SystemRoutes.h"
#include "systemtree/SystemTree.h"
#include "systemtree/frmViewResTree.h"

#include <QApplication>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace ocable;

namespace {

double msOf(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// The fastest of several runs.
double best(int runs, const std::function<void()>& f) {
    double m = 1e300;
    for (int i = 0; i < runs; ++i)
        m = std::min(m, msOf(f));
    return m;
}

// Reads every cell of a query into strings with the C API: the floor any
// reading through the host's data access is compared with.
std::size_t bareRead(const fs::path& db, const std::string& sql) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr);
    std::vector<std::string> cells;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            const auto* t = sqlite3_column_text(st, c);
            cells.emplace_back(t ? reinterpret_cast<const char*>(t) : "");
        }
    sqlite3_finalize(st);
    sqlite3_close(h);
    return cells.size();
}

std::vector<std::string> column(host::IDataAccess& data, const std::string& sql) {
    std::vector<std::string> out;
    auto rs = data.openRecordset("systemDB", sql, 0);
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
        out.push_back(rs->Fields(0).toText());
    return out;
}

std::size_t leaves(const ui::KeyedTree& t, ui::KeyedTree::NodeId id) {
    const auto& n = t.node(id);
    if (n.children.empty()) return n.tag == "NO" ? 1 : 0;
    std::size_t s = 0;
    for (auto c : n.children)
        s += leaves(t, c);
    return s;
}

} // namespace

int main(int argc, char** argv) {
    fs::path dir = fs::temp_directory_path() / "ocable-bench";
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--dir") dir = argv[i + 1];
        if (a == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::MessageBoxService::instance().setScripted(true);

    fs::create_directories(dir);
    const fs::path db = dir / "national.db";
    if (!fs::exists(db)) {
        std::cerr << "bench_systemtree: generating " << db << " ...\n";
        demo::GeneratorOptions options;
        options.scale = *demo::parseScale("national");
        options.baseMapDir = demo::defaultBaseMapDir();
        options.output = db;
        demo::generateDemoDb(options);
    }
    // A copy, so that the save does not change the generated database.
    const fs::path work = dir / "national-systemtree.db";
    fs::copy_file(db, work, fs::copy_options::overwrite_existing);

    auto data = std::make_shared<hostapp::SqliteDataAccess>(work);
    mPubVar::gobjDataAccess.set(data);
    mPubVar::gobjCommon.set(std::make_shared<hostapp::HostCommon>());
    mPubVar::gobjMessage.set(std::make_shared<hostapp::HostMessage>());

    const std::string largest =
        column(*data, "SELECT P_KEY FROM RE_TREE_STRUCT GROUP BY P_KEY ORDER BY COUNT(*) DESC")[0];
    const std::string rows =
        column(*data, "SELECT COUNT(*) FROM RE_TREE_STRUCT WHERE P_KEY = '" + largest + "'")[0];
    const std::string systems = column(*data, "SELECT COUNT(*) FROM TRANSSYSTEM")[0];
    std::cout << "systems " << systems << ", largest rule " << largest << " with " << rows << " rows\n";

    gis::Map map;
    map.Layers().CreateLayer(vocab::kLayerBackbone, 1, {"Label", "OcableCode"}, gis::LayerKind::Line);
    gis::Layer& cables =
        map.Layers().CreateLayer(vocab::kLayerCable, 1, {"Label", "OcableCode"}, gis::LayerKind::Line);
    ui::CheckTreeView mainTree;
    ViewContext view;
    view.map = &map;
    view.TreeSystemView = &mainTree;
    systemtree::SystemRoutes routes(view);
    systemtree::SystemTree tree(view, routes);
    frmViewResTree::instance().resize(300, 800);
    frmViewResTree::instance().show();

    const std::string treeSql =
        "SELECT * FROM RE_TREE_STRUCT WHERE P_KEY = '" + largest + "' ORDER BY NODELEVEL , NODENAME ";
    const double bareTree = best(runs, [&] { bareRead(work, treeSql); });
    const double bareRules = best(runs, [&] { bareRead(work, "SELECT * FROM EN_SUBNET_P"); });
    const double load = best(runs, [&] { tree.loadRules(); });
    const double build = best(runs, [&] { tree.genNewTree(largest); });
    const double copy = best(runs, [&] { tree.copyTreeToWindow(); });
    std::cout << "bare read of the rules and the largest rule's rows: " << bareRules + bareTree << " ms\n"
              << "loadRules (first rule's tree included): " << load << " ms\n"
              << "genNewTree(largest), copy included: " << build << " ms\n"
              << "copyTreeToWindow alone: " << copy << " ms\n";

    // One line per segment of the systems, counted as the drawing counts.
    {
        auto rs = data->openRecordset("systemDB",
                                      "SELECT OCABLECODE ,COUNT(SYSTEMCODE) AS CNT FROM "
                                      "MAP_V_RE_CABLE_SUNNET_SYSTEM GROUP BY OCABLECODE ",
                                      0);
        cables.BeginAccess();
        double x = 80;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext(), x += 0.001) {
            const std::string code = rs->Fields(0).toText();
            gis::Feature f = gis::FeatureFactory::CreateLine(gis::Points{{x, 30.0}, {x + 0.5, 31.0}},
                                                             cables.defaultStyle());
            f.setCarriedRow({code, code});
            const gis::Feature added = cables.AddFeature(f);
            auto record = std::make_shared<clsFearture>();
            record->ftr = added;
            record->ftrKey = added.FeatureKey();
            record->ftrCode = code;
            record->label = code;
            record->remark = rs->Fields(1).toText();
            record->layerName = vocab::kLayerCable;
            view.cableFeatures.Add(record, code);
        }
        cables.EndAccess();
    }
    ui::KeyedTree& shown = frmViewResTree::instance().TreeSystem()->tree();
    const std::size_t tenth = std::stoul(systems) / 10;
    ui::KeyedTree::NodeId group = ui::KeyedTree::npos;
    std::size_t groupLeaves = 0;
    for (auto id : shown.allNodes()) {
        const std::size_t n = leaves(shown, id);
        if (shown.node(id).parent != ui::KeyedTree::npos && !shown.node(id).children.empty() &&
            (group == ui::KeyedTree::npos ||
             (n > tenth ? n - tenth : tenth - n) <
                 (groupLeaves > tenth ? groupLeaves - tenth : tenth - groupLeaves))) {
            group = id;
            groupLeaves = n;
        }
    }
    const std::string key = shown.node(group).key;
    const std::string list = systemtree::SystemRoutes::collectSystemCodes(shown, group);
    const double bareRoutes = best(runs, [&] {
        bareRead(work, "SELECT DISTINCT OCABLECODE FROM MAP_V_RE_CABLE_SUNNET_SYSTEM WHERE SYSTEMCODE IN (" +
                           list.substr(0, list.size() - 1) + ")");
    });
    double untick = 1e300, tick = 1e300;
    for (int i = 0; i < runs; ++i) {
        untick = std::min(untick, msOf([&] {
                              tree.TreeSystem_NodeCheck(key, false);
                              frmViewResTree::instance().repaint();
                          }));
        tick = std::min(tick, msOf([&] {
                            tree.TreeSystem_NodeCheck(key, true);
                            frmViewResTree::instance().repaint();
                        }));
    }
    std::cout << "group " << shown.node(group).text << " with " << groupLeaves
              << " systems (a tenth: " << tenth << ")\n"
              << "bare read of their segments: " << bareRoutes << " ms\n"
              << "untick with the tree window's repaint: " << untick << " ms; tick: " << tick << " ms\n";

    const double save = best(runs, [&] { systemtree::RuleStore(*data).saveTree(shown); });
    std::cout << "save of the largest rule (" << shown.Count() << " nodes) in one transaction: " << save
              << " ms\n";
    frmViewResTree::unload();
    mPubVar::releaseGlobals();
    return 0;
}
