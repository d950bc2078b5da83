#include "helpers/TestImages.h"
#include "settings/Prefs.h"
#include "thumbnails/Sha256.h"
#include "thumbnails/ThumbnailCache.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestThumbnailCache : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void namesFollowPathAndModificationTime();
    void imagesAreScaledAndPrivate();
    void hostileImagesMakeNothing_data();
    void hostileImagesMakeNothing();
    void otherTypesGoThroughThumbnailers();

private:
    QString write(const QString& name, const QByteArray& bytes);
    QTemporaryDir m_dir;
    ThumbnailCache m_cache{Prefs::appSupportDir() + QStringLiteral("/thumbs")};
};

QString TestThumbnailCache::write(const QString& name, const QByteArray& bytes) {
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

void TestThumbnailCache::initTestCase() {
    // A thumbnailer of our own for PDF files, found like the system's ones.
    const QString picture = write(QStringLiteral("preview.png"), TestImages::png(1280, 960));
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/thumbnailers";
    QVERIFY(QDir().mkpath(folder));
    QFile entry(folder + QStringLiteral("/quillet-test.thumbnailer"));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Thumbnailer Entry]\nExec=/bin/cp \"" + picture.toUtf8() +
                "\" %o\nMimeType=application/pdf;\n");
}

void TestThumbnailCache::namesFollowPathAndModificationTime() {
    const QString a = write(QStringLiteral("a.txt"), "a");
    const QString b = write(QStringLiteral("b.txt"), "b");
    const QDateTime t = QDateTime::fromSecsSinceEpoch(1700000000).addMSecs(900);
    for (const QString& path : {a, b}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(t, QFileDevice::FileModificationTime));
    }
    const QString thumbs = Prefs::appSupportDir() + QStringLiteral("/thumbs/");
    const QUrl url = m_cache.thumbnailURL(QUrl::fromLocalFile(a));
    // Seconds are truncated, not rounded.
    QCOMPARE(url.toLocalFile(), thumbs + sha256Hex((a + "|1700000000").toUtf8()) + ".png");
    QVERIFY(QFileInfo(thumbs).isDir());
    QCOMPARE(m_cache.thumbnailURL(QUrl::fromLocalFile(a)), url);
    QVERIFY(m_cache.thumbnailURL(QUrl::fromLocalFile(b)) != url);

    QFile f(a);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(t.addSecs(5), QFileDevice::FileModificationTime));
    QVERIFY(m_cache.thumbnailURL(QUrl::fromLocalFile(a)) != url);

    const QString missing = m_dir.filePath(QStringLiteral("gone.png"));
    QCOMPARE(m_cache.thumbnailURL(QUrl::fromLocalFile(missing)).toLocalFile(),
             thumbs + sha256Hex((missing + "|0").toUtf8()) + ".png");
}

void TestThumbnailCache::imagesAreScaledAndPrivate() {
    struct Case {
        QString name;
        QByteArray bytes;
        QSize expected;
    };
    const QList<Case> cases{
        {QStringLiteral("wide.png"), TestImages::png(2000, 1000), QSize(640, 320)},
        {QStringLiteral("small.png"), TestImages::png(100, 50), QSize(100, 50)},
        {QStringLiteral("tall.tiff"), TestImages::tiff(300, 900), QSize(213, 640)},
        // The content decides, not a misleading name.
        {QStringLiteral("named.jpg"), TestImages::png(700, 700), QSize(640, 640)},
    };
    for (const Case& c : cases) {
        const QUrl source = QUrl::fromLocalFile(write(c.name, c.bytes));
        const QUrl target = m_cache.thumbnailURL(source);
        m_cache.generate(source, target);
        QVERIFY(m_cache.waitForDone(10000));
        const QImage thumb(target.toLocalFile());
        QCOMPARE(thumb.size(), c.expected);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(target.toLocalFile()).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
    }
    // No temporary file is left beside the thumbnails.
    const QStringList left = QDir(Prefs::appSupportDir() + "/thumbs").entryList(QDir::Files);
    for (const QString& name : left)
        QVERIFY2(name.endsWith(QLatin1String(".png")), qPrintable(name));
}

void TestThumbnailCache::hostileImagesMakeNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("bomb") << "bomb.png" << TestImages::pngBomb(20000, 20000);
    QTest::newRow("truncated") << "cut.png" << TestImages::truncatedPng();
    QTest::newRow("not an image") << "fake.png" << QByteArray("\x89PNG but not really");
    QTest::newRow("no thumbnailer") << "notes.txt" << QByteArray("just text");
}

void TestThumbnailCache::hostileImagesMakeNothing() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    const QUrl source = QUrl::fromLocalFile(write(name, bytes));
    const QUrl target = m_cache.thumbnailURL(source);
    m_cache.generate(source, target);
    QVERIFY(m_cache.waitForDone(10000));
    // A truncated PNG may still yield its upper half; anything else yields nothing.
    if (name != QLatin1String("cut.png"))
        QVERIFY(!QFile::exists(target.toLocalFile()));
}

void TestThumbnailCache::otherTypesGoThroughThumbnailers() {
    const QUrl source =
        QUrl::fromLocalFile(write(QStringLiteral("doc.pdf"), "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n"));
    const QUrl target = m_cache.thumbnailURL(source);
    m_cache.generate(source, target);
    QVERIFY(m_cache.waitForDone(15000));
    QCOMPARE(QImage(target.toLocalFile()).size(), QSize(640, 480));
}

QTEST_MAIN(TestThumbnailCache)
#include "tst_thumbnailcache.moc"
