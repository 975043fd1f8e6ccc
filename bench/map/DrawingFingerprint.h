#pragma once

#include "core/ViewContext.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ocable::bench {

// Fingerprints of everything a drawing leaves behind that other code can
// see: the network layers (features in order with their keys, points, styles
// and rows, and the layers' label styles), the feature records, the record
// store as its Item and count answer it, the resource tree and the SQL texts
// sent. Two builds that draw the same database alike print the same values,
// so a faster drawing can be checked against the slower one it replaces.
std::vector<std::pair<std::string, std::uint64_t>> fingerprintDrawing(ViewContext& state,
                                                                      const std::vector<std::string>& sql);

} // namespace ocable::bench
