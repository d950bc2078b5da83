#pragma once

#include "ui/UiServices.h"
#include "ui/panel/PanelTab.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>

class AppDebugTarget;
class AppIcons;
class AppServices;
class DBusCommandService;
class DebugChannel;
class DesktopEntryIndex;
class FloatingPanel;
class PanelState;
class QMenu;
class QuickLook;
class QuickPicker;
class SettingsWindow;
class Toast;
class TrayIcon;
class Updater;

namespace KeyboardShortcuts {
class Name;
}

// The running application's shell over the services: the tray item (left
// click toggles the panel, right click shows Quillet's menu, the badge counts
// unseen screenshots), the panel, the quick picker and its shortcut, the
// settings window, the debug channel and the updater. Every window gets the
// services by reference.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    explicit AppDelegate(AppServices& services, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The global shortcut that opens the quick picker, with its default ⌘⇧V.
    static KeyboardShortcuts::Name openPanelShortcut();

    // Start-up, once, after the application object exists.
    void applicationDidFinishLaunching();

    AppServices& services() const { return m_services; }
    UiServices& ui() { return m_ui; }
    TrayIcon* statusItem() const { return m_statusItem; }
    FloatingPanel* panel() const;
    PanelState& panelState() const { return *m_panelState; }
    QuickPicker& quickPicker() const { return *m_picker; }
    // Made on first use.
    SettingsWindow& settingsWindow();
    Updater* updater() const { return m_updater; }
    // The tray menu while it is open.
    QMenu* menu() const;

    // Shows the panel under the tray item, on `tab` when one is given, and
    // clears the unseen-screenshot count.
    void showPanel(std::optional<PanelTab> tab = std::nullopt);
    void togglePanel();
    // What the hot key does: the quick picker at the pointer, or away when shown.
    void togglePicker();
    // Hides the panel and the quick picker, whichever is shown.
    void hideWindows();
    // Carries out the commands other processes give over the session bus.
    void takeCommandsFrom(DBusCommandService& commands);
    // Recomputes the tray item's badge from the unseen count and the setting.
    void updateBadge();
    void openSettings();
    void checkForUpdates();

    // The tray menu, built anew for every right click.
    QMenu* buildMenu();

Q_SIGNALS:
    void launched();

private:
    void statusClicked(bool rightClick);
    void showMenu();
    // By a desktop notification, or else in the tray's tooltip.
    void tellUser(const QString& summary, const QString& body);
    void reportDamagedHistory(const QString& keptAs);
    void reportWriteFailure(const QString& what, const QString& path, const QString& reason);
    void announceWithoutTray();

    AppServices& m_services;
    std::unique_ptr<DesktopEntryIndex> m_entries;
    std::unique_ptr<AppIcons> m_icons;
    std::unique_ptr<Toast> m_toast;
    std::unique_ptr<QuickLook> m_quickLook;
    UiServices m_ui;
    std::unique_ptr<PanelState> m_panelState;
    std::unique_ptr<QuickPicker> m_picker;
    std::unique_ptr<SettingsWindow> m_settings;
    std::unique_ptr<AppDebugTarget> m_debugTarget;
    std::unique_ptr<DebugChannel> m_debugChannel;
    TrayIcon* m_statusItem = nullptr;
    QPointer<FloatingPanel> m_panel;
    Updater* m_updater = nullptr;
    QPointer<QMenu> m_menu;
    bool m_toldWriteFailure = false;
};
