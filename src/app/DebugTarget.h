#pragma once

#include <QString>

#include <optional>

class QWidget;

// What the debug channel reports about the running application.
struct DebugState {
    bool panelVisible = false;
    QString tab;
    bool quickPickerVisible = false;
    QString screenshotDir;
    qint64 screenshotCount = 0;
    QString latestScreenshot;
    qint64 clipItemCount = 0;
    QString latestClipKind;
    QString latestClipText;
    QString latestClipSource;
    QString hotkey;
    bool launchAtLogin = false;
    bool loginItemEnabled = false;
};

// The application as the debug channel drives it. The shell implements it;
// tests give the channel a target of their own.
class DebugTarget {
public:
    virtual ~DebugTarget() = default;

    // tab is "clipboard", "screenshots", or empty to keep the current one.
    virtual void showPanel(const QString& tab) = 0;
    virtual void hidePanel() = 0;
    virtual QWidget* panelWindow() = 0;
    virtual void showQuickPicker() = 0;
    virtual void hideQuickPicker() = 0;
    virtual QWidget* quickPickerWindow() = 0;
    virtual void showSettings() = 0;
    virtual QWidget* settingsWindow() = 0;
    virtual void toggleLaunchAtLogin() = 0;
    // Puts the history item with this id back on the clipboard; no such item does nothing.
    virtual void restore(qint64 id) = 0;
    virtual DebugState state() = 0;
};
