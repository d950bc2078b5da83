#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <optional>

class ClipStore;
class FrontmostApp;
class Pasteboard;
class Prefs;
class QThread;

// Turns clipboard changes into history items. A background timer reads the
// pasteboard's change count (nothing else) every 0.5 s; a change of owner
// also runs that check at once, so a copy is recorded within milliseconds
// and the timer is only the safety net. Everything else runs on the main
// thread, except decoding and re-encoding images, which a worker does.
class ClipboardMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int kFirstPollMs = 1000;
    static constexpr int kPollIntervalMs = 500;
    static constexpr int kRetries = 5;
    static constexpr int kRetryDelayMs = 250;
    // Rich text of this size or more is not kept.
    static constexpr qint64 kMaxRtfBytes = 2097152;

    ClipboardMonitor(Pasteboard& pasteboard, FrontmostApp& frontmost, ClipStore& store,
                     Prefs& prefs, QObject* parent = nullptr);
    ~ClipboardMonitor() override;

    // The one monitor of the process, on the X11 clipboard and the shared store.
    static ClipboardMonitor& shared();

    // Starts watching; whatever the clipboard held before construction is never recorded.
    void start();

    qint64 lastChange() const { return m_lastChange; }

Q_SIGNALS:
    // One change has been dealt with: recorded, ignored, skipped, or given up.
    void changeHandled(qint64 changeCount);

private:
    void tick(qint64 changeCount);
    void capture(qint64 changeCount, int retries);
    // True when the change is dealt with, false when nothing readable was found yet.
    bool ingest(qint64 changeCount, const QStringList& types,
                const std::optional<QString>& sourceApp, const std::optional<QString>& sourceName);
    bool ingestFiles(qint64 changeCount, const QStringList& types,
                     const std::optional<QString>& sourceApp,
                     const std::optional<QString>& sourceName);
    bool ingestImage(qint64 changeCount, const QStringList& types,
                     const std::optional<QString>& sourceApp,
                     const std::optional<QString>& sourceName);
    bool ingestText(qint64 changeCount, const QStringList& types,
                    const std::optional<QString>& sourceApp,
                    const std::optional<QString>& sourceName);

    Pasteboard& m_pasteboard;
    FrontmostApp& m_frontmost;
    ClipStore& m_store;
    Prefs& m_prefs;
    qint64 m_lastChange;
    QThread* m_pollThread = nullptr;
    // One image at a time: a burst of large copies must not multiply the memory.
    QThreadPool m_imagePool;
};
