#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "settings/JsonDefaultsStore.h"
#include "settings/Prefs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>
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
} // namespace

class TestPrefs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void freshUserGetsDefaults();
    void storedValuesAndWrongTypes();
    void everyAssignmentIsWrittenAndNotified();
    void launchAtLoginFollowsTheSystem();
    void appSupportDirIsPrivateAndNeverFails();
};

void TestPrefs::freshUserGetsDefaults() {
    QTemporaryDir dir;
    JsonDefaultsStore store(dir.filePath(QStringLiteral("d.json")));
    XdgAutostartLoginItem login(dir.filePath(QStringLiteral("cfg")),
                                {dir.filePath(QStringLiteral("etc"))}, QStringLiteral("quillet"));
    Prefs p(store, login);
    QCOMPARE(p.autoCopyScreenshots(), true);
    QCOMPARE(p.playSound(), false);
    QCOMPARE(p.showBadge(), false);
    QCOMPARE(p.clipboardEnabled(), true);
    QCOMPARE(p.maxItems(), 500);
    QCOMPARE(p.maxDays(), 30);
    QCOMPARE(p.excludedApps(),
             (QStringList{QStringLiteral("1password"), QStringLiteral("com.bitwarden.desktop"),
                          QStringLiteral("bitwarden"),
                          QStringLiteral("org.gnome.seahorse.Application")}));
    QCOMPARE(p.pasteDirectly(), false);
    QCOMPARE(p.dedicatedFolder(), false);
    QCOMPARE(p.autoDeleteDays(), 0);
    QCOMPARE(p.launchAtLogin(), false);
    // Loading never writes back.
    QVERIFY(!QFile::exists(store.path()));
}

void TestPrefs::storedValuesAndWrongTypes() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.json"));
    XdgAutostartLoginItem login(dir.filePath(QStringLiteral("cfg")),
                                {dir.filePath(QStringLiteral("etc"))}, QStringLiteral("quillet"));
    {
        JsonDefaultsStore store(path);
        Prefs p(store, login);
        p.setAutoCopyScreenshots(false);
        p.setExcludedApps({});
        p.setAutoDeleteDays(365);
        store.setObject(QStringLiteral("maxItems"), QStringLiteral("20"));
        store.setObject(QStringLiteral("clipEnabled"), QStringLiteral("false"));
        store.setObject(QStringLiteral("sound"), QStringLiteral("YES"));
        store.setObject(QStringLiteral("maxDays"), 7.5);
    }
    {
        JsonDefaultsStore store(path);
        Prefs p(store, login);
        QCOMPARE(p.autoCopyScreenshots(), false);  // survives a relaunch
        QCOMPARE(p.excludedApps(), QStringList()); // empty stays empty
        QCOMPARE(p.autoDeleteDays(), 365);
        QCOMPARE(p.maxItems(), 500);          // a string is ignored
        QCOMPARE(p.clipboardEnabled(), true); // typed read: string ignored
        QCOMPARE(p.playSound(), true);        // Boolean lookup converts
        QCOMPARE(p.maxDays(), 30);            // not an integer
        store.removeObject(QStringLiteral("autoCopy"));
    }
    JsonDefaultsStore store(path);
    QCOMPARE(Prefs(store, login).autoCopyScreenshots(), true);
}

void TestPrefs::everyAssignmentIsWrittenAndNotified() {
    QTemporaryDir dir;
    JsonDefaultsStore store(dir.filePath(QStringLiteral("d.json")));
    XdgAutostartLoginItem login(dir.filePath(QStringLiteral("cfg")),
                                {dir.filePath(QStringLiteral("etc"))}, QStringLiteral("quillet"));
    Prefs p(store, login);
    QSignalSpy notified(&p, &Prefs::maxItemsChanged);
    QSignalSpy written(&store, &DefaultsStore::changed);
    p.setMaxItems(500);
    p.setMaxItems(500);
    QCOMPARE(notified.count(), 2);
    QCOMPARE(written.count(), 2);
    QCOMPARE(store.typedInteger(QStringLiteral("maxItems")), std::optional<qint64>(500));
    p.setPlaySound(true);
    p.setShowBadge(true);
    p.setPasteDirectly(true);
    p.setDedicatedFolder(true);
    p.setClipboardEnabled(false);
    p.setMaxDays(7);
    JsonDefaultsStore reread(store.path());
    for (const char* key : {"sound", "badge", "pasteDirectly", "dedicatedFolder"})
        QCOMPARE(reread.typedBool(QString::fromLatin1(key)), std::optional<bool>(true));
    QCOMPARE(reread.typedBool(QStringLiteral("clipEnabled")), std::optional<bool>(false));
    QCOMPARE(reread.typedInteger(QStringLiteral("maxDays")), std::optional<qint64>(7));
}

void TestPrefs::launchAtLoginFollowsTheSystem() {
    QTemporaryDir dir;
    JsonDefaultsStore store(dir.filePath(QStringLiteral("d.json")));
    const QString cfg = dir.filePath(QStringLiteral("cfg"));
    CountingLoginItem login(cfg, {dir.filePath(QStringLiteral("etc"))}, QStringLiteral("quillet"));
    {
        Prefs p(store, login);
        p.setLaunchAtLogin(true);
        QCOMPARE(p.launchAtLogin(), true);
        QVERIFY(QFile::exists(login.userEntryPath()));
    }
    // After a relaunch the value is what the system has, not what was stored.
    QVERIFY(!store.object(QStringLiteral("launchAtLogin")));
    QCOMPARE(Prefs(store, login).launchAtLogin(), true);
    QVERIFY(login.unregisterItem());
    QCOMPARE(Prefs(store, login).launchAtLogin(), false);

    // The system refuses: the switch snaps back and no second attempt is made.
    QVERIFY(QDir(cfg).removeRecursively());
    QFile blocker(cfg);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Prefs p(store, login);
    QSignalSpy spy(&p, &Prefs::launchAtLoginChanged);
    login.registerCalls = 0;
    p.setLaunchAtLogin(true);
    QCOMPARE(p.launchAtLogin(), false);
    QCOMPARE(login.registerCalls, 1);
    QCOMPARE(spy.count(), 2);
}

void TestPrefs::appSupportDirIsPrivateAndNeverFails() {
    const QString first = Prefs::appSupportDir();
    QCOMPARE(first, Prefs::appSupportDir());
    QVERIFY(first.endsWith(QLatin1String("/Quillet")));
    QVERIFY(QFileInfo(first).isDir());
    QCOMPARE(QFileInfo(first).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
             QFileDevice::Permissions());

    // A data folder that cannot be created: the path is still returned.
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("data")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
    QCOMPARE(Prefs::appSupportDir(), dir.filePath(QStringLiteral("data/Quillet")));
    qputenv("XDG_DATA_HOME", saved);
}

QTEST_GUILESS_MAIN(TestPrefs)
#include "tst_prefs.moc"
