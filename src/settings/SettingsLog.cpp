#include "settings/SettingsLog.h"

Q_LOGGING_CATEGORY(settingsLog, "quillet.settings", QtWarningMsg)
