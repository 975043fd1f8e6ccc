#pragma once

#include <QLoggingCategory>

// The map component's logging category: whatever it passes over (a feature
// of a base map it cannot hold, a geoset write that failed after the close)
// is said here.
Q_DECLARE_LOGGING_CATEGORY(lcGis)
