// A full disk, as a file-size limit makes it (RLIMIT_FSIZE with SIGXFSZ
// ignored, so writes past it fail with EFBIG), and a data folder that takes no
// writes at all: the history, its data files, its previews, the defaults file
// and the capture marks refuse what cannot be written, leave no half-written
// file, keep what was stored, and work again once there is room.
#include "helpers/ReadOnlyTree.h"
#include "helpers/TempPrefs.h"
#include "helpers/TestImages.h"
#include "history/ClipStore.h"
#include "platform/WriteFailures.h"
#include "screenshots/CaptureMarks.h"
#include "thumbnails/Sha256.h"
#include "thumbnails/ThumbnailCache.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonValue>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <csignal>
#include <sys/resource.h>

#include <memory>

namespace {
// Files of a folder whose names say they are half-written temporaries.
QStringList leftovers(const QString& folder) {
    QStringList found;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        if (name.startsWith(u'.') || name.contains(QLatin1String(".png.")))
            found << name;
    return found;
}

struct FileSizeLimit {
    rlimit before{};
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &before);
        const rlimit limit{bytes, before.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &before); }
};

NewClip text(const QString& s) {
    return {.hash = sha256Hex(s.toUtf8()), .text = s};
}

QStringList texts(const ClipStore& store) {
    QStringList found;
    for (const ClipItem& item : store.items())
        found << item.text.value_or(QString());
    return found;
}

void expectWarning(const char* what) {
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(u"cannot write "_qs + QLatin1String(what)));
}
} // namespace

class TestFullFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { std::signal(SIGXFSZ, SIG_IGN); }
    void nothingHalfWrittenAndNothingLost();
    void readOnlyFolderIsReadAndToldOnce();
};

void TestFullFile::nothingHalfWrittenAndNothingLost() {
    TempPrefs t;
    const QString base = t.dir.filePath(QStringLiteral("Quillet"));
    auto store = std::make_unique<ClipStore>(base, t.prefs);
    store->record(text(QStringLiteral("kept before")));
    t.defaults.setObject(QStringLiteral("small"), QStringLiteral("value"));
    const QByteArray big = TestImages::padded(TestImages::png(64, 64), 512 * 1024);
    ThumbnailCache thumbnails(t.dir.filePath(QStringLiteral("thumbs")));
    const QString picture = t.dir.filePath(QStringLiteral("shot.png"));
    {
        QFile file(picture); // noise, so that its preview is far larger than the limit below
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(TestImages::png(1600, 1200, true));
    }
    {
        FileSizeLimit full(256 * 1024);
        // A data file that does not fit is refused, and says so.
        expectWarning("a clip's data");
        QCOMPARE(store->saveBlob(big, QStringLiteral("png")), QString());
        QCOMPARE(leftovers(store->blobsDir()), QStringList());
        // Small rows still go in; the history stays readable.
        store->record(text(QStringLiteral("while full")));
        QVERIFY(store->items().size() >= 1);
        // A defaults file that cannot grow keeps its old contents.
        t.defaults.setObject(QStringLiteral("big"), QString(400 * 1024, u'x'));
        QVERIFY(!t.defaults.lastWriteSucceeded());
    }
    {
        // A preview that does not fit is neither made nor left half-written.
        FileSizeLimit full(1024);
        const QUrl target = thumbnails.thumbnailURL(QUrl::fromLocalFile(picture));
        thumbnails.generate(QUrl::fromLocalFile(picture), target);
        QVERIFY(thumbnails.waitForDone(10000));
        QVERIFY(!QFile::exists(target.toLocalFile()));
        QCOMPARE(leftovers(QFileInfo(target.toLocalFile()).absolutePath()), QStringList());
    }
    // Room again: everything stored before is there, and writing works.
    store.reset();
    ClipStore reopened(base, t.prefs);
    QVERIFY(reopened.damagedCopy().isEmpty());
    QVERIFY(texts(reopened).contains(u"kept before"_qs));
    QVERIFY(!reopened.saveBlob(big, QStringLiteral("png")).isEmpty());
    JsonDefaultsStore again(t.dir.filePath(QStringLiteral("defaults.json")));
    QCOMPARE(again.object(QStringLiteral("small")), std::optional<QJsonValue>(u"value"_qs));
}

void TestFullFile::readOnlyFolderIsReadAndToldOnce() {
    TempPrefs t;
    const QString base = t.dir.filePath(QStringLiteral("Quillet"));
    ClipStore(base, t.prefs).record(text(QStringLiteral("kept")));
    t.defaults.setObject(QStringLiteral("small"), QStringLiteral("value"));
    const QString picture = t.dir.filePath(QStringLiteral("shot.png"));
    {
        QFile file(picture);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(TestImages::png(64, 64)) > 0);
    }
    {
        const ReadOnlyTree readOnly(t.dir.path());
        WriteFailures failures;
        QSignalSpy told(&failures, &WriteFailures::firstFailure);
        // Its journal cannot be made here, yet the history is read.
        expectWarning("the clip history");
        ClipStore store(base, t.prefs, &failures);
        QCOMPARE(texts(store), QStringList{u"kept"_qs});
        expectWarning("a clip's data file");
        QCOMPARE(store.saveBlob("bytes", QStringLiteral("png")), QString());
        ThumbnailCache thumbnails(store.thumbsDir(), &failures);
        expectWarning("a preview");
        thumbnails.request(QUrl::fromLocalFile(picture));
        QVERIFY(thumbnails.waitForDone(10000));
        JsonDefaultsStore defaults(t.defaults.path(), &failures);
        expectWarning("the settings");
        defaults.setObject(QStringLiteral("big"), true);
        QVERIFY(!defaults.lastWriteSucceeded());
        CaptureMarks marks(base + QStringLiteral("/capture-marks"), &failures);
        expectWarning("the capture marks");
        marks.remember({{1, 2}});
        // Told once; copy after copy fails quietly from now on.
        QTest::failOnWarning(QRegularExpression(u"cannot write"_qs));
        for (const QString& s : {u"one"_qs, u"two"_qs}) {
            store.record(text(s));
            store.saveBlob(s.toUtf8(), QStringLiteral("png"));
        }
        QCOMPARE(texts(store), QStringList{u"kept"_qs});
        QCOMPARE(told.count(), 1);
        QCOMPARE(told.first().first().toString(), u"the clip history"_qs);
    }
    for (const QString& folder :
         {base, base + QStringLiteral("/blobs"), base + QStringLiteral("/thumbs")})
        QCOMPARE(leftovers(folder), QStringList());
    QVERIFY(!QFile::exists(base + QStringLiteral("/capture-marks")));
    ClipStore writable(base, t.prefs);
    QVERIFY(writable.damagedCopy().isEmpty());
    writable.record(text(QStringLiteral("again")));
    QCOMPARE(texts(writable), (QStringList{u"again"_qs, u"kept"_qs}));
    QCOMPARE(JsonDefaultsStore(t.defaults.path()).keys(), QStringList{u"small"_qs});
}

QTEST_MAIN(TestFullFile)
#include "tst_fullfile.moc"
