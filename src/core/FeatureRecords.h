#pragma once

#include "core/KeyedCollection.h"
#include "core/clsFearture.h"

#include <memory>

namespace ocable {

// Saved copies of drawn features, keyed by object code.
using FeatureRecords = KeyedCollection<std::shared_ptr<clsFearture>>;

} // namespace ocable
