#include "KeyboardShortcuts/RecorderWidget.h"
#include "helpers/WiredServices.h"
#include "history/ClipStore.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "ui/settings/AboutSection.h"
#include "ui/settings/ClipboardSection.h"
#include "ui/settings/GeneralSection.h"
#include "ui/settings/RecentAppsButton.h"
#include "ui/settings/ScreenshotsSection.h"
#include "ui/settings/SettingsMenu.h"
#include "ui/settings/SettingsSwitch.h"
#include "ui/settings/SettingsTabBar.h"
#include "ui/settings/SettingsWindow.h"
#include "ui/settings/ShortcutsSection.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {
// The screenshot tools' save location as the window changes it. A stand-in:
// the real one edits the tools' own configuration, tested on its own.
struct RecordingLocation : ScreenshotLocation {
    QString folder = QStringLiteral("/home/u/Pictures/Screenshots");
    QList<bool> calls; // dedicated folder on (true) or off
    Folder resolve() const override { return {folder, {}}; }
    QString dedicatedFolder() const override { return folder; }
    void write(const QString&) override { calls.append(true); }
    void restore() override { calls.append(false); }
};

// Whether synthesised keys reach other windows, switched by the test.
struct SwitchableKeystroke : PasteKeystroke {
    bool available = false;
    bool isAvailable() const override { return available; }
    void rememberActiveWindow() override {}
    void sendPaste() override {}
};

// The window over the wired services on the null platform, with an autostart
// folder of its own and the two stand-ins above.
struct Fixture {
    QTemporaryDir home;
    QString configHome = home.filePath(QStringLiteral("config"));
    RecordingLocation* location = nullptr;
    SwitchableKeystroke* keys = nullptr;
    WiredServices wired{QStringLiteral("null"), [this](Platform& p, DefaultsStore&) {
                            p.loginItem = std::make_unique<XdgAutostartLoginItem>(
                                configHome, QStringList{home.filePath(QStringLiteral("etc"))},
                                QStringLiteral("quillet"));
                            p.screenshotLocation.reset(location = new RecordingLocation);
                            p.pasteKeystroke.reset(keys = new SwitchableKeystroke);
                        }};
    Prefs& prefs = wired.prefs();
    QString loginEntry = configHome + QStringLiteral("/autostart/quillet.desktop");
    std::unique_ptr<SettingsWindow> window = std::make_unique<SettingsWindow>(wired.ui);

    void show(SettingsSection section) {
        window->setSection(section);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
};

// Picks a menu entry the way the keyboard does, so the menu's own "activated" path runs.
void choose(SettingsMenu* menu, const QString& label) {
    const int index = menu->findText(label);
    const bool fromAbove = index > 0;
    menu->setCurrentIndex(fromAbove ? index - 1 : index + 1);
    QTest::keyClick(menu, fromAbove ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(menu->currentIndex(), index);
}

QStringList shownExclusions(const Fixture& f) {
    QStringList shown;
    for (QWidget* line : f.window->clipboard()->findChildren<QWidget*>(QStringLiteral("exclusion")))
        shown.append(line->property("identifier").toString());
    return shown;
}
} // namespace

class TestSettingsWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controlsStoreAndFollow();
    void systemSettingsFollowAndActOncePerChange();
    void tabsSelectSectionsAndWindowIsReused();
};

void TestSettingsWindow::controlsStoreAndFollow() {
    Fixture f;
    // Each switch sets its own preference (it started at the stored value, or
    // the click would not change it) and follows changes made elsewhere at once.
    const struct {
        SettingsSwitch* control;
        const char* property;
        bool initial;
    } switches[] = {{f.window->general()->badgeSwitch(), "showBadge", false},
                    {f.window->general()->soundSwitch(), "playSound", false},
                    {f.window->screenshots()->autoCopySwitch(), "autoCopyScreenshots", true},
                    {f.window->clipboard()->historySwitch(), "clipboardEnabled", true},
                    {f.window->clipboard()->pasteDirectlySwitch(), "pasteDirectly", false}};
    for (const auto& s : switches) {
        s.control->click();
        QVERIFY2(f.prefs.property(s.property).toBool() == !s.initial, s.property);
        f.prefs.setProperty(s.property, s.initial);
        QVERIFY2(s.control->isChecked() == s.initial, s.property);
    }

    const struct {
        SettingsMenu* menu;
        const char *key, *label;
        qint64 value;
    } menus[] = {{f.window->clipboard()->maxDaysMenu(), "maxDays", "1 year", 365},
                 {f.window->clipboard()->maxItemsMenu(), "maxItems", "2000 items", 2000},
                 {f.window->screenshots()->autoDeleteMenu(), "autoDeleteDays", "Never", 0}};
    for (const auto& m : menus) {
        // Start away from the entry so that choosing it is a change.
        f.prefs.setProperty(m.key, m.value == 0 ? 30 : 7);
        choose(m.menu, QString::fromUtf8(m.label));
        QCOMPARE(f.prefs.property(m.key).toLongLong(), m.value);
        // A stored value the menu does not offer selects nothing rather than a wrong entry.
        f.prefs.setProperty(m.key, 20);
        QCOMPARE(m.menu->currentIndex(), -1);
        f.prefs.setProperty(m.key, m.value);
        QCOMPARE(m.menu->currentText(), QString::fromUtf8(m.label));
    }

    // Exclusions are added trimmed and once.
    f.prefs.setExcludedApps({QStringLiteral("bitwarden")});
    f.show(SettingsSection::Clipboard);
    QLineEdit* field = f.window->clipboard()->exclusionField();

    QTest::keyClicks(field, QStringLiteral(" \t com.example.app  "));
    QTest::keyClick(field, Qt::Key_Return);
    const QStringList expected{QStringLiteral("bitwarden"), QStringLiteral("com.example.app")};
    QCOMPARE(f.prefs.excludedApps(), expected);
    QCOMPARE(field->text(), QString());
    QTRY_COMPARE(shownExclusions(f), expected);

    // A duplicate or an empty entry only clears the field.
    for (const QString& typed : {QStringLiteral("com.example.app"), QStringLiteral("   ")}) {
        QTest::keyClicks(field, typed);
        f.window->clipboard()->addButton()->click();
        QCOMPARE(f.prefs.excludedApps(), expected);
        QCOMPARE(field->text(), QString());
    }

    // Duplicates can come from the store even though the window never adds
    // one: removing one line removes them all.
    f.prefs.setExcludedApps(
        {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("c")});
    QTRY_COMPARE(shownExclusions(f).size(), 4);
    const auto lines = f.window->clipboard()->findChildren<QWidget*>(QStringLiteral("exclusion"));
    auto* remove = lines.at(shownExclusions(f).indexOf(QStringLiteral("a")))
                       ->findChild<QToolButton*>(QStringLiteral("remove"));
    QVERIFY(remove);
    QTest::mouseClick(remove, Qt::LeftButton);

    const QStringList rest{QStringLiteral("b"), QStringLiteral("c")};
    QCOMPARE(f.prefs.excludedApps(), rest);
    QTRY_COMPARE(shownExclusions(f), rest);

    // Or chosen among the applications the history has copies from: newest
    // first, each once, the listed left out, an id for want of a name.
    const auto from = [](const char* app, const char* name, double at) {
        ClipItem item{.sourceApp = QString(app), .createdAt = at};
        if (name)
            item.sourceName = QString(name);
        return item;
    };
    const ClipItemList items{from("org.a", "A", 3), from("org.b", nullptr, 5),
                             from("org.a", "A", 9), from("c", "C", 7), ClipItem{}};
    using App = RecentAppsButton::App;
    QCOMPARE(RecentAppsButton::recentApps(items, rest, 10),
             (QList<App>{{"org.a", "A"}, {"org.b", "org.b"}}));
    QCOMPARE(RecentAppsButton::recentApps(items, {}, 2), (QList<App>{{"org.a", "A"}, {"c", "C"}}));
    f.wired.store().record({.hash = "h",
                            .text = u"copied"_qs,
                            .sourceApp = u"org.gnome.Maps"_qs,
                            .sourceName = u"Maps"_qs});
    QMenu* menu = f.window->clipboard()->recentAppsButton()->menu();
    Q_EMIT menu->aboutToShow();
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().constFirst()->text(), u"Maps"_qs);
    menu->actions().constFirst()->trigger();
    QCOMPARE(f.prefs.excludedApps(), rest + QStringList{u"org.gnome.Maps"_qs});
    Q_EMIT menu->aboutToShow();
    QVERIFY(!menu->actions().constFirst()->isEnabled()); // nothing left to offer
}

// Settings the system holds: autostart, the screenshot tools' folder, XTEST.
void TestSettingsWindow::systemSettingsFollowAndActOncePerChange() {
    Fixture f;
    SettingsSwitch* login = f.window->general()->launchAtLoginSwitch();
    login->click();
    QVERIFY(login->isChecked());
    QVERIFY(QFile::exists(f.loginEntry));
    login->click();
    QVERIFY(!login->isChecked());
    QVERIFY(!QFile::exists(f.loginEntry));

    // The system refuses (no autostart folder can be made): the switch snaps back.
    QVERIFY(QDir(f.configHome).removeRecursively());
    QVERIFY(QFile(f.configHome).open(QIODevice::WriteOnly));
    login->click();
    QVERIFY(!login->isChecked());
    QVERIFY(!f.prefs.launchAtLogin());

    f.prefs.setDedicatedFolder(true); // stored earlier: showing the window must not act on it
    f.show(SettingsSection::Screenshots);
    SettingsSwitch* control = f.window->screenshots()->dedicatedFolderSwitch();
    QVERIFY(control->isChecked());
    QVERIFY(f.location->calls.isEmpty());

    QTest::mouseClick(control, Qt::LeftButton);
    QTRY_COMPARE(f.location->calls, QList<bool>{false});
    QVERIFY(!f.prefs.dedicatedFolder());

    // Reopening, switching sections and changes stored elsewhere run nothing.
    f.window->hide();
    f.show(SettingsSection::General);
    f.show(SettingsSection::Screenshots);
    f.prefs.setDedicatedFolder(true);
    QVERIFY(control->isChecked());
    QCOMPARE(f.location->calls, QList<bool>{false});

    QTest::mouseClick(control, Qt::LeftButton);
    QCOMPARE(f.location->calls, (QList<bool>{false, false}));

    f.prefs.setPasteDirectly(true);
    f.show(SettingsSection::Clipboard);
    QLabel* status = f.window->clipboard()->pasteStatus();
    // Why not, in the desktop's words (here: no window system at all).
    QCOMPARE(status->text(), f.window->clipboard()->cannotPasteText());
    QVERIFY(status->text().contains(QStringLiteral("No window system")));
    // Read again when the section comes back into view.
    f.keys->available = true;
    f.show(SettingsSection::General);
    f.show(SettingsSection::Clipboard);
    QCOMPARE(status->text(), ClipboardSection::canPasteText());

    // The watched folder is likewise read when its section is shown.
    f.show(SettingsSection::Screenshots);
    QCOMPARE(f.window->screenshots()->watchedFolderText(), f.location->folder);
}

// On a real X server with a window manager: presented, the window takes the
// keyboard; the tabs switch sections; the window is reused when closed.
void TestSettingsWindow::tabsSelectSectionsAndWindowIsReused() {
    Fixture f;
    SettingsWindow* window = f.window.get();
    window->present();
    QTRY_VERIFY_WITH_TIMEOUT(window->isActiveWindow(), 10000);
    auto* recorder =
        qobject_cast<KeyboardShortcuts::RecorderWidget*>(window->shortcuts()->recorder());
    QVERIFY(recorder);

    // Focus on a control of the section being left: Qt moves it on when the
    // section hides, and it must not land on the recorder and start recording.
    window->general()->launchAtLoginSwitch()->setFocus(Qt::TabFocusReason);
    QVERIFY(window->general()->launchAtLoginSwitch()->hasFocus());
    const auto buttons = window->tabBar()->findChildren<QAbstractButton*>();
    QTest::mouseClick(buttons.at(3), Qt::LeftButton);
    QCOMPARE(window->section(), SettingsSection::Shortcuts);
    QVERIFY(!recorder->isRecording());
    QTest::mouseClick(recorder, Qt::LeftButton); // a click on it does record
    QTRY_VERIFY(recorder->isRecording());
    recorder->clearFocus();
    QTRY_VERIFY(!recorder->isRecording());

    // Closed and shown again: the same section and a half-typed entry are still there.
    buttons.at(2)->click();
    QTest::keyClicks(window->clipboard()->exclusionField(), QStringLiteral("org.half"));
    window->close();
    window->present();
    QVERIFY(window->isVisible());
    QCOMPARE(window->section(), SettingsSection::Clipboard);
    QCOMPARE(window->clipboard()->exclusionField()->text(), QStringLiteral("org.half"));

    // About says what this desktop allows, every row with its reason.
    window->setSection(SettingsSection::About);
    const QList<QLabel*> rows = window->about()->desktopRows();
    QCOMPARE(rows.size(), 5);
    QVERIFY(rows.first()->text().contains(QStringLiteral("Clipboard history — not available")));
    QVERIFY(rows.first()->toolTip().contains(QStringLiteral("no clipboard")));
}

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
