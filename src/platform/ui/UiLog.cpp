#include "platform/ui/UiLog.h"

Q_LOGGING_CATEGORY(lcUi, "ocable.ui")
