#pragma once

#include "history/ClipReader.h"
#include "history/OrderedCommits.h"

#include <QObject>

#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <optional>
#include <thread>

class ClipStore;
class FrontmostApp;
class Pasteboard;
class Prefs;
class ThumbnailCache;

// Turns clipboard changes into history items. A background timer reads the
// pasteboard's change count (nothing else) every 0.5 s; a change of owner
// also runs that check at once, so a copy is recorded within milliseconds
// and the timer is only the safety net. Whether a change is looked at is
// decided on the main thread when its capture starts; the transfer runs on
// a reading worker and image conversion on a second one, so neither a slow
// owner nor a large picture holds up the main thread, and the next change is
// read while a picture is still being converted. Changes are recorded in the
// order their captures started.
class ClipboardMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int kFirstPollMs = 1000;
    static constexpr int kPollIntervalMs = 500;
    static constexpr int kRetries = 5;
    static constexpr int kRetryDelayMs = 250;
    // Rich text of this size or more is not kept.
    static constexpr qint64 kMaxRtfBytes = ClipReader::kMaxRtfBytes;

    ClipboardMonitor(Pasteboard& pasteboard, FrontmostApp& frontmost, ClipStore& store,
                     ThumbnailCache& thumbnails, Prefs& prefs, QObject* parent = nullptr);
    ~ClipboardMonitor() override;

    // Starts watching; whatever the clipboard held before construction is never
    // recorded. Makes the previews that pictures in the history lack.
    void start();

    qint64 lastChange() const { return m_lastChange; }
    // The latest change that offered anything was recorded: false after a
    // concealed, transient, excluded or otherwise refused offer, and after
    // a copy made while history was off.
    bool lastOfferRecorded() const { return m_lastOfferRecorded; }
    // No capture is running or waiting for a retry.
    bool isIdle() const { return m_commits.idle() && m_retriesPending == 0; }

Q_SIGNALS:
    // One change has been dealt with: recorded, ignored, skipped, or given up.
    void changeHandled(qint64 changeCount);

private:
    struct Source {
        std::optional<QString> app;
        std::optional<QString> name;
    };

    void tick(qint64 changeCount);
    // The background timer: wakes only to read the change count.
    void poll(const std::stop_token& stop);
    void capture(qint64 changeCount, int retries);
    // Main thread, with what the reading worker found.
    void ingest(quint64 ticket, qint64 changeCount, int retries, const ClipOffer& offer,
                const Source& source);
    void recordFiles(qint64 changeCount, const QList<QUrl>& urls, const Source& source);
    void recordText(qint64 changeCount, const ClipOffer& offer, const Source& source);
    void ingestImage(quint64 ticket, qint64 changeCount, const ClipOffer& offer,
                     const Source& source);
    void handled(qint64 changeCount, bool recorded);

    Pasteboard& m_pasteboard;
    FrontmostApp& m_frontmost;
    ClipStore& m_store;
    ThumbnailCache& m_thumbnails;
    Prefs& m_prefs;
    qint64 m_lastChange;
    // The change the main thread has taken up, for the poll thread to skip
    // a tick that would find nothing new (no wake-up of the main thread).
    std::atomic<qint64> m_takenChange;
    bool m_lastOfferRecorded = false;
    int m_retriesPending = 0;
    OrderedCommits m_commits;
    // One transfer at a time, so a pasteboard is read from one thread only.
    QThreadPool m_readPool;
    // One image at a time: a burst of large copies must not multiply the memory.
    QThreadPool m_imagePool;
    // Last, so that it is stopped before anything it reads goes away.
    std::jthread m_poller;
};
