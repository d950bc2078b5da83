#include "helpers/Offer.h"
#include "platform/PlatformLoader.h"
#include "settings/JsonDefaultsStore.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// Without an X display the loader still hands out every service, whatever the name.
class TestPlatformLoader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choosesAndBuilds();
    void fileUrlLists_data();
    void fileUrlLists();
};

void TestPlatformLoader::choosesAndBuilds() {
    QTemporaryDir dir;
    JsonDefaultsStore store(dir.filePath(QStringLiteral("defaults.json")));
    const QByteArray saved = qgetenv("DISPLAY");
    // Loads with the name and display (empty: unset), expecting what the user is told, if anything.
    const auto load = [&](const char* requested, const char* display, const char* warning) {
        if (*display)
            qputenv("DISPLAY", display);
        else
            qunsetenv("DISPLAY");
        if (*warning)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QString::fromUtf8(warning)));
        Platform platform = PlatformLoader::load(store, QString::fromUtf8(requested));
        qputenv("DISPLAY", saved);
        return platform;
    };
    QCOMPARE(load("null", ":99", "").name, u"null"_qs);
    QCOMPARE(load(" X11 ", "", "").name, u"x11"_qs); // case and blanks
    // No compositor here: asked for, Wayland gives way to the null platform, and says so.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"no Wayland compositor answers"_qs));
    QCOMPARE(load("wayland", "", "Wayland platform cannot run here").name, u"null"_qs);
    QCOMPARE(load("mir", "", "names no platform").name, u"null"_qs);
    QCOMPARE(load("bogus", ":99", "names no platform").name, u"x11"_qs);
    QCOMPARE(load("", "", "no X display").name, u"null"_qs);
    QCOMPARE(load("", ":99", "").name, u"x11"_qs);

    for (const char* name : {"null", "x11"}) {
        const Platform platform = load(name, "", "");
        QVERIFY(platform.pasteboard && platform.pasteKeystroke && platform.frontmostApp &&
                platform.clipboardManager && platform.hotKeys && platform.screenshotLocation &&
                platform.screenCaptureProbe && platform.trash && platform.sound &&
                platform.loginItem && platform.makeFolderWatch && platform.makeFolderWatch());
        // Nothing here can paste, grab a key or keep the clipboard: they say so.
        QVERIFY(!platform.pasteKeystroke->isAvailable());
        QVERIFY(!platform.clipboardManager->claim());
        QVERIFY(!platform.frontmostApp->frontmost());
        QVERIFY(platform.hotKeys->grab(9, 0x100) != 0);
    }

    // Every unit test of copying back stands on the in-process clipboard.
    const Platform platform = load("null", "", "");
    Pasteboard& pb = *platform.pasteboard;
    const qint64 before = pb.changeCount();
    const OfferFormats item{{PasteboardType::plainText, "zwölf"},
                            {PasteboardType::fileUrl, "file:///tmp/c\r\n"}};
    pb.setMimeData(offer(item));
    for (const auto& [type, bytes] : item) {
        // Up to the reader's limit the data is whole; past it, refused, not cut.
        QCOMPARE(pb.data(type, bytes.size()), bytes);
        QVERIFY(!pb.data(type, bytes.size() - 1));
    }
    QCOMPARE(pb.string(), QStringLiteral("zwölf"));
    QCOMPARE(pb.fileUrls(), QList<QUrl>{QUrl::fromLocalFile("/tmp/c")});
    pb.clearContents();
    QCOMPARE(pb.changeCount(), before + 2);
    QVERIFY(pb.types().isEmpty());
}

void TestPlatformLoader::fileUrlLists_data() {
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QStringList>("files"); // empty: none at all
    QTest::newRow("uri-list") << QByteArray("file:///tmp/a%20b.txt\r\nfile:///tmp/c\r\n")
                              << QStringList{"/tmp/a b.txt", "/tmp/c"};
    QTest::newRow("gnome form") << QByteArray("copy\nfile:///tmp/x") << QStringList{"/tmp/x"};
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
