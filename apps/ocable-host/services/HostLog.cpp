#include "HostLog.h"

// Warnings and above by default, so that stderr shows only what went wrong;
// --log turns the informational lines on for the log file.
Q_LOGGING_CATEGORY(lcHost, "ocable.host", QtWarningMsg)
