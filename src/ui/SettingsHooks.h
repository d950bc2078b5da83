#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace KeyboardShortcuts {
class Center;
}

// What the settings window asks of the rest of Quillet. The application fills these in
// with the real services; any left empty is skipped (a missing recorder shows a
// placeholder, a missing trust query counts as "not available").
struct SettingsHooks {
    // Moves the screenshot tools' save location to or from the dedicated folder.
    std::function<void(bool on)> setDedicatedFolder;
    // The folder the screenshot watcher reads.
    std::function<QString()> watchedFolder;
    // Where that folder comes from: "from Spectacle's settings", "GNOME default", …
    std::function<QString()> watchedFolderOrigin;
    // Whether synthesised key presses can reach other applications.
    std::function<bool()> canPaste;
    // The global shortcuts, once they exist (null before and in tests without them).
    std::function<KeyboardShortcuts::Center*()> shortcuts;
    // The shortcut recorder for the quick picker's shortcut, parented to the given widget.
    std::function<QWidget*(QWidget* parent)> makeRecorder;
    // Activates Quillet and asks the updater to check now.
    std::function<void()> checkForUpdates;
};
