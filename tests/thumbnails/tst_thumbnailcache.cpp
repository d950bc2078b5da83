#include "helpers/TestImages.h"
#include "settings/Prefs.h"
#include "thumbnails/Sha256.h"
#include "thumbnails/ThumbnailCache.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestThumbnailCache : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // First: thumbnailers are looked up at the first preview.
    void otherTypesGoThroughThumbnailers();
    void namesFollowPathAndModificationTime();
    void imagesAreScaledAndPrivate();

private:
    QString write(const QString& name, const QByteArray& bytes) {
        QFile f(m_dir.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return f.fileName();
    }
    // Makes the thumbnail of a new file with these bytes and returns its path.
    QString thumbnail(const QString& name, const QByteArray& bytes, int timeoutMs = 10000) {
        const QUrl source = QUrl::fromLocalFile(write(name, bytes));
        const QUrl target = m_cache.thumbnailURL(source);
        m_cache.generate(source, target);
        return m_cache.waitForDone(timeoutMs) ? target.toLocalFile() : QString();
    }
    QTemporaryDir m_dir;
    QString m_thumbs = Prefs::appSupportDir() + QStringLiteral("/thumbs");
    ThumbnailCache m_cache{m_thumbs};
};

void TestThumbnailCache::namesFollowPathAndModificationTime() {
    const QString a = write(QStringLiteral("a.txt"), "a");
    QFile f(a);
    QVERIFY(f.open(QIODevice::ReadWrite));
    const QDateTime t = QDateTime::fromSecsSinceEpoch(1700000000).addMSecs(900);
    QVERIFY(f.setFileTime(t, QFileDevice::FileModificationTime));
    const QUrl url = m_cache.thumbnailURL(QUrl::fromLocalFile(a));
    // Seconds are truncated, not rounded.
    QCOMPARE(url.toLocalFile(), m_thumbs + u'/' + sha256Hex((a + "|1700000000").toUtf8()) + ".png");
    QVERIFY(f.setFileTime(t.addSecs(5), QFileDevice::FileModificationTime));
    QVERIFY(m_cache.thumbnailURL(QUrl::fromLocalFile(a)) != url);

    const QString missing = m_dir.filePath(QStringLiteral("gone.png"));
    QCOMPARE(m_cache.thumbnailURL(QUrl::fromLocalFile(missing)).toLocalFile(),
             m_thumbs + u'/' + sha256Hex((missing + "|0").toUtf8()) + ".png");
}

void TestThumbnailCache::imagesAreScaledAndPrivate() {
    for (const auto& [name, bytes, expected] :
         {std::tuple{"wide.png", TestImages::png(2000, 1000), QSize(640, 320)},
          {"small.png", TestImages::png(100, 50), QSize(100, 50)},
          {"tall.tiff", TestImages::tiff(300, 900), QSize(213, 640)},
          // The content decides, not a misleading name.
          {"named.jpg", TestImages::png(700, 700), QSize(640, 640)}}) {
        const QString thumb = thumbnail(QString::fromLatin1(name), bytes);
        QCOMPARE(QImage(thumb).size(), expected);
        QCOMPARE(QFile::permissions(thumb), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadUser | QFileDevice::WriteUser);
    }
    // Hostile or unreadable input makes nothing (a truncated PNG may still
    // yield its upper half), and no temporary file is left beside the thumbnails.
    QVERIFY(!thumbnail(QStringLiteral("cut.png"), TestImages::truncatedPng()).isEmpty());
    for (const auto& [name, bytes] : {std::pair{"bomb.png", TestImages::pngBomb(20000, 20000)},
                                      {"fake.png", QByteArray("\x89PNG but not really")},
                                      {"notes.txt", QByteArray("just text")}}) {
        const QString thumb = thumbnail(QString::fromLatin1(name), bytes);
        QVERIFY2(!thumb.isEmpty() && !QFile::exists(thumb), name);
    }
    const QStringList finished = QDir(m_thumbs).entryList(QDir::Files);
    for (const QString& left : finished)
        QVERIFY2(left.endsWith(QLatin1String(".png")), qPrintable(left));
    // One that a killed run left half written goes when the next run's cache starts.
    QFile half(m_thumbs + QStringLiteral("/0123.png.a1B2c3"));
    QVERIFY(half.open(QIODevice::WriteOnly));
    half.close();
    const ThumbnailCache next(m_thumbs);
    QCOMPARE(QDir(m_thumbs).entryList(QDir::Files), finished);
}

// A thumbnailer of our own for PDF files, found like the system's ones.
void TestThumbnailCache::otherTypesGoThroughThumbnailers() {
    const QString picture = write(QStringLiteral("preview.png"), TestImages::png(1280, 960));
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/thumbnailers";
    QVERIFY(QDir().mkpath(folder));
    QFile entry(folder + QStringLiteral("/quillet-test.thumbnailer"));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Thumbnailer Entry]\nExec=/bin/cp \"" + picture.toUtf8() +
                "\" %o\nMimeType=application/pdf;\n");
    entry.close();
    const QString thumb =
        thumbnail(QStringLiteral("doc.pdf"), "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n", 15000);
    QCOMPARE(QImage(thumb).size(), QSize(640, 480));
}

QTEST_MAIN(TestThumbnailCache)
#include "tst_thumbnailcache.moc"
