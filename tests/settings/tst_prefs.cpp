#include "helpers/TempPrefs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
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

bool isPrivate(const QString& path) {
    return !(QFileInfo(path).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup));
}
} // namespace

// The settings file and the preferences over it, on real files.
class TestPrefs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void storedUnderTheKeysOfExistingFiles();
    void badFilesLoseNothing();
    void launchAtLoginFollowsTheSystem();
};

// Every assignment is written and announced, an unchanged one too, under the
// keys existing settings files use, in a file nobody else may read; values of
// the wrong type are ignored.
void TestPrefs::storedUnderTheKeysOfExistingFiles() {
    TempPrefs f;
    QCOMPARE(f.prefs.autoCopyScreenshots(), true);
    QVERIFY(!QFile::exists(f.defaults.path())); // loading never writes back
    QSignalSpy notified(&f.prefs, &Prefs::maxItemsChanged);
    QSignalSpy written(&f.defaults, &DefaultsStore::changed);
    f.prefs.setMaxItems(500);
    f.prefs.setMaxItems(500);
    QCOMPARE(notified.count(), 2);
    QCOMPARE(written.count(), 2);
    f.prefs.setAutoCopyScreenshots(false);
    f.prefs.setExcludedApps({});
    f.prefs.setShowBadge(true);
    f.prefs.setPasteDirectly(true);
    f.prefs.setDedicatedFolder(true);
    f.prefs.setPlaySound(false);
    f.prefs.setClipboardEnabled(false);
    f.prefs.setMaxDays(7);
    f.prefs.setAutoDeleteDays(365);
    QVERIFY(isPrivate(f.defaults.path()));
    // Read again as after a relaunch.
    JsonDefaultsStore reread(f.defaults.path());
    for (const auto& [key, value] : {std::pair{"badge", true},
                                     {"pasteDirectly", true},
                                     {"dedicatedFolder", true},
                                     {"sound", false},
                                     {"clipEnabled", false}})
        QCOMPARE(reread.typedBool(QString::fromLatin1(key)), std::optional<bool>(value));
    const Prefs p(reread, f.login);
    QCOMPARE(p.autoCopyScreenshots(), false);
    QCOMPARE(p.excludedApps(), QStringList()); // empty stays empty
    QCOMPARE(p.maxDays(), 7);
    QCOMPARE(p.autoDeleteDays(), 365);

    reread.setObject(QStringLiteral("maxItems"), QStringLiteral("20"));
    reread.setObject(QStringLiteral("clipEnabled"), QStringLiteral("false"));
    reread.setObject(QStringLiteral("sound"), QStringLiteral("YES"));
    reread.setObject(QStringLiteral("maxDays"), 7.5);
    const Prefs q(reread, f.login);
    QCOMPARE(q.maxItems(), 500);          // a string is ignored
    QCOMPARE(q.clipboardEnabled(), true); // typed read: string ignored
    QCOMPARE(q.playSound(), true);        // Boolean lookup converts
    QCOMPARE(q.maxDays(), 30);            // not an integer

    // The Boolean lookup converts numbers and strings, and nothing else.
    for (const auto& [stored, expected] : {std::pair{QJsonValue(2), true},
                                           {QJsonValue(QStringLiteral("  true")), true},
                                           {QJsonValue(QStringLiteral("000")), false},
                                           {QJsonValue(QJsonArray{true}), false}}) {
        reread.setObject(QStringLiteral("k"), stored);
        QVERIFY2(reread.boolForKey(QStringLiteral("k")) == expected, qPrintable(stored.toString()));
    }
}

// A damaged file is kept aside and a fresh one started; a file that cannot be
// written keeps the values in memory; a data folder that cannot be made has a path.
void TestPrefs::badFilesLoseNothing() {
    TempPrefs f;
    const QString path = f.defaults.path();
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("{\"maxItems\": 20, \"trunc") == 23);
    file.close();
    JsonDefaultsStore store(path);
    QVERIFY(!store.object(QStringLiteral("maxItems")));
    store.setBool(QStringLiteral("sound"), true);
    QVERIFY(store.lastWriteSucceeded());
    QFile aside(path + QStringLiteral(".damaged"));
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), QByteArray("{\"maxItems\": 20, \"trunc"));
    QCOMPARE(JsonDefaultsStore(path).boolForKey(QStringLiteral("sound")), true);

    // A regular file where the folder should be: the write fails even for root.
    JsonDefaultsStore blocked(path + QStringLiteral("/defaults.json"));
    blocked.setInteger(QStringLiteral("maxDays"), 90);
    QVERIFY(!blocked.lastWriteSucceeded());
    QCOMPARE(blocked.typedInteger(QStringLiteral("maxDays")), std::optional<qint64>(90));

    const QString first = Prefs::appSupportDir();
    QVERIFY(QFileInfo(first).isDir() && isPrivate(first));
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(path));
    QCOMPARE(Prefs::appSupportDir(), path + QStringLiteral("/Quillet"));
    qputenv("XDG_DATA_HOME", saved);
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
    QVERIFY(QFile(cfg).open(QIODevice::WriteOnly));
    Prefs p(f.defaults, login);
    QSignalSpy spy(&p, &Prefs::launchAtLoginChanged);
    login.registerCalls = 0;
    p.setLaunchAtLogin(true);
    QCOMPARE(p.launchAtLogin(), false);
    QCOMPARE(login.registerCalls, 1);
    QCOMPARE(spy.count(), 2);
}

QTEST_GUILESS_MAIN(TestPrefs)
#include "tst_prefs.moc"
