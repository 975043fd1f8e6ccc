#pragma once

#include <QLoggingCategory>

// The stand-alone host's logging category: what its services pass over (a
// failed query, an operation-log entry that could not be stored) and the
// steps of start and shutdown a support engineer needs to follow.
Q_DECLARE_LOGGING_CATEGORY(lcHost)
