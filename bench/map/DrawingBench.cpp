// Time and memory of drawing the whole network, drawOcableNetMap("按管理区域划分",
// "NULL") at user level 2, against a bare sqlite3 read of the same station and
// cable rows measured in the same run.
//
//   build/bench/bench/map/bench_drawing [--scale province|national|all] [--dir DIR] [--runs N]
//                                       [--fingerprint]
//
// The demo databases (seed 1) and the host folders are made in DIR on first
// use (default: $TMPDIR/ocable-draw-bench) and reused afterwards. Each
// measurement runs in a child process of its own, so that the peak resident
// memory it reports belongs to that measurement alone: N drawings (5 by
// default), each after a bare read, and one more read at the end. Each
// drawing is compared with the mean of the reads just before and after it,
// and the median of these ratios is the figure: on a shared machine the load
// drifts during a run, and the fastest of each, or the median of each taken
// apart, compares times from different moments. After each drawing the map is
// saved as the main window saves it when it closes: the time until the call
// returns is what the user waits for, the time until the files are on disk
// what the process waits for before it ends. --fingerprint prints
// fingerprints of what the first drawing left behind, to compare builds.
#include "DemoDbGenerator.h"
#include "DrawingFingerprint.h"
#include "HostConfig.h"
#include "NationalDemo.h"
#include "SqliteDataAccess.h"

#include "core/NetworkVocabulary.h"
#include "core/mPubFun.h"
#include "core/mPubVar.h"
#include "map/NetworkDrawing.h"
#include "map/mdlViewMap.h"
#include "platform/gis/GeosetStore.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/ui/CheckTreeView.h"
#include "platform/ui/KeyedTree.h"
#include "platform/ui/MessageBoxService.h"

#include <QApplication>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// A figure of /proc/self/status in kB ("VmHWM", "VmRSS").
long statusKb(const char* name) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(name) + ":";
    while (std::getline(in, line))
        if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
    return -1;
}

// Children report "name<TAB>value" lines on their standard output.
void report(const std::string& name, const std::string& value) {
    std::cout << name << '\t' << value << '\n';
}
void report(const std::string& name, double value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6f", value);
    report(name, std::string(buf));
}
void report(const std::string& name, long long value) {
    report(name, std::to_string(value));
}

// ---- child: the bare read -------------------------------------------

// Every cell of the query into one std::string, as plainly as the C API
// allows; the rows stay held until the process ends.
long long readAll(sqlite3* db, const char* sql, std::vector<std::string>& cells) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        std::cerr << "bench_drawing: " << sqlite3_errmsg(db) << '\n';
        std::exit(1);
    }
    const int columns = sqlite3_column_count(stmt);
    long long rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            cells.emplace_back(
                text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, c)))
                     : std::string());
        }
        ++rows;
    }
    sqlite3_finalize(stmt);
    return rows;
}

int childBaseline(const fs::path& database) {
    const auto start = Clock::now();
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::cerr << "bench_drawing: cannot open " << database << '\n';
        return 1;
    }
    std::vector<std::string> stations, cables;
    const long long stationRows = readAll(db, "SELECT * FROM STATION", stations);
    const long long cableRows = readAll(db, "SELECT * FROM MAP_V_EN_OCABLE", cables);
    const auto end = Clock::now();
    sqlite3_close(db);
    report("baseline", seconds(start, end));
    report("stationRows", stationRows);
    report("cableRows", cableRows);
    report("baselinePeakKb", static_cast<long long>(statusKb("VmHWM")));
    return 0;
}

// ---- child: the drawing ---------------------------------------------

int childDrawing(int argc, char** argv, const fs::path& database, const fs::path& dir, int userLevel,
                 bool fingerprint) {
    using namespace ocable;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long startKb = statusKb("VmRSS");
    const auto setupStart = Clock::now();

    const hostapp::HostConfig config = benchsupport::demoHost(dir, database, userLevel);

    auto data = std::make_shared<hostapp::SqliteDataAccess>(database);
    std::vector<std::string> sql;
    data->setObserver([&sql](std::string_view s) { sql.emplace_back(s); });
    benchsupport::installHostServices(config, data);
    mPubVar::gUserName = config.userName;

    gis::Map map;
    map.setSymbolFolder(mPubFun::getCustomSymbolDir());
    map.loadGeoset(config.appDir / vocab::kAppMapFolder / vocab::kNetworkGeoset);
    mdlViewMap::bindLayerDatasets(map);
    ui::CheckTreeView treeRes, treeWindow;

    ViewContext state;
    state.map = &map;
    state.TreeRes = &treeRes.tree();
    state.LayerDictionary.assign(vocab::kNetworkLayers.begin(), vocab::kNetworkLayers.end());
    const auto setupEnd = Clock::now();
    const long setupKb = statusKb("VmRSS");

    std::vector<std::pair<std::string, double>> phases;
    std::vector<long> phaseKb; // resident memory as each phase ends
    Clock::time_point mark;
    NetworkDrawing::Hooks hooks;
    hooks.letEventsRun = [] { QCoreApplication::processEvents(); };
    hooks.mirrorResourceTree = [&] { treeWindow.copyTree(treeRes.tree()); };
    hooks.phaseDone = [&](const char* name) {
        const auto now = Clock::now();
        phases.emplace_back(name, seconds(mark, now));
        phaseKb.push_back(statusKb("VmRSS"));
        mark = Clock::now(); // reading the status is not the drawing's time
    };
    NetworkDrawing drawing(state, hooks);

    std::string rule = "按管理区域划分", scope = vocab::kScopeAll;
    mark = Clock::now();
    const auto start = mark;
    const bool drawn = drawing.drawOcableNetMap(rule, scope);
    const auto end = Clock::now();
    phases.emplace_back("finish", seconds(mark, end));
    const long peakKb = statusKb("VmHWM");

    report("drawn", std::string(drawn ? "true" : "false"));
    for (const auto& m : ui::MessageBoxService::instance().history())
        report("message", m.request.text);
    report("setup", seconds(setupStart, setupEnd));
    report("total", seconds(start, end));
    phaseKb.push_back(statusKb("VmRSS"));
    for (std::size_t i = 0; i < phases.size(); ++i) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.6f %ld", phases[i].second, phaseKb[i]);
        report("phase " + phases[i].first, std::string(buf));
    }
    report("startKb", static_cast<long long>(startKb));
    report("setupKb", static_cast<long long>(setupKb));
    report("peakKb", static_cast<long long>(peakKb));
    for (const char* name : vocab::kNetworkLayers)
        report(std::string("count ") + name, static_cast<long long>(map.Layers().Item(name).featureCount()));
    report("count records", static_cast<long long>(state.resTree->count()));
    report("count tree nodes", static_cast<long long>(state.TreeRes->Count()));
    report("count feature records",
           static_cast<long long>(state.stationFeatures.Count() + state.cableFeatures.Count() +
                                  state.microwaveFeatures.Count()));
    {
        // The main window's unload: the map into the host's map folder.
        const fs::path saved = config.mapDir / vocab::kNetworkGeoset;
        const auto closeStart = Clock::now();
        map.saveGeoset("", saved);
        const auto closeEnd = Clock::now();
        gis::GeosetStore::finishSaving();
        const auto written = Clock::now();
        report("close", seconds(closeStart, closeEnd));
        report("closeWritten", seconds(closeStart, written));
        std::error_code ec;
        auto data = saved;
        data.replace_extension(".gpkg");
        report("closeBytes", static_cast<long long>(fs::file_size(data, ec)));
    }
    if (fingerprint) {
        const auto printStart = Clock::now();
        for (const auto& [name, value] : bench::fingerprintDrawing(state, sql)) {
            char hex[20];
            std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(value));
            report("print " + name, std::string(hex));
        }
        report("fingerprint", seconds(printStart, Clock::now()));
    }
    std::cout.flush();
    mPubVar::releaseGlobals();
    // The process ends here; tearing down a quarter of a million objects
    // would only lengthen the run.
    std::_Exit(drawn ? 0 : 3);
}

// ---- parent ---------------------------------------------------------

using Figures = std::vector<std::pair<std::string, std::string>>;

std::string get(const Figures& f, const std::string& name) {
    for (const auto& [k, v] : f)
        if (k == name) return v;
    return {};
}
double num(const Figures& f, const std::string& name) {
    return std::atof(get(f, name).c_str());
}

std::string shellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

Figures runChild(const std::string& args) {
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string command = shellQuote(self) + " " + args;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        std::cerr << "bench_drawing: cannot start " << command << '\n';
        std::exit(1);
    }
    Figures figures;
    std::string text;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, pipe))
        text.append(buf, n);
    const int status = pclose(pipe);
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto tab = line.find('\t');
        if (tab != std::string::npos) figures.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    }
    if (status != 0) std::cerr << "bench_drawing: " << command << " ended with status " << status << '\n';
    return figures;
}

fs::path ensureDatabase(const fs::path& dir, const std::string& scale) {
    const fs::path db = dir / (scale + ".db");
    if (!fs::exists(db)) {
        std::cerr << "bench_drawing: generating the " << scale << " demo database " << db << " ...\n";
        ocable::demo::GeneratorOptions options;
        options.scale = *ocable::demo::parseScale(scale);
        options.seed = 1;
        options.baseMapDir = ocable::demo::defaultBaseMapDir();
        options.output = db;
        ocable::demo::generateDemoDb(options);
    }
    return db;
}

std::string mb(double kb) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f MB", kb / 1024.0);
    return buf;
}
std::string sec(double s) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f s", s);
    return buf;
}

struct Summary {
    std::string scale;
    double baseline = 0, total = 0, ratio = 0, peakKb = 0, close = 0, closeWritten = 0;
    bool drawn = false;
};

// The run whose figure is the median (the lower middle one of an even count).
const Figures& medianOf(const std::vector<Figures>& runs, const std::string& name) {
    std::vector<const Figures*> order;
    for (const auto& f : runs)
        order.push_back(&f);
    std::sort(order.begin(), order.end(),
              [&](const Figures* a, const Figures* b) { return num(*a, name) < num(*b, name); });
    return *order[(order.size() - 1) / 2];
}

double median(const std::vector<Figures>& runs, const std::string& name) {
    return num(medianOf(runs, name), name);
}

Summary benchScale(const fs::path& dir, const std::string& scale, int runs, bool fingerprint) {
    const fs::path db = ensureDatabase(dir, scale);
    const std::string dbArg = shellQuote(db.string());
    // The runs alternate, read and drawing, and end with a read, so that
    // each drawing has a read on either side under much the same load.
    std::vector<Figures> reads, draws;
    for (int r = 0; r < runs; ++r) {
        reads.push_back(runChild("--child baseline --db " + dbArg));
        draws.push_back(runChild("--child drawing --db " + dbArg + " --dir " + shellQuote(dir.string()) +
                                 (fingerprint && r == 0 ? " --fingerprint" : "")));
    }
    reads.push_back(runChild("--child baseline --db " + dbArg));

    Summary s;
    s.scale = scale;
    std::string readTimes, drawTimes;
    std::string closeTimes;
    for (const auto& f : reads)
        readTimes += (readTimes.empty() ? "" : ", ") + sec(num(f, "baseline"));
    for (const auto& f : draws) {
        drawTimes += (drawTimes.empty() ? "" : ", ") + sec(num(f, "total"));
        closeTimes += (closeTimes.empty() ? "" : ", ") + sec(num(f, "close")) + " (" +
                      sec(num(f, "closeWritten")) + ")";
        s.peakKb = std::max(s.peakKb, num(f, "peakKb"));
    }
    const Figures* read = &medianOf(reads, "baseline");
    const Figures* draw = &medianOf(draws, "total");
    s.baseline = num(*read, "baseline");
    s.total = num(*draw, "total");
    std::vector<double> ratios;
    std::string ratioTexts;
    for (std::size_t i = 0; i < draws.size(); ++i) {
        const double around = (num(reads[i], "baseline") + num(reads[i + 1], "baseline")) / 2;
        ratios.push_back(around > 0 ? num(draws[i], "total") / around : 0);
        char buf[16];
        std::snprintf(buf, sizeof buf, "%.2f", ratios.back());
        ratioTexts += (ratioTexts.empty() ? "" : ", ") + std::string(buf);
    }
    std::sort(ratios.begin(), ratios.end());
    s.ratio = ratios[(ratios.size() - 1) / 2];
    s.close = median(draws, "close");
    s.closeWritten = median(draws, "closeWritten");
    s.drawn = true;
    for (const auto& f : draws)
        s.drawn = s.drawn && get(f, "drawn") == "true";
    const Figures& before = *read;

    std::cout << "\n== " << scale << ": " << get(before, "stationRows") << " stations, "
              << get(before, "cableRows") << " cable rows (" << db.string() << ")\n";
    std::cout << "  bare sqlite3 read, SELECT * FROM STATION + SELECT * FROM MAP_V_EN_OCABLE into strings:\n"
              << "    " << readTimes << " (peak RSS " << mb(num(before, "baselinePeakKb")) << ")\n";
    std::cout << "  drawings: " << drawTimes << "; the median one in detail:\n";
    const Figures& d = *draw;
    std::cout << "  setup (services, geoset, datasets, not counted): " << sec(num(d, "setup")) << "\n";
    std::cout << "  drawOcableNetMap(\"按管理区域划分\", \"NULL\") at user level 2: "
              << (s.drawn ? "" : "FAILED, ") << sec(s.total);
    std::cout << "\n  each drawing against the mean of the reads around it: " << ratioTexts;
    std::printf("\n    median %.2f x the bare read (target at most 2.0)\n", s.ratio);
    for (const auto& [k, v] : d)
        if (k == "message") std::cout << "    message: " << v << "\n";
    for (const auto& [k, v] : d)
        if (k.rfind("phase ", 0) == 0)
            std::printf("    %-10s %8.3f s   resident afterwards %5.0f MB\n", k.c_str() + 6,
                        std::atof(v.c_str()), std::atof(v.c_str() + v.find(' ')) / 1024.0);
    std::cout << "  memory of the drawing process: " << mb(num(d, "startKb")) << " after QApplication, "
              << mb(num(d, "setupKb")) << " after setup, peak " << mb(s.peakKb) << " (highest of the runs)"
              << " (target under 1536 MB)\n";
    std::cout
        << "  close, saveGeoset(\"\", map folder) as the main window's unload calls it, until it returns"
        << " (until the files are on disk): " << closeTimes << "\n    median " << sec(s.close)
        << " (target at most 0.5 s), written " << sec(s.closeWritten) << ", "
        << mb(num(d, "closeBytes") / 1024.0) << "\n";
    std::cout << "  features per layer:\n";
    for (const auto& [k, v] : d)
        if (k.rfind("count ", 0) == 0) std::printf("    %-28s %8s\n", k.c_str() + 6, v.c_str());
    if (fingerprint) {
        const Figures& first = draws.front();
        std::cout << "  fingerprints of the first drawing (" << sec(num(first, "fingerprint")) << "):\n";
        for (const auto& [k, v] : first)
            if (k.rfind("print ", 0) == 0) std::cout << "    " << v << "  " << k.substr(6) << "\n";
    }
    std::cout.flush();
    return s;
}

int usage() {
    std::cerr
        << "usage: bench_drawing [--scale province|national|all] [--dir DIR] [--runs N] [--fingerprint]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string scale = "all", child;
    fs::path dir, database;
    bool fingerprint = false;
    int userLevel = 2, runs = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--scale" && hasValue)
            scale = argv[++i];
        else if (arg == "--dir" && hasValue)
            dir = argv[++i];
        else if (arg == "--child" && hasValue)
            child = argv[++i];
        else if (arg == "--db" && hasValue)
            database = argv[++i];
        else if (arg == "--level" && hasValue)
            userLevel = std::atoi(argv[++i]);
        else if (arg == "--runs" && hasValue)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--fingerprint")
            fingerprint = true;
        else
            return usage();
    }
    if (dir.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        dir = fs::path(tmp && *tmp ? tmp : "/tmp") / "ocable-draw-bench";
    }
    dir = fs::absolute(dir);
    if (child == "baseline") return childBaseline(database);
    if (child == "drawing") return childDrawing(argc, argv, database, dir, userLevel, fingerprint);
    if (!child.empty()) return usage();

    std::vector<std::string> scales;
    if (scale == "all")
        scales = {"province", "national"};
    else if (scale == "province" || scale == "national")
        scales = {scale};
    else
        return usage();
    fs::create_directories(dir);

    std::vector<Summary> results;
    for (const auto& s : scales)
        results.push_back(benchScale(dir, s, runs, fingerprint));

    std::cout << "\nMedians of " << runs
              << " alternating runs (ratio: each drawing against the reads around it):\n"
              << "| scale | bare read | drawing | ratio (<= 2.0) | peak RSS (< 1536 MB) | close (<= 0.5 s) |"
              << " close written |\n"
              << "|---|---|---|---|---|---|---|\n";
    bool met = true;
    for (const auto& r : results) {
        const double ratio = r.ratio;
        std::printf("| %s | %s | %s%s | %.2f | %s | %s | %s |\n", r.scale.c_str(), sec(r.baseline).c_str(),
                    sec(r.total).c_str(), r.drawn ? "" : " (failed)", ratio, mb(r.peakKb).c_str(),
                    sec(r.close).c_str(), sec(r.closeWritten).c_str());
        met = met && r.drawn && ratio <= 2.0 && r.peakKb < 1536.0 * 1024 && r.close <= 0.5;
    }
    std::cout << (met ? "targets met\n" : "targets NOT met\n");
    return met ? 0 : 1;
}
