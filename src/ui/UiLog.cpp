#include "ui/UiLog.h"

Q_LOGGING_CATEGORY(uiLog, "quillet.ui", QtWarningMsg)
