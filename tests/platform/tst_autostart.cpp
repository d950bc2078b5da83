#include "TestFiles.h"

#include "platform/freedesktop/DesktopEntryFile.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"

#include <QTemporaryDir>

class TestAutostart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Switching on and off, and the refusal, are checked through the settings in tst_prefs.
    void userAndSystemEntriesAndTheirReader();
};

void TestAutostart::userAndSystemEntriesAndTheirReader() {
    QTemporaryDir home;
    XdgAutostartLoginItem item(home.filePath(QStringLiteral("config")),
                               {home.filePath(QStringLiteral("etc"))},
                               QStringLiteral("/opt/My Apps/quillet"));
    QVERIFY(item.registerItem());
    const QByteArray entry = readAll(item.userEntryPath());
    QVERIFY(entry.startsWith("[Desktop Entry]\n"));
    // A path with a space is quoted so the session starts the right program.
    QVERIFY(entry.contains("Exec=\"/opt/My Apps/quillet\"\n"));
    // Run from elsewhere (installed, or a build), the enabled entry follows the program;
    // one that names it already is left as it is.
    XdgAutostartLoginItem moved(home.filePath(QStringLiteral("config")), {},
                                QStringLiteral("/usr/bin/quillet"));
    moved.followExecutable();
    QVERIFY(readAll(item.userEntryPath()).contains("Exec=/usr/bin/quillet\n"));
    const QDateTime written = QFileInfo(item.userEntryPath()).lastModified();
    moved.followExecutable();
    QCOMPARE(QFileInfo(item.userEntryPath()).lastModified(), written);
    QVERIFY(item.unregisterItem());
    QVERIFY(item.unregisterItem()); // nothing to remove is not a failure

    // A user entry that the desktop's own settings switched off is not enabled.
    writeFile(item.userEntryPath(),
              "[Desktop Entry]\nExec=quillet\nX-GNOME-Autostart-enabled=false\n");
    QCOMPARE(item.status(), LoginItem::Status::NotRegistered);
    moved.followExecutable(); // switched off stays off, and untouched
    QVERIFY(readAll(item.userEntryPath()).contains("Exec=quillet\n"));

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

    // The reader behind the autostart, application and thumbnailer entries.
    const auto file = DesktopEntryFile::parse(
        "Name=before any group\n[Desktop Entry]\nComment= a\\sb\\nc\\\\d\\t \n"
        "Name=Plain\nName[de_DE]=DE\nName[de]=Deutsch\nName[sr@latin]=Srpski\n"
        "Keywords=a;b\\;c;;d;\nHidden=True\nNoDisplay=yes\n# Icon=c\nIcon=first\nIcon=second\n"
        "[Desktop Action x]\nExec=other group\n");
    const QString group = QStringLiteral("Desktop Entry");
    QCOMPARE(file.string(group, u"Comment"_qs), u"a b\nc\\d\t"_qs);
    QCOMPARE(file.localeString(group, u"Name"_qs, u"de_DE.UTF-8"_qs), u"DE"_qs);
    QCOMPARE(file.localeString(group, u"Name"_qs, u"de_AT"_qs), u"Deutsch"_qs);
    QCOMPARE(file.localeString(group, u"Name"_qs, u"sr_RS@latin"_qs), u"Srpski"_qs);
    QCOMPARE(file.localeString(group, u"Name"_qs, u"fr_FR"_qs), u"Plain"_qs);
    QCOMPARE(file.stringList(group, u"Keywords"_qs), QStringList({"a", "b;c", "d"}));
    QCOMPARE(file.boolean(group, u"Hidden"_qs), std::optional(true)); // any case
    QCOMPARE(file.boolean(group, u"NoDisplay"_qs), std::nullopt);
    QCOMPARE(file.string(group, u"Icon"_qs), u"first"_qs); // the first, and no comment
    QCOMPARE(file.string(group, u"Exec"_qs), std::nullopt);
}

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
