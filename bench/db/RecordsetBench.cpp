// Loads a station table of 100,000 rows into a recordset and filters it by
// the three station classes of the drawing; compares the load with a bare
// sqlite3 scan of the same rows into one std::string per cell, and the heap
// each result holds.
#include "map/ClassCriteria.h"

#include "platform/db/Recordset.h"
#include "platform/db/SqliteConnection.h"

#include <sqlite3.h>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <random>
#include <string>
#include <vector>

// Heap held through operator new, counted as the allocator's usable size of
// each block; SQLite's own allocations go through malloc and are not counted.
static std::atomic<long long> liveBytes{0};

void* operator new(std::size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    liveBytes += static_cast<long long>(malloc_usable_size(p));
    return p;
}
void* operator new[](std::size_t n) {
    return operator new(n);
}
void operator delete(void* p) noexcept {
    if (!p) return;
    liveBytes -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
void operator delete[](void* p) noexcept {
    operator delete(p);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

using Clock = std::chrono::steady_clock;
using namespace ocable::db;

constexpr int kRows = 100000;

const char* const kColumns =
    "STATIONCODE TEXT, STATIONNAME TEXT, LNG REAL, LAT REAL, PROVINCE TEXT, X_STATIONTYPE TEXT, "
    "STATIONTYPE_II TEXT, STATIONTYPE_III TEXT, STATIONTYPE TEXT, CRITICAL_C INTEGER, MAJOR_C INTEGER, "
    "MINOR_C INTEGER, WARNING_C INTEGER, INDETERMIN_C INTEGER, CRITICAL_A INTEGER, MAJOR_A INTEGER, "
    "MINOR_A INTEGER, WARNING_A INTEGER, INDETERMIN_A INTEGER, ADDRESS TEXT, ALTITUDE REAL, REMARK TEXT, "
    "UPDATETIME TEXT";
constexpr int kColumnCount = 23;

void check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }
}

// A code drawn by weight; an empty code stands for Null.
struct Weighted {
    const char* code;
    int weight;
};

const char* draw(std::mt19937& rng, std::initializer_list<Weighted> table) {
    int total = 0;
    for (const auto& w : table)
        total += w.weight;
    int pick = std::uniform_int_distribution<int>(0, total - 1)(rng);
    for (const auto& w : table) {
        if (pick < w.weight) return w.code;
        pick -= w.weight;
    }
    return nullptr;
}

// Class proportions of a provincial network: a few terminal and relay
// stations among many others; the second and third types mostly unset.
void createStations(const std::filesystem::path& file) {
    sqlite3* db = nullptr;
    check(sqlite3_open(file.c_str(), &db), db, "open");
    check(sqlite3_exec(db, (std::string("CREATE TABLE STATION (") + kColumns + ")").c_str(), nullptr, nullptr,
                       nullptr),
          db, "create");
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    sqlite3_stmt* st = nullptr;
    std::string insert = "INSERT INTO STATION VALUES (?";
    for (int i = 1; i < kColumnCount; ++i)
        insert += ",?";
    check(sqlite3_prepare_v2(db, (insert + ")").c_str(), -1, &st, nullptr), db, "prepare");

    const char* cities[] = {"杭州", "宁波", "温州", "嘉兴", "湖州", "绍兴", "金华", "衢州", "舟山", "台州",
                            "丽水", "南京", "苏州", "无锡", "常州", "合肥", "芜湖", "福州", "厦门", "南昌"};
    const char* parts[] = {"东", "西", "南", "北", "中心", "开发区", "新城", "城关"};
    const char* roads[] = {"解放路", "人民大道", "建设北路", "文三路", "中山南路", "环城西路"};
    const char* other = "ZY010305";
    std::mt19937 rng(20240611);
    auto text = [&](int col, const std::string& v) {
        sqlite3_bind_text(st, col, v.c_str(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    };
    auto code = [&](int col, const char* v) {
        if (!v)
            sqlite3_bind_null(st, col);
        else
            sqlite3_bind_text(st, col, v, -1, SQLITE_STATIC);
    };
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    for (int i = 0; i < kRows; ++i) {
        const int province = i % 31;
        const std::string city = cities[(i / 31) % 20];
        char serial[16];
        std::snprintf(serial, sizeof serial, "%02d%06d", province + 1, i);
        text(1, std::string("ST") + serial);
        text(2, city + parts[i % 8] + std::to_string(i % 1000) + "号局站");
        if (i % 50 == 7) {
            sqlite3_bind_null(st, 3);
            sqlite3_bind_null(st, 4);
        } else {
            sqlite3_bind_double(st, 3, std::round(uniform(97.5, 134.5) * 1e6) / 1e6);
            sqlite3_bind_double(st, 4, std::round(uniform(18.2, 53.5) * 1e6) / 1e6);
        }
        char provinceCode[16];
        std::snprintf(provinceCode, sizeof provinceCode, "XZ01%02d", province + 1);
        text(5, provinceCode);
        code(6,
             draw(rng,
                  {{"ZY010301", 6}, {"ZY010312", 9}, {"ZY010302", 40}, {other, 30}, {nullptr, 12}, {"", 3}}));
        code(7, draw(rng, {{"ZY010301", 1}, {"ZY010312", 2}, {"ZY010303", 12}, {nullptr, 85}}));
        code(8, draw(rng, {{"ZY010301", 1}, {"ZY010312", 1}, {"ZY010304", 6}, {nullptr, 92}}));
        code(9, draw(rng,
                     {{"ZY502401", 4}, {"ZY502402", 6}, {"ZY502406", 10}, {"ZY502403", 60}, {nullptr, 20}}));
        for (int a = 10; a <= 19; ++a)
            sqlite3_bind_int(st, a, rng() % 10 == 0 ? static_cast<int>(rng() % 20) + 1 : 0);
        if (i % 10 == 3)
            sqlite3_bind_null(st, 20);
        else
            text(20, city + "市" + roads[i % 6] + std::to_string(i % 997 + 1) + "号");
        sqlite3_bind_double(st, 21, std::round(uniform(0, 2000) * 10) / 10);
        code(22, i % 9 == 0 ? "备用机房" : nullptr);
        char when[32];
        std::snprintf(when, sizeof when, "20%02d-%02d-%02d %02d:%02d:%02d", 15 + i % 9, 1 + i % 12,
                      1 + i % 28, i % 24, i % 60, (i * 7) % 60);
        text(23, when);
        check(sqlite3_step(st), db, "insert");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

struct BareScan {
    std::vector<std::vector<std::string>> rows;
    std::size_t textBytes = 0;
};

// What any reader of the table does at the least: one string per cell.
BareScan bareScan(sqlite3* db) {
    BareScan out;
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db, "SELECT * FROM STATION", -1, &st, nullptr), db, "prepare");
    const int n = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::vector<std::string>& row = out.rows.emplace_back();
        row.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            const auto len = static_cast<std::size_t>(sqlite3_column_bytes(st, i));
            row.emplace_back(p ? p : "", len);
            out.textBytes += len;
        }
    }
    sqlite3_finalize(st);
    return out;
}

volatile std::size_t sink; // keeps the walk from being optimised away

double millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Median and best of several runs of f, each timed alone.
struct Timing {
    double median, best;
};

Timing timeRuns(int runs, const std::function<void()>& f) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        ms.push_back(millis(Clock::now() - start));
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front()};
}

const char* verdict(bool ok) {
    return ok ? "ok" : "MISSED";
}

} // namespace

int main() {
    const auto file =
        std::filesystem::temp_directory_path() / ("ocable-bench-" + std::to_string(getpid()) + ".db");
    std::filesystem::remove(file);
    createStations(file);

    sqlite3* raw = nullptr;
    check(sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr), raw, "open");
    SqliteConnection connection(file, SqliteConnection::OpenMode::ReadOnly);

    // Warm the page cache for both, then alternate so that neither is favoured.
    bareScan(raw);
    connection.query("SELECT * FROM STATION");
    const int runs = 7;
    std::vector<double> bareMs, loadMs;
    for (int i = 0; i < runs; ++i) {
        bareMs.push_back(timeRuns(1, [&] { bareScan(raw); }).median);
        loadMs.push_back(timeRuns(1, [&] { connection.query("SELECT * FROM STATION"); }).median);
    }
    std::sort(bareMs.begin(), bareMs.end());
    std::sort(loadMs.begin(), loadMs.end());
    const double bare = bareMs[runs / 2], load = loadMs[runs / 2];

    // Heap held by each result while it lives.
    long long before = liveBytes;
    BareScan scan = bareScan(raw);
    const long long bareHeap = liveBytes - before;
    before = liveBytes;
    std::shared_ptr<Recordset> stations = connection.query("SELECT * FROM STATION");
    const long long recordsetHeap = liveBytes - before;

    std::printf("station table: %d rows x %d columns, %s\n\n", kRows, kColumnCount, file.c_str());
    std::printf("load (median of %d)\n", runs);
    std::printf("  bare sqlite3 scan into strings  %8.1f ms  (best %.1f)\n", bare, bareMs.front());
    std::printf("  SqliteConnection::query         %8.1f ms  (best %.1f)  %.2fx bare, target <= 1.5x: %s\n",
                load, loadMs.front(), load / bare, verdict(load <= 1.5 * bare));

    std::printf("\nfilter over %ld rows (median of 21)\n", stations->RecordCount());
    const struct {
        const char* name;
        const char* criteria;
    } filters[] = {{"terminal stations", ocable::criteria::kTerminalStations},
                   {"relay stations", ocable::criteria::kRelayStations},
                   {"other stations", ocable::criteria::kOtherStations}};
    for (const auto& f : filters) {
        const Timing t = timeRuns(21, [&] { stations->setFilter(f.criteria); });
        std::printf("  %-18s %7ld rows  %6.2f ms  (best %.2f)  target < 15 ms: %s\n", f.name,
                    stations->RecordCount(), t.median, t.best, verdict(t.median < 15));
    }
    stations->setFilter("");

    // What the symbol layer builder reads of every row.
    const Timing walk = timeRuns(7, [&] {
        std::size_t bytes = 0;
        for (stations->MoveFirst(); !stations->Eof(); stations->MoveNext())
            bytes += stations->Fields("STATIONCODE").toText().size() +
                     stations->Fields("STATIONNAME").toText().size() +
                     stations->Fields("LNG").toText().size() + stations->Fields("LAT").toText().size();
        sink = bytes;
    });
    std::printf("\nwalk all rows reading code, name, LNG, LAT as text  %.1f ms\n", walk.median);

    const double mb = 1024.0 * 1024.0;
    std::printf("\nmemory (heap blocks' usable size, counted through operator new)\n");
    std::printf("  text of all cells (sum of sqlite3_column_bytes)  %7.1f MB\n", scan.textBytes / mb);
    std::printf("  bare scan: strings and row vectors               %7.1f MB\n", bareHeap / mb);
    std::printf("  recordset                                        %7.1f MB  (own count %.1f MB)\n",
                recordsetHeap / mb, stations->footprintBytes() / mb);
    std::printf("  recordset / text %.2fx, recordset / bare scan %.2fx, target <= 2x: %s\n",
                static_cast<double>(recordsetHeap) / static_cast<double>(scan.textBytes),
                static_cast<double>(recordsetHeap) / static_cast<double>(bareHeap),
                verdict(recordsetHeap <= 2 * static_cast<long long>(scan.textBytes)));

    sqlite3_close(raw);
    std::filesystem::remove(file);
    return 0;
}
