#include "platform/gis/GisLog.h"

Q_LOGGING_CATEGORY(lcGis, "ocable.gis")
