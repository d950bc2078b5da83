#pragma once

#include <QLoggingCategory>

// Silent by default; enable with QT_LOGGING_RULES="quillet.thumbnails.debug=true".
Q_DECLARE_LOGGING_CATEGORY(thumbnailsLog)
