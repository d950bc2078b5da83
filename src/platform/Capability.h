#pragma once

#include <QString>

// One thing Quillet does that depends on the desktop it runs on, and whether
// this session allows it: how, or why not.
struct Capability {
    enum class Id { clipboard, sourceApp, pasteDirectly, globalShortcut, tray };

    Id id = Id::clipboard;
    bool available = false;
    // The mechanism in use ("X11 selections", "wlr-data-control-unstable-v1");
    // empty when unavailable.
    QString how;
    // One sentence for the user: what the mechanism means, or why there is none.
    QString reason;
};
