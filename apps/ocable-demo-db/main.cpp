// ocable-demo-db --scale small|province|national --seed N [--basemap DIR] [--force] [--quiet] OUT.db
//
// Writes a demo network database for the optical-cable map. The same scale
// and seed give the same table contents.
#include "DemoDbGenerator.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

namespace {

int usage() {
    std::cerr << "usage: ocable-demo-db --scale small|province|national --seed N [--basemap DIR] [--force] "
                 "[--quiet] OUT.db\n"
                 "  small: about 300 stations; province: about 5,000; national: about 100,000\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    using namespace ocable::demo;
    GeneratorOptions options;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--scale" && hasValue) {
            const auto scale = parseScale(argv[++i]);
            if (!scale) return usage();
            options.scale = *scale;
        } else if (arg == "--seed" && hasValue) {
            try {
                options.seed = std::stoull(argv[++i]);
            } catch (const std::exception&) {
                return usage();
            }
        } else if (arg == "--basemap" && hasValue) {
            options.baseMapDir = argv[++i];
        } else if (arg == "--force") {
            options.replace = true;
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (!arg.empty() && arg[0] != '-' && options.output.empty()) {
            options.output = arg;
        } else {
            return usage();
        }
    }
    if (options.output.empty()) return usage();

    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    if (!quiet)
        options.progress = [&](const std::string& line) {
            char stamp[32];
            std::snprintf(stamp, sizeof stamp, "[%6.2fs] ", elapsed());
            std::cerr << stamp << line << '\n';
        };
    try {
        const std::string summary = generateDemoDb(options);
        std::cout << "ocable-demo-db: scale " << scaleName(options.scale) << ", seed " << options.seed << ", "
                  << options.output.string() << " in " << elapsed() << " s\n"
                  << summary;
    } catch (const std::exception& e) {
        std::cerr << "ocable-demo-db: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
