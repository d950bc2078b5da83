#include "history/HistoryLog.h"

Q_LOGGING_CATEGORY(historyLog, "quillet.history", QtWarningMsg)
