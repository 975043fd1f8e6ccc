// demo_db_bench [--summaries] [--scale small|province|national]...
//
// Generates the demo database at each scale (seed 1) and prints wall time
// and file size. As a baseline, the same number of stations and cable
// segments is written with fixed values into the same schema, which is the
// cost of storage alone; the difference is the planning of the network.
#include "DatabaseWriter.h"
#include "DemoDbGenerator.h"
#include "Sqlite.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace ocable::demo;
using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Built by appending: GCC 12 warns falsely on "S" + std::to_string(i) at -O3.
std::string key(char prefix, std::int64_t n) {
    std::string k(1, prefix);
    k += std::to_string(n);
    return k;
}

double storageBaseline(const fs::path& path, std::int64_t stations, std::int64_t cables) {
    fs::remove(path);
    const auto start = Clock::now();
    {
        SqliteDb db(path);
        db.exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF");
        db.exec(schemaSql());
        db.exec("BEGIN");
        SqliteStatement st(
            db, "INSERT INTO STATION (STATIONCODE, STATIONNAME, LNG, LAT, PROVINCE, CITY, ADDRESS, "
                "X_STATIONTYPE, STATIONTYPE, OWNER, BUILDDATE, STATE) "
                "VALUES (?, '郑州中原人民路接入站', 113.665412, 34.757975, 'XZ0116', 'XZ011601', "
                "'河南省郑州市中原区人民路1号', 'ZY010306', 'ZY502403', '河南传输分公司', "
                "'2010-01-01', 'ZY140101')");
        for (std::int64_t i = 0; i < stations; ++i)
            st.bind(1, key('S', i)).run();
        SqliteStatement oc(
            db, "INSERT INTO EN_OCABLE (OCABLECODE, OCABLENAME, STATION_A, STATION_Z, RESLEVEL, "
                "X_SYSLEVEL, LAYMODE, LENGTH, FIBERNUM, FIBERTYPE, OWNER, BUILDDATE, STATE) "
                "VALUES (?, '郑州中原人民路接入站-郑州中原文化路接入站', ?, ?, 'ZY132002', 'ZY110504', "
                "'ZY130302', 3.5, 24, 'ZY130401', '郑州分公司', '2010-01-01', 'ZY140101')");
        for (std::int64_t i = 0; i < cables; ++i)
            oc.bind(1, key('C', i))
                .bind(2, key('S', i % stations))
                .bind(3, key('S', (i * 7 + 1) % stations))
                .run();
        db.exec("COMMIT");
    }
    return seconds(start);
}

} // namespace

int main(int argc, char** argv) {
    bool summaries = false;
    std::vector<Scale> scales;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--summaries")
            summaries = true;
        else if (arg == "--scale" && i + 1 < argc && parseScale(argv[i + 1]))
            scales.push_back(*parseScale(argv[++i]));
        else {
            std::cerr << "usage: demo_db_bench [--summaries] [--scale small|province|national]...\n";
            return 2;
        }
    }
    if (scales.empty()) scales = {Scale::Small, Scale::Province, Scale::National};

    const fs::path dir = fs::temp_directory_path() / ("demo-db-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::printf("%-9s %9s %9s %10s %12s %12s\n", "scale", "stations", "segments", "seconds", "MB",
                "baseline s");
    for (Scale scale : scales) {
        GeneratorOptions options;
        options.scale = scale;
        options.seed = 1;
        options.output = dir / (std::string(scaleName(scale)) + ".db");
        const auto start = Clock::now();
        const std::string summary = generateDemoDb(options);
        const double elapsed = seconds(start);
        std::int64_t stations = 0, cables = 0;
        {
            SqliteDb db(options.output);
            stations = db.count("SELECT COUNT(*) FROM STATION");
            cables = db.count("SELECT COUNT(*) FROM EN_OCABLE");
        }
        const double mb = static_cast<double>(fs::file_size(options.output)) / (1024.0 * 1024.0);
        const double baseline = storageBaseline(dir / "baseline.db", stations, cables);
        std::printf("%-9s %9lld %9lld %10.2f %12.1f %12.2f\n", scaleName(scale),
                    static_cast<long long>(stations), static_cast<long long>(cables), elapsed, mb, baseline);
        if (summaries) std::cout << summary << "\n";
        std::fflush(stdout);
    }
    fs::remove_all(dir);
    return 0;
}
