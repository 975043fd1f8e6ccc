#pragma once

#include "HostConfig.h"

#include <filesystem>

namespace ocable::benchsupport {

// The national demo network (seed 1) as DIR/national.db, generated on first
// use and reused after, with the demo host folders under DIR/host and the
// stand-alone host's real services handed to the plug-in's globals; message
// boxes answer from their script. `program` names the benchmark in the
// notice printed while the network is generated (it takes a minute).
hostapp::HostConfig openNationalDemo(const std::filesystem::path& dir, const char* program);

} // namespace ocable::benchsupport
