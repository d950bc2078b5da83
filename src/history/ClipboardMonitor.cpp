#include "history/ClipboardMonitor.h"

#include "history/ClipImageEncoder.h"
#include "history/ClipStore.h"
#include "history/ClipText.h"
#include "history/HistoryLog.h"
#include "platform/FrontmostApp.h"
#include "platform/Pasteboard.h"
#include "settings/Prefs.h"
#include "thumbnails/Sha256.h"
#include "thumbnails/ThumbnailCache.h"

#include <QFileInfo>
#include <QFutureWatcher>
#include <QPointer>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include <pthread.h>
#include <sys/prctl.h>

ClipboardMonitor::ClipboardMonitor(Pasteboard& pasteboard, FrontmostApp& frontmost,
                                   ClipStore& store, ThumbnailCache& thumbnails, Prefs& prefs,
                                   QObject* parent)
    : QObject(parent)
    , m_pasteboard(pasteboard)
    , m_frontmost(frontmost)
    , m_store(store)
    , m_thumbnails(thumbnails)
    , m_prefs(prefs)
    , m_lastChange(pasteboard.changeCount())
    , m_takenChange(m_lastChange) {
    m_readPool.setMaxThreadCount(1);
    m_imagePool.setMaxThreadCount(1);
}

ClipboardMonitor::~ClipboardMonitor() {
    // Joined here, while the object is whole: a tick queued meanwhile is
    // dropped with the object.
    m_poller = {};
}

void ClipboardMonitor::start() {
    // A picture's preview is made after its row is added, so a run that ended
    // abruptly (killed, crashed) can leave a picture without one for good.
    for (const ClipItem& item : m_store.items()) {
        if (item.kind == ClipKind::image && item.blobPath && item.thumbPath &&
            !QFileInfo::exists(*item.thumbPath) &&
            ThumbnailCache::thumbnailPath(m_thumbnails.folder(), *item.blobPath) == *item.thumbPath)
            m_thumbnails.generate(QUrl::fromLocalFile(*item.blobPath),
                                  QUrl::fromLocalFile(*item.thumbPath));
    }
    // A plain thread asleep between ticks: an event loop of its own would
    // cost more per tick than the tick itself, twice a second for as long as
    // Quillet runs.
    m_poller = {};
    m_poller = std::jthread([this](const std::stop_token& stop) { poll(stop); });

    // A change of owner is known at once; queued so the capture never runs
    // inside the clipboard's own notification.
    connect(
        &m_pasteboard, &Pasteboard::changed, this, [this] { tick(m_pasteboard.changeCount()); },
        Qt::QueuedConnection);
}

void ClipboardMonitor::poll(const std::stop_token& stop) {
    pthread_setname_np(pthread_self(), "clipboard poll");
    // Like a coarse timer: the kernel may move a tick by up to 5% to share a
    // wake-up with something else.
    prctl(PR_SET_TIMERSLACK, 25'000'000UL);
    std::mutex mutex;
    std::condition_variable_any sleeper;
    std::unique_lock lock(mutex);
    auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(kFirstPollMs);
    for (;;) {
        // Sleeps until the tick, or wakes at once when asked to stop.
        sleeper.wait_until(lock, stop, next, [] { return false; });
        if (stop.stop_requested())
            return;
        next = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPollIntervalMs);
        const qint64 count = m_pasteboard.changeCount();
        // Nothing new: the main thread is left asleep.
        if (count == m_takenChange.load())
            continue;
        // The receiver context drops the call once the monitor is gone.
        QMetaObject::invokeMethod(
            this, [this, count] { tick(count); }, Qt::QueuedConnection);
    }
}

void ClipboardMonitor::tick(qint64 changeCount) {
    if (changeCount == m_lastChange)
        return;
    // Moves also while history is off, so those copies are never recorded later.
    m_lastChange = changeCount;
    m_takenChange = changeCount;
    if (!m_prefs.clipboardEnabled()) {
        m_lastOfferRecorded = false;
        Q_EMIT changeHandled(changeCount);
        return;
    }
    capture(changeCount, kRetries);
}

void ClipboardMonitor::capture(qint64 changeCount, int retries) {
    if (m_pasteboard.changeCount() != changeCount) {
        Q_EMIT changeHandled(changeCount);
        return;
    }
    const std::optional<FrontApp> front = m_frontmost.frontmost();
    if (front && front->id && m_prefs.excludedApps().contains(*front->id)) {
        m_lastOfferRecorded = false;
        Q_EMIT changeHandled(changeCount);
        return;
    }
    const Source source{front ? front->id : std::nullopt, front ? front->name : std::nullopt};

    // The place in the history is taken now; what was readable when the
    // capture started is recorded even if a newer change arrives meanwhile.
    const quint64 ticket = m_commits.reserve();
    auto* watcher = new QFutureWatcher<ClipOffer>(this);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, ticket, changeCount, retries, source] {
                watcher->deleteLater();
                ingest(ticket, changeCount, retries, watcher->result(), source);
            });
    Pasteboard* pasteboard = &m_pasteboard;
    watcher->setFuture(
        QtConcurrent::run(&m_readPool, [pasteboard] { return ClipReader::read(*pasteboard); }));
}

void ClipboardMonitor::ingest(quint64 ticket, qint64 changeCount, int retries,
                              const ClipOffer& offer, const Source& source) {
    switch (offer.kind) {
    case ClipOffer::Kind::nothing:
        m_commits.fulfil(ticket, {});
        if (retries < 1) {
            // Nothing the history could read: it never had this offer either.
            handled(changeCount, false);
            return;
        }
        // The timer's context is the weak reference: a monitor that is gone is not called.
        ++m_retriesPending;
        QTimer::singleShot(kRetryDelayMs, this, [this, changeCount, retries] {
            --m_retriesPending;
            capture(changeCount, retries - 1);
        });
        return;
    case ClipOffer::Kind::skipped:
        qCDebug(historyLog) << "clipboard change" << changeCount << "skipped";
        m_commits.fulfil(ticket, [this, changeCount] { handled(changeCount, false); });
        return;
    case ClipOffer::Kind::files:
        m_commits.fulfil(ticket, [this, changeCount, urls = offer.urls, source] {
            recordFiles(changeCount, urls, source);
        });
        return;
    case ClipOffer::Kind::text:
        m_commits.fulfil(
            ticket, [this, changeCount, offer, source] { recordText(changeCount, offer, source); });
        return;
    case ClipOffer::Kind::image:
        ingestImage(ticket, changeCount, offer, source);
        return;
    }
}

void ClipboardMonitor::handled(qint64 changeCount, bool recorded) {
    m_lastOfferRecorded = recorded;
    Q_EMIT changeHandled(changeCount);
}

void ClipboardMonitor::recordFiles(qint64 changeCount, const QList<QUrl>& urls,
                                   const Source& source) {
    QStringList paths;
    for (const QUrl& url : urls)
        paths.append(url.toLocalFile());
    const QString text = paths.join(QLatin1Char('\n'));
    const QString thumb = m_thumbnails.request(urls.first());
    m_store.record({.hash = sha256Hex((QStringLiteral("file:") + text).toUtf8()),
                    .kind = ClipKind::file,
                    .text = text,
                    .filePath = paths.first(),
                    .thumbPath = thumb,
                    .sourceApp = source.app,
                    .sourceName = source.name});
    handled(changeCount, true);
}

void ClipboardMonitor::ingestImage(quint64 ticket, qint64 changeCount, const ClipOffer& offer,
                                   const Source& source) {
    // Decoding a large picture takes long enough to be felt: a worker does
    // it, and its result keeps the place the change took in the history.
    auto* watcher = new QFutureWatcher<std::optional<ClipImageEncoder::Result>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, ticket, changeCount, source] {
                watcher->deleteLater();
                m_commits.fulfil(ticket, [this, result = watcher->result(), changeCount, source] {
                    if (!result) {
                        handled(changeCount, false);
                        return;
                    }
                    const QString blob =
                        m_store.saveBlob(result->png, QStringLiteral("png"), result->hash);
                    // A row without its picture would only say "the file is gone".
                    if (blob.isEmpty()) {
                        handled(changeCount, false);
                        return;
                    }
                    const QString thumb =
                        m_thumbnails.request(QUrl::fromLocalFile(blob), result->preview);
                    m_store.record({.hash = result->hash,
                                    .kind = ClipKind::image,
                                    .blobPath = blob,
                                    .thumbPath = thumb,
                                    .sourceApp = source.app,
                                    .sourceName = source.name,
                                    .downscaled = result->downscaled});
                    handled(changeCount, true);
                });
            });
    watcher->setFuture(QtConcurrent::run(
        &m_imagePool, [bytes = offer.image, format = offer.imageFormat]() mutable {
            // Handed over, so the encoder can let go of the bytes once decoded.
            return ClipImageEncoder::encode(std::move(bytes), format);
        }));
}

void ClipboardMonitor::recordText(qint64 changeCount, const ClipOffer& offer,
                                  const Source& source) {
    std::optional<QString> rtfPath;
    // Without its RTF file the clip is still kept, as plain text.
    if (offer.rtf) {
        if (QString path = m_store.saveBlob(*offer.rtf, QStringLiteral("rtf")); !path.isEmpty())
            rtfPath = std::move(path);
    }
    const ClipKind kind = ClipText::isLink(offer.text) ? ClipKind::link
                          : rtfPath                    ? ClipKind::rtf
                                                       : ClipKind::text;
    m_store.record({.hash = sha256Hex((QStringLiteral("text:") + offer.text).toUtf8()),
                    .kind = kind,
                    .text = offer.text,
                    .rtfPath = rtfPath,
                    .sourceApp = source.app,
                    .sourceName = source.name});
    handled(changeCount, true);
}
