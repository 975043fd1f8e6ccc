#pragma once

#include "Scale.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace ocable::demo {

struct GeneratorOptions {
    Scale scale = Scale::Small;
    std::uint64_t seed = 1;
    std::filesystem::path baseMapDir; // data/basemap
    std::filesystem::path output;
    bool replace = false; // overwrite an existing output
    std::function<void(const std::string&)> progress = [](const std::string&) {};
};

// The folder of the committed base-map files, as configured at build time.
std::filesystem::path defaultBaseMapDir();

// Generates the demo network database. It is written beside the output under
// a temporary name and renamed at the end, so a failed run leaves no
// half-written database. Returns the summary. Throws std::runtime_error.
std::string generateDemoDb(const GeneratorOptions& options);

} // namespace ocable::demo
