#include "platform/freedesktop/DesktopEntryFile.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {
void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

class TestAutostart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Switching on and off, and the refusal, are checked through the settings in tst_prefs.
    void userAndSystemEntries();
    void entryValues_data();
    void entryValues();
};

void TestAutostart::userAndSystemEntries() {
    QTemporaryDir home;
    XdgAutostartLoginItem item(home.filePath(QStringLiteral("config")),
                               {home.filePath(QStringLiteral("etc"))},
                               QStringLiteral("/opt/My Apps/quillet"));
    QVERIFY(item.registerItem());
    QFile f(item.userEntryPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray entry = f.readAll();
    QVERIFY(entry.startsWith("[Desktop Entry]\n"));
    // A path with a space is quoted so the session starts the right program.
    QVERIFY(entry.contains("Exec=\"/opt/My Apps/quillet\"\n"));
    QVERIFY(item.unregisterItem());
    QVERIFY(item.unregisterItem()); // nothing to remove is not a failure

    // A user entry that the desktop's own settings switched off is not enabled.
    writeFile(item.userEntryPath(),
              "[Desktop Entry]\nExec=quillet\nX-GNOME-Autostart-enabled=false\n");
    QCOMPARE(item.status(), LoginItem::Status::NotRegistered);

    // The system's entry is hidden by one of the user's, never deleted.
    QVERIFY(QFile::remove(item.userEntryPath()));
    const QString system = home.filePath(QStringLiteral("etc/autostart/quillet.desktop"));
    writeFile(system, "[Desktop Entry]\nType=Application\nExec=quillet\n");
    QCOMPARE(item.status(), LoginItem::Status::Enabled);
    QVERIFY(item.unregisterItem());
    QVERIFY(QFile::exists(system));
    QCOMPARE(item.status(), LoginItem::Status::NotRegistered);
    QVERIFY(item.registerItem());
    QCOMPARE(item.status(), LoginItem::Status::Enabled);
}

// The reader behind the autostart, application and thumbnailer entries.
void TestAutostart::entryValues_data() {
    QTest::addColumn<QByteArray>("body"); // after [Desktop Entry]
    QTest::addColumn<QString>("read");    // string, list, bool, or a locale
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected"); // lists joined with |; "-" for nothing
    const QByteArray names =
        "Name=Plain\nName[de_DE]=DE\nName[de]=Deutsch\nName[sr@latin]=Srpski\n";
    QTest::newRow("escapes") << QByteArray("Comment= a\\sb\\nc\\\\d\\t ") << "string"
                             << "Comment"
                             << "a b\nc\\d\t";
    QTest::newRow("locale with encoding") << names << "de_DE.UTF-8"
                                          << "Name"
                                          << "DE";
    QTest::newRow("language of a locale") << names << "de_AT"
                                          << "Name"
                                          << "Deutsch";
    QTest::newRow("modifier") << names << "sr_RS@latin"
                              << "Name"
                              << "Srpski";
    QTest::newRow("no translation") << names << "fr_FR"
                                    << "Name"
                                    << "Plain";
    QTest::newRow("list") << QByteArray("Keywords=a;b\\;c;;d;") << "list"
                          << "Keywords"
                          << "a|b;c|d";
    QTest::newRow("bool, any case") << QByteArray("Hidden=True") << "bool"
                                    << "Hidden"
                                    << "true";
    QTest::newRow("not a bool") << QByteArray("Hidden=yes") << "bool"
                                << "Hidden"
                                << "-";
    QTest::newRow("first assignment, not comments")
        << QByteArray("# Icon=c\nIcon=first\nIcon=second") << "string"
        << "Icon"
        << "first";
    QTest::newRow("other group") << QByteArray("Type=Application\n[Desktop Action x]\nName=No")
                                 << "string"
                                 << "Name"
                                 << "-";
}

void TestAutostart::entryValues() {
    QFETCH(QByteArray, body);
    QFETCH(QString, read);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const auto file = DesktopEntryFile::parse("Name=before any group\n[Desktop Entry]\n" + body);
    const QString group = QStringLiteral("Desktop Entry");
    std::optional<QString> got;
    if (read == QLatin1String("string")) {
        got = file.string(group, key);
    } else if (read == QLatin1String("list")) {
        got = file.stringList(group, key).join(u'|');
    } else if (read == QLatin1String("bool")) {
        if (const auto b = file.boolean(group, key))
            got = *b ? QStringLiteral("true") : QStringLiteral("false");
    } else {
        got = file.localeString(group, key, read);
    }
    QCOMPARE(got.value_or(QStringLiteral("-")), expected);
}

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
