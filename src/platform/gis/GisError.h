#pragma once

#include <stdexcept>
#include <string>

namespace ocable::gis {

// Every failure of the map component: a layer or column that does not exist,
// a malformed search expression, an unreadable geoset, a feature that is no
// longer in its layer. The message names the culprit.
class GisError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace ocable::gis
