#pragma once

#include "platform/Platform.h"

#include <QString>

#include <functional>
#include <memory>

class CaptureMarks;
class ClipStore;
class ClipboardKeeper;
class ClipboardMonitor;
class CopyBack;
class DefaultsStore;
class JsonDefaultsStore;
class Prefs;
class ScreenshotWatcher;
class ThumbnailCache;
class WriteFailures;

namespace KeyboardShortcuts {
class Center;
}

// Where and on what the services run; the defaults are the user's own.
struct AppOptions {
    // "x11" or "null"; empty chooses by the session (QUILLET_PLATFORM).
    QString platform = qEnvironmentVariable("QUILLET_PLATFORM");
    // The settings file; empty: the user's ($XDG_CONFIG_HOME/Quillet/defaults.json).
    QString settingsFile;
    // History, previews and capture marks; empty: $XDG_DATA_HOME/Quillet.
    QString dataDir;
    // Run on the loaded platform before anything uses it: lets a test put a
    // service of its own (an autostart folder in a temp dir, …) in place.
    std::function<void(Platform&, DefaultsStore&)> adjustPlatform;
};

// Everything of the running application below its windows, built once in
// start-up order: the settings store, the platform, the preferences, then the
// history and screenshot services and the global shortcuts. Destroyed in reverse order. Nothing
// starts here: the clipboard monitor and the clipboard-manager role are started by the application
// delegate at its place in start-up.
class AppServices {
public:
    explicit AppServices(const AppOptions& options = AppOptions());
    ~AppServices();

    AppServices(const AppServices&) = delete;
    AppServices& operator=(const AppServices&) = delete;

    Platform& platform() { return m_platform; }
    // What works in this session, as found at start.
    const QList<Capability>& capabilities() const { return m_capabilities; }
    JsonDefaultsStore& defaults() { return *m_defaults; }
    Prefs& prefs() { return *m_prefs; }
    ThumbnailCache& thumbnails() { return *m_thumbnails; }
    ClipStore& store() { return *m_store; }
    CopyBack& copyBack() { return *m_copyBack; }
    ClipboardMonitor& monitor() { return *m_monitor; }
    ScreenshotWatcher& watcher() { return *m_watcher; }
    KeyboardShortcuts::Center& shortcuts() { return *m_shortcuts; }
    // Where every writer of Quillet's own files reports a failed write.
    WriteFailures& writeFailures() { return *m_writeFailures; }

    // Starts recording the clipboard and takes the clipboard-manager role.
    void startClipboard();

private:
    std::unique_ptr<WriteFailures> m_writeFailures;
    std::unique_ptr<JsonDefaultsStore> m_defaults;
    Platform m_platform;
    QList<Capability> m_capabilities;
    std::unique_ptr<Prefs> m_prefs;
    std::unique_ptr<ThumbnailCache> m_thumbnails;
    std::unique_ptr<ClipStore> m_store;
    std::unique_ptr<CopyBack> m_copyBack;
    std::unique_ptr<CaptureMarks> m_marks;
    std::unique_ptr<ScreenshotWatcher> m_watcher;
    std::unique_ptr<ClipboardMonitor> m_monitor;
    std::unique_ptr<ClipboardKeeper> m_keeper;
    std::unique_ptr<KeyboardShortcuts::Center> m_shortcuts;
};
