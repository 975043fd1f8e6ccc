#include "core/Log.h"

Q_LOGGING_CATEGORY(lcComponent, "ocable.component")
