#include "screenshots/ScreenshotsLog.h"

Q_LOGGING_CATEGORY(screenshotsLog, "quillet.screenshots", QtWarningMsg)
