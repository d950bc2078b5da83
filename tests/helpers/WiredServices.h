#pragma once

#include "app/AppServices.h"
#include "history/ClipStore.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "settings/Prefs.h"
#include "thumbnails/Sha256.h"
#include "ui/AppIcons.h"
#include "ui/QuickLook.h"
#include "ui/Toast.h"
#include "ui/UiServices.h"

#include <QTemporaryDir>

// The services as the application wires them, on files in a temp folder, on
// the null platform without a display and the X11 one with, unless named.
struct WiredServices {
    using Adjust = std::function<void(Platform&, DefaultsStore&)>;
    explicit WiredServices(const QString& platform = QString(), Adjust adjust = {})
        : services({.platform = platform,
                    .settingsFile = dir.filePath(QStringLiteral("defaults.json")),
                    .dataDir = dir.filePath(QStringLiteral("Quillet")),
                    .adjustPlatform = std::move(adjust)}) {}

    QTemporaryDir dir;
    AppServices services;
    DesktopEntryIndex entries;
    AppIcons icons{entries};
    Toast toast;
    QuickLook quickLook;
    UiServices ui{services.prefs(),
                  services.store(),
                  services.copyBack(),
                  services.watcher(),
                  services.thumbnails(),
                  icons,
                  toast,
                  quickLook,
                  services.shortcuts(),
                  services.capabilities()};

    Prefs& prefs() { return services.prefs(); }
    ClipStore& store() { return services.store(); }
    Pasteboard& pasteboard() { return *services.platform().pasteboard; }

    // Records a text clip as the monitor would, and returns it.
    const ClipItem& text(const QString& s) {
        store().record({.hash = sha256Hex(("text:" + s).toUtf8()), .text = s});
        for (const ClipItem& i : store().items())
            if (i.text == s)
                return i;
        qFatal("item not recorded");
    }
};
