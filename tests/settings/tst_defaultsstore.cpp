#include "settings/JsonDefaultsStore.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

class TestDefaultsStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typesSurviveANewProcess();
    void boolForKeyConversions_data();
    void boolForKeyConversions();
    void badFilesLoseNothing();
};

void TestDefaultsStore::typesSurviveANewProcess() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quillet/defaults.json"));
    {
        JsonDefaultsStore store(path);
        store.setBool(QStringLiteral("b"), false);
        store.setInteger(QStringLiteral("i"), 365);
        store.setObject(QStringLiteral("s"), QStringLiteral("500"));
        store.setObject(QStringLiteral("l"), QJsonArray());
        store.setObject(QStringLiteral("gone"), true);
        store.removeObject(QStringLiteral("gone"));
    }
    // A second instance reads the file as a new process would.
    JsonDefaultsStore store(path);
    QCOMPARE(store.typedBool(QStringLiteral("b")), std::optional<bool>(false));
    QCOMPARE(store.typedInteger(QStringLiteral("i")), std::optional<qint64>(365));
    QCOMPARE(store.typedInteger(QStringLiteral("s")), std::nullopt);
    QCOMPARE(store.typedString(QStringLiteral("s")), std::optional<QString>(QStringLiteral("500")));
    QCOMPARE(store.typedStringList(QStringLiteral("l")), std::optional<QStringList>(QStringList{}));
    QVERIFY(!store.object(QStringLiteral("gone")));
    QVERIFY(!store.typedBool(QStringLiteral("i")));
    // The file holds what the user copied around; nobody else may read it.
    QCOMPARE(QFileInfo(path).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
             QFileDevice::Permissions());
}

void TestDefaultsStore::boolForKeyConversions_data() {
    QTest::addColumn<QJsonValue>("stored");
    QTest::addColumn<bool>("expected");
    QTest::newRow("number 2") << QJsonValue(2) << true;
    QTest::newRow("YES") << QJsonValue(QStringLiteral("YES")) << true;
    QTest::newRow("  true") << QJsonValue(QStringLiteral("  true")) << true;
    QTest::newRow("007") << QJsonValue(QStringLiteral("007")) << true;
    QTest::newRow("000") << QJsonValue(QStringLiteral("000")) << false;
    QTest::newRow("array") << QJsonValue(QJsonArray{true}) << false;
}

void TestDefaultsStore::boolForKeyConversions() {
    QFETCH(QJsonValue, stored);
    QFETCH(bool, expected);
    QTemporaryDir dir;
    JsonDefaultsStore store(dir.filePath(QStringLiteral("d.json")));
    QVERIFY(!store.boolForKey(QStringLiteral("k")));
    store.setObject(QStringLiteral("k"), stored);
    QCOMPARE(store.boolForKey(QStringLiteral("k")), expected);
}

// A damaged file is kept aside and a fresh one started; a file that cannot be
// written keeps the values in memory.
void TestDefaultsStore::badFilesLoseNothing() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.json"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("{\"maxItems\": 20, \"trunc") == 23);
    f.close();
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
}

QTEST_GUILESS_MAIN(TestDefaultsStore)
#include "tst_defaultsstore.moc"
