#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QImage>
#include <QList>
#include <QUrl>

class ThumbnailCache;

// The screenshot grid's cells: the watcher's list of files, newest first,
// with their date labels and thumbnails. A thumbnail is loaded when its
// cell is first painted; a missing one is generated and looked at again
// 0.6 s later, and a cell still without one shows the placeholder until the
// panel is shown again.
class ScreenshotListModel : public QAbstractListModel {
    Q_OBJECT

public:
    static constexpr int secondLookMs = 600;
    enum Role { UrlRole = Qt::UserRole + 1 };
    enum class ThumbState { notLoaded, loading, loaded, missing };

    explicit ScreenshotListModel(ThumbnailCache& thumbnails, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void setScreenshots(const QList<QUrl>& urls);
    const QList<QUrl>& screenshots() const { return m_urls; }
    QUrl url(int row) const { return m_urls.value(row); }

    // The loaded thumbnail of a row (null while there is none); asking
    // starts the loading of a row seen for the first time.
    QImage thumbnail(int row) const;
    ThumbState thumbState(const QUrl& url) const;
    // Called when the panel shows again: missing thumbnails get a new
    // chance and "Today" labels are recomputed.
    void revisit();

private:
    void startLoad(const QUrl& url, bool secondLook) const;
    void finishLoad(const QUrl& url, const QImage& image, bool secondLook);
    QUrl cacheFile(const QUrl& url) const;

    ThumbnailCache& m_thumbnails;
    QList<QUrl> m_urls;
    QHash<QUrl, QString> m_labels;
    mutable QHash<QUrl, QImage> m_thumbs;
    mutable QHash<QUrl, ThumbState> m_states;
};
