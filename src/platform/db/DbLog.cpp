#include "platform/db/DbLog.h"

Q_LOGGING_CATEGORY(lcDb, "ocable.db")
