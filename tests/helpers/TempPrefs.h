#pragma once

#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "settings/JsonDefaultsStore.h"
#include "settings/Prefs.h"

#include <QTemporaryDir>

// Preferences over a defaults file and an autostart folder in a temp folder,
// where fixtures deriving from it keep whatever else they make.
struct TempPrefs {
    QTemporaryDir dir;
    JsonDefaultsStore defaults{dir.filePath(QStringLiteral("defaults.json"))};
    XdgAutostartLoginItem login{dir.filePath(QStringLiteral("cfg")),
                                {dir.filePath(QStringLiteral("etc"))},
                                QStringLiteral("quillet")};
    Prefs prefs{defaults, login};
};
