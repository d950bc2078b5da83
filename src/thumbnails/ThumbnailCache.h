#pragma once

#include <QImage>
#include <QString>
#include <QThreadPool>
#include <QUrl>

#include <memory>

class Thumbnailers;

// Small PNG previews of files (screenshots, copied files, stored image clips),
// kept in one folder and named after the source's path and modification time,
// so a changed file gets a new preview and an unchanged one is never made
// twice. Previews are made on the cache's own two threads.
class ThumbnailCache {
public:
    // `folder` is created (owner-only) when missing.
    explicit ThumbnailCache(QString folder);
    // Waits for the previews under way: none is left half written.
    ~ThumbnailCache();

    ThumbnailCache(const ThumbnailCache&) = delete;
    ThumbnailCache& operator=(const ThumbnailCache&) = delete;

    QString folder() const { return m_folder; }

    // The cache file of a file, whether or not it exists yet.
    QUrl thumbnailURL(const QUrl& file) const;
    // The same for a cache in `folder`, for a local file.
    static QString thumbnailPath(const QString& folder, const QString& path);

    // Starts making the preview of source at target and returns at once; the
    // PNG (at most 640 px on its longest side, owner-only) appears at target
    // later, or never when nothing can preview the source.
    void generate(const QUrl& source, const QUrl& target);

    // The preview of `file` unless it is cached already; returns its path.
    QString request(const QUrl& file);
    // The same with the picture of `file` in memory already, at previewSize:
    // only written, not made from the file again.
    QString request(const QUrl& file, const QImage& preview);

    // The size of the preview of a picture of `size`.
    static QSize previewSize(QSize size);

    // For tests and benchmarks: waits until every generation started so far
    // has ended; false on timeout.
    bool waitForDone(int msecs);

private:
    QString m_folder;
    std::shared_ptr<const Thumbnailers> m_thumbnailers;
    QThreadPool m_pool;
};
