#pragma once

#include "map/clsFearture.h"
#include "shell/KeyedCollection.h"

#include <memory>

namespace ocable {

// Saved copies of drawn features, keyed by object code.
using FeatureRecords = KeyedCollection<std::shared_ptr<clsFearture>>;

} // namespace ocable
