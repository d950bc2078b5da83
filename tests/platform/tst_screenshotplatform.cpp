#include "TestFiles.h"

#include "platform/freedesktop/FreedesktopScreenCaptureProbe.h"
#include "platform/freedesktop/FreedesktopTrash.h"
#include "platform/freedesktop/GnomeScreenshotsName.h"
#include "platform/freedesktop/IniKeyEditor.h"
#include "platform/freedesktop/ToolScreenshotLocation.h"
#include "settings/JsonDefaultsStore.h"

#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {
void writePng(const QString& path, const QString& software) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    QImageWriter writer(path, "png");
    if (!software.isEmpty())
        writer.setText(QStringLiteral("Software"), software);
    QVERIFY(writer.write(image));
}

void gsettings(const QStringList& arguments) {
    QCOMPARE(QProcess::execute(QStringLiteral("gsettings"),
                               QStringList{arguments.first(),
                                           QStringLiteral("org.gnome.gnome-screenshot"),
                                           QStringLiteral("auto-save-directory")} +
                                   arguments.mid(1)),
             0);
}
} // namespace

class TestScreenshotPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void iniEditKeepsEveryOtherByte_data();
    void iniEditKeepsEveryOtherByte();
    void locationFollowsTheSession_data();
    void locationFollowsTheSession();
    void writeAndRestoreEveryPresentTool();
    void probeRecognisesCaptures();
    void trashIsRealAndHonest();
};

void TestScreenshotPlatform::initTestCase() {
    // gnome-screenshot is not installed here: compile its one key into a
    // private schema folder and keep values in a key file, so the real
    // gsettings program answers as it would on a GNOME desktop.
    const QString schemas = QDir::homePath() + QStringLiteral("/schemas");
    writeFile(schemas + QStringLiteral("/org.gnome.gnome-screenshot.gschema.xml"),
              "<schemalist><schema id=\"org.gnome.gnome-screenshot\" "
              "path=\"/org/gnome/gnome-screenshot/\"><key name=\"auto-save-directory\" "
              "type=\"s\"><default>''</default></key></schema></schemalist>");
    QCOMPARE(QProcess::execute(QStringLiteral("glib-compile-schemas"), {schemas}), 0);
    qputenv("GSETTINGS_BACKEND", "keyfile");
    qputenv("GSETTINGS_SCHEMA_DIR", schemas.toLocal8Bit());
}

void TestScreenshotPlatform::iniEditKeepsEveryOtherByte_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("oldValue");

    QTest::newRow("only in its section")
        << QByteArray("[Other]\nsavePath=/keep\n[General]\nsavePath=/old\r\n")
        << QByteArray("[Other]\nsavePath=/keep\n[General]\nsavePath=/new\r\n") << "/old";
    QTest::newRow("added at end of section, CRLF kept")
        << QByteArray("[General]\r\nx=1\r\n\r\n[Next]\r\ny=2")
        << QByteArray("[General]\r\nx=1\r\nsavePath=/new\r\n\r\n[Next]\r\ny=2") << QString();
    QTest::newRow("section created, no final newline")
        << QByteArray("[Next]\ny=2") << QByteArray("[Next]\ny=2\n\n[General]\nsavePath=/new\n")
        << QString();
    QTest::newRow("commented key is not the key")
        << QByteArray("[General]\n#savePath=/c\n")
        << QByteArray("[General]\n#savePath=/c\nsavePath=/new\n") << QString();
}

void TestScreenshotPlatform::iniEditKeepsEveryOtherByte() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QString, oldValue);
    const QString section = QStringLiteral("General");
    const QString key = QStringLiteral("savePath");
    QCOMPARE(IniKeyEditor::value(before, section, key).value_or(QString()), oldValue);
    const QByteArray edited = IniKeyEditor::withValue(before, section, key, QStringLiteral("/new"));
    QCOMPARE(edited, after);
    QCOMPARE(IniKeyEditor::value(edited, section, key), std::optional<QString>(u"/new"_qs));
}

void TestScreenshotPlatform::locationFollowsTheSession_data() {
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QStringList>("tools"); // tools with a folder set, each its own
    QTest::addColumn<QString>("userDirs");  // the Pictures folder they name (German: Bilder)
    QTest::addColumn<QString>("expected");  // "folder | origin": ~ for home, @tool for its folder

    const QStringList all{u"spectacle"_qs, u"xfce"_qs, u"flameshot"_qs, u"gnome-screenshot"_qs};
    QTest::newRow("KDE, nothing set") << "KDE" << QStringList() << "Pictures"
                                      << "~/Pictures | Spectacle's default";
    QTest::newRow("KDE, Spectacle set") << "KDE" << all << "Images"
                                        << "@spectacle | from Spectacle's settings";
    QTest::newRow("XFCE, Screenshooter set") << "XFCE" << all << "Pictures"
                                             << "@xfce | from Xfce Screenshooter's settings";
    QTest::newRow("GNOME in German ignores the tools")
        << "ubuntu:GNOME" << all << "Bilder"
        << "~/Bilder/Bildschirmfotos | GNOME default";
    QTest::newRow("Flashback uses gnome-screenshot")
        << "GNOME-Flashback:GNOME" << QStringList{u"gnome-screenshot"_qs} << "Pictures"
        << "@gnome-screenshot | from gnome-screenshot's settings";
    QTest::newRow("other, Flameshot first") << "" << all << "Pictures"
                                            << "@flameshot | from Flameshot's settings";
    QTest::newRow("other, Flameshot asks")
        << "X-Cinnamon" << QStringList{u"flameshot-asks"_qs, u"spectacle"_qs, u"xfce"_qs}
        << "Bilder"
        << "~/Bilder | Pictures folder (no tool's setting found)";
    QTest::newRow("other, no Pictures folder") << "sway" << QStringList() << "None"
                                               << "~/Bureau | Desktop (no tool's setting found)";
}

void TestScreenshotPlatform::locationFollowsTheSession() {
    QFETCH(QString, desktop);
    QFETCH(QStringList, tools);
    QFETCH(QString, userDirs);
    QFETCH(QString, expected);
    const QString origin = expected.section(u" | "_qs, 1);
    expected = expected.section(u" | "_qs, 0, 0);
    QTemporaryDir tmp;
    const QByteArray root = QFile::encodeName(tmp.path());
    ToolScreenshotLocation location(tmp.filePath(QStringLiteral("cfg")), desktop);
    if (tools.contains(u"spectacle"_qs))
        writeFile(location.spectacleConfig(),
                  "[General]\nx=1\n[Save]\ndefaultSaveLocation=file://" + root + "/spectacle/\n");
    if (tools.contains(u"xfce"_qs))
        writeFile(location.xfceConfig(),
                  "[Preferences]\nscreenshot_dir=file://" + root + "/xfce\n");
    if (tools.contains(u"flameshot"_qs) || tools.contains(u"flameshot-asks"_qs))
        writeFile(location.flameshotConfig(),
                  "[General]\nsavePath=" + root + "/flameshot\nsavePathFixed=" +
                      (tools.contains(u"flameshot"_qs) ? "true" : "false") + "\n");
    if (tools.contains(u"gnome-screenshot"_qs))
        gsettings({u"set"_qs, u"'"_qs + tmp.filePath(u"gnome-screenshot"_qs) + u"'"_qs});
    else
        gsettings({u"reset"_qs});

    // The user's folders as xdg-user-dirs keeps them, and the language GNOME names its folder in.
    const QString home = QDir::homePath();
    const QString dirsFile =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        u"/user-dirs.dirs"_qs;
    QFile::remove(dirsFile);
    const QHash<QString, QByteArray> dirs{
        {u"Images"_qs, "XDG_DESKTOP_DIR=\"$HOME/Desk\"\nXDG_PICTURES_DIR=\"$HOME/Images\"\n"},
        {u"Bilder"_qs,
         "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n"},
        {u"None"_qs, "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\nXDG_PICTURES_DIR=\"$HOME/None\"\n"}};
    if (dirs.contains(userDirs))
        writeFile(dirsFile, "# written by xdg-user-dirs-update\n" + dirs.value(userDirs));
    for (const char* folder : {"Images", "Bilder"})
        QDir(home).mkpath(QLatin1String(folder));
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        qunsetenv(name);
    qputenv("LANG", userDirs == u"Bilder"_qs ? "de_DE.UTF-8" : "en_GB.UTF-8");

    if (expected.startsWith(QLatin1Char('~')))
        expected = home + expected.mid(1);
    else
        expected = tmp.filePath(expected.mid(1));
    const ScreenshotLocation::Folder folder = location.resolve();
    QCOMPARE(folder.path, expected);
    QCOMPARE(folder.origin, origin);
    if (tools == QStringList{u"gnome-screenshot"_qs}) {
        // Asked again with nothing changed, gsettings is not started again
        // (it is the costliest thing Quillet does while idle); a change is seen.
        const QString bin = tmp.filePath(u"bin"_qs), count = tmp.filePath(u"count"_qs);
        writeFile(bin + u"/gsettings"_qs,
                  "#!/bin/sh\necho >>'" + count.toUtf8() + "'\nexec '" +
                      QStandardPaths::findExecutable(u"gsettings"_qs).toUtf8() + "' \"$@\"\n");
        QVERIFY(QFile::setPermissions(bin + u"/gsettings"_qs,
                                      QFileDevice::ExeOwner | QFileDevice::ReadOwner));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin) + ':' + path);
        QCOMPARE(location.resolve().path, expected);
        QVERIFY(!QFile::exists(count));
        gsettings({u"set"_qs, u"'"_qs + tmp.filePath(u"moved"_qs) + u"'"_qs});
        QCOMPARE(location.resolve().path, tmp.filePath(u"moved"_qs));
        qputenv("PATH", path);
    }
    QCOMPARE(folder.toolPlaysSound, origin == u"GNOME default"_qs);
    // The dedicated folder is GNOME's, in every session.
    QCOMPARE(location.dedicatedFolder(),
             home + u'/' + userDirs +
                 (userDirs == u"Bilder"_qs ? u"/Bildschirmfotos"_qs : u"/Screenshots"_qs));
    QFile::remove(dirsFile);
    qunsetenv("LANG");
}

void TestScreenshotPlatform::writeAndRestoreEveryPresentTool() {
    QTemporaryDir tmp;
    const QString cfg = tmp.filePath(QStringLiteral("cfg"));
    JsonDefaultsStore memory(tmp.filePath(QStringLiteral("defaults.json")));
    ToolScreenshotLocation location(cfg, QStringLiteral("KDE"), &memory);
    const QByteArray spectacle =
        "[Save]\ndefaultSaveLocation=file:///old/\n\n[GuiConfig]\nwindow=1\n";
    const QByteArray xfce = "[Preferences]\nscreenshot_dir=/old\nlast_user=\n";
    const QByteArray flameshot = "[General]\r\nsavePath=\"/a, b\"\r\nshowHelp=false\r\n";
    writeFile(location.spectacleConfig(), spectacle);
    writeFile(location.xfceConfig(), xfce);
    writeFile(location.flameshotConfig(), flameshot);
    gsettings({u"reset"_qs});
    const QString target = tmp.filePath(QStringLiteral("My Shots, it's new"));
    location.write(target);

    QCOMPARE(readAll(location.spectacleConfig()), "[Save]\ndefaultSaveLocation=file://" +
                                                      QFile::encodeName(target) +
                                                      "/\n\n[GuiConfig]\nwindow=1\n");
    QCOMPARE(readAll(location.xfceConfig()),
             "[Preferences]\nscreenshot_dir=" + QFile::encodeName(target) + "\nlast_user=\n");
    // A comma needs quotes in a QSettings file, or Flameshot would read a list.
    QCOMPARE(readAll(location.flameshotConfig()),
             "[General]\r\nsavePath=\"" + QFile::encodeName(target) + "\"\r\nshowHelp=false\r\n");
    // Tools without settings get none.
    QVERIFY(!QFile::exists(cfg + QStringLiteral("/kdeglobals")));
    QDir().mkpath(target);
    for (const QString& desktop : {u"KDE"_qs, u"XFCE"_qs, u"Unity"_qs})
        QCOMPARE(ToolScreenshotLocation(cfg, desktop).read(), target);

    // A second write keeps the values from before the first; restore puts
    // back every byte and resets gnome-screenshot's key, which was unset.
    location.write(tmp.filePath(QStringLiteral("other")));
    location.restore();
    QCOMPARE(readAll(location.spectacleConfig()), spectacle);
    QCOMPARE(readAll(location.xfceConfig()), xfce);
    QCOMPARE(readAll(location.flameshotConfig()), flameshot);
    QCOMPARE(ToolScreenshotLocation(cfg, u"Unity"_qs).read(),
             ToolScreenshotLocation::picturesFolder());
    QVERIFY(!memory.object(QStringLiteral("screenshotToolFolders")));
}

void TestScreenshotPlatform::probeRecognisesCaptures() {
    QTemporaryDir tmp;
    const auto probe = [&](const QString& name, const QString& software) {
        const QString path = tmp.filePath(name);
        if (software == QLatin1String("not a PNG"))
            writeFile(path, "Software gnome-screenshot");
        else
            writePng(path, software);
        return FreedesktopScreenCaptureProbe().isScreenCapture(path);
    };
    QVERIFY(!probe(u"photo.png"_qs, u"GIMP"_qs));
    QVERIFY(!probe(u"photo.png"_qs, u"not a PNG"_qs));
    const QString fifo = tmp.filePath(u"Bildschirmfoto.png"_qs);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0); // would block a reader
    QVERIFY(!FreedesktopScreenCaptureProbe().isScreenCapture(fifo));
    // The tools' own name templates, taken names included.
    QVERIFY(probe(u"Screenshot_20240131_235959-1.jpg"_qs, QString()));
    QVERIFY(probe(u"2024-01-31_23-59_2.png"_qs, QString()));
    QVERIFY(!probe(u"Screenshot_2024013_235959.png"_qs, QString()));
}

void TestScreenshotPlatform::trashIsRealAndHonest() {
    QTemporaryDir tmp;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // Missing data folder: Qt alone would put the file into ./files and call it trashed.
    QDir(data).removeRecursively();
    QDir::setCurrent(tmp.path());
    const QString file = tmp.filePath(QStringLiteral("Screenshot a.png"));
    writeFile(file, "x");
    FreedesktopTrash trash;
    QVERIFY(trash.moveToTrash(file));
    QVERIFY(!QFile::exists(file));
    QVERIFY(QFile::exists(data + QStringLiteral("/Trash/files/Screenshot a.png")));
    QVERIFY(!QFile::exists(tmp.filePath(QStringLiteral("files/Screenshot a.png"))));
    QVERIFY(!trash.moveToTrash(tmp.filePath(QStringLiteral("gone.png"))));
}

QTEST_GUILESS_MAIN(TestScreenshotPlatform)
#include "tst_screenshotplatform.moc"
