#include "app/AppDebugTarget.h"

#include "KeyboardShortcuts/KeyboardShortcuts.h"
#include "app/AppDelegate.h"
#include "history/ClipStore.h"
#include "history/CopyBack.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "screenshots/ScreenshotWatcher.h"
#include "settings/Prefs.h"
#include "ui/FloatingPanel.h"
#include "ui/PanelState.h"
#include "ui/QuickPicker.h"
#include "ui/SettingsWindow.h"

#include <QFileInfo>

void AppDebugTarget::showPanel(const QString& tab) {
    if (AppDelegate* app = AppDelegate::shared())
        app->showPanel(panelTabFromText(tab));
}

void AppDebugTarget::hidePanel() {
    if (AppDelegate* app = AppDelegate::shared(); app && app->panel())
        app->panel()->hide();
}

QWidget* AppDebugTarget::panelWindow() {
    AppDelegate* app = AppDelegate::shared();
    return app ? app->panel() : nullptr;
}

void AppDebugTarget::showQuickPicker() {
    QuickPicker::shared().show();
}

void AppDebugTarget::hideQuickPicker() {
    QuickPicker::shared().hide();
}

QWidget* AppDebugTarget::quickPickerWindow() {
    return &QuickPicker::shared();
}

void AppDebugTarget::showSettings() {
    SettingsWindow::showSettings();
}

QWidget* AppDebugTarget::settingsWindow() {
    return &SettingsWindow::shared();
}

void AppDebugTarget::toggleLaunchAtLogin() {
    Prefs& prefs = Prefs::shared();
    prefs.setLaunchAtLogin(!prefs.launchAtLogin());
}

void AppDebugTarget::restore(qint64 id) {
    for (const ClipItem& item : ClipStore::shared().items()) {
        if (item.id == id) {
            CopyBack::shared().copyToPasteboard(item);
            return;
        }
    }
}

DebugState AppDebugTarget::state() {
    DebugState s;
    AppDelegate* app = AppDelegate::shared();
    s.panelVisible = app && app->panel() && app->panel()->isVisible();
    s.tab = app ? panelTabText(app->panelState().tab()) : QString();
    ScreenshotWatcher& watcher = ScreenshotWatcher::shared();
    s.screenshotDir = watcher.dir().toLocalFile();
    const QList<QUrl> shots = watcher.screenshots();
    s.screenshotCount = shots.size();
    s.latestScreenshot =
        shots.isEmpty() ? QString() : QFileInfo(shots.constFirst().toLocalFile()).fileName();
    const ClipItemList& items = ClipStore::shared().items();
    s.clipItemCount = items.size();
    if (!items.isEmpty()) {
        const ClipItem& latest = items.constFirst();
        s.latestClipKind = clipKindText(latest.kind);
        s.latestClipText = latest.text.value_or(QString());
        s.latestClipSource = latest.sourceApp.value_or(QString());
    }
    KeyboardShortcuts::Center* shortcuts = app ? app->shortcuts() : nullptr;
    const auto shortcut =
        shortcuts ? shortcuts->getShortcut(AppDelegate::openPanelShortcut()) : std::nullopt;
    s.hotkey = shortcut ? shortcuts->description(*shortcut) : QStringLiteral("none");
    s.launchAtLogin = Prefs::shared().launchAtLogin();
    s.loginItemEnabled = XdgAutostartLoginItem().status() == LoginItem::Status::Enabled;
    return s;
}
