#include "platform/PlatformLoader.h"
#include "settings/JsonDefaultsStore.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// Runs on the offscreen platform without an X display, where the loader must
// still hand out a full set of services, whichever name it is given.
class TestPlatformLoader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choosesAndBuilds_data();
    void choosesAndBuilds();
    void nullPasteboardKeepsWhatIsWritten_data();
    void nullPasteboardKeepsWhatIsWritten();
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

void TestPlatformLoader::nullPasteboardKeepsWhatIsWritten_data() {
    using Item = QList<PasteboardRepresentation>;
    QTest::addColumn<Item>("item");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("text") << Item{{PasteboardType::string, "zwölf"}} << "zwölf" << QStringList{};
    QTest::newRow("rich text and image") << Item{{PasteboardType::rtf, "{\\rtf1 x}"},
                                                 {PasteboardType::plainText, "x"},
                                                 {PasteboardType::png, "\x89PNG"}}
                                         << "x" << QStringList{};
    const auto files = [](const char* list) {
        return Item{{PasteboardType::fileUrl, list}};
    };
    QTest::newRow("uri-list") << files("file:///tmp/a%20b.txt\r\nfile:///tmp/c\r\n") << ""
                              << QStringList{"/tmp/a b.txt", "/tmp/c"};
    QTest::newRow("gnome form") << files("copy\nfile:///tmp/x") << "" << QStringList{"/tmp/x"};
    QTest::newRow("comment") << files("# x\nfile:///y\n") << "" << QStringList{"/y"};
    QTest::newRow("files beside a web address")
        << files("https://example.org/\r\nfile:///a\r\nfile:///b\r\n") << ""
        << QStringList{"/a", "/b"};
    QTest::newRow("web address only") << files("https://example.org/\n") << "" << QStringList{};
    QTest::newRow("invalid line") << files("file:///a\nfile://[x\n") << "" << QStringList{};
}

void TestPlatformLoader::nullPasteboardKeepsWhatIsWritten() {
    QFETCH(QList<PasteboardRepresentation>, item);
    QFETCH(QString, text);
    QFETCH(QStringList, files);
    QTemporaryDir dir;
    JsonDefaultsStore store(dir.filePath(QStringLiteral("defaults.json")));
    const Platform platform = PlatformLoader::load(store, QStringLiteral("null"));
    Pasteboard& pb = *platform.pasteboard;
    QSignalSpy changed(&pb, &Pasteboard::changed);
    const qint64 before = pb.changeCount();

    pb.writeItem(item);
    QCOMPARE(pb.changeCount(), before + 1);
    QCOMPARE(changed.count(), 1);
    for (const auto& [type, bytes] : item) {
        QVERIFY(pb.types().contains(type));
        QCOMPARE(pb.data(type), bytes);
        // Past the reader's limit the data is refused, not cut.
        QVERIFY(!pb.data(type, bytes.size() - 1));
    }
    QCOMPARE(pb.string().value_or(QString()), text);
    const auto urls = pb.fileUrls();
    QCOMPARE(urls.has_value(), !files.isEmpty());
    QStringList paths;
    for (const QUrl& url : urls.value_or(QList<QUrl>{}))
        paths.append(url.toLocalFile());
    QCOMPARE(paths, files);

    pb.clearContents();
    QCOMPARE(pb.changeCount(), before + 2);
    QCOMPARE(changed.count(), 2);
    QVERIFY(pb.types().isEmpty());
    QVERIFY(!pb.string());
}

QTEST_MAIN(TestPlatformLoader)
#include "tst_platformloader.moc"
