#pragma once

#include "HostConfig.h"
#include "SqliteDataAccess.h"

#include "core/ViewContext.h"
#include "map/NetworkDrawing.h"
#include "platform/gis/MapWidget.h"
#include "platform/ui/CheckTreeView.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace ocable::benchsupport {

// The demo host folders under DIR/host over the database, for a user of the
// level, with the common files found there and message boxes answering from
// their script.
hostapp::HostConfig demoHost(const std::filesystem::path& dir, const std::filesystem::path& database,
                             int userLevel);

// The stand-alone host's services over the data, handed to the plug-in's
// globals the way the stand-alone host's factories hand them.
void installHostServices(const hostapp::HostConfig& config,
                         const std::shared_ptr<hostapp::SqliteDataAccess>& data);

// The national demo network (seed 1) as DIR/national.db, generated on first
// use and reused after, with the demo host folders under DIR/host and the
// stand-alone host's real services handed to the plug-in's globals; message
// boxes answer from their script. `program` names the benchmark in the
// notice printed while the network is generated (it takes a minute).
hostapp::HostConfig openNationalDemo(const std::filesystem::path& dir, const char* program);

// Loads the network geoset of the demo host into map1 and draws the whole
// network by area, with the view wired as the main window wires it (map,
// resource tree, layer list). Whatever else of the view a benchmark needs
// it sets before the call.
void drawNetwork(const hostapp::HostConfig& config, gis::MapWidget& map1, ui::CheckTreeView& tree,
                 ViewContext& view, std::unique_ptr<NetworkDrawing>& drawing);

// The main of a benchmark program over the national demo: a Qt application
// (offscreen unless a platform is set), `--dir DIR` taken out of the
// arguments (default $TMPDIR/<defaultFolder>), setUp(DIR), the registered
// benchmarks, tearDown(), the plug-in's globals released.
int runBenchmarks(int argc, char** argv, const char* defaultFolder,
                  const std::function<void(const std::filesystem::path&)>& setUp,
                  const std::function<void()>& tearDown);

} // namespace ocable::benchsupport
