#include "thumbnails/ThumbnailsLog.h"

Q_LOGGING_CATEGORY(thumbnailsLog, "quillet.thumbnails", QtWarningMsg)
