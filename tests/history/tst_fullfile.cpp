// A full disk, as a file-size limit makes it (RLIMIT_FSIZE with SIGXFSZ
// ignored, so writes past it fail with EFBIG): the history, its data files,
// its previews and the defaults file refuse what does not fit, leave no
// half-written file, keep what was stored, and work again once there is room.
#include "helpers/TempPrefs.h"
#include "helpers/TestImages.h"
#include "history/ClipStore.h"
#include "thumbnails/Sha256.h"
#include "thumbnails/ThumbnailCache.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonValue>
#include <QRegularExpression>
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
} // namespace

class TestFullFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { std::signal(SIGXFSZ, SIG_IGN); }
    void nothingHalfWrittenAndNothingLost();
};

void TestFullFile::nothingHalfWrittenAndNothingLost() {
    TempPrefs t;
    const QString base = t.dir.filePath(QStringLiteral("Quillet"));
    auto store = std::make_unique<ClipStore>(base, t.prefs);
    const auto text = [](const QString& s) {
        return NewClip{.hash = sha256Hex(s.toUtf8()), .text = s};
    };
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
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"cannot write a clip's data"_qs));
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
    QStringList texts;
    for (const ClipItem& item : reopened.items())
        texts << item.text.value_or(QString());
    QVERIFY(texts.contains(u"kept before"_qs));
    QVERIFY(!reopened.saveBlob(big, QStringLiteral("png")).isEmpty());
    JsonDefaultsStore again(t.dir.filePath(QStringLiteral("defaults.json")));
    QCOMPARE(again.object(QStringLiteral("small")), std::optional<QJsonValue>(u"value"_qs));
}

QTEST_MAIN(TestFullFile)
#include "tst_fullfile.moc"
