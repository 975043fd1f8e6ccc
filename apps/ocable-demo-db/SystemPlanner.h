#pragma once

#include "BaseMap.h"
#include "Network.h"
#include "Random.h"
#include "Scale.h"

namespace ocable::demo {

// Transmission systems over connected routes: local rings and chains in the
// cities, second-trunk systems from each capital to its cities, DWDM systems
// along the trunks with their links and channels, SDH systems carried over
// those channels (each starting on a short tail of its own fibres), one system
// not yet routed, and the fibres every routed system occupies.
void planSystems(const BaseMap& map, Scale scale, Random& rng, Network& net);

} // namespace ocable::demo
