#include "platform/freedesktop/CanberraSound.h"
#include "platform/freedesktop/FreedesktopScreenCaptureProbe.h"
#include "platform/freedesktop/FreedesktopTrash.h"
#include "platform/freedesktop/IniKeyEditor.h"
#include "platform/freedesktop/InotifyFolderWatch.h"
#include "platform/freedesktop/ToolScreenshotLocation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtConcurrent/QtConcurrentRun>

#include <sys/stat.h>

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

void writePng(const QString& path, const QString& software) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    QImageWriter writer(path, "png");
    if (!software.isEmpty())
        writer.setText(QStringLiteral("Software"), software);
    QVERIFY(writer.write(image));
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
    void writeChangesEveryPresentTool();
    void gnomeScreenshotThroughGsettings();
    void probeRecognisesCaptures_data();
    void probeRecognisesCaptures();
    void trashIsRealAndHonest();
    void folderWatchReportsEntryChanges();
    void soundWithoutDeviceIsSilent();

private:
    QString m_schemaDir;
};

void TestScreenshotPlatform::initTestCase() {
    // gnome-screenshot is not installed here: compile its one key into a
    // private schema folder and keep values in a key file, so the real
    // gsettings program answers as it would on a GNOME desktop.
    m_schemaDir = QDir::homePath() + QStringLiteral("/schemas");
    QDir().mkpath(m_schemaDir);
    writeFile(m_schemaDir + QStringLiteral("/org.gnome.gnome-screenshot.gschema.xml"),
              "<schemalist><schema id=\"org.gnome.gnome-screenshot\" "
              "path=\"/org/gnome/gnome-screenshot/\"><key name=\"auto-save-directory\" "
              "type=\"s\"><default>''</default></key></schema></schemalist>");
    QCOMPARE(QProcess::execute(QStringLiteral("glib-compile-schemas"), {m_schemaDir}), 0);
    qputenv("GSETTINGS_BACKEND", "keyfile");
}

void TestScreenshotPlatform::iniEditKeepsEveryOtherByte_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("oldValue");

    QTest::newRow("replace in place")
        << QByteArray("# mine\n[General]\nsavePath = /old\nx=1\n") << "General"
        << QByteArray("# mine\n[General]\nsavePath = /new\nx=1\n") << "/old";
    QTest::newRow("only in its section")
        << QByteArray("[Other]\nsavePath=/keep\n[General]\nsavePath=/old\r\n") << "General"
        << QByteArray("[Other]\nsavePath=/keep\n[General]\nsavePath=/new\r\n") << "/old";
    QTest::newRow("added at end of section, CRLF kept")
        << QByteArray("[General]\r\nx=1\r\n\r\n[Next]\r\ny=2") << "General"
        << QByteArray("[General]\r\nx=1\r\nsavePath=/new\r\n\r\n[Next]\r\ny=2") << QString();
    QTest::newRow("section created, no final newline")
        << QByteArray("[Next]\ny=2") << "General"
        << QByteArray("[Next]\ny=2\n\n[General]\nsavePath=/new\n") << QString();
    QTest::newRow("commented key is not the key")
        << QByteArray("[General]\n#savePath=/c\n") << "General"
        << QByteArray("[General]\n#savePath=/c\nsavePath=/new\n") << QString();
    QTest::newRow("any section") << QByteArray("[Preferences]\napp=gimp\nsavePath=file:///o\n")
                                 << "" << QByteArray("[Preferences]\napp=gimp\nsavePath=/new\n")
                                 << "file:///o";
}

void TestScreenshotPlatform::iniEditKeepsEveryOtherByte() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QByteArray, after);
    QFETCH(QString, oldValue);
    const QString key = QStringLiteral("savePath");
    QCOMPARE(IniKeyEditor::value(before, section, key).value_or(QString()), oldValue);
    const QByteArray edited = IniKeyEditor::withValue(before, section, key, QStringLiteral("/new"));
    QCOMPARE(edited, after);
    QCOMPARE(IniKeyEditor::value(edited, section, key), std::optional<QString>(u"/new"_qs));
}

void TestScreenshotPlatform::locationFollowsTheSession_data() {
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QString>("expected"); // relative to the temp folder, "~" for home

    QTest::newRow("KDE reads Spectacle") << "KDE"
                                         << "spectacle";
    QTest::newRow("XFCE reads Screenshooter") << "XFCE"
                                              << "xfce";
    QTest::newRow("others read a fixed Flameshot path") << "GNOME"
                                                        << "flameshot";
}

void TestScreenshotPlatform::locationFollowsTheSession() {
    QFETCH(QString, desktop);
    QFETCH(QString, expected);
    QTemporaryDir tmp;
    const QString cfg = tmp.filePath(QStringLiteral("cfg"));
    ToolScreenshotLocation location(cfg, desktop);
    writeFile(location.spectacleConfig(), "[General]\nx=1\n[Save]\ndefaultSaveLocation=file://" +
                                              QFile::encodeName(tmp.path()) + "/spectacle/\n");
    writeFile(location.xfceConfig(),
              "[Preferences]\nscreenshot_dir=file://" + QFile::encodeName(tmp.path()) + "/xfce\n");
    writeFile(location.flameshotConfig(), "[General]\nsavePath=" + QFile::encodeName(tmp.path()) +
                                              "/flameshot\nsavePathFixed=true\n");
    QCOMPARE(location.read(), tmp.filePath(expected));
}

void TestScreenshotPlatform::writeChangesEveryPresentTool() {
    QTemporaryDir tmp;
    const QString cfg = tmp.filePath(QStringLiteral("cfg"));
    ToolScreenshotLocation location(cfg, QStringLiteral("GNOME"));

    // Nothing configured: GNOME Shell's folder when it exists, else the Desktop.
    QCOMPARE(location.read(), QDir::homePath() + QStringLiteral("/Desktop"));
    QDir().mkpath(ToolScreenshotLocation::gnomeShellFolder());
    QCOMPARE(location.read(), QDir::homePath() + QStringLiteral("/Pictures/Screenshots"));
    QDir(ToolScreenshotLocation::gnomeShellFolder()).removeRecursively();

    // Flameshot that asks every time says nothing about a folder.
    writeFile(location.flameshotConfig(), "[General]\r\nsavePath=/elsewhere\r\nshowHelp=false\r\n");
    QCOMPARE(location.read(), QDir::homePath() + QStringLiteral("/Desktop"));

    writeFile(location.spectacleConfig(),
              "[Save]\ndefaultSaveLocation=file:///old/\n\n[GuiConfig]\n"
              "window=1\n");
    writeFile(location.xfceConfig(), "[Preferences]\nscreenshot_dir=/old\nlast_user=\n");
    const QString target = tmp.filePath(QStringLiteral("My Shots, new"));
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

    // What was written reads back for every session.
    QDir().mkpath(target);
    for (const QString& desktop : {u"KDE"_qs, u"XFCE"_qs}) {
        QCOMPARE(ToolScreenshotLocation(cfg, desktop).read(), target);
    }
}

void TestScreenshotPlatform::gnomeScreenshotThroughGsettings() {
    qputenv("GSETTINGS_SCHEMA_DIR", m_schemaDir.toLocal8Bit());
    QTemporaryDir tmp;
    ToolScreenshotLocation location(tmp.filePath(QStringLiteral("cfg")), QStringLiteral("GNOME"));
    const QString target = tmp.filePath(QStringLiteral("it's here"));
    location.write(target);
    QProcess get;
    get.start(QStringLiteral("gsettings"),
              {QStringLiteral("get"), QStringLiteral("org.gnome.gnome-screenshot"),
               QStringLiteral("auto-save-directory")});
    QVERIFY(get.waitForFinished());
    const QString stored = QString::fromUtf8(get.readAllStandardOutput()).trimmed();
    QVERIFY2(stored.contains(QStringLiteral("it")) && stored.startsWith(QStringLiteral("\"file:")),
             qPrintable(stored));
    QCOMPARE(location.read(), target);
    qunsetenv("GSETTINGS_SCHEMA_DIR");
}

void TestScreenshotPlatform::probeRecognisesCaptures_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("software"); // "-" writes bytes that are no PNG
    QTest::addColumn<bool>("capture");

    QTest::newRow("gnome-screenshot text") << "Bildschirmfoto.png"
                                           << "gnome-screenshot" << true;
    QTest::newRow("other software") << "photo.png"
                                    << "GIMP" << false;
    QTest::newRow("no text") << "photo.png"
                             << "" << false;
    QTest::newRow("not a PNG") << "photo.png"
                               << "-" << false;
    QTest::newRow("Spectacle") << "Screenshot_20240131_235959.png"
                               << "" << true;
    QTest::newRow("Spectacle, taken") << "Screenshot_20240131_235959-1.jpg"
                                      << "" << true;
    QTest::newRow("Xfce") << "Screenshot_2024-01-31_23-59-59.png"
                          << "" << true;
    QTest::newRow("Flameshot") << "2024-01-31_23-59.png"
                               << "" << true;
    QTest::newRow("Flameshot, taken") << "2024-01-31_23-59_2.png"
                                      << "" << true;
    QTest::newRow("FIFO is never opened") << "Bildschirmfoto.png"
                                          << "fifo" << false;
    QTest::newRow("almost a template") << "Screenshot_2024013_235959.png"
                                       << "" << false;
}

void TestScreenshotPlatform::probeRecognisesCaptures() {
    QFETCH(QString, name);
    QFETCH(QString, software);
    QFETCH(bool, capture);
    QTemporaryDir tmp;
    const QString path = tmp.filePath(name);
    if (software == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); // would block a reader
    else if (software == QLatin1String("-"))
        writeFile(path, "Software gnome-screenshot");
    else
        writePng(path, software);
    QCOMPARE(FreedesktopScreenCaptureProbe().isScreenCapture(path), capture);
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

void TestScreenshotPlatform::folderWatchReportsEntryChanges() {
    QTemporaryDir tmp;
    InotifyFolderWatch watch;
    // Opened on another thread, as the watcher does.
    const FolderWatch::Handle handle = QtConcurrent::run(watch.opener(tmp.path())).result();
    QVERIFY(handle >= 0);
    watch.adopt(handle);
    QSignalSpy changed(&watch, &FolderWatch::changed);
    writeFile(tmp.filePath(QStringLiteral("a")), "1");
    QTRY_VERIFY_WITH_TIMEOUT(changed.count() >= 1, 5000);
    changed.clear();
    QFile::rename(tmp.filePath(QStringLiteral("a")), tmp.filePath(QStringLiteral("b")));
    QTRY_VERIFY_WITH_TIMEOUT(changed.count() >= 1, 5000);
    watch.stop();
    QVERIFY(!watch.isWatching());
    QCOMPARE(QtConcurrent::run(watch.opener(tmp.filePath(QStringLiteral("none")))).result(), -1);

    // The same instance moves on to another folder.
    changed.clear();
    QTemporaryDir other;
    watch.adopt(QtConcurrent::run(watch.opener(other.path())).result());
    QVERIFY(watch.isWatching());
    QVERIFY(QDir(other.path()).mkdir(QStringLiteral("sentinel")));
    QTRY_VERIFY_WITH_TIMEOUT(changed.count() >= 1, 5000);

    // The folder goes away: reported, and no longer watched.
    changed.clear();
    QVERIFY(QDir(other.path()).removeRecursively());
    QTRY_VERIFY_WITH_TIMEOUT(changed.count() >= 1 && !watch.isWatching(), 5000);
}

void TestScreenshotPlatform::soundWithoutDeviceIsSilent() {
    // No audio device or sound server here: playing must neither block nor crash,
    // and an unknown event is as silent as a missing device.
    QElapsedTimer clock;
    clock.start();
    CanberraSound sound;
    sound.play(QStringLiteral("screen-capture"));
    sound.play(QStringLiteral("no-such-event"));
    QVERIFY(clock.elapsed() < 5000);
}

QTEST_GUILESS_MAIN(TestScreenshotPlatform)
#include "tst_screenshotplatform.moc"
