#include "thumbnails/ThumbnailCache.h"

#include "settings/Prefs.h"
#include "thumbnails/Sha256.h"
#include "thumbnails/Thumbnailers.h"
#include "thumbnails/ThumbnailsLog.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QThreadPool>

#include <cstdio>

namespace {
constexpr int kLongestSide = 640;
// Larger decoded bitmaps are refused unread: a small file can claim a huge picture.
constexpr qint64 kMaxDecodedBytes = 256LL * 1024 * 1024;
constexpr int kThumbnailerTimeoutMs = 10000;

QString thumbsDir() {
    static const QString dir = [] {
        const QString d = Prefs::appSupportDir() + QStringLiteral("/thumbs");
        QDir().mkpath(d);
        return d;
    }();
    return dir;
}

QThreadPool& pool() {
    static QThreadPool* p = [] {
        auto* threads = new QThreadPool;
        threads->setMaxThreadCount(2);
        return threads;
    }();
    return *p;
}

QSize fitted(QSize size) {
    if (size.width() <= kLongestSide && size.height() <= kLongestSide)
        return size;
    return size.scaled(kLongestSide, kLongestSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

// Reads an image of a known format, refusing dimensions beyond the limit
// before anything is decoded.
QImage readScaled(const QString& path, const QByteArray& format) {
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() ||
        qint64(size.width()) * size.height() * 4 > kMaxDecodedBytes)
        return {};
    reader.setScaledSize(fitted(size));
    reader.setAutoTransform(true);
    return reader.read();
}

QImage fromThumbnailer(const QString& path, const QMimeType& mime) {
    const auto command = Thumbnailers::installed().commandFor(mime);
    if (!command)
        return {};
    QTemporaryDir work;
    if (!work.isValid())
        return {};
    const QString output = work.filePath(QStringLiteral("out.png"));
    const QStringList args = Thumbnailers::expand(*command, path, output, kLongestSide);
    if (args.isEmpty())
        return {};
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(args.first(), args.mid(1));
    if (!process.waitForFinished(kThumbnailerTimeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        qCDebug(thumbnailsLog) << "thumbnailer timed out:" << args.first();
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    QImageReader reader(output);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() * 4 > kMaxDecodedBytes)
        return {};
    reader.setScaledSize(fitted(size));
    return reader.read();
}

QImage makeThumbnail(const QString& path) {
    // The bytes decide over the name (a PNG saved as .jpg is still a PNG); the
    // name only helps formats without a signature.
    const QMimeDatabase db;
    QMimeType mime = db.mimeTypeForFile(path, QMimeDatabase::MatchContent);
    if (mime.isDefault())
        mime = db.mimeTypeForFile(path);
    const QList<QByteArray> formats = QImageReader::imageFormatsForMimeType(mime.name().toLatin1());
    if (!formats.isEmpty())
        return readScaled(path, formats.first());
    return fromThumbnailer(path, mime);
}

// Owner-only (the history holds secrets) and atomic: readers never see half a file.
void writePng(const QImage& image, const QString& target) {
    QTemporaryFile file(target + QStringLiteral(".XXXXXX"));
    if (!file.open() || !image.save(&file, "PNG") || !file.flush())
        return;
    file.setAutoRemove(false);
    file.close();
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0)
        QFile::remove(file.fileName());
}
} // namespace

QUrl thumbnailURL(const QUrl& file) {
    const QString path = file.isLocalFile() ? file.toLocalFile() : file.path();
    const QDateTime modified = QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
    // Whole seconds, truncated toward zero (C++ division), 0 when unreadable.
    const qint64 seconds = modified.isValid() ? modified.toMSecsSinceEpoch() / 1000 : 0;
    const QString key = path + QLatin1Char('|') + QString::number(seconds);
    return QUrl::fromLocalFile(thumbsDir() + QLatin1Char('/') + sha256Hex(key.toUtf8()) +
                               QStringLiteral(".png"));
}

void generateThumbnail(const QUrl& source, const QUrl& target) {
    if (!source.isLocalFile() || !target.isLocalFile())
        return;
    const QString sourcePath = source.toLocalFile();
    const QString targetPath = target.toLocalFile();
    pool().start([sourcePath, targetPath] {
        const QImage image = makeThumbnail(sourcePath);
        if (image.isNull())
            return;
        writePng(image, targetPath);
    });
}

bool waitForThumbnails(int msecs) {
    return pool().waitForDone(msecs);
}
