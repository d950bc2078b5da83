#pragma once

#include <QLoggingCategory>

// Warnings only by default; QT_LOGGING_RULES="quillet.settings.debug=true" for more.
Q_DECLARE_LOGGING_CATEGORY(settingsLog)
