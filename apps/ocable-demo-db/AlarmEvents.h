#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace ocable::demo {

// A story of alarm events for a demo network, one JSON object a line as the
// stand-alone host reads them (--alarms): alarms raised on a few troubled
// stations over about an hour, some of them cleared again, every severity
// among them. The same database and seed give the same lines.
std::string demoAlarmEvents(const std::filesystem::path& database, std::uint64_t seed, int count = 60);

} // namespace ocable::demo
