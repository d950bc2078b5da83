#include "app/AppDebugTarget.h"

#include "KeyboardShortcuts/KeyboardShortcuts.h"
#include "app/AppDelegate.h"
#include "app/AppServices.h"
#include "history/ClipStore.h"
#include "history/CopyBack.h"
#include "screenshots/ScreenshotWatcher.h"
#include "settings/Prefs.h"
#include "ui/panel/FloatingPanel.h"
#include "ui/panel/PanelState.h"
#include "ui/picker/QuickPicker.h"
#include "ui/settings/SettingsWindow.h"

#include <QFileInfo>

void AppDebugTarget::showPanel(const QString& tab) {
    m_app.showPanel(panelTabFromText(tab));
}

void AppDebugTarget::hidePanel() {
    if (m_app.panel())
        m_app.panel()->hide();
}

QWidget* AppDebugTarget::panelWindow() {
    return m_app.panel();
}

void AppDebugTarget::showQuickPicker() {
    m_app.quickPicker().show();
}

void AppDebugTarget::hideQuickPicker() {
    m_app.quickPicker().hide();
}

QWidget* AppDebugTarget::quickPickerWindow() {
    return &m_app.quickPicker();
}

void AppDebugTarget::showSettings() {
    m_app.openSettings();
}

QWidget* AppDebugTarget::settingsWindow() {
    return &m_app.settingsWindow();
}

void AppDebugTarget::toggleLaunchAtLogin() {
    Prefs& prefs = m_app.services().prefs();
    prefs.setLaunchAtLogin(!prefs.launchAtLogin());
}

void AppDebugTarget::restore(qint64 id) {
    for (const ClipItem& item : m_app.services().store().items()) {
        if (item.id == id) {
            m_app.services().copyBack().copyToPasteboard(item);
            return;
        }
    }
}

DebugState AppDebugTarget::state() {
    DebugState s;
    AppServices& services = m_app.services();
    s.panelVisible = m_app.panel() && m_app.panel()->isVisible();
    s.tab = panelTabText(m_app.panelState().tab());
    s.quickPickerVisible = m_app.quickPicker().isVisible();
    ScreenshotWatcher& watcher = services.watcher();
    s.screenshotDir = watcher.dir().toLocalFile();
    const QList<QUrl> shots = watcher.screenshots();
    s.screenshotCount = shots.size();
    s.latestScreenshot =
        shots.isEmpty() ? QString() : QFileInfo(shots.constFirst().toLocalFile()).fileName();
    const ClipItemList& items = services.store().items();
    s.clipItemCount = items.size();
    if (!items.isEmpty()) {
        const ClipItem& latest = items.constFirst();
        s.latestClipKind = clipKindText(latest.kind);
        s.latestClipText = latest.text.value_or(QString());
        s.latestClipSource = latest.sourceApp.value_or(QString());
    }
    const auto shortcut = services.shortcuts().getShortcut(AppDelegate::openPanelShortcut());
    s.hotkey = shortcut ? services.shortcuts().description(*shortcut) : QStringLiteral("none");
    s.launchAtLogin = services.prefs().launchAtLogin();
    s.loginItemEnabled = services.platform().loginItem->status() == LoginItem::Status::Enabled;
    return s;
}
