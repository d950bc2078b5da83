#include "KeyboardShortcuts/KeyboardShortcuts.h"
#include "app/AppDelegate.h"
#include "app/Translations.h"
#include "app/TrayIcon.h"
#include "app/Updater.h"
#include "helpers/Offer.h"
#include "helpers/WiredServices.h"
#include "history/ClipStore.h"
#include "screenshots/ScreenshotWatcher.h"
#include "ui/PanelFormat.h"
#include "ui/Toast.h"
#include "ui/panel/ClipListModel.h"
#include "ui/panel/ClipboardView.h"
#include "ui/panel/FloatingPanel.h"
#include "ui/panel/PanelState.h"
#include "ui/panel/PanelView.h"
#include "ui/panel/TabSwitcher.h"
#include "ui/picker/QuickPicker.h"
#include "ui/picker/QuickPickerView.h"
#include "ui/settings/AboutSection.h"
#include "ui/settings/ClipboardSection.h"
#include "ui/settings/ScreenshotsSection.h"
#include "ui/settings/SettingsMenu.h"
#include "ui/settings/SettingsTabBar.h"
#include "ui/settings/SettingsWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>

// The whole application wired as main() wires it, on the null platform (no
// window system on this tier) with offscreen windows. The tray host is not
// clicked: the item's own click signals stand in for it.
class TestAppDelegate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QCOMPARE(m_services.platform().name, QStringLiteral("null"));
        QSignalSpy launched(&m_delegate, &AppDelegate::launched);
        m_delegate.applicationDidFinishLaunching();
        QCOMPARE(launched.size(), 1);
        // No tray host on this bus: Quillet does not run unseen, its panel opens.
        QTRY_VERIFY(m_delegate.panel() && m_delegate.panel()->isVisible());
        m_delegate.togglePanel();
        QTRY_VERIFY(!m_delegate.panel()->isVisible());
        // (A tray click this soon after would be taken for the one that hid it.)
        QTest::qWait(400);
        // This build has no release feed: nothing is fetched, not even quietly.
        QSignalSpy checks(m_delegate.updater(), &Updater::checkFinished);
        QCoreApplication::processEvents();
        QCOMPARE(checks.size(), 0);
        // Closing the last window (settings, the panel) must not end the application.
        QVERIFY(!QApplication::quitOnLastWindowClosed());
        // The tray menu's keys are known to the recorder, which warns of a clash.
        using namespace KeyboardShortcuts;
        QCOMPARE(m_services.shortcuts().menuItemUsing(Shortcut(Key::q, ModifierFlag::control)),
                 QString("Quit Quillet"));
    }
    void clicksTogglePanelAndMenuDoesNot();
    void trayItem();
    void recordsAClipShownInThePanel();
    void germanForAGermanLocale();
    void menuEntriesAndQuit();

private:
    WiredServices m_wired; // the platform the session offers
    AppServices& m_services = m_wired.services;
    AppDelegate m_delegate{m_services};
};

// Another application copies (on the in-process clipboard): the monitor
// records it, the panel lists it, and choosing it puts it back.
void TestAppDelegate::recordsAClipShownInThePanel() {
    Pasteboard& pasteboard = *m_services.platform().pasteboard;
    pasteboard.setMimeData(offer({{PasteboardType::string, "copied elsewhere"}}));
    QTRY_COMPARE(m_services.store().items().size(), 1);
    m_delegate.showPanel(PanelTab::clipboard);
    QTRY_VERIFY(m_delegate.panel()->isVisible());
    // No global shortcut in this session: the footer names the command to bind instead.
    QVERIFY(m_delegate.panel()->view().hintText().contains(u"quillet --show-panel"_qs));
    ClipboardView& clips = m_delegate.panel()->view().clipboardView();
    QTRY_COMPARE(clips.model().clipCount(), 1);
    pasteboard.setMimeData(offer({{PasteboardType::string, "something newer"}}));
    QTRY_COMPARE(clips.model().clipCount(), 2);
    clips.copy(m_services.store().items().last());
    QCOMPARE(pasteboard.string(), QString("copied elsewhere"));
    QCOMPARE(m_delegate.ui().toast.message(), QString("Copied"));
    m_delegate.togglePanel();
    QTRY_VERIFY(!m_delegate.panel()->isVisible());
}

void TestAppDelegate::clicksTogglePanelAndMenuDoesNot() {
    TrayIcon* tray = m_delegate.statusItem();
    m_services.watcher().setUnseenCount(2);

    Q_EMIT tray->rightClicked();
    QTRY_VERIFY(m_delegate.menu() && m_delegate.menu()->isVisible());
    QVERIFY(!m_delegate.panel()->isVisible());
    m_delegate.menu()->close();
    QTRY_VERIFY(!m_delegate.menu());
    QCOMPARE(m_services.watcher().unseenCount(), 2);

    Q_EMIT tray->leftClicked();
    QTRY_VERIFY(m_delegate.panel()->isVisible());
    QCOMPARE(m_services.watcher().unseenCount(), 0);
    FloatingPanel* first = m_delegate.panel();
    Q_EMIT tray->leftClicked();
    QTRY_VERIFY(!first->isVisible());

    // Reopened through the picker's full-history link: the same panel, on the clipboard tab.
    m_delegate.panelState().setTab(PanelTab::screenshots);
    QuickPicker& picker = m_delegate.quickPicker();
    picker.show();
    picker.view().allHistoryButton()->click();
    QVERIFY(!picker.isVisible());
    QCOMPARE(m_delegate.panel(), first);
    QCOMPARE(m_delegate.panelState().tab(), PanelTab::clipboard);
    QTRY_VERIFY(first->isVisible());
    m_delegate.togglePanel();
    QTRY_VERIFY(!first->isVisible());
}

// The tray item: where the panel is anchored, and the badge.
void TestAppDelegate::trayItem() {
    const QRect screen(0, 0, 1920, 1080);
    const QRect tray(1800, 2, 24, 24);
    QCOMPARE(TrayIcon::anchorFor(tray, QPoint(10, 10), screen), tray);
    QCOMPARE(TrayIcon::anchorFor({}, QPoint(1805, 12), screen), QRect(1805, 12, 1, 1));
    QCOMPARE(TrayIcon::anchorFor({}, QPoint(1925, -4), screen), QRect(1919, 0, 1, 1));
    // Opened otherwise (a second start, "All history…"): to the pointer.
    QCOMPARE(TrayIcon::anchorFor({}, std::nullopt, screen), std::nullopt);
    QCOMPARE(TrayIcon::anchorFor({}, QPoint(-50, -50), QRect()), QRect(-50, -50, 1, 1));

    TrayIcon* item = m_delegate.statusItem();
    ScreenshotWatcher& watcher = m_services.watcher();
    m_services.prefs().setShowBadge(false);
    watcher.setUnseenCount(3);
    m_delegate.updateBadge();
    QCOMPARE(item->title(), QString());
    const QImage plain = item->icon().pixmap(32, 32).toImage();
    m_services.prefs().setShowBadge(true);
    m_delegate.updateBadge();
    QCOMPARE(item->title(), QString(" 3"));
    QCOMPARE(item->toolTip(), QString("Quillet 3"));
    QVERIFY(item->icon().pixmap(32, 32).toImage() != plain);
    // A counted capture refreshes it; showing the panel clears it.
    watcher.setUnseenCount(4);
    Q_EMIT watcher.newScreenshotsCounted();
    QCOMPARE(item->title(), QString(" 4"));
    m_delegate.showPanel();
    QCOMPARE(item->title(), QString());
    QCOMPARE(item->toolTip(), QString("Quillet"));
    QCOMPARE(item->icon().pixmap(32, 32).toImage(), plain);
    // Where the desktop's icon theme has Quillet's one-colour icon, it goes by
    // name, so the tray host colours it for its panel; a count is painted.
    QTemporaryDir theme;
    QVERIFY(QDir(theme.path()).mkpath(u"hicolor/symbolic/apps"_qs));
    QFile index(theme.filePath(u"hicolor/index.theme"_qs));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=hicolor\nDirectories=symbolic/apps\n\n[symbolic/apps]\n"
                "Size=16\nMinSize=8\nMaxSize=512\nType=Scalable\n");
    index.close();
    QVERIFY(QFile::copy(QUILLET_SYMBOLIC_ICON,
                        theme.filePath(u"hicolor/symbolic/apps/com.ovo.quillet-symbolic.svg"_qs)));
    QIcon::setThemeSearchPaths({theme.path()});
    QIcon::setThemeName(u"hicolor"_qs);
    watcher.setUnseenCount(1);
    Q_EMIT watcher.newScreenshotsCounted();
    QVERIFY(item->icon().name().isEmpty());
    m_delegate.showPanel();
    QCOMPARE(item->icon().name(), u"com.ovo.quillet-symbolic"_qs);
    QVERIFY(!item->icon().pixmap(22, 22).isNull());
    m_delegate.togglePanel();
    // A click's place serves that click only, not a later shortcut.
    Q_EMIT item->systemTrayIcon().activated(QSystemTrayIcon::Trigger);
    QCOMPARE(item->anchorRect(), std::nullopt);
    m_delegate.togglePanel();
}

// The translator main() installs, for a German locale: windows built under it
// speak German, counts and relative times in their plural forms.
void TestAppDelegate::germanForAGermanLocale() {
    const Translations german(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(german.language(), QString("de"));
    const QDateTime now = QDateTime::currentDateTime();
    QCOMPARE(
        QStringList({relativeTime(now.addSecs(-300), now), relativeTime(now.addSecs(-86400), now),
                     relativeTime(now.addSecs(-3 * 86400), now),
                     relativeTime(now.addSecs(7200), now)}),
        QStringList({"vor 5 Min.", "vor 1 Tag", "vor 3 Tagen", "in 2 Std."}));

    PanelState state;
    state.setTab(PanelTab::clipboard);
    PanelView panel(state, m_wired.ui);
    QCOMPARE(panel.hintText(), QString("· Taste an quillet --show-panel binden"));
    auto* tabs = panel.findChild<TabSwitcher*>();
    const QPoint at = TabSwitcher::buttonRect(PanelTab::screenshots).center();
    QHelpEvent help(QEvent::ToolTip, at, tabs->mapToGlobal(at));
    QApplication::sendEvent(tabs, &help);
    QCOMPARE(QToolTip::text(), QString("Bildschirmfotos"));

    SettingsWindow settings(m_wired.ui);
    QCOMPARE(settings.tabBar()->findChildren<QAbstractButton*>().at(3)->accessibleName(),
             QString("Tastenkürzel"));
    QCOMPARE(settings.clipboard()->maxItemsMenu()->itemText(3), QString("2000 Einträge"));
    QCOMPARE(settings.screenshots()->autoDeleteMenu()->itemText(1), QString("nach 7 Tagen"));
    QVERIFY(settings.about()->desktopRows().first()->text().endsWith(
        QString("Zwischenablage-Verlauf — nicht verfügbar")));
}

// Last: Quit ends the event loop.
void TestAppDelegate::menuEntriesAndQuit() {
    std::unique_ptr<QMenu> menu(m_delegate.buildMenu());
    const QList<QAction*> actions = menu->actions(); // Settings, Check for Updates, -, Quit
    actions[0]->trigger();
    QTRY_VERIFY(m_delegate.settingsWindow().isVisible());

    // Without a feed the check answers at once that updates come from the
    // package manager; the settings' button asks the same updater.
    int results = 0;
    m_delegate.updater()->setPresenter([&](const UpdateCheckResult&) { ++results; });
    actions[1]->trigger();
    QTRY_COMPARE(results, 1);
    m_delegate.settingsWindow().about()->checkForUpdatesButton()->click();
    QTRY_COMPARE(results, 2);

    QTimer::singleShot(0, actions.last(), &QAction::trigger);
    QTimer::singleShot(10000, [] { QCoreApplication::exit(1); });
    QCOMPARE(QApplication::exec(), 0);
}

QTEST_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"
