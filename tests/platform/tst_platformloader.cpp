#include "platform/PlatformLoader.h"
#include "settings/JsonDefaultsStore.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// Runs on the offscreen platform without an X display, where the loader must
// still hand out a full set of services, whichever name it is given.
class TestPlatformLoader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choosesAndBuilds_data();
    void choosesAndBuilds();
    void fileUrlLists_data();
    void fileUrlLists();
};

void TestPlatformLoader::choosesAndBuilds_data() {
    QTest::addColumn<QString>("requested");
    QTest::addColumn<QByteArray>("display"); // empty: unset
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("warning"); // what the user is told, if anything
    QTest::newRow("null") << "null" << QByteArray(":99") << "null"
                          << "";
    QTest::newRow("x11, case and blanks") << " X11 " << QByteArray() << "x11"
                                          << "";
    QTest::newRow("unknown, no display") << "wayland" << QByteArray() << "null"
                                         << "names no platform";
    QTest::newRow("unknown, display") << "bogus" << QByteArray(":99") << "x11"
                                      << "names no platform";
    QTest::newRow("empty, no display") << "" << QByteArray() << "null"
                                       << "no X display";
    QTest::newRow("empty, display") << "" << QByteArray(":99") << "x11"
                                    << "";
}

void TestPlatformLoader::choosesAndBuilds() {
    QFETCH(QString, requested);
    QFETCH(QByteArray, display);
    QFETCH(QString, chosen);
    QFETCH(QString, warning);
    const QByteArray saved = qgetenv("DISPLAY");
    if (display.isEmpty())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", display);
    QTemporaryDir dir;
    JsonDefaultsStore store(dir.filePath(QStringLiteral("defaults.json")));
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    const Platform platform = PlatformLoader::load(store, requested);
    qputenv("DISPLAY", saved);

    QCOMPARE(platform.name, chosen);
    QVERIFY(platform.pasteboard && platform.pasteKeystroke && platform.frontmostApp &&
            platform.clipboardManager && platform.hotKeys && platform.screenshotLocation &&
            platform.screenCaptureProbe && platform.trash && platform.sound && platform.loginItem &&
            platform.makeFolderWatch && platform.makeFolderWatch());
    // Nothing here can paste, grab a key or keep the clipboard: the services
    // say so instead of pretending.
    QVERIFY(!platform.pasteKeystroke->isAvailable());
    QVERIFY(!platform.clipboardManager->claim());
    QVERIFY(!platform.frontmostApp->frontmost());
    QVERIFY(platform.hotKeys->grab(9, 0x100) != 0);
}

// The in-process clipboard itself is used by every unit test of copying back.
void TestPlatformLoader::fileUrlLists_data() {
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QStringList>("files"); // empty: none at all
    QTest::newRow("uri-list") << QByteArray("file:///tmp/a%20b.txt\r\nfile:///tmp/c\r\n")
                              << QStringList{"/tmp/a b.txt", "/tmp/c"};
    QTest::newRow("gnome form") << QByteArray("copy\nfile:///tmp/x") << QStringList{"/tmp/x"};
    QTest::newRow("comment") << QByteArray("# x\nfile:///y\n") << QStringList{"/y"};
    QTest::newRow("files beside a web address")
        << QByteArray("https://example.org/\r\nfile:///a\r\nfile:///b\r\n")
        << QStringList{"/a", "/b"};
    QTest::newRow("web address only") << QByteArray("https://example.org/\n") << QStringList{};
    QTest::newRow("invalid line") << QByteArray("file:///a\nfile://[x\n") << QStringList{};
}

void TestPlatformLoader::fileUrlLists() {
    QFETCH(QByteArray, list);
    QFETCH(QStringList, files);
    const auto urls = Pasteboard::parseFileUrls(list);
    QCOMPARE(urls.has_value(), !files.isEmpty());
    QStringList paths;
    for (const QUrl& url : urls.value_or(QList<QUrl>{}))
        paths.append(url.toLocalFile());
    QCOMPARE(paths, files);
}

QTEST_MAIN(TestPlatformLoader)
#include "tst_platformloader.moc"
