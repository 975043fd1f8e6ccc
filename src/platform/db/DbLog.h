#pragma once

#include <QLoggingCategory>

// Logging category of the db layer ("ocable.db"). Every place that
// passes over an error says here what it skipped and why.
Q_DECLARE_LOGGING_CATEGORY(lcDb)
