#pragma once

#include "HostConfig.h"

#include <filesystem>
#include <functional>

namespace ocable::benchsupport {

// The national demo network (seed 1) as DIR/national.db, generated on first
// use and reused after, with the demo host folders under DIR/host and the
// stand-alone host's real services handed to the plug-in's globals; message
// boxes answer from their script. `program` names the benchmark in the
// notice printed while the network is generated (it takes a minute).
hostapp::HostConfig openNationalDemo(const std::filesystem::path& dir, const char* program);

// The main of a benchmark program over the national demo: a Qt application
// (offscreen unless a platform is set), `--dir DIR` taken out of the
// arguments (default $TMPDIR/<defaultFolder>), setUp(DIR), the registered
// benchmarks, tearDown(), the plug-in's globals released.
int runBenchmarks(int argc, char** argv, const char* defaultFolder,
                  const std::function<void(const std::filesystem::path&)>& setUp,
                  const std::function<void()>& tearDown);

} // namespace ocable::benchsupport
