#pragma once

#include "BaseMap.h"

#include <optional>
#include <string>
#include <vector>

namespace ocable::demo {

enum class Scale { Small, Province, National };

std::optional<Scale> parseScale(const std::string& text);
const char* scaleName(Scale scale);

// How many stations each city of the base map gets (same order as
// BaseMap::cities). small: the home province thinly and four stations at every
// other capital; province: the home province densely and a few stations at
// every other capital; national: every city, by its number of districts.
std::vector<int> stationsPerCity(const BaseMap& map, Scale scale);

} // namespace ocable::demo
