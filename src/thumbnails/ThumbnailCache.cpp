#include "thumbnails/ThumbnailCache.h"

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
    reader.setScaledSize(ThumbnailCache::previewSize(size));
    reader.setAutoTransform(true);
    return reader.read();
}

QImage fromThumbnailer(const QString& path, const QMimeType& mime,
                       const Thumbnailers& thumbnailers) {
    const auto command = thumbnailers.commandFor(mime);
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
    reader.setScaledSize(ThumbnailCache::previewSize(size));
    return reader.read();
}

QImage makeThumbnail(const QString& path, const Thumbnailers& thumbnailers) {
    // The bytes decide over the name (a PNG saved as .jpg is still a PNG); the
    // name only helps formats without a signature.
    const QMimeDatabase db;
    QMimeType mime = db.mimeTypeForFile(path, QMimeDatabase::MatchContent);
    if (mime.isDefault())
        mime = db.mimeTypeForFile(path);
    const QList<QByteArray> formats = QImageReader::imageFormatsForMimeType(mime.name().toLatin1());
    if (!formats.isEmpty())
        return readScaled(path, formats.first());
    return fromThumbnailer(path, mime, thumbnailers);
}

// Owner-only (the history holds secrets) and atomic: readers never see half a file.
void writePng(const QImage& image, const QString& target) {
    QTemporaryFile file(target + QStringLiteral(".XXXXXX"));
    if (!file.open() || !image.save(&file, "PNG") || !file.flush()) {
        qCWarning(thumbnailsLog) << "cannot write the preview" << target << file.errorString();
        return;
    }
    file.setAutoRemove(false);
    file.close();
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        qCWarning(thumbnailsLog) << "cannot put the preview in place" << target;
        QFile::remove(file.fileName());
    }
}

void store(const QImage& image, const QString& sourcePath, const QString& targetPath) {
    if (image.isNull())
        return;
    writePng(image, targetPath);
    // A source removed while its preview was made (the picture of a clip
    // that the history limit dropped meanwhile) leaves a preview that no
    // one will ask for or remove. Checked after the preview is in place:
    // whoever removes a source removes its preview after it.
    if (!QFileInfo::exists(sourcePath))
        QFile::remove(targetPath);
}
} // namespace

ThumbnailCache::ThumbnailCache(QString folder)
    : m_folder(std::move(folder)) {
    if (!QDir().mkpath(m_folder))
        qCWarning(thumbnailsLog) << "cannot create the preview folder" << m_folder;
    QFile::setPermissions(m_folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_pool.setMaxThreadCount(2);
    // A preview is written under a temporary name and renamed when complete;
    // a run that ended in the middle of one (killed, crashed) leaves that
    // file, which no later run would ever use or remove. Nothing writes here
    // before the cache exists.
    const QDir dir(m_folder);
    for (const QString& name :
         dir.entryList({QStringLiteral("*.png.??????")}, QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(dir.filePath(name));
}

ThumbnailCache::~ThumbnailCache() {
    m_pool.waitForDone();
}

QUrl ThumbnailCache::thumbnailURL(const QUrl& file) const {
    return QUrl::fromLocalFile(
        thumbnailPath(m_folder, file.isLocalFile() ? file.toLocalFile() : file.path()));
}

QString ThumbnailCache::thumbnailPath(const QString& folder, const QString& path) {
    const QDateTime modified = QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
    // Whole seconds, truncated toward zero (C++ division), 0 when unreadable.
    const qint64 seconds = modified.isValid() ? modified.toMSecsSinceEpoch() / 1000 : 0;
    const QString key = path + QLatin1Char('|') + QString::number(seconds);
    return folder + QLatin1Char('/') + sha256Hex(key.toUtf8()) + QStringLiteral(".png");
}

void ThumbnailCache::generate(const QUrl& source, const QUrl& target) {
    if (!source.isLocalFile() || !target.isLocalFile())
        return;
    const QString sourcePath = source.toLocalFile();
    const QString targetPath = target.toLocalFile();
    // Looked up at the first preview, not at start-up: most sessions never
    // need one that only a thumbnailer can make.
    if (!m_thumbnailers)
        m_thumbnailers = std::make_shared<const Thumbnailers>();
    m_pool.start([sourcePath, targetPath, thumbnailers = m_thumbnailers] {
        store(makeThumbnail(sourcePath, *thumbnailers), sourcePath, targetPath);
    });
}

QSize ThumbnailCache::previewSize(QSize size) {
    if (size.width() <= kLongestSide && size.height() <= kLongestSide)
        return size;
    return size.scaled(kLongestSide, kLongestSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QString ThumbnailCache::request(const QUrl& file) {
    const QUrl thumb = thumbnailURL(file);
    if (!QFileInfo::exists(thumb.toLocalFile()))
        generate(file, thumb);
    return thumb.toLocalFile();
}

QString ThumbnailCache::request(const QUrl& file, const QImage& preview) {
    const QUrl thumb = thumbnailURL(file);
    if (!file.isLocalFile() || QFileInfo::exists(thumb.toLocalFile()))
        return thumb.toLocalFile();
    m_pool.start([preview, sourcePath = file.toLocalFile(), targetPath = thumb.toLocalFile()] {
        store(preview, sourcePath, targetPath);
    });
    return thumb.toLocalFile();
}

bool ThumbnailCache::waitForDone(int msecs) {
    return m_pool.waitForDone(msecs);
}
