#pragma once

#include "platform/FrontmostApp.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/x11/X11Atoms.h"

#include <QStringList>

#include <cstdint>

struct xcb_connection_t;

// The application of the window named by _NET_ACTIVE_WINDOW. Its id comes
// from _GTK_APPLICATION_ID, then _KDE_NET_WM_DESKTOP_FILE, then a desktop
// entry whose StartupWMClass is the window's class or instance, then a
// desktop file named after the lower-cased class, else the class itself; its
// name from that entry, else the class.
class X11FrontmostApp : public FrontmostApp {
public:
    // Empty dataDirs: $XDG_DATA_HOME, $XDG_DATA_DIRS and the Flatpak and snap exports.
    explicit X11FrontmostApp(QStringList dataDirs = {});
    ~X11FrontmostApp() override;

    std::optional<FrontApp> frontmost() override;

    // What a window's properties resolve to; public for tests.
    FrontApp resolve(const QString& gtkId, const QString& kdeDesktopFile, const QString& wmInstance,
                     const QString& wmClass);

private:
    QByteArray property(uint32_t window, uint32_t atom, uint32_t type);

    DesktopEntryIndex m_entries;
    // On Qt's connection, which Qt may replace: renewed when it does.
    X11Atoms m_atoms;
};
