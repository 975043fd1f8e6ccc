#pragma once

#include "platform/gis/Feature.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ocable {

// The saved state of one drawn map feature, so that the trees and the route
// display can take the feature off the map and put it back.
class clsFearture {
public:
    gis::Feature ftr;      // a detached copy of the feature as drawn
    bool isDelete = false; // removed from the map by the resource tree
    std::string label;     // row value 1 the feature was drawn with
    std::string ftrCode;   // the object code, row value 2
    std::string
        remark; // station class ("终端站", "其它局站"), or the number of systems over a cable in digits
    std::string ftrKey; // the map's key of the feature
    std::int32_t perfKey = 0;
    std::int32_t alarmKey = 0;
    std::int32_t count = 0;
    std::string layerName;

    // A copy with a fresh detached copy of the feature. perfKey, alarmKey and
    // count are not copied. Never throws: what cannot be copied is left out.
    std::shared_ptr<clsFearture> getClone() const;
};

} // namespace ocable
