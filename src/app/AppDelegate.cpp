#include "app/AppDelegate.h"

#include "app/AppDebugTarget.h"
#include "app/DebugChannel.h"

#include "KeyboardShortcuts/KeyboardShortcuts.h"
#include "app/TrayIcon.h"
#include "app/Updater.h"
#include "history/ClipStore.h"
#include "history/ClipboardKeeper.h"
#include "history/ClipboardMonitor.h"
#include "history/CopyBack.h"
#include "platform/HotKeyBackend.h"
#include "platform/dbus/DesktopNotifications.h"
#include "platform/x11/X11ClipboardManager.h"
#include "platform/x11/X11Pasteboard.h"
#include "screenshots/ScreenshotWatcher.h"
#include "settings/JsonDefaultsStore.h"
#include "settings/Prefs.h"
#include "ui/FloatingPanel.h"
#include "ui/PanelState.h"
#include "ui/QuickPicker.h"
#include "ui/SettingsWindow.h"
#include "ui/Toast.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>

namespace {
AppDelegate* g_shared = nullptr;
}

AppDelegate::AppDelegate(QObject* parent)
    : QObject(parent)
    , m_panelState(std::make_unique<PanelState>()) {}

AppDelegate::~AppDelegate() {
    if (g_shared == this)
        g_shared = nullptr;
    delete m_panel;
    delete m_menu;
}

FloatingPanel* AppDelegate::panel() const {
    return m_panel;
}

QMenu* AppDelegate::menu() const {
    return m_menu;
}

AppDelegate* AppDelegate::shared() {
    return g_shared;
}

KeyboardShortcuts::Name AppDelegate::openPanelShortcut() {
    using namespace KeyboardShortcuts;
    return Name(QStringLiteral("openPanel"),
                Shortcut(Key::v, ModifierFlag::command | ModifierFlag::shift));
}

void AppDelegate::step(const char* name) {
    m_launchSteps << QString::fromLatin1(name);
}

void AppDelegate::applicationDidFinishLaunching() {
    g_shared = this;
    step("shared");
    installServiceHooks();

    // A tray utility: no main window, and closing a window never ends it.
    QApplication::setQuitOnLastWindowClosed(false);
    step("accessory");

    m_statusItem = new TrayIcon(this);
    connect(m_statusItem, &TrayIcon::leftClicked, this, [this] { statusClicked(false); });
    connect(m_statusItem, &TrayIcon::rightClicked, this, [this] { statusClicked(true); });
    m_statusItem->show();
    step("statusItem");

    if (const QString aside = ClipStore::shared().damagedCopy(); !aside.isEmpty())
        reportDamagedHistory(aside);
    step("clipStore");

    ScreenshotWatcher& watcher = ScreenshotWatcher::shared();
    watcher.setCopyScreenshot([](const QUrl& url) { CopyBack::shared().copyScreenshot(url); });
    connect(&watcher, &ScreenshotWatcher::newScreenshotsCounted, this, &AppDelegate::updateBadge);
    step("screenshotWatcher");

    ClipboardMonitor::shared().start();
    // Keeps the clipboard when the application that copied quits.
    auto* managerRole = new X11ClipboardManager(this);
    new ClipboardKeeper(*managerRole, ClipboardMonitor::shared(), ClipStore::shared(),
                        X11Pasteboard::shared(), Prefs::shared(), this);
    managerRole->claim();
    connect(&CopyBack::shared(), &CopyBack::copyFailed, this,
            [](const QString& message) { Toast::shared().show(message); });
    step("clipboardMonitor");

    QuickPicker& picker = QuickPicker::shared();
    connect(&picker, &QuickPicker::allHistoryRequested, this,
            [this] { showPanel(PanelTab::clipboard); });
    m_hotKeys = HotKeyBackend::createForPlatform();
    m_shortcuts =
        std::make_unique<KeyboardShortcuts::Center>(JsonDefaultsStore::standard(), *m_hotKeys);
    m_shortcuts->onKeyUp(openPanelShortcut(), [] { QuickPicker::shared().toggle(); });
    // The recorder refuses shortcuts that the tray menu already uses; the
    // menu's Ctrl is the desktop's usual menu modifier.
    m_shortcuts->setMenuItems({{QStringLiteral("Settings…"),
                                QStringLiteral(","),
                                KeyboardShortcuts::ModifierFlag::control,
                                {}},
                               {QStringLiteral("Check for Updates…"),
                                QString(),
                                KeyboardShortcuts::ModifierFlag::control,
                                {}},
                               {QStringLiteral("Quit Quillet"),
                                QStringLiteral("q"),
                                KeyboardShortcuts::ModifierFlag::control,
                                {}}});
    step("openPanelShortcut");

    installDebugChannel();
    step("debugChannel");

    m_updater = new Updater(Updater::builtInFeedUrl(), QString(), this);
    m_updater->start();
    step("updater");

    Q_EMIT launched();
}

// The settings window reaches the services through hooks, so it stays
// testable on its own; here it gets the real ones (the panel binds its own
// through PanelServices::standard()). Each hook looks the service up when
// called, so nothing starts before its step.
void AppDelegate::installServiceHooks() {
    SettingsHooks& settings = SettingsWindow::sharedHooks();
    settings.setDedicatedFolder = [](bool on) {
        ScreenshotWatcher::setDedicatedFolder(on);
    };
    settings.watchedFolder = [] {
        return ScreenshotWatcher::shared().dir().toLocalFile();
    };
    settings.watchedFolderOrigin = [] {
        return ScreenshotWatcher::shared().dirOrigin();
    };
    settings.canPaste = [] {
        return CopyBack::shared().isTrusted();
    };
    settings.shortcuts = [this] {
        return m_shortcuts.get();
    };
    settings.checkForUpdates = [] {
        if (AppDelegate* delegate = AppDelegate::shared())
            delegate->checkForUpdates();
    };
}

void AppDelegate::reportDamagedHistory(const QString& keptAs) {
    auto* notifications = new DesktopNotifications(QDBusConnection::sessionBus(), this);
    connect(notifications, &DesktopNotifications::undelivered, this,
            [this](const QString& summary) {
                if (m_statusItem)
                    m_statusItem->setNotice(summary);
            });
    notifications->notify(QStringLiteral("Clipboard history could not be read"),
                          QStringLiteral("Quillet started a new history and kept the damaged "
                                         "one as %1.")
                              .arg(keptAs));
}

void AppDelegate::installDebugChannel() {
    if (m_debugChannelInstaller) {
        m_debugChannelInstaller(*this);
        return;
    }
    // The observer lives as long as the process; it is never removed.
    static AppDebugTarget target;
    auto* channel = new DebugChannel(target, this);
    channel->install();
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
    QAction* settings = menu->addAction(QStringLiteral("Settings…"));
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    connect(settings, &QAction::triggered, this, &AppDelegate::openSettings);
    QAction* updates = menu->addAction(QStringLiteral("Check for Updates…"));
    connect(updates, &QAction::triggered, this, &AppDelegate::checkForUpdates);
    menu->addSeparator();
    QAction* quit = menu->addAction(QStringLiteral("Quit Quillet"));
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

void AppDelegate::showPanel(std::optional<PanelTab> tab) {
    if (tab)
        m_panelState->setTab(*tab);
    if (!m_panel) {
        m_panel = new FloatingPanel(*m_panelState);
        connect(m_panel, &FloatingPanel::settingsRequested, this, &AppDelegate::openSettings);
        m_panel->setScreenshots(ScreenshotWatcher::shared().screenshots());
    }
    if (!m_statusItem)
        return;
    m_panel->positionBelow(m_statusItem->anchorRect());
    m_panel->present();
    ScreenshotWatcher::shared().setUnseenCount(0);
    updateBadge();
}

void AppDelegate::updateBadge() {
    if (!m_statusItem)
        return;
    const qint64 count = ScreenshotWatcher::shared().unseenCount();
    if (Prefs::shared().showBadge() && count >= 1)
        m_statusItem->setTitle(QStringLiteral(" ") + QString::number(count));
    else
        m_statusItem->setTitle(QString());
}

void AppDelegate::openSettings() {
    SettingsWindow::showSettings();
}

void AppDelegate::checkForUpdates() {
    if (m_updater)
        m_updater->checkNow();
}
