#include "platform/PlatformLog.h"

Q_LOGGING_CATEGORY(platformLog, "quillet.platform", QtWarningMsg)
