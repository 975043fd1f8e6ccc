#pragma once

#include <QLoggingCategory>

// Logging category of the ui layer ("ocable.ui"). Every place that
// passes over an error says here what it skipped and why.
Q_DECLARE_LOGGING_CATEGORY(lcUi)
