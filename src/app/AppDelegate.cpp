#include "app/AppDelegate.h"

#include "app/AppDebugTarget.h"
#include "app/AppServices.h"
#include "app/DebugChannel.h"

#include "KeyboardShortcuts/KeyboardShortcuts.h"
#include "app/TrayIcon.h"
#include "app/Updater.h"
#include "history/ClipStore.h"
#include "history/CopyBack.h"
#include "platform/dbus/DBusCommandService.h"
#include "platform/dbus/DesktopNotifications.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "screenshots/ScreenshotWatcher.h"
#include "settings/Prefs.h"
#include "ui/AppIcons.h"
#include "ui/QuickLook.h"
#include "ui/Toast.h"
#include "ui/panel/FloatingPanel.h"
#include "ui/panel/PanelState.h"
#include "ui/picker/QuickPicker.h"
#include "ui/settings/SettingsWindow.h"

#include <algorithm>

#include <QApplication>
#include <QCursor>
#include <QMenu>

AppDelegate::AppDelegate(AppServices& services, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_entries(std::make_unique<DesktopEntryIndex>())
    , m_icons(std::make_unique<AppIcons>(*m_entries))
    , m_toast(std::make_unique<Toast>())
    , m_quickLook(std::make_unique<QuickLook>())
    , m_ui{services.prefs(),
           services.store(),
           services.copyBack(),
           services.watcher(),
           services.thumbnails(),
           *m_icons,
           *m_toast,
           *m_quickLook,
           services.shortcuts(),
           services.capabilities()}
    , m_panelState(std::make_unique<PanelState>())
    , m_picker(std::make_unique<QuickPicker>(m_ui)) {}

AppDelegate::~AppDelegate() {
    delete m_panel;
    delete m_menu;
}

FloatingPanel* AppDelegate::panel() const {
    return m_panel;
}

QMenu* AppDelegate::menu() const {
    return m_menu;
}

KeyboardShortcuts::Name AppDelegate::openPanelShortcut() {
    using namespace KeyboardShortcuts;
    return Name(QStringLiteral("openPanel"),
                Shortcut(Key::v, ModifierFlag::command | ModifierFlag::shift));
}

void AppDelegate::applicationDidFinishLaunching() {
    // A tray utility: no main window, and closing a window never ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    m_statusItem = new TrayIcon(this);
    connect(m_statusItem, &TrayIcon::leftClicked, this, [this] { statusClicked(false); });
    connect(m_statusItem, &TrayIcon::rightClicked, this, [this] { statusClicked(true); });
    m_statusItem->show();

    if (const QString aside = m_services.store().damagedCopy(); !aside.isEmpty())
        reportDamagedHistory(aside);

    connect(&m_services.watcher(), &ScreenshotWatcher::newScreenshotsCounted, this,
            &AppDelegate::updateBadge);

    m_services.startClipboard();
    connect(&m_services.copyBack(), &CopyBack::copyFailed, m_toast.get(), &Toast::show);

    connect(m_picker.get(), &QuickPicker::allHistoryRequested, this,
            [this] { showPanel(PanelTab::clipboard); });
    KeyboardShortcuts::Center& shortcuts = m_services.shortcuts();
    shortcuts.onKeyUp(openPanelShortcut(), [this] { togglePicker(); });
    // The recorder refuses shortcuts that the tray menu already uses; the
    // menu's Ctrl is the desktop's usual menu modifier.
    shortcuts.setMenuItems(
        {{tr("Settings…"), QStringLiteral(","), KeyboardShortcuts::ModifierFlag::control, {}},
         {tr("Check for Updates…"), QString(), KeyboardShortcuts::ModifierFlag::control, {}},
         {tr("Quit Quillet"), QStringLiteral("q"), KeyboardShortcuts::ModifierFlag::control, {}}});

    m_debugTarget = std::make_unique<AppDebugTarget>(*this);
    m_debugChannel = std::make_unique<DebugChannel>(*m_debugTarget);
    m_debugChannel->install();

    m_updater = new Updater(Updater::builtInFeedUrl(), QString(), this);
    m_updater->start();

    announceWithoutTray();
    Q_EMIT launched();
}

void AppDelegate::announceWithoutTray() {
    const QList<Capability>& rows = m_services.capabilities();
    const auto tray = std::find_if(
        rows.begin(), rows.end(), [](const Capability& c) { return c.id == Capability::Id::tray; });
    if (tray == rows.end() || tray->available)
        return;
    // Without a tray icon nothing would show that Quillet runs: it says so
    // once and opens its panel.
    auto* notifications = new DesktopNotifications(QDBusConnection::sessionBus(), this);
    notifications->notify(tr("Quillet is running"),
                          tr("This desktop shows no tray icons. Open Quillet again "
                             "with the shortcut or \"quillet --show-panel\"."));
    showPanel();
}

void AppDelegate::reportDamagedHistory(const QString& keptAs) {
    auto* notifications = new DesktopNotifications(QDBusConnection::sessionBus(), this);
    connect(notifications, &DesktopNotifications::undelivered, this,
            [this](const QString& summary) {
                if (m_statusItem)
                    m_statusItem->setNotice(summary);
            });
    notifications->notify(tr("Clipboard history could not be read"),
                          tr("Quillet started a new history and kept the damaged "
                             "one as %1.")
                              .arg(keptAs));
}

void AppDelegate::statusClicked(bool rightClick) {
    if (rightClick)
        showMenu();
    else
        togglePanel();
}

QMenu* AppDelegate::buildMenu() {
    auto* menu = new QMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* settings = menu->addAction(tr("Settings…"));
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    connect(settings, &QAction::triggered, this, &AppDelegate::openSettings);
    QAction* updates = menu->addAction(tr("Check for Updates…"));
    connect(updates, &QAction::triggered, this, &AppDelegate::checkForUpdates);
    menu->addSeparator();
    QAction* quit = menu->addAction(tr("Quit Quillet"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    return menu;
}

void AppDelegate::showMenu() {
    if (m_menu)
        m_menu->close();
    m_menu = buildMenu();
    // Quillet's own popup rather than the tray's context menu, so the next
    // left click still reaches statusClicked on every tray host.
    const std::optional<QRect> anchor = m_statusItem->anchorRect();
    m_menu->popup(anchor ? anchor->bottomLeft() : QCursor::pos());
}

void AppDelegate::togglePanel() {
    if (!m_panel) {
        showPanel();
        return;
    }
    // Clicking the tray item takes the focus first, which hides the panel a
    // moment before the click arrives: that click was meant to close it.
    const qint64 sinceHidden = m_panel->msecsSinceHidden();
    if (m_panel->isVisible())
        m_panel->hide();
    else if (sinceHidden < 0 || sinceHidden > 300)
        showPanel();
}

void AppDelegate::togglePicker() {
    m_picker->toggle();
}

void AppDelegate::hideWindows() {
    if (m_panel)
        m_panel->hide();
    m_picker->hide();
}

void AppDelegate::takeCommandsFrom(DBusCommandService& commands) {
    connect(&commands, &DBusCommandService::togglePickerRequested, this,
            &AppDelegate::togglePicker);
    // The service lets only known tab names (or none) through.
    connect(&commands, &DBusCommandService::showPanelRequested, this,
            [this](const QString& tab) { showPanel(panelTabFromText(tab)); });
    connect(&commands, &DBusCommandService::hideRequested, this, &AppDelegate::hideWindows);
}

void AppDelegate::showPanel(std::optional<PanelTab> tab) {
    if (tab)
        m_panelState->setTab(*tab);
    if (!m_panel) {
        m_panel = new FloatingPanel(*m_panelState, m_ui);
        connect(m_panel, &FloatingPanel::settingsRequested, this, &AppDelegate::openSettings);
    }
    if (!m_statusItem)
        return;
    m_panel->positionBelow(m_statusItem->anchorRect());
    m_panel->present();
    m_services.watcher().setUnseenCount(0);
    updateBadge();
}

void AppDelegate::updateBadge() {
    if (!m_statusItem)
        return;
    const qint64 count = m_services.watcher().unseenCount();
    if (m_services.prefs().showBadge() && count >= 1)
        m_statusItem->setTitle(QStringLiteral(" ") + QString::number(count));
    else
        m_statusItem->setTitle(QString());
}

SettingsWindow& AppDelegate::settingsWindow() {
    if (!m_settings) {
        m_settings = std::make_unique<SettingsWindow>(m_ui);
        connect(m_settings.get(), &SettingsWindow::checkForUpdatesRequested, this,
                &AppDelegate::checkForUpdates);
    }
    return *m_settings;
}

void AppDelegate::openSettings() {
    settingsWindow().present();
}

void AppDelegate::checkForUpdates() {
    if (m_updater)
        m_updater->checkNow();
}
