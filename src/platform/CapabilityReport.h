#pragma once

#include "platform/Capability.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

struct Platform;

// What works in this session, row by row: the clipboard, the source
// application, pasting directly, the global shortcut and the tray. The
// platform knows the first four; whether a tray host is present is asked of
// the session when the report is made. Shown in the settings' About section
// and by `quillet --status`.
class CapabilityReport {
    Q_DECLARE_TR_FUNCTIONS(CapabilityReport)

public:
    static QList<Capability> collect(const Platform& platform);

    // Each row's title in the user's words ("Clipboard history").
    static QString title(Capability::Id id);
    // One line per row, for a terminal.
    static QString text(const QList<Capability>& rows);
    // {"platform": …, "capabilities": [{"id", "available", "how", "reason"}…]}, for scripts.
    static QByteArray json(const QString& platform, const QList<Capability>& rows);

    // A row: `how` and `ifAvailable` when available, else `ifNot`.
    static Capability row(Capability::Id id, bool available, const QString& how,
                          const QString& ifAvailable, const QString& ifNot);

    // A status-notifier watcher on the session bus, or on X11 an XEmbed tray
    // manager of the screen.
    static Capability trayHost();
};
