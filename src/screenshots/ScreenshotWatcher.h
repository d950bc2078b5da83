#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class FolderWatch;
class Prefs;
class QTimer;
class ScreenCaptureProbe;
class ScreenshotLocation;
class SystemSound;
class Trash;

// Delays of ScreenshotWatcher, shortened by tests that cannot wait a minute.
struct ScreenshotWatcherTiming {
    int debounceMs = 250;
    int settleStepMs = 200;
    int settleTries = 10;
    int relocateMs = 60 * 1000;
    int sweepMs = 21600 * 1000;
};

// The folder the user's screenshot tool saves into: its captures (newest
// first, at most 100), the count of captures not yet seen, auto-copy and the
// capture sound for new ones, and the file housekeeping on them (rename,
// Trash, the periodic sweep, the dedicated-folder switch). Lives on the main
// thread; listing and opening the folder watch happen in the background.
class ScreenshotWatcher : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<QUrl> screenshots READ screenshots NOTIFY screenshotsChanged)
    Q_PROPERTY(qint64 unseenCount READ unseenCount WRITE setUnseenCount NOTIFY unseenCountChanged)

public:
    using Timing = ScreenshotWatcherTiming;
    using CopyScreenshot = std::function<void(const QUrl&)>;

    ScreenshotWatcher(Prefs& prefs, ScreenshotLocation& location, Trash& trash, SystemSound& sound,
                      CopyScreenshot copyScreenshot, Timing timing = Timing(),
                      QObject* parent = nullptr);
    ~ScreenshotWatcher() override;

    static ScreenshotWatcher& shared();

    QList<QUrl> screenshots() const { return m_screenshots; }
    qint64 unseenCount() const { return m_unseenCount; }
    void setUnseenCount(qint64 count);
    QUrl dir() const { return m_dir; }
    // Names already seen in dir(); a name is new exactly once.
    const QSet<QString>& known() const { return m_known; }
    // True once the folder watch is open; a folder that cannot be watched stays false.
    bool isWatching() const;

    // The folder of the user's screenshot tool when it is a folder, else ~/Desktop.
    static QUrl screenshotFolder();
    void relocateIfNeeded();

    // Returns the new URL, or nothing when no rename took place.
    std::optional<QUrl> renameScreenshot(const QUrl& url, const QString& newName);
    void trashScreenshot(const QUrl& url);
    void sweepOldScreenshots();
    // Saves captures in ~/Pictures/Screenshots (on) or on the Desktop (off).
    static void setDedicatedFolder(bool on);
    // The same on this watcher's location; the static one acts on shared().
    void applyDedicatedFolder(bool on);

    static constexpr int kListLimit = 100;
    static constexpr const char* kSoundEvent = "screen-capture";

Q_SIGNALS:
    void screenshotsChanged();
    void unseenCountChanged();
    // A new capture was counted: the status item's badge should be refreshed.
    void newScreenshotsCounted();

private:
    QUrl resolveFolder() const;
    void setScreenshots(const QList<QUrl>& list);
    void rescan(bool initial);
    void applyListing(const QList<QUrl>& list, bool initial);
    void handleNewScreenshot(const QUrl& url);
    void settleStep(const QUrl& url, qint64 previous, int tries);
    void finishNewScreenshot(const QUrl& url);
    void startWatching();
    void stopWatching();
    void scheduleRescan();

    Prefs& m_prefs;
    ScreenshotLocation& m_location;
    Trash& m_trash;
    SystemSound& m_sound;
    CopyScreenshot m_copyScreenshot;
    Timing m_timing;
    std::shared_ptr<const ScreenCaptureProbe> m_probe;

    QList<QUrl> m_screenshots;
    qint64 m_unseenCount = 0;
    QUrl m_dir;
    std::unique_ptr<FolderWatch> m_watch;
    QSet<QString> m_known;
    // Set from a folder change until its first listing is in.
    bool m_initialPending = false;
    QTimer* m_relocateTimer = nullptr;
    QTimer* m_debounce = nullptr;
};
