#pragma once

#include "BaseMap.h"
#include "Network.h"
#include "Random.h"

namespace ocable::demo {

// Lays cable segments: inside each city a nearest-neighbour tree with extra
// links, second-trunk segments between the city hubs of a province, and
// first-trunk segments between provincial capitals, the trunks often in groups
// of parallel segments. Then decides levels, lay modes, lengths and the rest,
// making sure every code the map distinguishes occurs.
void planCables(const BaseMap& map, Random& rng, Network& net);

// Microwave segments between nearby stations in the mountain, desert and
// island provinces and in the home province.
void planMicrowave(const BaseMap& map, Random& rng, Network& net);

} // namespace ocable::demo
