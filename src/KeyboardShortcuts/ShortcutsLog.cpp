#include "KeyboardShortcuts/ShortcutsLog.h"

Q_LOGGING_CATEGORY(shortcutsLog, "quillet.shortcuts", QtWarningMsg)
