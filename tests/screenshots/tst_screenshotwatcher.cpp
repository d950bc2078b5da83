// The screenshot watcher on real folders with real inotify: what counts as a
// screenshot, the listing, and new captures.
#include "WatcherWorld.h"

using namespace WatcherWorld;

class TestScreenshotWatcher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void detection_data();
    void detection();
    void listingIsNewestFirstAndCapped();
    void folderThatGoesAndComesBack();
    void newCaptureIsCountedCopiedAndSounded();
    void burstIsOneRescanHandledOldestFirst();
    void growingAndVanishingFiles();
};

void TestScreenshotWatcher::detection_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("upper-case extension") << "Screenshot 1.PNG"
                                          << "file" << true;
    QTest::newRow("pattern needs a word end") << "Screenshots.png"
                                              << "file" << false;
    QTest::newRow("pattern is case-sensitive") << "screenshot 1.png"
                                               << "file" << false;
    QTest::newRow("lower case, marked by the tool") << "screenshot 1.png"
                                                    << "gnome" << true;
    QTest::newRow("dot file") << ".Screenshot 1.png"
                              << "file" << false;
    QTest::newRow("gif") << "Screenshot 1.gif"
                         << "file" << false;
    QTest::newRow("tool template") << "Screenshot_20240101_100000.png"
                                   << "file" << true;
    QTest::newRow("FIFO with a capture name") << "Screenshot fifo.png"
                                              << "fifo" << false;
    QTest::newRow("link to a FIFO") << "Screenshot link.png"
                                    << "fifolink" << false;
    QTest::newRow("link to a capture") << "Screenshot link.png"
                                       << "link" << true;
    QTest::newRow("folder with a capture name") << "Screenshot dir.png"
                                                << "dir" << false;
}

void TestScreenshotWatcher::detection() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(bool, accepted);
    QTemporaryDir tmp;
    const QString path = tmp.filePath(name);
    const QByteArray target = QFile::encodeName(tmp.filePath(QStringLiteral("target")));
    if (kind == QLatin1String("file")) {
        writeFile(path);
    } else if (kind == QLatin1String("gnome")) {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QImageWriter writer(path, "png");
        writer.setText(QStringLiteral("Software"), QStringLiteral("gnome-screenshot"));
        QVERIFY(writer.write(image));
    } else if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QLatin1String("fifolink")) {
        QCOMPARE(::mkfifo(target.constData(), 0600), 0);
        QVERIFY(QFile::link(QString::fromLocal8Bit(target), path));
    } else if (kind == QLatin1String("link")) {
        writeFile(QString::fromLocal8Bit(target));
        QVERIFY(QFile::link(QString::fromLocal8Bit(target), path));
    } else {
        QVERIFY(QDir().mkpath(path));
    }
    const FreedesktopScreenCaptureProbe probe;
    QCOMPARE(ScreenshotScan::isScreenshot(QFileInfo(path), probe), accepted);
    QCOMPARE(ScreenshotScan::list(tmp.path(), probe).urls().contains(QUrl::fromLocalFile(path)),
             accepted);
}

void TestScreenshotWatcher::listingIsNewestFirstAndCapped() {
    World world;
    const QString dir = world.folder();
    for (int i = 0; i < 150; ++i)
        writeFile(dir + QStringLiteral("/Screenshot %1.png").arg(i, 3, 10, QChar('0')));
    // Copied in last with its old times kept: it was captured here, now.
    const QString kept = dir + QStringLiteral("/Screenshot kept.png");
    QTRY_VERIFY_WITH_TIMEOUT(writtenNewer(kept, dir + QStringLiteral("/Screenshot 149.png")),
                             kWait);
    age(kept, 300);
    writeFile(dir + QStringLiteral("/notes.txt"));
    world.pointTo(dir);
    auto w = world.watcher();
    QCOMPARE(w->dir(), QUrl::fromLocalFile(dir));
    QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 100, kWait);
    QCOMPARE(w->known().size(), 151);
    const QList<QUrl> listed = w->screenshots();
    auto date = [](const QUrl& url) {
        return ScreenshotScan::creationDate(QFileInfo(url.toLocalFile()));
    };
    for (qsizetype i = 1; i < listed.size(); ++i)
        QVERIFY(date(listed[i - 1]) >= date(listed[i]));
    for (const QString& name : QDir(dir).entryList({QStringLiteral("Screenshot*")})) {
        const QUrl url = urlOf(dir, name);
        QVERIFY2(listed.contains(url) || date(url) <= date(listed.last()), qPrintable(name));
    }
    // Where the file system keeps birth times, the copy is the newest capture.
    if (QFileInfo(kept).birthTime().isValid())
        QCOMPARE(listed.first(), QUrl::fromLocalFile(kept));
    // What was there at start-up is not new.
    QCOMPARE(w->unseenCount(), 0);
    QVERIFY(world.copied.isEmpty());

    // A watcher gone before its listing and watch are back: the results are dropped.
    world.pointTo(QDir::homePath());
    world.watcher().reset();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
}

void TestScreenshotWatcher::folderThatGoesAndComesBack() {
    World world;
    const QString dir = world.folder();
    const QString away = world.folder(QStringLiteral("away"));
    // Made long before the folder goes: it comes back with it, not as a capture.
    const QString elsewhere = away + QStringLiteral("/Screenshot elsewhere.png");
    writeFile(elsewhere);
    writeFile(dir + QStringLiteral("/Screenshot old.png"));
    world.pointTo(dir);
    auto w = world.watcher();
    waitUntilWatching(*w, dir);

    // Moved to the Trash: nothing listed, and the same folder is awaited.
    QVERIFY(QDir().rename(dir, world.folder(QStringLiteral("trashed"))));
    QTRY_VERIFY_WITH_TIMEOUT(w->screenshots().isEmpty() && !w->isWatching(), kWait);
    QCOMPARE(w->dir(), QUrl::fromLocalFile(dir));

    // The tool makes it again with its next capture: watched again, and that capture is new.
    writeFile(dir + QStringLiteral("/Screenshot next.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 1, kWait);
    QCOMPARE(world.copied, QList<QUrl>{urlOf(dir, QStringLiteral("Screenshot next.png"))});
    QTRY_VERIFY_WITH_TIMEOUT(w->isWatching(), kWait);
    writeFile(dir + QStringLiteral("/Screenshot after.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 2, kWait);

    // Deleted, then a folder that already holds captures is moved into its
    // place: listed, none of them counted.
    QVERIFY(QDir(dir).removeRecursively());
    QTRY_VERIFY_WITH_TIMEOUT(w->screenshots().isEmpty(), kWait);
    QTRY_VERIFY_WITH_TIMEOUT(QDateTime::currentDateTime() >
                                 ScreenshotScan::arrivalDate(QFileInfo(elsewhere)).addSecs(2),
                             kWait);
    QVERIFY(QDir().rename(away, dir));
    QTRY_COMPARE_WITH_TIMEOUT(w->screenshots(),
                              QList<QUrl>{urlOf(dir, QStringLiteral("Screenshot elsewhere.png"))},
                              kWait);
    writeFile(dir + QStringLiteral("/Screenshot last.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 3, kWait);
    QCOMPARE(world.copied.last(), urlOf(dir, QStringLiteral("Screenshot last.png")));
    QCOMPARE(world.copied.size(), 3);
}

void TestScreenshotWatcher::newCaptureIsCountedCopiedAndSounded() {
    World world;
    const QString dir = world.folder();
    writeFile(dir + QStringLiteral("/Screenshot old.png"));
    world.pointTo(dir);
    world.prefs.setPlaySound(true);
    auto w = world.watcher();
    QSignalSpy counted(w.get(), &ScreenshotWatcher::newScreenshotsCounted);
    waitUntilWatching(*w, dir);
    QCOMPARE(w->screenshots().size(), 1);

    // Written by another process, as a screenshot tool would.
    const QString path = dir + QStringLiteral("/Screenshot new.png");
    const QString made = world.folder(QStringLiteral("made.png"));
    writeFile(made, QByteArray(5000, 'x'));
    QCOMPARE(QProcess::execute(QStringLiteral("cp"), {made, path}), 0);
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 1, kWait);
    QCOMPARE(w->screenshots().first(), QUrl::fromLocalFile(path));
    QCOMPARE(world.copied, QList<QUrl>{QUrl::fromLocalFile(path)});
    QCOMPARE(world.sound.played, QStringList{QStringLiteral("screen-capture")});
    QCOMPARE(counted.count(), 1);

    // The settings are read at the moment of use.
    world.prefs.setAutoCopyScreenshots(false);
    world.prefs.setPlaySound(false);
    writeFile(dir + QStringLiteral("/Screenshot newer.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 2, kWait);
    QCOMPARE(world.copied.size(), 1);
    QCOMPARE(world.sound.played.size(), 1);
    QCOMPARE(counted.count(), 2);

    // Only names are new, and each only once; other files are never counted.
    writeFile(dir + QStringLiteral("/Screenshot new.png"), "rewritten");
    writeFile(dir + QStringLiteral("/holiday.png"));
    writeFile(dir + QStringLiteral("/Screenshot last.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 3, kWait);
    QCOMPARE(w->screenshots().size(), 4);

    // GNOME Shell plays the capture sound itself: once is enough.
    world.prefs.setPlaySound(true);
    ToolScreenshotLocation gnome(world.dir.filePath(QStringLiteral("cfg")),
                                 QStringLiteral("GNOME"));
    ScreenshotWatcher shell(world.prefs, gnome, world.trash, world.sound, world.marks,
                            std::make_unique<InotifyFolderWatch>(),
                            std::make_shared<FreedesktopScreenCaptureProbe>(), {});
    const QString shellFolder = ToolScreenshotLocation::gnomeShellFolder();
    QCOMPARE(shell.dir(), QUrl::fromLocalFile(shellFolder));
    writeFile(shellFolder + QStringLiteral("/Screenshot from GNOME.png"));
    QTRY_COMPARE_WITH_TIMEOUT(shell.unseenCount(), 1, kWait);
    QCOMPARE(world.sound.played.size(), 1);
}

void TestScreenshotWatcher::burstIsOneRescanHandledOldestFirst() {
    World world;
    const QString dir = world.folder();
    QDir().mkpath(dir);
    world.pointTo(dir);
    auto w = world.watcher();
    waitUntilWatching(*w, dir);
    // Prepared elsewhere with distinct dates (files made within one clock tick
    // share one), then moved in at once, as a tool saving three captures would.
    QStringList names;
    const QString staging = world.folder(QStringLiteral("staging"));
    writeFile(staging + QStringLiteral("/first"));
    QString previous = staging + QStringLiteral("/first");
    for (int i = 1; i <= 3; ++i) {
        names << QStringLiteral("Screenshot burst %1.png").arg(i);
        const QString path = staging + QLatin1Char('/') + names.last();
        QTRY_VERIFY_WITH_TIMEOUT(writtenNewer(path, previous), kWait);
        previous = path;
    }
    QSignalSpy listed(w.get(), &ScreenshotWatcher::screenshotsChanged);
    for (const QString& name : names)
        QVERIFY(QFile::rename(staging + QLatin1Char('/') + name, dir + QLatin1Char('/') + name));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 3, kWait);
    QCOMPARE(listed.count(), 1);
    QList<QUrl> expected;
    for (const QString& name : names)
        expected << urlOf(dir, name);
    QCOMPARE(world.copied, expected);
}

void TestScreenshotWatcher::growingAndVanishingFiles() {
    World world;
    const QString dir = world.folder();
    QDir().mkpath(dir);
    world.pointTo(dir);
    ScreenshotWatcher::Timing timing;
    timing.settleStepMs = 100;
    auto w = world.watcher(nullptr, timing);
    waitUntilWatching(*w, dir);

    // Still being written: handled once two looks a step apart agree.
    QFile growing(dir + QStringLiteral("/Screenshot growing.png"));
    QVERIFY(growing.open(QIODevice::WriteOnly));
    int chunks = 0;
    QTimer writer;
    writer.setInterval(40);
    connect(&writer, &QTimer::timeout, &growing, [&] {
        growing.write(QByteArray(1000, 'x'));
        growing.flush();
        if (++chunks == 12) {
            writer.stop();
            growing.close();
        }
    });
    writer.start();
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 1, kWait);
    QCOMPARE(chunks, 12);
    QCOMPARE(world.copiedSizes, QList<qint64>{12000});

    // Made empty first and written a little later: not a capture until then.
    const QString late = dir + QStringLiteral("/Screenshot late.png");
    writeFile(late, {});
    QTRY_VERIFY_WITH_TIMEOUT(w->screenshots().contains(QUrl::fromLocalFile(late)), kWait);
    QTimer::singleShot(timing.settleStepMs * 5 / 2, w.get(), [&] { writeFile(late, "capture"); });
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 2, kWait);
    QCOMPARE(world.copiedSizes, QList<qint64>({12000, 7}));

    // Deleted while settling: never counted. An empty file never settles, so
    // the one written after it is handled only after every try of the first.
    const QString doomed = dir + QStringLiteral("/Screenshot doomed.png");
    writeFile(doomed, {});
    QTRY_VERIFY_WITH_TIMEOUT(w->screenshots().contains(QUrl::fromLocalFile(doomed)), kWait);
    QVERIFY(QFile::remove(doomed));
    const QString empty = dir + QStringLiteral("/Screenshot empty.png");
    writeFile(empty, {});
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 3, kWait);
    QCOMPARE(world.copied.last(), QUrl::fromLocalFile(empty));
    QCOMPARE(world.copied.size(), 3);
}

QTEST_GUILESS_MAIN(TestScreenshotWatcher)
#include "tst_screenshotwatcher.moc"
