#include "app/AppLog.h"

Q_LOGGING_CATEGORY(appLog, "quillet.app", QtWarningMsg)
