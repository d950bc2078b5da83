#include "helpers/TempPrefs.h"
#include "history/ClipStore.h"
#include "history/SqliteDatabase.h"
#include "settings/Prefs.h"
#include "thumbnails/Sha256.h"
#include "thumbnails/ThumbnailCache.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
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
    // An image row with its blob and, when given, a thumbnail file.
    QString recordImage(const QByteArray& bytes, const QString& thumb = {}, bool pinned = false) {
        const QString blob = store->saveBlob(bytes, QStringLiteral("png"));
        store->record({.hash = sha256Hex(bytes),
                       .kind = ClipKind::image,
                       .blobPath = blob,
                       .thumbPath = thumb.isEmpty() ? std::nullopt : std::optional(thumb)});
        if (pinned)
            store->setPinned(store->items().constFirst().id, true);
        return blob;
    }
    // Runs SQL on a second connection, as another tool touching the file would.
    void sql(const QString& statement) {
        SqliteDatabase db;
        QVERIFY(db.open(store->databasePath()));
        db.exec(statement);
    }
    QString makeFile(const QString& path) {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write("x");
        return path;
    }
    QString thumb(const QString& name) { return makeFile(store->thumbsDir() + u'/' + name); }
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
    void recordAndReload() {
        // A repeat moves its row to the top and keeps everything first recorded.
        Fixture f;
        const QString hash = sha256Hex("text:c");
        f.store->record({.hash = hash,
                         .kind = ClipKind::rtf,
                         .text = QStringLiteral("c"),
                         .rtfPath = QStringLiteral("/x/blobs/1.rtf"),
                         .sourceName = QStringLiteral("App")});
        f.recordText(QStringLiteral("d"));
        const double first = f.store->items().constLast().createdAt;
        QTest::qWait(5);
        f.store->record({.hash = hash, .text = QStringLiteral("c")});
        QCOMPARE(f.store->items().size(), 2);
        const ClipItem c = f.store->items().constFirst();
        QVERIFY(c.createdAt > first);
        QCOMPARE(c.kind, ClipKind::rtf);
        QCOMPARE(c.rtfPath, std::optional<QString>(QStringLiteral("/x/blobs/1.rtf")));
        QCOMPARE(c.sourceName, std::optional<QString>(QStringLiteral("App")));

        // Rows of another version: only a pin value of 1 pins; an unknown kind is text.
        f.sql(
            QStringLiteral("DELETE FROM items; INSERT INTO items(hash,kind,text,created_at,pinned) "
                           "VALUES ('h1','sparkle','s',200.0,0),('h2','file','f',50.0,1),"
                           "('h3','link','u',300.0,2)"));
        f.store->reload();
        const ClipItemList& items = f.store->items();
        QCOMPARE(items.size(), 3);
        QVERIFY(!items[0].pinned && items[0].kind == ClipKind::link); // ordered by the column
        QVERIFY(items[1].pinned && items[1].kind == ClipKind::file);
        QCOMPARE(items[2].kind, ClipKind::text);
    }

    void pruneByCountAndAge() {
        Fixture f;
        f.prefs.setMaxItems(3);
        f.recordText(QStringLiteral("pinned"), true);
        for (int i = 0; i < 11; ++i)
            f.recordText(QString::number(i));
        // The floor is 10; pinned items are neither counted nor pruned.
        QCOMPARE(f.store->items().size(), 11);
        QCOMPARE(f.store->items().constLast().text, std::optional<QString>(QStringLiteral("1")));
        QCOMPARE(f.store->items().constFirst().text,
                 std::optional<QString>(QStringLiteral("pinned")));

        f.prefs.setMaxItems(20);
        f.prefs.setMaxDays(0); // the age limit is at least one day
        const double now = QDateTime::currentMSecsSinceEpoch() / 1000.0;
        for (const auto& [text, days] : {std::pair{"2", 1.5}, {"1", 0.5}, {"pinned", 90.0}})
            f.sql(QStringLiteral("UPDATE items SET created_at=%1 WHERE text='%2'")
                      .arg(now - days * 86400, 0, 'f', 3)
                      .arg(QLatin1String(text)));
        // Rows the list has not seen yet count too (older than "1", newer than the age limit).
        f.sql(QStringLiteral(
                  "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<29) "
                  "INSERT INTO items(hash,kind,text,created_at) "
                  "SELECT 'bulk'||i,'text','b'||i,%1+i FROM n")
                  .arg(now - 0.9 * 86400, 0, 'f', 3));
        f.store->prune();
        QStringList texts;
        for (const ClipItem& item : f.store->items())
            texts << item.text.value_or(QString());
        QCOMPARE(texts.size(), 21);
        QVERIFY(!texts.contains(QStringLiteral("2")));
        QVERIFY(texts.contains(QStringLiteral("1")));
        QVERIFY(texts.contains(QStringLiteral("pinned")));

        // Pruned rows take their side files along, except one a kept row still uses.
        Fixture g;
        g.prefs.setMaxItems(10);
        const QString shared = g.store->saveBlob("shared-png", QStringLiteral("png"));
        QStringList blobs;
        for (int i = 0; i < 12; ++i) {
            blobs << g.recordImage("png-" + QByteArray::number(i),
                                   i == 0 ? shared : g.thumb(QStringLiteral("t%1.png").arg(i)));
            if (i == 1) // pinned, with the file the oldest row's thumbnail shares
                g.recordImage("shared-png", {}, true);
        }
        QCOMPARE(g.store->items().size(), 11);
        QVERIFY(!QFile::exists(blobs[0]));
        QVERIFY(!QFile::exists(g.store->thumbsDir() + QStringLiteral("/t1.png")));
        QVERIFY(QFile::exists(shared));
        QVERIFY(QFile::exists(blobs[2]));
        QVERIFY(QFile::exists(g.store->thumbsDir() + QStringLiteral("/t11.png")));
    }

    void deleteAndClearKeepFilesStillInUse() {
        Fixture f;
        const QString userFile = f.makeFile(f.dir.filePath(QStringLiteral("report.pdf")));
        const QString thumb = f.thumb(QStringLiteral("shared.png"));
        for (const QString& text : {userFile, userFile + QStringLiteral("\n/tmp/other")})
            f.store->record({.hash = sha256Hex(("file:" + text).toUtf8()),
                             .kind = ClipKind::file,
                             .text = text,
                             .filePath = userFile,
                             .thumbPath = thumb});
        const QString rtf = f.store->saveBlob("{\\rtf1 hi}", QStringLiteral("rtf"));
        f.store->record({.hash = sha256Hex("text:hi"),
                         .kind = ClipKind::rtf,
                         .text = QStringLiteral("hi"),
                         .rtfPath = rtf});
        QCOMPARE(f.store->items().size(), 3);
        // The same text copied again with other formatting keeps the row's own.
        const QString other = f.store->saveBlob("{\\rtf1 \\b hi}", QStringLiteral("rtf"));
        f.store->record({.hash = sha256Hex("text:hi"),
                         .kind = ClipKind::rtf,
                         .text = QStringLiteral("hi"),
                         .rtfPath = other});
        QVERIFY(!QFile::exists(other));
        QCOMPARE(f.store->items().at(0).rtfPath, rtf);
        f.store->deleteItem(f.store->items().at(1));
        QVERIFY(QFile::exists(thumb)); // still used by the other file item
        f.store->deleteItem(f.store->items().at(1));
        QVERIFY(!QFile::exists(thumb));
        QVERIFY(QFile::exists(userFile)); // the user's own file is never touched
        f.store->deleteItem(f.store->items().at(0));
        QVERIFY(!QFile::exists(rtf));

        // Clearing an empty history still sweeps both folders.
        const QString stray = f.thumb(QStringLiteral(".hidden"));
        const QString strayBlob = f.makeFile(f.store->blobsDir() + QStringLiteral("/old.png"));
        f.store->clear();
        QVERIFY(!QFile::exists(stray));
        QVERIFY(!QFile::exists(strayBlob));
        // Clearing keeps pinned rows and their files, and sweeps whatever else is there.
        const QString keptThumb = f.thumb(QStringLiteral("kept.png"));
        const QString keptBlob = f.recordImage("kept", keptThumb, true);
        const QString goneBlob = f.recordImage("gone");
        f.store->clear();
        QCOMPARE(f.store->items().size(), 1);
        QVERIFY(f.store->items().constFirst().pinned);
        QVERIFY(QFile::exists(keptBlob));
        QVERIFY(QFile::exists(keptThumb));
        QVERIFY(!QFile::exists(goneBlob));
    }

    void blobsAreContentAddressedAndFilesPrivate() {
        Fixture f;
        f.recordText(QStringLiteral("secret"));
        // The digest of "abc" holds the bytes 0x01 and 0x03: each keeps its zero digit.
        const QString blob = f.recordImage("abc");
        QCOMPARE(blob,
                 f.store->blobsDir() +
                     QStringLiteral(
                         "/ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad.png"));
        QCOMPARE(f.store->saveBlob("abc", QStringLiteral("png")), blob);
        // No temporary files are left behind.
        QCOMPARE(QDir(f.store->blobsDir()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        QCOMPARE(modeOf(f.store->blobsDir()), mode_t(0700));
        // Modes widened by hand or by an older version are narrowed at the next open.
        for (const QString& path : {f.base, f.store->databasePath(), blob}) {
            const bool folder = path == f.base;
            QCOMPARE(modeOf(path), folder ? mode_t(0700) : mode_t(0600));
            ::chmod(QFile::encodeName(path).constData(), folder ? 0755 : 0644);
        }
        // What a killed run was writing, or left without its row (and the
        // preview of that), goes at the next open; a screenshot's preview stays.
        const QString unused = f.makeFile(f.store->blobsDir() + QStringLiteral("/unused.png"));
        const QString unusedPreview =
            f.makeFile(ThumbnailCache::thumbnailPath(f.store->thumbsDir(), unused));
        const QString half = f.makeFile(f.store->blobsDir() + QStringLiteral("/.blob-a1B2c3"));
        const QString preview = f.thumb(QStringLiteral("screenshot.png"));
        f.reopen();
        for (const QString& gone : {unused, unusedPreview, half})
            QVERIFY2(!QFile::exists(gone), qPrintable(gone));
        QVERIFY(QFile::exists(preview));
        QCOMPARE(modeOf(f.base), mode_t(0700));
        QCOMPARE(modeOf(f.store->databasePath()), mode_t(0600));
        QCOMPARE(modeOf(blob), mode_t(0600));
        QCOMPARE(f.store->items().size(), 2);
        // A file that cannot be written is not passed off as written (root ignores modes).
        QVERIFY(QDir(f.store->blobsDir()).removeRecursively());
        QVERIFY(QFile(f.store->blobsDir()).open(QIODevice::WriteOnly));
        QCOMPARE(f.store->saveBlob("new", QStringLiteral("png")), QString());
    }

    // An unreadable history is never taken for an empty one: the damaged file is kept
    // aside as it was found, with its journal (replayed into the fresh one it would
    // damage that too), a fresh one takes over, and the unread rows' files survive a clear.
    void damagedHistoryIsKeptAside_data() {
        QTest::addColumn<QString>("damage");
        for (const char* damage : {"header overwritten", "file truncated", "another's journal"})
            QTest::newRow(damage) << QString::fromLatin1(damage);
    }
    void damagedHistoryIsKeptAside() {
        QFETCH(QString, damage);
        Fixture f;
        const QString thumb = f.thumb(QStringLiteral("t.png"));
        const QString blob = f.recordImage("pinned", thumb, true);
        f.recordText(QStringLiteral("unpinned"));
        f.store.reset();
        QFile db(f.base + QStringLiteral("/quillet.sqlite"));
        QFile wal(db.fileName() + QStringLiteral("-wal"));
        SqliteDatabase other; // open while its journal is copied
        if (damage == u"another's journal"_qs) {
            const QString path = f.dir.filePath(QStringLiteral("other.sqlite"));
            QVERIFY(other.open(path) && other.exec(u"PRAGMA journal_mode=WAL"_qs) &&
                    other.exec(u"CREATE TABLE notes(x); INSERT INTO notes VALUES(1)"_qs));
            QVERIFY(QFile::copy(path + QStringLiteral("-wal"), wal.fileName()));
        } else {
            QVERIFY(db.open(QIODevice::ReadWrite));
            if (damage == u"file truncated"_qs)
                QVERIFY(db.resize(db.size() / 2));
            else
                db.write(QByteArray(100, 'Z'));
            db.close();
            QVERIFY(wal.open(QIODevice::WriteOnly));
            wal.close();
        }
        QVERIFY(db.open(QIODevice::ReadOnly) && wal.open(QIODevice::ReadOnly));
        const QByteArray found = db.readAll() + wal.readAll();
        db.close();
        wal.close();

        f.reopen();
        QVERIFY(f.store->isOpen());
        const QString aside = f.store->damagedCopy();
        QVERIFY(aside.startsWith(db.fileName() + QStringLiteral(".damaged-")));
        QFile kept(aside), keptWal(aside + QStringLiteral("-wal"));
        QVERIFY(kept.open(QIODevice::ReadOnly) && keptWal.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll() + keptWal.readAll(), found);
        QVERIFY(f.store->items().isEmpty());
        f.recordText(QStringLiteral("after"));
        f.store->clear();
        f.store->prune();
        QVERIFY(QFile::exists(blob));
        QVERIFY(QFile::exists(thumb));
        f.recordText(QStringLiteral("fresh"), true);
        f.reopen();
        QVERIFY(f.store->damagedCopy().isEmpty());
        QCOMPARE(f.store->items().size(), 1);
    }

    // A database that cannot be opened at all: nothing recorded, nothing swept.
    void unopenableHistoryKeepsItsFiles() {
        Fixture f;
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
};

QTEST_GUILESS_MAIN(TestClipStore)
#include "tst_clipstore.moc"
