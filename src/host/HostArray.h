#pragma once

#include "host/HostObject.h"

#include <memory>
#include <vector>

namespace ocable::host {

// The array of service objects given to clsMain::initEnv: a VB-style array
// with its own lower bound and number of dimensions. Element k is
// elements[k - lowerBound].
struct HostArray {
    int dimensions = 1;
    int lowerBound = 1;
    std::vector<std::shared_ptr<HostObject>> elements;

    int upperBound() const { return lowerBound + static_cast<int>(elements.size()) - 1; }
    bool hasIndex(int k) const { return dimensions == 1 && k >= lowerBound && k <= upperBound(); }
    const std::shared_ptr<HostObject>& at(int k) const {
        return elements.at(static_cast<size_t>(k - lowerBound));
    }
};

} // namespace ocable::host
