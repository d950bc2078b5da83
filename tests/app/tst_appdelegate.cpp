#include "KeyboardShortcuts/KeyboardShortcuts.h"
#include "app/AppDelegate.h"
#include "app/AppServices.h"
#include "app/TrayIcon.h"
#include "app/Updater.h"
#include "helpers/Offer.h"
#include "history/ClipStore.h"
#include "platform/Pasteboard.h"
#include "screenshots/ScreenshotWatcher.h"
#include "settings/Prefs.h"
#include "ui/Toast.h"
#include "ui/panel/ClipListModel.h"
#include "ui/panel/ClipboardView.h"
#include "ui/panel/FloatingPanel.h"
#include "ui/panel/PanelState.h"
#include "ui/panel/PanelView.h"
#include "ui/picker/QuickPicker.h"
#include "ui/picker/QuickPickerView.h"
#include "ui/settings/SettingsWindow.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The whole application wired as main() wires it, on the null platform (no
// window system on this tier): the clipboard is an in-process one that this
// test writes to as another application would, and the windows are offscreen.
// The tray host is not clicked: the item's own click signals stand in for it.
class TestAppDelegate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void clicksTogglePanelAndMenuDoesNot();
    void startsAndRecordsAClipShownInThePanel();
    void menuEntriesAndActions();
    void badgeRules();
    void quitEndsTheEventLoop();
    void cleanupTestCase();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<AppServices> m_services;
    std::unique_ptr<AppDelegate> m_delegate;
};

void TestAppDelegate::initTestCase() {
    QVERIFY(m_dir.isValid());
    AppOptions options;
    options.platform.clear(); // chosen by the session: no display here
    options.settingsFile = m_dir.filePath(QStringLiteral("defaults.json"));
    options.dataDir = m_dir.filePath(QStringLiteral("data"));
    m_services = std::make_unique<AppServices>(options);
    QCOMPARE(m_services->platform().name, QStringLiteral("null"));
    m_delegate = std::make_unique<AppDelegate>(*m_services);
    QSignalSpy launched(m_delegate.get(), &AppDelegate::launched);
    m_delegate->applicationDidFinishLaunching();
    QCOMPARE(launched.size(), 1);
}

void TestAppDelegate::startsAndRecordsAClipShownInThePanel() {
    // Closing the last window (settings, the panel) must not end the application.
    QVERIFY(!QApplication::quitOnLastWindowClosed());
    QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("data/quillet.sqlite"))));

    // The tray menu's keys are known to the recorder, which warns of a clash.
    using namespace KeyboardShortcuts;
    QCOMPARE(m_services->shortcuts().menuItemUsing(Shortcut(Key::q, ModifierFlag::control)),
             QString("Quit Quillet"));

    // Another application copies: the monitor records it, the panel lists it.
    m_services->platform().pasteboard->setMimeData(
        offer({{PasteboardType::string, QByteArrayLiteral("copied elsewhere")}}));
    QTRY_COMPARE(m_services->store().items().size(), 1);
    QCOMPARE(m_services->store().items().first().text, QString("copied elsewhere"));
    m_delegate->showPanel(PanelTab::clipboard);
    QVERIFY(m_delegate->panel());
    QTRY_VERIFY(m_delegate->panel()->isVisible());
    ClipboardView& clips = m_delegate->panel()->view().clipboardView();
    QTRY_COMPARE(clips.model().clipCount(), 1);

    // Choosing it puts it back on the clipboard and confirms it in the panel.
    m_services->platform().pasteboard->setMimeData(
        offer({{PasteboardType::string, QByteArrayLiteral("something newer")}}));
    QTRY_COMPARE(m_services->store().items().size(), 2);
    clips.copy(m_services->store().items().last());
    QCOMPARE(m_services->platform().pasteboard->string(), QString("copied elsewhere"));
    QCOMPARE(m_delegate->ui().toast.message(), QString("Copied"));
    m_delegate->panel()->hide();
}

void TestAppDelegate::menuEntriesAndActions() {
    std::unique_ptr<QMenu> menu(m_delegate->buildMenu());
    const QList<QAction*> actions = menu->actions(); // Settings, Check for Updates, -, Quit
    actions[0]->trigger();
    QTRY_VERIFY(m_delegate->settingsWindow().isVisible());

    // This build has no release feed: the check answers at once that updates
    // come from the package manager; the settings' button asks the same updater.
    int results = 0;
    m_delegate->updater()->setPresenter([&](const UpdateCheckResult&) { ++results; });
    actions[1]->trigger();
    QTRY_COMPARE(results, 1);
    Q_EMIT m_delegate->settingsWindow().checkForUpdatesRequested();
    QTRY_COMPARE(results, 2);
    m_delegate->settingsWindow().hide();
}

void TestAppDelegate::clicksTogglePanelAndMenuDoesNot() {
    TrayIcon* tray = m_delegate->statusItem();
    m_services->watcher().setUnseenCount(2);

    Q_EMIT tray->rightClicked();
    QVERIFY(m_delegate->menu());
    QTRY_VERIFY(m_delegate->menu()->isVisible());
    QVERIFY(!m_delegate->panel());
    m_delegate->menu()->close();
    QTRY_VERIFY(!m_delegate->menu());
    QCOMPARE(m_services->watcher().unseenCount(), 2);

    Q_EMIT tray->leftClicked();
    QTRY_VERIFY(m_delegate->panel()->isVisible());
    QCOMPARE(m_services->watcher().unseenCount(), 0);
    FloatingPanel* first = m_delegate->panel();
    Q_EMIT tray->leftClicked();
    QTRY_VERIFY(!first->isVisible());

    // Reopened through the picker's full-history link: the same panel, on the clipboard tab.
    m_delegate->panelState().setTab(PanelTab::screenshots);
    QuickPicker& picker = m_delegate->quickPicker();
    picker.show();
    picker.view().allHistoryButton()->click();
    QVERIFY(!picker.isVisible());
    QCOMPARE(m_delegate->panel(), first);
    QCOMPARE(m_delegate->panelState().tab(), PanelTab::clipboard);
    QTRY_VERIFY(first->isVisible());
    m_delegate->togglePanel();
    QTRY_VERIFY(!first->isVisible());
}

void TestAppDelegate::badgeRules() {
    TrayIcon* tray = m_delegate->statusItem();
    ScreenshotWatcher& watcher = m_services->watcher();
    Prefs& prefs = m_services->prefs();

    prefs.setShowBadge(false);
    watcher.setUnseenCount(3);
    m_delegate->updateBadge();
    QCOMPARE(tray->title(), QString());

    prefs.setShowBadge(true);
    m_delegate->updateBadge();
    QCOMPARE(tray->title(), QString(" 3"));
    // A counted capture refreshes it.
    watcher.setUnseenCount(4);
    Q_EMIT watcher.newScreenshotsCounted();
    QCOMPARE(tray->title(), QString(" 4"));

    // Showing the panel clears it.
    m_delegate->showPanel();
    QCOMPARE(tray->title(), QString());
    m_delegate->togglePanel();
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

void TestAppDelegate::cleanupTestCase() {
    m_delegate.reset();
    m_services.reset();
}

QTEST_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"
