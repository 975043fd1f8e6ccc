#include "DemoDbGenerator.h"

#include "BaseMap.h"
#include "CablePlanner.h"
#include "DatabaseWriter.h"
#include "Network.h"
#include "Random.h"
#include "StationPlanner.h"
#include "Summary.h"
#include "SystemPlanner.h"

#include <stdexcept>

namespace ocable::demo {

std::filesystem::path defaultBaseMapDir() {
    return OCABLE_DEMO_BASEMAP_DIR;
}

std::string generateDemoDb(const GeneratorOptions& options) {
    namespace fs = std::filesystem;
    if (options.output.empty()) throw std::runtime_error("no output file given");
    if (fs::exists(options.output) && !options.replace)
        throw std::runtime_error(options.output.string() + " exists; pass --force to replace it");
    // --force replaces a database, never a folder; refuse before any work.
    if (fs::is_directory(options.output))
        throw std::runtime_error(options.output.string() + " is a folder; give the path of a database file");

    const BaseMap map = loadBaseMap(options.baseMapDir.empty() ? defaultBaseMapDir() : options.baseMapDir);
    Random rng(options.seed);
    Network net;
    options.progress("placing stations");
    placeStations(map, stationsPerCity(map, options.scale), rng, net);
    options.progress("laying " + std::to_string(net.stations.size()) + " stations' cable segments");
    planCables(map, rng, net);
    planMicrowave(map, rng, net);
    options.progress("routing systems over " + std::to_string(net.cables.size()) + " cable segments");
    planSystems(map, options.scale, rng, net);

    fs::path temp = options.output;
    temp += ".partial";
    fs::remove(temp);
    std::string summary;
    try {
        SqliteDb db(temp);
        options.progress("writing " + temp.string());
        writeDatabase(db, map, net, options.progress);
        summary = summarize(db);
    } catch (...) {
        fs::remove(temp);
        throw;
    }
    std::error_code ec;
    fs::rename(temp, options.output, ec);
    if (ec) {
        fs::remove(temp);
        throw std::runtime_error("cannot replace " + options.output.string() + ": " + ec.message());
    }
    return summary;
}

} // namespace ocable::demo
