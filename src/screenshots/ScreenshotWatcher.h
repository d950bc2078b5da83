#pragma once

#include "platform/ScreenshotLocation.h"
#include "screenshots/ScreenshotScan.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class CaptureMarks;
class FolderWatch;
class PersistentFolderWatch;
class Prefs;
class QTimer;
class ScreenCaptureProbe;
class SystemSound;
class Trash;

// Delays of ScreenshotWatcher, shortened by tests that cannot wait a minute.
struct ScreenshotWatcherTiming {
    int debounceMs = 250;
    int settleStepMs = 200;
    int settleTries = 10;
    int relocateMs = 60 * 1000;
    int sweepMs = 21600 * 1000;
    // The clock of the age sweep, moved forward by tests.
    std::function<QDateTime()> now = [] {
        return QDateTime::currentDateTime();
    };
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

    // `watch` follows the folder; `probe` tells captures from other pictures
    // (asked from a worker thread); `copyScreenshot` puts a new capture on the
    // clipboard when the user wants that.
    ScreenshotWatcher(Prefs& prefs, ScreenshotLocation& location, Trash& trash, SystemSound& sound,
                      CaptureMarks& marks, std::unique_ptr<FolderWatch> watch,
                      std::shared_ptr<const ScreenCaptureProbe> probe,
                      CopyScreenshot copyScreenshot, Timing timing = Timing(),
                      QObject* parent = nullptr);
    ~ScreenshotWatcher() override;

    QList<QUrl> screenshots() const { return m_screenshots; }
    qint64 unseenCount() const { return m_unseenCount; }
    void setUnseenCount(qint64 count);
    QUrl dir() const { return m_dir; }
    // Which setting or default dir() comes from, for the settings window.
    QString dirOrigin() const { return m_folder.origin; }
    // Names already seen in dir(); a name is new exactly once.
    const QSet<QString>& known() const { return m_known; }
    // True while the folder itself is watched and its first listing is in;
    // false while it is missing (its creation is awaited) or cannot be watched.
    bool isWatching() const;

    void relocateIfNeeded();

    // Returns the new URL, or nothing when no rename took place.
    std::optional<QUrl> renameScreenshot(const QUrl& url, const QString& newName);
    void trashScreenshot(const QUrl& url);
    void sweepOldScreenshots();
    // On: the tools save into a Screenshots folder in Pictures. Off: each
    // tool gets back the folder it had before.
    void applyDedicatedFolder(bool on);

    static constexpr int kListLimit = 100;
    static constexpr const char* kSoundEvent = "screen-capture";

Q_SIGNALS:
    void screenshotsChanged();
    void unseenCountChanged();
    // A new capture was counted: the status item's badge should be refreshed.
    void newScreenshotsCounted();

private:
    // A listing sifted on the listing's thread against a copy of m_known, so
    // that a folder of 100,000 captures costs the main thread next to nothing
    // (neither going through every name nor freeing them).
    struct Sifted {
        QList<QUrl> shown; // the newest kListLimit
        // Not in the copy of m_known, newest first; for a first listing only
        // their names, as a set m_known (empty then) can take as it is.
        QList<ScreenshotScan::Entry> unknown;
        QSet<QString> unknownNames;
        QList<CaptureMarks::Key> unmarked;
    };

    ScreenshotLocation::Folder resolveFolder() const;
    void setScreenshots(const QList<QUrl>& list);
    void rescan(bool initial);
    void applyListing(const Sifted& listing, bool initial);
    void startWatching();
    void handleNewScreenshot(const QUrl& url);
    void settleStep(const QUrl& url, qint64 previous, int tries);
    void finishNewScreenshot(const QUrl& url);
    void scheduleRescan();

    Prefs& m_prefs;
    ScreenshotLocation& m_location;
    Trash& m_trash;
    SystemSound& m_sound;
    CaptureMarks& m_marks;
    CopyScreenshot m_copyScreenshot;
    Timing m_timing;
    std::shared_ptr<const ScreenCaptureProbe> m_probe;

    QList<QUrl> m_screenshots;
    qint64 m_unseenCount = 0;
    QUrl m_dir;
    ScreenshotLocation::Folder m_folder;
    PersistentFolderWatch* m_watch = nullptr;
    QSet<QString> m_known;
    // Set from a folder change until its first listing is in.
    bool m_initialPending = false;
    QTimer* m_relocateTimer = nullptr;
    QTimer* m_debounce = nullptr;
};
