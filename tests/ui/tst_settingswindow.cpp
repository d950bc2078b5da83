#include "helpers/WiredServices.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "settings/JsonDefaultsStore.h"
#include "ui/settings/AboutSection.h"
#include "ui/settings/ClipboardSection.h"
#include "ui/settings/GeneralSection.h"
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
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {
// The screenshot tools' save location as the window changes it. A stand-in:
// the real one edits the tools' own configuration, tested on its own.
struct RecordingLocation : ScreenshotLocation {
    QString* folder;
    QList<bool>* calls;
    Folder resolve() const override {
        return {*folder, QStringLiteral("from Spectacle's settings")};
    }
    QString dedicatedFolder() const override { return *folder; }
    void write(const QString&) override { calls->append(true); }
    void restore() override { calls->append(false); }
};

// Whether synthesised keys reach other windows, switched by the test.
struct SwitchableKeystroke : PasteKeystroke {
    bool* available;
    bool isAvailable() const override { return *available; }
    void rememberActiveWindow() override {}
    void sendPaste() override {}
};

// The window over the wired services on the null platform, with an autostart
// folder of its own and the two stand-ins above.
struct Fixture {
    QTemporaryDir home;
    QString configHome = home.filePath(QStringLiteral("config"));
    QList<bool> dedicatedFolderCalls;
    QString folder = home.filePath(QStringLiteral("Screenshots"));
    bool canPaste = false;
    WiredServices wired{QStringLiteral("null"), [this](Platform& p, DefaultsStore&) {
                            p.loginItem = std::make_unique<XdgAutostartLoginItem>(
                                configHome, QStringList{home.filePath(QStringLiteral("etc"))},
                                QStringLiteral("quillet"));
                            auto location = std::make_unique<RecordingLocation>();
                            location->folder = &folder;
                            location->calls = &dedicatedFolderCalls;
                            p.screenshotLocation = std::move(location);
                            auto keys = std::make_unique<SwitchableKeystroke>();
                            keys->available = &canPaste;
                            p.pasteKeystroke = std::move(keys);
                        }};
    Prefs& prefs = wired.prefs();
    XdgAutostartLoginItem& login =
        static_cast<XdgAutostartLoginItem&>(*wired.services.platform().loginItem);
    std::unique_ptr<SettingsWindow> window = std::make_unique<SettingsWindow>(wired.ui);

    // What a new process would read from the defaults file.
    QJsonValue stored(const QString& key) const {
        return JsonDefaultsStore(wired.dir.filePath(QStringLiteral("defaults.json")))
            .object(key)
            .value_or(QJsonValue());
    }

    void show(SettingsSection section) {
        window->setSection(section);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
};

// Picks a menu entry the way the keyboard does, so the menu's own "activated" path runs.
void choose(SettingsMenu* menu, const QString& label) {
    const int index = menu->findText(label);
    QVERIFY2(index >= 0, qPrintable(label));
    const bool fromAbove = index > 0;
    menu->setCurrentIndex(fromAbove ? index - 1 : index + 1);
    QTest::keyClick(menu, fromAbove ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(menu->currentIndex(), index);
}

SettingsSwitch* switchNamed(const Fixture& f, const QString& name) {
    if (name == QLatin1String("badge"))
        return f.window->general()->badgeSwitch();
    if (name == QLatin1String("sound"))
        return f.window->general()->soundSwitch();
    if (name == QLatin1String("autoCopy"))
        return f.window->screenshots()->autoCopySwitch();
    if (name == QLatin1String("clipEnabled"))
        return f.window->clipboard()->historySwitch();
    if (name == QLatin1String("pasteDirectly"))
        return f.window->clipboard()->pasteDirectlySwitch();
    return nullptr;
}

SettingsMenu* menuNamed(const Fixture& f, const QString& name) {
    if (name == QLatin1String("maxItems"))
        return f.window->clipboard()->maxItemsMenu();
    if (name == QLatin1String("maxDays"))
        return f.window->clipboard()->maxDaysMenu();
    return f.window->screenshots()->autoDeleteMenu();
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
    void switchesStoreAndFollow_data();
    void switchesStoreAndFollow();
    void menusStoreTheirValues_data();
    void menusStoreTheirValues();
    void launchAtLoginFollowsTheSystem();
    void exclusionsAddTrimmedOnceAndRemoveEveryCopy();
    void dedicatedFolderSwitchRunsOncePerChange();
    void pasteStatusFollowsXtest();
    void aboutChecksForUpdates();
    void tabsSelectSectionsAndWindowIsReused();
};

void TestSettingsWindow::switchesStoreAndFollow_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<bool>("initial");
    QTest::newRow("badge") << "badge" << QByteArray("showBadge") << false;
    QTest::newRow("sound") << "sound" << QByteArray("playSound") << false;
    QTest::newRow("autoCopy") << "autoCopy" << QByteArray("autoCopyScreenshots") << true;
    QTest::newRow("clipEnabled") << "clipEnabled" << QByteArray("clipboardEnabled") << true;
    QTest::newRow("pasteDirectly") << "pasteDirectly" << QByteArray("pasteDirectly") << false;
}

void TestSettingsWindow::switchesStoreAndFollow() {
    QFETCH(QString, key);
    QFETCH(QByteArray, property);
    QFETCH(bool, initial);
    Fixture f;
    SettingsSwitch* control = switchNamed(f, key);
    QVERIFY(control);
    QCOMPARE(control->isChecked(), initial);

    control->click();
    QCOMPARE(f.prefs.property(property).toBool(), !initial);
    QCOMPARE(f.stored(key), QJsonValue(!initial));

    // A change made elsewhere shows up at once.
    f.prefs.setProperty(property, initial);
    QCOMPARE(control->isChecked(), initial);
    QCOMPARE(f.stored(key), QJsonValue(initial));
}

void TestSettingsWindow::menusStoreTheirValues_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("label");
    QTest::addColumn<qint64>("value");
    QTest::newRow("1 year is 365 days") << "maxDays"
                                        << "1 year" << qint64(365);
    QTest::newRow("2000 items") << "maxItems"
                                << "2000 items" << qint64(2000);
    QTest::newRow("auto-delete never") << "autoDeleteDays"
                                       << "Never" << qint64(0);
}

void TestSettingsWindow::menusStoreTheirValues() {
    QFETCH(QString, key);
    QFETCH(QString, label);
    QFETCH(qint64, value);
    Fixture f;
    SettingsMenu* menu = menuNamed(f, key);
    const QByteArray property = key.toLatin1();
    // Start away from the entry so that choosing it is a change.
    f.prefs.setProperty(property, value == 0 ? 30 : 7);
    choose(menu, label);
    QCOMPARE(f.prefs.property(property).toLongLong(), value);
    QCOMPARE(f.stored(key).toInteger(), value);

    // A stored value the menu does not offer selects nothing rather than a wrong entry.
    f.prefs.setProperty(property, 20);
    QCOMPARE(menu->currentIndex(), -1);
    f.prefs.setProperty(property, value);
    QCOMPARE(menu->currentText(), label);
}

void TestSettingsWindow::launchAtLoginFollowsTheSystem() {
    Fixture f;
    SettingsSwitch* control = f.window->general()->launchAtLoginSwitch();
    QVERIFY(!control->isChecked());
    control->click();
    QVERIFY(control->isChecked());
    QVERIFY(QFile::exists(f.login.userEntryPath()));
    control->click();
    QVERIFY(!control->isChecked());
    QVERIFY(!QFile::exists(f.login.userEntryPath()));

    // The system refuses (no autostart folder can be made): the switch snaps back.
    QVERIFY(QDir(f.configHome).removeRecursively());
    QFile blocker(f.configHome);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    control->click();
    QVERIFY(!control->isChecked());
    QVERIFY(!f.prefs.launchAtLogin());
}

void TestSettingsWindow::exclusionsAddTrimmedOnceAndRemoveEveryCopy() {
    Fixture f;
    f.prefs.setExcludedApps({QStringLiteral("bitwarden")});
    f.show(SettingsSection::Clipboard);
    QLineEdit* field = f.window->clipboard()->exclusionField();

    QTest::keyClicks(field, QStringLiteral(" \t com.example.app  "));
    QTest::keyClick(field, Qt::Key_Return);
    const QStringList expected{QStringLiteral("bitwarden"), QStringLiteral("com.example.app")};
    QCOMPARE(f.prefs.excludedApps(), expected);
    QCOMPARE(f.stored(QStringLiteral("excludedApps")).toVariant().toStringList(), expected);
    QCOMPARE(field->text(), QString());
    QTRY_COMPARE(shownExclusions(f), expected);

    // A duplicate or an empty entry only clears the field; case counts.
    for (const QString& typed : {QStringLiteral("com.example.app"), QStringLiteral("   ")}) {
        QTest::keyClicks(field, typed);
        f.window->clipboard()->addButton()->click();
        QCOMPARE(f.prefs.excludedApps(), expected);
        QCOMPARE(field->text(), QString());
    }
    QTest::keyClicks(field, QStringLiteral("Com.Example.App"));
    QTest::keyClick(field, Qt::Key_Enter);
    QCOMPARE(f.prefs.excludedApps().size(), 3);
    QCOMPARE(f.prefs.excludedApps().last(), QStringLiteral("Com.Example.App"));

    // Duplicates can come from the store even though the window never adds
    // one: removing one line removes them all.
    f.prefs.setExcludedApps(
        {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("c")});
    QTRY_COMPARE(shownExclusions(f).size(), 4);
    QWidget* firstA = nullptr;
    for (QWidget* line : f.window->clipboard()->findChildren<QWidget*>(QStringLiteral("exclusion")))
        if (line->property("identifier") == QStringLiteral("a") && !firstA)
            firstA = line;
    QVERIFY(firstA);
    auto* remove = firstA->findChild<QToolButton*>(QStringLiteral("remove"));
    QVERIFY(remove);
    QTest::mouseClick(remove, Qt::LeftButton);

    const QStringList rest{QStringLiteral("b"), QStringLiteral("c")};
    QCOMPARE(f.prefs.excludedApps(), rest);
    QCOMPARE(f.stored(QStringLiteral("excludedApps")).toVariant().toStringList(), rest);
    QTRY_COMPARE(shownExclusions(f), rest);
}

void TestSettingsWindow::dedicatedFolderSwitchRunsOncePerChange() {
    Fixture f;
    f.prefs.setDedicatedFolder(true); // stored earlier: showing the window must not act on it
    f.show(SettingsSection::Screenshots);
    SettingsSwitch* control = f.window->screenshots()->dedicatedFolderSwitch();
    QVERIFY(control->isChecked());
    QVERIFY(f.dedicatedFolderCalls.isEmpty());

    QTest::mouseClick(control, Qt::LeftButton);
    QTRY_COMPARE(f.dedicatedFolderCalls, QList<bool>{false});
    QCOMPARE(f.stored(QStringLiteral("dedicatedFolder")), QJsonValue(false));

    // Reopening, switching sections and changes stored elsewhere run nothing.
    f.window->hide();
    f.show(SettingsSection::General);
    f.show(SettingsSection::Screenshots);
    f.prefs.setDedicatedFolder(true);
    QVERIFY(control->isChecked());
    QCOMPARE(f.dedicatedFolderCalls, QList<bool>{false});

    QTest::mouseClick(control, Qt::LeftButton);
    QCOMPARE(f.dedicatedFolderCalls, (QList<bool>{false, false}));
}

void TestSettingsWindow::pasteStatusFollowsXtest() {
    Fixture f;
    f.prefs.setPasteDirectly(true);
    f.show(SettingsSection::Clipboard);
    QLabel* status = f.window->clipboard()->pasteStatus();
    QCOMPARE(status->text(), ClipboardSection::cannotPasteText());
    // Nothing on Linux grants XTEST, so there is no settings page to send the user to.
    for (QAbstractButton* button : f.window->findChildren<QAbstractButton*>())
        QVERIFY2(!button->text().contains(QLatin1String("Settings")), qPrintable(button->text()));

    // Read again when the section comes back into view, not polled.
    f.canPaste = true;
    QCOMPARE(status->text(), ClipboardSection::cannotPasteText());
    f.show(SettingsSection::General);
    f.show(SettingsSection::Clipboard);
    QCOMPARE(status->text(), ClipboardSection::canPasteText());

    // The watched folder is likewise read when its section is shown.
    f.show(SettingsSection::Screenshots);
    QCOMPARE(f.window->screenshots()->watchedFolderText(), f.folder);
    QCOMPARE(f.window->screenshots()->watchedFolderOriginText(),
             QStringLiteral("from Spectacle's settings"));
}

void TestSettingsWindow::aboutChecksForUpdates() {
    Fixture f;
    f.show(SettingsSection::About);
    QSignalSpy checks(f.window.get(), &SettingsWindow::checkForUpdatesRequested);
    QTest::mouseClick(f.window->about()->checkForUpdatesButton(), Qt::LeftButton);
    QCOMPARE(checks.size(), 1);
    // The link's label is the address without its scheme; no address, no link.
    const QUrl page = AboutSection::homePage();
    QCOMPARE(f.window->about()->link()->isVisibleTo(f.window.get()), !page.isEmpty());
    if (!page.isEmpty()) {
        QVERIFY(f.window->about()->link()->text().contains(QLatin1String(">") + page.host()));
        QVERIFY(!f.window->about()->link()->text().contains(QLatin1String(">https:")));
    }
}

void TestSettingsWindow::tabsSelectSectionsAndWindowIsReused() {
    Fixture f;
    SettingsWindow* window = f.window.get();
    window->present();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->section(), SettingsSection::General);
    const auto buttons = window->tabBar()->findChildren<QAbstractButton*>();
    QTest::mouseClick(buttons.at(3), Qt::LeftButton);
    QCOMPARE(window->section(), SettingsSection::Shortcuts);
    QCOMPARE(window->heading()->text(), QStringLiteral("SHORTCUTS"));
    QVERIFY(window->shortcuts()->isVisible());
    QVERIFY(!window->general()->isVisible());
    QVERIFY(buttons.at(3)->isChecked() && !buttons.at(0)->isChecked());

    // Closed and shown again: the same section and a half-typed entry are still there.
    buttons.at(2)->click();
    QTest::keyClicks(window->clipboard()->exclusionField(), QStringLiteral("org.half"));
    window->close();
    QVERIFY(!window->isVisible());

    window->present();
    QVERIFY(window->isVisible());
    QCOMPARE(window->section(), SettingsSection::Clipboard);
    QCOMPARE(window->clipboard()->exclusionField()->text(), QStringLiteral("org.half"));
}

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
