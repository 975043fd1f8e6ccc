// ocable-demo-db --scale small|province|national --seed N [--basemap DIR] [--force] [--quiet] OUT.db
// ocable-demo-db --alarm-events EVENTS.jsonl [--seed N] NETWORK.db
//
// Writes a demo network database for the optical-cable map. The same scale
// and seed give the same table contents.
#include "AlarmEvents.h"
#include "DemoDbGenerator.h"

#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

namespace {

// A seed as typed: decimal digits only, within 64 bits. std::stoull would
// take "-1" as 2^64 - 1 and "1e3" as 1 without a word.
std::optional<std::uint64_t> parseSeed(const std::string& text) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

int usage() {
    std::cerr << "usage: ocable-demo-db --scale small|province|national --seed N [--basemap DIR] [--force] "
                 "[--quiet] OUT.db\n"
                 "       ocable-demo-db --alarm-events EVENTS.jsonl [--seed N] NETWORK.db\n"
                 "  small: about 300 stations; province: about 5,000; national: about 100,000\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    using namespace ocable::demo;
    GeneratorOptions options;
    bool quiet = false;
    std::filesystem::path alarmEvents; // the alarm event file of an existing network instead
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--scale" && hasValue) {
            const auto scale = parseScale(argv[++i]);
            if (!scale) return usage();
            options.scale = *scale;
        } else if (arg == "--seed" && hasValue) {
            const auto seed = parseSeed(argv[++i]);
            if (!seed) {
                std::cerr << "ocable-demo-db: --seed takes a whole number from 0 to " << UINT64_MAX
                          << ", not '" << argv[i] << "'\n";
                return usage();
            }
            options.seed = *seed;
        } else if (arg == "--basemap" && hasValue) {
            options.baseMapDir = argv[++i];
        } else if (arg == "--force") {
            options.replace = true;
        } else if (arg == "--alarm-events" && hasValue) {
            alarmEvents = argv[++i];
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (!arg.empty() && arg[0] != '-' && options.output.empty()) {
            options.output = arg;
        } else {
            return usage();
        }
    }
    if (options.output.empty()) return usage();
    if (!alarmEvents.empty()) {
        try {
            const std::string lines = demoAlarmEvents(options.output, options.seed);
            std::ofstream out(alarmEvents, std::ios::binary);
            if (!(out << lines) || !out.flush())
                throw std::runtime_error("cannot write " + alarmEvents.string());
        } catch (const std::exception& e) {
            std::cerr << "ocable-demo-db: " << e.what() << '\n';
            return 1;
        }
        return 0;
    }

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
