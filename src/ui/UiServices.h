#pragma once

#include "platform/Capability.h"

#include <QList>

class AppIcons;
class ClipStore;
class CopyBack;
class Prefs;
class QuickLook;
class ScreenshotWatcher;
class ThumbnailCache;
class Toast;

namespace KeyboardShortcuts {
class Center;
}

// The services behind Quillet's windows. The application root owns every one
// of them and hands this set to the windows, which keep the references.
struct UiServices {
    Prefs& prefs;
    ClipStore& store;
    CopyBack& copyBack;
    ScreenshotWatcher& watcher;
    ThumbnailCache& thumbnails;
    AppIcons& icons;
    // The confirmation shown in the panel ("Copied").
    Toast& toast;
    // The preview window of files and screenshots.
    QuickLook& quickLook;
    KeyboardShortcuts::Center& shortcuts;
    // What works in this session (the About section's "This desktop").
    const QList<Capability>& capabilities;
};
