#pragma once

#include "BaseMap.h"
#include "Network.h"
#include "Random.h"

#include <vector>

namespace ocable::demo {

// Places perCity[i] stations around city i, inside its province, named after
// the city, the district and a street or place; decides their types,
// attributes and alarms. Fills Network::stations and Network::cityStations.
void placeStations(const BaseMap& map, const std::vector<int>& perCity, Random& rng, Network& net);

// Last two digits of a surveyed coordinate (1e-8 degrees) lie in 11..49, so
// that a second survey of the same point a few 1e-8 degrees away still has
// the same first six decimals.
std::int64_t surveyedE8(double degrees, Random& rng);

} // namespace ocable::demo
