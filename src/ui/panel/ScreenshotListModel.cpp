#include "ui/panel/ScreenshotListModel.h"

#include "thumbnails/ThumbnailCache.h"
#include "ui/PanelFormat.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QImageReader>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

namespace {
// Decoded at twice the 118 × 86 box, enough for a high-density screen.
const QSize thumbDecodeSize(236, 172);

QImage readCovering(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > 20000LL * 20000LL)
        return {};
    if (size.width() > thumbDecodeSize.width() || size.height() > thumbDecodeSize.height()) {
        size.scale(thumbDecodeSize, Qt::KeepAspectRatioByExpanding);
        reader.setScaledSize(size);
    }
    return reader.read();
}
} // namespace

ScreenshotListModel::ScreenshotListModel(ThumbnailCache& thumbnails, QObject* parent)
    : QAbstractListModel(parent)
    , m_thumbnails(thumbnails) {}

int ScreenshotListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_urls.size());
}

QVariant ScreenshotListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_urls.size())
        return {};
    const QUrl& url = m_urls.at(index.row());
    if (role == Qt::DisplayRole)
        return m_labels.value(url);
    if (role == UrlRole)
        return url;
    // A screen reader names the file and tells its date.
    if (role == Qt::AccessibleTextRole)
        return url.fileName();
    if (role == Qt::AccessibleDescriptionRole)
        return m_labels.value(url);
    return {};
}

Qt::ItemFlags ScreenshotListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsDragEnabled : Qt::NoItemFlags;
}

void ScreenshotListModel::setScreenshots(const QList<QUrl>& urls) {
    beginResetModel();
    m_urls = urls;
    const QDateTime now = QDateTime::currentDateTime();
    QHash<QUrl, QString> labels;
    for (const QUrl& url : urls)
        labels.insert(url, screenshotDateLabel(url, now));
    m_labels = labels;
    // Cells that left the list drop their thumbnails; a renamed file is a
    // new URL and loads its own.
    for (auto it = m_states.begin(); it != m_states.end();) {
        if (!urls.contains(it.key()) && it.value() != ThumbState::loading) {
            m_thumbs.remove(it.key());
            it = m_states.erase(it);
        } else {
            ++it;
        }
    }
    endResetModel();
}

QImage ScreenshotListModel::thumbnail(int row) const {
    const QUrl url = m_urls.value(row);
    if (url.isEmpty())
        return {};
    if (m_states.value(url, ThumbState::notLoaded) == ThumbState::notLoaded)
        startLoad(url, false);
    return m_thumbs.value(url);
}

ScreenshotListModel::ThumbState ScreenshotListModel::thumbState(const QUrl& url) const {
    return m_states.value(url, ThumbState::notLoaded);
}

void ScreenshotListModel::revisit() {
    for (auto it = m_states.begin(); it != m_states.end(); ++it) {
        if (it.value() == ThumbState::missing)
            it.value() = ThumbState::notLoaded;
    }
    const QDateTime now = QDateTime::currentDateTime();
    for (const QUrl& url : std::as_const(m_urls))
        m_labels.insert(url, screenshotDateLabel(url, now));
    if (!m_urls.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(m_urls.size()) - 1));
}

QUrl ScreenshotListModel::cacheFile(const QUrl& url) const {
    return m_thumbnails.thumbnailURL(url);
}

void ScreenshotListModel::startLoad(const QUrl& url, bool secondLook) const {
    m_states.insert(url, ThumbState::loading);
    const QString path = cacheFile(url).toLocalFile();
    QPointer<ScreenshotListModel> self(const_cast<ScreenshotListModel*>(this));
    QThreadPool::globalInstance()->start([self, url, path, secondLook] {
        const QImage image = path.isEmpty() ? QImage() : readCovering(path);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, url, image, secondLook] {
                if (self)
                    self->finishLoad(url, image, secondLook);
            },
            Qt::QueuedConnection);
    });
}

void ScreenshotListModel::finishLoad(const QUrl& url, const QImage& image, bool secondLook) {
    if (!image.isNull()) {
        m_thumbs.insert(url, image);
        m_states.insert(url, ThumbState::loaded);
    } else {
        m_states.insert(url, ThumbState::missing);
        m_thumbnails.generate(url, m_thumbnails.thumbnailURL(url));
        if (!secondLook) {
            m_states.insert(url, ThumbState::loading);
            QPointer<ScreenshotListModel> self(this);
            QTimer::singleShot(secondLookMs, this, [self, url] {
                if (self)
                    self->startLoad(url, true);
            });
        }
    }
    const int row = int(m_urls.indexOf(url));
    if (row >= 0)
        Q_EMIT dataChanged(index(row), index(row));
}
