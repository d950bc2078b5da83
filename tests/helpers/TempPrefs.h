#pragma once

#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "settings/JsonDefaultsStore.h"
#include "settings/Prefs.h"

#include <QTemporaryDir>

// Settings on real files in a temp folder: a defaults file, an autostart
// folder and the preferences over them. Tests derive their fixtures from it
// and keep whatever else they make (a clip store, …) in the same folder.
struct TempPrefs {
    QTemporaryDir dir;
    JsonDefaultsStore defaults{dir.filePath(QStringLiteral("defaults.json"))};
    XdgAutostartLoginItem login{dir.filePath(QStringLiteral("cfg")),
                                {dir.filePath(QStringLiteral("etc"))},
                                QStringLiteral("quillet")};
    Prefs prefs{defaults, login};
};
