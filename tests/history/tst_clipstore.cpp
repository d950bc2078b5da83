#include "helpers/TempPrefs.h"
#include "history/ClipStore.h"
#include "history/SqliteDatabase.h"
#include "history/SqliteStatement.h"
#include "settings/Prefs.h"
#include "thumbnails/Sha256.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/stat.h>

namespace {
// A store on a real database in a temp folder, with its own settings file.
struct Fixture : TempPrefs {
    QString base = dir.filePath(QStringLiteral("Quillet"));
    std::unique_ptr<ClipStore> store = std::make_unique<ClipStore>(base, prefs);

    void recordText(const QString& s, bool pinned = false) {
        store->record({.hash = sha256Hex(("text:" + s).toUtf8()), .text = s});
        if (pinned)
            store->setPinned(store->items().constFirst().id, true);
    }
    // Runs SQL on a second connection, as another tool touching the file would.
    void sql(const QString& statement) {
        SqliteDatabase db;
        QVERIFY(db.open(store->databasePath()));
        db.exec(statement);
    }
    QString makeFile(const QString& path, const QByteArray& bytes = "x") {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return path;
    }
    void reopen() { store = std::make_unique<ClipStore>(base, prefs); }
};

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}
} // namespace

class TestClipStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void repeatedCopyRefreshesOneRow();
    void rowsLoadWithEveryColumn();
    void pruneByCountAndAge();
    void pruneRemovesSideFilesOfPrunedRows();
    void deleteKeepsSharedAndUserFiles();
    void clearKeepsPinnedAndSweeps();
    void saveBlobIsContentAddressed();
    void filesArePrivate();
    void cutoffFormatting_data();
    void cutoffFormatting();
    void unreadableHistoryKeepsItsFiles();
};

void TestClipStore::repeatedCopyRefreshesOneRow() {
    Fixture f;
    QSignalSpy published(f.store.get(), &ClipStore::itemsChanged);
    f.recordText(QStringLiteral("a"));
    f.recordText(QStringLiteral("b"));
    const double firstA = f.store->items().constLast().createdAt;
    QTest::qWait(5);
    f.recordText(QStringLiteral("a"));
    QCOMPARE(f.store->items().size(), 2);
    QCOMPARE(f.store->items().constFirst().text, std::optional<QString>(QStringLiteral("a")));
    QVERIFY(f.store->items().constFirst().createdAt > firstA);
    QCOMPARE(published.count(), 6); // reload after the write and after the prune, each time

    // A repeat keeps everything first recorded: kind, paths, source, pin.
    const QString hash = sha256Hex("text:c");
    f.store->record({.hash = hash,
                     .kind = ClipKind::rtf,
                     .text = QStringLiteral("c"),
                     .rtfPath = QStringLiteral("/x/blobs/1.rtf"),
                     .sourceApp = QStringLiteral("org.app"),
                     .sourceName = QStringLiteral("App")});
    f.store->setPinned(f.store->items().constFirst().id, true);
    f.recordText(QStringLiteral("d"));
    f.store->record({.hash = hash, .text = QStringLiteral("c")});
    const ClipItem c = f.store->items().constFirst();
    QCOMPARE(c.kind, ClipKind::rtf);
    QCOMPARE(c.pinned, true);
    QCOMPARE(c.rtfPath, std::optional<QString>(QStringLiteral("/x/blobs/1.rtf")));
    QCOMPARE(c.sourceName, std::optional<QString>(QStringLiteral("App")));
    QCOMPARE(f.store->items().at(1).text, std::optional<QString>(QStringLiteral("d")));
}

void TestClipStore::rowsLoadWithEveryColumn() {
    Fixture f;
    f.sql(
        QStringLiteral("INSERT INTO items(hash,kind,text,rtf_path,blob_path,file_path,thumb_path,"
                       "source_app,source_name,created_at,pinned,downscaled) VALUES"
                       "('h1','image',NULL,NULL,'/b/x.png',NULL,'/t/x.png','id','Name',100.25,0,1),"
                       "('h2','sparkle','s',NULL,NULL,NULL,NULL,NULL,NULL,200.0,0,0),"
                       "('h3','file','/a\n/b',NULL,NULL,'/a','/t/y.png',NULL,NULL,50.0,1,0),"
                       "('h4','link','u',NULL,NULL,NULL,NULL,NULL,NULL,300.0,2,0)"));
    f.store->reload();
    const ClipItemList& items = f.store->items();
    QCOMPARE(items.size(), 4);
    // Ordered by the pin column, then newest first; only a pin value of 1 is "pinned".
    QCOMPARE(items[0].kind, ClipKind::link);
    QCOMPARE(items[0].pinned, false);
    QCOMPARE(items[1].kind, ClipKind::file);
    QCOMPARE(items[1].pinned, true);
    QCOMPARE(items[1].text, std::optional<QString>(QStringLiteral("/a\n/b")));
    QCOMPARE(items[2].kind, ClipKind::text); // an unknown word loads as text
    QCOMPARE(items[3].kind, ClipKind::image);
    QCOMPARE(items[3].text, std::nullopt);
    QCOMPARE(items[3].blobPath, std::optional<QString>(QStringLiteral("/b/x.png")));
    QCOMPARE(items[3].sourceApp, std::optional<QString>(QStringLiteral("id")));
    QCOMPARE(items[3].createdAt, 100.25);
    QCOMPARE(items[3].downscaled, true);
}

void TestClipStore::pruneByCountAndAge() {
    Fixture f;
    f.prefs.setMaxItems(3);
    f.recordText(QStringLiteral("pinned"), true);
    for (int i = 0; i < 11; ++i)
        f.recordText(QString::number(i));
    // The floor is 10; pinned items are neither counted nor pruned.
    QCOMPARE(f.store->items().size(), 11);
    QCOMPARE(f.store->items().constLast().text, std::optional<QString>(QStringLiteral("1")));
    QCOMPARE(f.store->items().constFirst().text, std::optional<QString>(QStringLiteral("pinned")));

    f.prefs.setMaxItems(500);
    f.prefs.setMaxDays(0); // the age limit is at least one day
    const double now = QDateTime::currentMSecsSinceEpoch() / 1000.0;
    f.sql(QStringLiteral("UPDATE items SET created_at=%1 WHERE text='0'")
              .arg(now - 1.5 * 86400, 0, 'f', 3));
    f.sql(QStringLiteral("UPDATE items SET created_at=%1 WHERE text='1'")
              .arg(now - 0.5 * 86400, 0, 'f', 3));
    f.sql(QStringLiteral("UPDATE items SET created_at=%1 WHERE text='pinned'")
              .arg(now - 90 * 86400.0, 0, 'f', 3));
    f.store->prune();
    QStringList texts;
    for (const ClipItem& item : f.store->items())
        texts << item.text.value_or(QString());
    QVERIFY(!texts.contains(QStringLiteral("0")));
    QVERIFY(texts.contains(QStringLiteral("1")));
    QVERIFY(texts.contains(QStringLiteral("pinned")));

    f.prefs.setMaxItems(500);
    f.prefs.setMaxDays(30);
    for (int i = 0; i < 600; ++i)
        f.sql(QStringLiteral(
                  "INSERT INTO items(hash,kind,text,created_at) VALUES('bulk%1','text','b%1',%2)")
                  .arg(i)
                  .arg(now - 1000 + i));
    f.store->prune();
    qsizetype unpinned = 0;
    for (const ClipItem& item : f.store->items())
        unpinned += item.pinned ? 0 : 1;
    QCOMPARE(unpinned, 500);
}

void TestClipStore::pruneRemovesSideFilesOfPrunedRows() {
    Fixture f;
    f.prefs.setMaxItems(10);
    const QString shared = f.store->saveBlob("shared-png", QStringLiteral("png"));
    QStringList blobs;
    for (int i = 0; i < 12; ++i) {
        const QByteArray png = "png-" + QByteArray::number(i);
        const QString blob = f.store->saveBlob(png, QStringLiteral("png"));
        blobs << blob;
        const QString thumb = f.makeFile(f.store->thumbsDir() + QStringLiteral("/t%1.png").arg(i));
        f.store->record({.hash = sha256Hex(png),
                         .kind = ClipKind::image,
                         .blobPath = blob,
                         .thumbPath = i == 0 ? shared : thumb});
        if (i == 1) {
            // A pinned row that still uses the file the oldest row's thumbnail shares.
            f.store->record(
                {.hash = sha256Hex("other"), .kind = ClipKind::image, .blobPath = shared});
            f.store->setPinned(f.store->items().constFirst().id, true);
        }
    }
    QCOMPARE(f.store->items().size(), 11);
    // The two oldest rows are gone, and with them their files, except one still in use.
    QVERIFY(!QFile::exists(blobs[0]));
    QVERIFY(!QFile::exists(blobs[1]));
    QVERIFY(!QFile::exists(f.store->thumbsDir() + QStringLiteral("/t1.png")));
    QVERIFY(QFile::exists(shared));
    QVERIFY(QFile::exists(blobs[2]));
    QVERIFY(QFile::exists(f.store->thumbsDir() + QStringLiteral("/t11.png")));
}

void TestClipStore::deleteKeepsSharedAndUserFiles() {
    Fixture f;
    const QString userFile = f.makeFile(f.dir.filePath(QStringLiteral("report.pdf")));
    const QString thumb = f.makeFile(f.store->thumbsDir() + QStringLiteral("/shared.png"));
    f.store->record({.hash = sha256Hex(("file:" + userFile).toUtf8()),
                     .kind = ClipKind::file,
                     .text = userFile,
                     .filePath = userFile,
                     .thumbPath = thumb});
    const QString both = userFile + QStringLiteral("\n/tmp/other");
    f.store->record({.hash = sha256Hex(("file:" + both).toUtf8()),
                     .kind = ClipKind::file,
                     .text = both,
                     .filePath = userFile,
                     .thumbPath = thumb});
    const QString rtf = f.store->saveBlob("{\\rtf1 hi}", QStringLiteral("rtf"));
    f.store->record({.hash = sha256Hex("text:hi"),
                     .kind = ClipKind::rtf,
                     .text = QStringLiteral("hi"),
                     .rtfPath = rtf});
    QCOMPARE(f.store->items().size(), 3);

    f.store->deleteItem(f.store->items().at(1));
    QVERIFY(QFile::exists(thumb)); // still used by the other file item
    f.store->deleteItem(f.store->items().at(1));
    QVERIFY(!QFile::exists(thumb));
    QVERIFY(QFile::exists(userFile)); // the user's own file is never touched
    f.store->deleteItem(f.store->items().at(0));
    QVERIFY(!QFile::exists(rtf));
    QVERIFY(f.store->items().isEmpty());
    QCOMPARE(f.store->referenceCount(QStringLiteral("thumb_path"), thumb), 0);
}

void TestClipStore::clearKeepsPinnedAndSweeps() {
    Fixture f;
    // Clearing an empty history still sweeps both folders.
    const QString stray = f.makeFile(f.store->thumbsDir() + QStringLiteral("/.hidden"));
    const QString strayBlob = f.makeFile(f.store->blobsDir() + QStringLiteral("/old.png"));
    f.store->clear();
    QVERIFY(!QFile::exists(stray));
    QVERIFY(!QFile::exists(strayBlob));

    const QString keptBlob = f.store->saveBlob("kept", QStringLiteral("png"));
    const QString keptThumb = f.makeFile(f.store->thumbsDir() + QStringLiteral("/kept.png"));
    f.store->record({.hash = sha256Hex("kept"),
                     .kind = ClipKind::image,
                     .blobPath = keptBlob,
                     .thumbPath = keptThumb});
    f.store->setPinned(f.store->items().constFirst().id, true);
    const QString goneBlob = f.store->saveBlob("gone", QStringLiteral("png"));
    f.store->record({.hash = sha256Hex("gone"), .kind = ClipKind::image, .blobPath = goneBlob});
    const QString screenshotThumb = f.makeFile(f.store->thumbsDir() + QStringLiteral("/shot.png"));
    f.store->clear();
    QCOMPARE(f.store->items().size(), 1);
    QVERIFY(f.store->items().constFirst().pinned);
    QVERIFY(QFile::exists(keptBlob));
    QVERIFY(QFile::exists(keptThumb));
    QVERIFY(!QFile::exists(goneBlob));
    QVERIFY(!QFile::exists(screenshotThumb));
}

void TestClipStore::saveBlobIsContentAddressed() {
    Fixture f;
    // The digest of "abc" holds the bytes 0x01 and 0x03: each keeps its zero digit.
    const QString a = f.store->saveBlob("abc", QStringLiteral("png"));
    QCOMPARE(a, f.store->blobsDir() +
                    QStringLiteral(
                        "/ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad.png"));
    QCOMPARE(f.store->saveBlob("abc", QStringLiteral("png")), a);
    QFile file(a);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("abc"));
    // No temporary files are left behind.
    QCOMPARE(QDir(f.store->blobsDir()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestClipStore::filesArePrivate() {
    Fixture f;
    f.recordText(QStringLiteral("secret"));
    const QString blob = f.store->saveBlob("img", QStringLiteral("png"));
    QCOMPARE(modeOf(f.base), mode_t(0700));
    QCOMPARE(modeOf(f.store->blobsDir()), mode_t(0700));
    QCOMPARE(modeOf(f.store->databasePath()), mode_t(0600));
    QCOMPARE(modeOf(f.store->databasePath() + QStringLiteral("-wal")), mode_t(0600));
    QCOMPARE(modeOf(blob), mode_t(0600));

    // Modes widened by hand or by an older version are narrowed at the next open.
    ::chmod(QFile::encodeName(f.base).constData(), 0755);
    ::chmod(QFile::encodeName(f.store->databasePath()).constData(), 0644);
    ::chmod(QFile::encodeName(blob).constData(), 0644);
    f.reopen();
    QCOMPARE(modeOf(f.base), mode_t(0700));
    QCOMPARE(modeOf(f.store->databasePath()), mode_t(0600));
    QCOMPARE(modeOf(blob), mode_t(0600));
    QCOMPARE(f.store->items().size(), 1);
}

void TestClipStore::cutoffFormatting_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 1733500000.0 << QStringLiteral("1733500000.0");
    QTest::newRow("fraction") << 1733500000.25 << QStringLiteral("1733500000.25");
    QTest::newRow("shortest") << 0.1 << QStringLiteral("0.1");
    QTest::newRow("negative") << -86400.0 << QStringLiteral("-86400.0");
}

void TestClipStore::cutoffFormatting() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(ClipStore::formatCutoff(value), text);
    QCOMPARE(ClipStore::formatCutoff(value).toDouble(), value);
}

// A history that cannot be read is never taken for an empty one: the rows'
// side files survive a clear, and a damaged file is kept aside for recovery
// while a fresh database takes over.
void TestClipStore::unreadableHistoryKeepsItsFiles() {
    Fixture f;
    const QString blob = f.store->saveBlob("pinned", QStringLiteral("png"));
    const QString thumb = f.makeFile(f.store->thumbsDir() + QStringLiteral("/t.png"));
    f.store->record({.hash = sha256Hex("pinned"),
                     .kind = ClipKind::image,
                     .blobPath = blob,
                     .thumbPath = thumb});
    f.store->setPinned(f.store->items().constFirst().id, true);
    f.recordText(QStringLiteral("unpinned"));
    f.store.reset();
    QFile db(f.base + QStringLiteral("/quillet.sqlite"));
    QVERIFY(db.open(QIODevice::ReadWrite));
    db.write(QByteArray(100, 'Z'));
    db.close();

    f.reopen();
    QVERIFY(f.store->isOpen());
    const QString aside = f.store->damagedCopy();
    QVERIFY(aside.startsWith(db.fileName() + QStringLiteral(".damaged-")));
    QFile kept(aside);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.read(100), QByteArray(100, 'Z'));
    f.recordText(QStringLiteral("after"));
    f.store->clear();
    f.store->prune();
    QVERIFY(QFile::exists(blob));
    QVERIFY(QFile::exists(thumb));
    f.recordText(QStringLiteral("fresh"), true);
    f.reopen();
    QVERIFY(f.store->damagedCopy().isEmpty());
    QCOMPARE(f.store->items().size(), 1);

    // A database that cannot be opened at all: nothing recorded, nothing swept.
    QVERIFY(QDir().mkpath(f.dir.filePath(QStringLiteral("broken/quillet.sqlite"))));
    ClipStore store(f.dir.filePath(QStringLiteral("broken")), f.prefs);
    QVERIFY(!store.isOpen());
    const QString stray = store.saveBlob("b", QStringLiteral("png"));
    store.record({.hash = sha256Hex("text:x"), .text = QStringLiteral("x")});
    store.setPinned(1, true);
    store.clear();
    QVERIFY(store.items().isEmpty());
    QVERIFY(QFile::exists(stray));
}

QTEST_GUILESS_MAIN(TestClipStore)
#include "tst_clipstore.moc"
