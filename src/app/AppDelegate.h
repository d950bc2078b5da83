#pragma once

#include "ui/PanelTab.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class FloatingPanel;
class PanelState;
class QMenu;
class TrayIcon;
class Updater;

class HotKeyBackend;

namespace KeyboardShortcuts {
class Center;
class Name;
} // namespace KeyboardShortcuts

// The root of the running application: brings the services up in a fixed
// order, owns the tray item (left click toggles the panel, right click shows
// Quillet's menu, the badge counts unseen screenshots), the panel, the quick
// picker's shortcut and the updater. Other parts reach it through shared(),
// which is empty until launch and must be checked.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    static AppDelegate* shared();

    // The global shortcut that opens the quick picker, with its default ⌘⇧V.
    static KeyboardShortcuts::Name openPanelShortcut();

    // Start-up, once, after the application object exists.
    void applicationDidFinishLaunching();
    // The start-up steps in the order they ran.
    QStringList launchSteps() const { return m_launchSteps; }

    TrayIcon* statusItem() const { return m_statusItem; }
    FloatingPanel* panel() const;
    PanelState& panelState() const { return *m_panelState; }
    Updater* updater() const { return m_updater; }
    // The global shortcuts; made at launch.
    KeyboardShortcuts::Center* shortcuts() const { return m_shortcuts.get(); }
    // The tray menu while it is open.
    QMenu* menu() const;

    // Shows the panel under the tray item, on `tab` when one is given, and
    // clears the unseen-screenshot count.
    void showPanel(std::optional<PanelTab> tab = std::nullopt);
    void togglePanel();
    // Recomputes the tray item's badge from the unseen count and the setting.
    void updateBadge();
    void openSettings();
    void checkForUpdates();

    // The tray menu, built anew for every right click.
    QMenu* buildMenu();

    // The debug command channel's installer, run at its place in start-up.
    void setDebugChannelInstaller(std::function<void(AppDelegate&)> installer) {
        m_debugChannelInstaller = std::move(installer);
    }

Q_SIGNALS:
    void launched();

private:
    void statusClicked(bool rightClick);
    void showMenu();
    void installServiceHooks();
    void installDebugChannel();
    // Tells the user once, by a desktop notification or else in the tray's tooltip.
    void reportDamagedHistory(const QString& keptAs);
    void step(const char* name);

    TrayIcon* m_statusItem = nullptr;
    // The backend outlives the Center that holds its grabs.
    std::unique_ptr<HotKeyBackend> m_hotKeys;
    std::unique_ptr<KeyboardShortcuts::Center> m_shortcuts;
    QPointer<FloatingPanel> m_panel;
    std::unique_ptr<PanelState> m_panelState;
    Updater* m_updater = nullptr;
    QPointer<QMenu> m_menu;
    QStringList m_launchSteps;
    std::function<void(AppDelegate&)> m_debugChannelInstaller;
};
