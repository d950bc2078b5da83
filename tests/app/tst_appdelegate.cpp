#include "KeyboardShortcuts/KeyboardShortcuts.h"
#include "app/AppDelegate.h"
#include "app/TrayIcon.h"
#include "app/Updater.h"
#include "history/ClipStore.h"
#include "screenshots/ScreenshotWatcher.h"
#include "settings/Prefs.h"
#include "ui/FloatingPanel.h"
#include "ui/PanelState.h"
#include "ui/QuickPicker.h"
#include "ui/QuickPickerView.h"
#include "ui/SettingsWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

// Runs the real start-up once, with the real shared services on the temp HOME
// the harness gives this process. The tray host is not clicked (Xvfb has none
// that Qt could click through): the item's own click signals stand in for it.
class TestAppDelegate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void startsUpInOrder();
    void menuEntriesAndActions();
    void clicksTogglePanelAndMenuDoesNot();
    void badgeRules();
    void newScreenshotRaisesBadge();
    void quitEndsTheEventLoop();

private:
    AppDelegate* m_delegate = nullptr;
    int m_debugInstalledAtStep = -1;
};

void TestAppDelegate::initTestCase() {
    QVERIFY(AppDelegate::shared() == nullptr);
    m_delegate = new AppDelegate(this);
    m_delegate->setDebugChannelInstaller(
        [this](AppDelegate& d) { m_debugInstalledAtStep = int(d.launchSteps().size()); });
    QSignalSpy launched(m_delegate, &AppDelegate::launched);
    m_delegate->applicationDidFinishLaunching();
    QCOMPARE(launched.size(), 1);
}

void TestAppDelegate::startsUpInOrder() {
    QCOMPARE(m_delegate->launchSteps(),
             (QStringList{"shared", "accessory", "statusItem", "clipStore", "screenshotWatcher",
                          "clipboardMonitor", "openPanelShortcut", "debugChannel", "updater"}));
    QCOMPARE(m_debugInstalledAtStep, 7);
    QCOMPARE(AppDelegate::shared(), m_delegate);
    QVERIFY(!QApplication::quitOnLastWindowClosed());

    // The store opened its database in the application's data folder.
    QVERIFY(ClipStore::shared().isOpen());
    QVERIFY(QFile::exists(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                          "/Quillet/quillet.sqlite"));
    // The tray item is up, without a badge, and nothing else was shown.
    QVERIFY(m_delegate->statusItem());
    QVERIFY(m_delegate->statusItem()->isVisible());
    QCOMPARE(m_delegate->statusItem()->title(), QString());
    QVERIFY(!m_delegate->panel());
    QVERIFY(!QuickPicker::shared().isVisible());
    QVERIFY(m_delegate->updater());

    // The picker's global shortcut is the default ⌘⇧V and registered.
    KeyboardShortcuts::Center& shortcuts = *m_delegate->shortcuts();
    const auto shortcut = shortcuts.getShortcut(AppDelegate::openPanelShortcut());
    QVERIFY(shortcut.has_value());
    QCOMPARE(shortcut->carbonKeyCode, 9);
    QVERIFY(shortcuts.isEnabled(AppDelegate::openPanelShortcut()));

    // The tray menu's keys are known to the shortcut recorder.
    using namespace KeyboardShortcuts;
    QCOMPARE(shortcuts.menuItemUsing(Shortcut(Key::q, ModifierFlag::control)),
             QString("Quit Quillet"));
    QCOMPARE(shortcuts.menuItemUsing(Shortcut(Key::comma, ModifierFlag::control)),
             QString("Settings…"));
}

void TestAppDelegate::menuEntriesAndActions() {
    std::unique_ptr<QMenu> menu(m_delegate->buildMenu());
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), 4);
    QCOMPARE(actions[0]->text(), QString("Settings…"));
    QCOMPARE(actions[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    QCOMPARE(actions[1]->text(), QString("Check for Updates…"));
    QVERIFY(actions[1]->shortcut().isEmpty());
    QVERIFY(actions[2]->isSeparator());
    QCOMPARE(actions[3]->text(), QString("Quit Quillet"));
    QCOMPARE(actions[3]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    actions[0]->trigger();
    QTRY_VERIFY(SettingsWindow::shared().isVisible());
    SettingsWindow::shared().hide();

    // This build has no release feed: the check answers at once that updates
    // come from the package manager.
    int results = 0;
    m_delegate->updater()->setPresenter([&](const UpdateCheckResult&) { ++results; });
    actions[1]->trigger();
    QTRY_COMPARE(results, 1);
}

void TestAppDelegate::clicksTogglePanelAndMenuDoesNot() {
    TrayIcon* tray = m_delegate->statusItem();
    ScreenshotWatcher::shared().setUnseenCount(2);

    Q_EMIT tray->rightClicked();
    QVERIFY(m_delegate->menu());
    QTRY_VERIFY(m_delegate->menu()->isVisible());
    QVERIFY(!m_delegate->panel());
    QCOMPARE(m_delegate->menu()->actions().size(), 4);
    m_delegate->menu()->close();
    QTRY_VERIFY(!m_delegate->menu());

    Q_EMIT tray->leftClicked();
    QVERIFY(m_delegate->panel());
    QTRY_VERIFY(m_delegate->panel()->isVisible());
    QCOMPARE(ScreenshotWatcher::shared().unseenCount(), 0);
    FloatingPanel* first = m_delegate->panel();

    Q_EMIT tray->leftClicked();
    QTRY_VERIFY(!m_delegate->panel()->isVisible());

    // Reopened through the full-history link: the same panel, on the clipboard tab.
    m_delegate->panelState().setTab(PanelTab::screenshots);
    QuickPicker::shared().show();
    QuickPicker::shared().view().allHistoryButton()->click();
    QVERIFY(!QuickPicker::shared().isVisible());
    QCOMPARE(m_delegate->panel(), first);
    QCOMPARE(m_delegate->panelState().tab(), PanelTab::clipboard);
    QTRY_VERIFY(first->isVisible());
    m_delegate->togglePanel();
    QTRY_VERIFY(!first->isVisible());
}

void TestAppDelegate::badgeRules() {
    TrayIcon* tray = m_delegate->statusItem();
    ScreenshotWatcher& watcher = ScreenshotWatcher::shared();

    Prefs::shared().setShowBadge(false);
    watcher.setUnseenCount(3);
    m_delegate->updateBadge();
    QCOMPARE(tray->title(), QString());

    Prefs::shared().setShowBadge(true);
    m_delegate->updateBadge();
    QCOMPARE(tray->title(), QString(" 3"));
    QCOMPARE(tray->toolTip(), QString("Quillet 3"));

    // Showing the panel clears it; it stays cleared until the next count.
    m_delegate->showPanel();
    QCOMPARE(tray->title(), QString());
    QCOMPARE(watcher.unseenCount(), 0);
    m_delegate->togglePanel();
    m_delegate->updateBadge();
    QCOMPARE(tray->title(), QString());

    // Switching the setting alone changes nothing until the next refresh.
    watcher.setUnseenCount(12);
    m_delegate->updateBadge();
    QCOMPARE(tray->title(), QString(" 12"));
    Prefs::shared().setShowBadge(false);
    QCOMPARE(tray->title(), QString(" 12"));
    m_delegate->updateBadge();
    QCOMPARE(tray->title(), QString());
    watcher.setUnseenCount(0);
}

void TestAppDelegate::newScreenshotRaisesBadge() {
    Prefs::shared().setShowBadge(true);
    ScreenshotWatcher& watcher = ScreenshotWatcher::shared();
    watcher.setUnseenCount(0);
    m_delegate->updateBadge();
    const QString folder = watcher.dir().toLocalFile();
    QVERIFY(!folder.isEmpty());
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QVERIFY(image.save(folder + "/Screenshot from 2026-12-06 10-00-00.png", "PNG"));
    QTRY_COMPARE_WITH_TIMEOUT(m_delegate->statusItem()->title(), QString(" 1"), 15000);
}

void TestAppDelegate::quitEndsTheEventLoop() {
    std::unique_ptr<QMenu> menu(m_delegate->buildMenu());
    QAction* quit = menu->actions().last();
    QTimer::singleShot(0, quit, &QAction::trigger);
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(10000);
    QCOMPARE(QApplication::exec(), 0);
}

QTEST_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"
