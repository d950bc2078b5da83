#include "helpers/TempPrefs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

namespace {
// The real autostart item, counting how often registration is attempted.
class CountingLoginItem : public XdgAutostartLoginItem {
public:
    using XdgAutostartLoginItem::XdgAutostartLoginItem;
    bool registerItem() override {
        ++registerCalls;
        return XdgAutostartLoginItem::registerItem();
    }
    int registerCalls = 0;
};

bool blockWithFile(const QString& path) {
    QFile blocker(path);
    return blocker.open(QIODevice::WriteOnly);
}
} // namespace

class TestPrefs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaultsStoredValuesAndWrongTypes();
    void everyAssignmentIsWrittenAndNotified();
    void launchAtLoginFollowsTheSystem();
    void appSupportDirIsPrivateAndNeverFails();
};

void TestPrefs::defaultsStoredValuesAndWrongTypes() {
    TempPrefs f;
    QCOMPARE(f.prefs.autoCopyScreenshots(), true);
    QVERIFY(!QFile::exists(f.defaults.path())); // loading never writes back

    f.prefs.setAutoCopyScreenshots(false);
    f.prefs.setExcludedApps({});
    f.defaults.setObject(QStringLiteral("maxItems"), QStringLiteral("20"));
    f.defaults.setObject(QStringLiteral("clipEnabled"), QStringLiteral("false"));
    f.defaults.setObject(QStringLiteral("sound"), QStringLiteral("YES"));
    f.defaults.setObject(QStringLiteral("maxDays"), 7.5);
    // Read again as after a relaunch.
    JsonDefaultsStore store(f.defaults.path());
    Prefs p(store, f.login);
    QCOMPARE(p.autoCopyScreenshots(), false);
    QCOMPARE(p.excludedApps(), QStringList()); // empty stays empty
    QCOMPARE(p.maxItems(), 500);               // a string is ignored
    QCOMPARE(p.clipboardEnabled(), true);      // typed read: string ignored
    QCOMPARE(p.playSound(), true);             // Boolean lookup converts
    QCOMPARE(p.maxDays(), 30);                 // not an integer
}

// Every assignment is written and announced, an unchanged one too, under the
// keys existing settings files use.
void TestPrefs::everyAssignmentIsWrittenAndNotified() {
    TempPrefs f;
    QSignalSpy notified(&f.prefs, &Prefs::maxItemsChanged);
    QSignalSpy written(&f.defaults, &DefaultsStore::changed);
    f.prefs.setMaxItems(500);
    f.prefs.setMaxItems(500);
    QCOMPARE(notified.count(), 2);
    QCOMPARE(written.count(), 2);
    f.prefs.setPlaySound(true);
    f.prefs.setShowBadge(true);
    f.prefs.setPasteDirectly(true);
    f.prefs.setDedicatedFolder(true);
    f.prefs.setClipboardEnabled(false);
    f.prefs.setMaxDays(7);
    f.prefs.setAutoDeleteDays(365);
    JsonDefaultsStore reread(f.defaults.path());
    for (const char* key : {"sound", "badge", "pasteDirectly", "dedicatedFolder"})
        QCOMPARE(reread.typedBool(QString::fromLatin1(key)), std::optional<bool>(true));
    QCOMPARE(reread.typedBool(QStringLiteral("clipEnabled")), std::optional<bool>(false));
    QCOMPARE(Prefs(reread, f.login).maxDays(), 7);
    QCOMPARE(Prefs(reread, f.login).autoDeleteDays(), 365);
}

void TestPrefs::launchAtLoginFollowsTheSystem() {
    TempPrefs f;
    const QString cfg = f.dir.filePath(QStringLiteral("cfg"));
    CountingLoginItem login(cfg, {f.dir.filePath(QStringLiteral("etc"))},
                            QStringLiteral("quillet"));
    // After a relaunch the value is what the system has, not what was stored
    // (the switch itself is in tst_settingswindow).
    Prefs(f.defaults, login).setLaunchAtLogin(true);
    QVERIFY(!f.defaults.object(QStringLiteral("launchAtLogin")));
    QCOMPARE(Prefs(f.defaults, login).launchAtLogin(), true);
    QVERIFY(login.unregisterItem());
    QCOMPARE(Prefs(f.defaults, login).launchAtLogin(), false);

    // The system refuses: the switch snaps back and no second attempt is made.
    QVERIFY(QDir(cfg).removeRecursively());
    QVERIFY(blockWithFile(cfg));
    Prefs p(f.defaults, login);
    QSignalSpy spy(&p, &Prefs::launchAtLoginChanged);
    login.registerCalls = 0;
    p.setLaunchAtLogin(true);
    QCOMPARE(p.launchAtLogin(), false);
    QCOMPARE(login.registerCalls, 1);
    QCOMPARE(spy.count(), 2);
}

void TestPrefs::appSupportDirIsPrivateAndNeverFails() {
    const QString first = Prefs::appSupportDir();
    QVERIFY(first.endsWith(QLatin1String("/Quillet")));
    QVERIFY(QFileInfo(first).isDir());
    QCOMPARE(QFileInfo(first).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
             QFileDevice::Permissions());

    // A data folder that cannot be created: the path is still returned.
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    TempPrefs f;
    QVERIFY(blockWithFile(f.dir.filePath(QStringLiteral("data"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(f.dir.filePath(QStringLiteral("data"))));
    QCOMPARE(Prefs::appSupportDir(), f.dir.filePath(QStringLiteral("data/Quillet")));
    qputenv("XDG_DATA_HOME", saved);
}

QTEST_GUILESS_MAIN(TestPrefs)
#include "tst_prefs.moc"
