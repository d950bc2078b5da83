#include "screenshots/ScreenshotWatcher.h"

#include "platform/FolderWatch.h"
#include "platform/ScreenCaptureProbe.h"
#include "platform/ScreenshotLocation.h"
#include "platform/SystemSound.h"
#include "platform/Trash.h"
#include "platform/freedesktop/ToolScreenshotLocation.h"
#include "screenshots/CaptureMarks.h"
#include "screenshots/PersistentFolderWatch.h"
#include "screenshots/ScreenshotScan.h"
#include "screenshots/ScreenshotsLog.h"
#include "settings/Prefs.h"

#include <QDir>
#include <QFileInfo>
#include <QFuture>
#include <QFutureWatcher>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace {
qint64 fileSize(const QUrl& url) {
    const QFileInfo info(url.toLocalFile());
    return info.exists() ? info.size() : -1;
}

// Hands a background result to owner's thread. The watcher object is a child
// of owner, so a result that arrives after owner is gone is simply dropped.
template <typename T, typename F> void whenDone(QObject* owner, QFuture<T> future, F onResult) {
    auto* watcher = new QFutureWatcher<T>(owner);
    QObject::connect(watcher, &QFutureWatcher<T>::finished, owner,
                     [watcher, onResult = std::move(onResult)] {
                         watcher->deleteLater();
                         onResult(watcher->result());
                     });
    watcher->setFuture(future);
}

// A folder that does not exist yet is still the one to watch: the tool makes
// it with its first capture. Only a path that names no folder at all means
// the Desktop.
ScreenshotLocation::Folder folderFor(const ScreenshotLocation& location) {
    ScreenshotLocation::Folder folder = location.resolve();
    QString& path = folder.path;
    if (path.startsWith(QLatin1String("~/")) || path == QLatin1String("~"))
        path = QDir::homePath() + path.mid(1);
    if (path.isEmpty() || QDir::isRelativePath(path)) {
        path = ToolScreenshotLocation::desktopFolder();
        folder.origin = QStringLiteral("Desktop");
    }
    path = QDir::cleanPath(path);
    return folder;
}
} // namespace

ScreenshotWatcher::ScreenshotWatcher(Prefs& prefs, ScreenshotLocation& location, Trash& trash,
                                     SystemSound& sound, CaptureMarks& marks,
                                     std::unique_ptr<FolderWatch> watch,
                                     std::shared_ptr<const ScreenCaptureProbe> probe,
                                     CopyScreenshot copyScreenshot, Timing timing, QObject* parent)
    : QObject(parent)
    , m_prefs(prefs)
    , m_location(location)
    , m_trash(trash)
    , m_sound(sound)
    , m_marks(marks)
    , m_copyScreenshot(std::move(copyScreenshot))
    , m_timing(timing)
    , m_probe(std::move(probe))
    , m_watch(new PersistentFolderWatch(std::move(watch), this)) {
    connect(m_watch, &PersistentFolderWatch::changed, this, &ScreenshotWatcher::scheduleRescan);

    m_debounce = new QTimer(this);
    m_debounce->setSingleShot(true);
    m_debounce->setInterval(m_timing.debounceMs);
    connect(m_debounce, &QTimer::timeout, this, [this] { rescan(false); });

    m_folder = resolveFolder();
    m_dir = QUrl::fromLocalFile(m_folder.path);
    startWatching();

    m_relocateTimer = new QTimer(this);
    m_relocateTimer->setInterval(m_timing.relocateMs);
    connect(m_relocateTimer, &QTimer::timeout, this, &ScreenshotWatcher::relocateIfNeeded);
    m_relocateTimer->start();

    auto* sweepTimer = new QTimer(this);
    sweepTimer->setInterval(m_timing.sweepMs);
    connect(sweepTimer, &QTimer::timeout, this, &ScreenshotWatcher::sweepOldScreenshots);
    sweepTimer->start();
}

ScreenshotWatcher::~ScreenshotWatcher() = default;

void ScreenshotWatcher::setUnseenCount(qint64 count) {
    m_unseenCount = count;
    Q_EMIT unseenCountChanged();
}

void ScreenshotWatcher::setScreenshots(const QList<QUrl>& list) {
    m_screenshots = list;
    Q_EMIT screenshotsChanged();
}

ScreenshotLocation::Folder ScreenshotWatcher::resolveFolder() const {
    return folderFor(m_location);
}

void ScreenshotWatcher::rescan(bool initial) {
    const QUrl listed = m_dir;
    if (initial)
        m_initialPending = true;
    auto listing =
        QtConcurrent::run([folder = listed.toLocalFile(), probe = m_probe,
                           remembered = m_marks.remembered(), known = m_known, initial]() mutable {
            const ScreenshotScan::Listing all = ScreenshotScan::list(folder, *probe, remembered);
            Sifted sifted;
            sifted.unmarked = all.unmarked;
            for (const ScreenshotScan::Entry& entry : all.entries) {
                if (sifted.shown.size() < kListLimit)
                    sifted.shown.append(entry.url);
                if (known.contains(entry.name))
                    continue;
                if (initial)
                    sifted.unknownNames.insert(entry.name);
                else
                    sifted.unknown.append(entry);
            }
            // Let go of the copy here: the main thread may change m_known as
            // soon as the result is in, and must not copy it then.
            known = {};
            return sifted;
        });
    whenDone(this, listing, [this, listed, initial](const Sifted& sifted) {
        m_marks.remember(sifted.unmarked);
        // A listing of a folder we have since left is stale.
        if (m_dir != listed)
            return;
        if (initial) {
            m_initialPending = false;
        } else if (m_initialPending) {
            // Applied before the first listing it would count every old file as new.
            scheduleRescan();
            return;
        }
        applyListing(sifted, initial);
    });
}

void ScreenshotWatcher::applyListing(const Sifted& listing, bool initial) {
    // Files that came with a folder moved back into place (restored from the
    // Trash, say) were there before it went missing: not new captures. A
    // second of slack covers the file system's coarser clock.
    const QDateTime missingSince = m_watch->missingSince();
    const QDateTime newerThan = missingSince.isValid() ? missingSince.addSecs(-1) : QDateTime();
    QList<QUrl> fresh;
    for (const ScreenshotScan::Entry& entry : listing.unknown) {
        if (m_known.contains(entry.name))
            continue;
        if (newerThan.isValid() && entry.arrived.isValid() && entry.arrived < newerThan)
            continue;
        fresh.append(entry.url);
    }
    for (const ScreenshotScan::Entry& entry : listing.unknown)
        m_known.insert(entry.name);
    if (m_known.isEmpty())
        m_known = listing.unknownNames;
    else
        m_known.unite(listing.unknownNames);
    setScreenshots(listing.shown);
    if (initial)
        return;
    qCDebug(screenshotsLog) << "new captures:" << fresh;
    for (auto it = fresh.crbegin(); it != fresh.crend(); ++it)
        handleNewScreenshot(*it);
}

void ScreenshotWatcher::handleNewScreenshot(const QUrl& url) {
    // The tool may still be writing: wait until two looks a step apart agree.
    settleStep(url, fileSize(url), 0);
}

void ScreenshotWatcher::settleStep(const QUrl& url, qint64 previous, int tries) {
    QTimer::singleShot(m_timing.settleStepMs, this, [this, url, previous, tries] {
        const int done = tries + 1;
        if (done >= m_timing.settleTries) {
            finishNewScreenshot(url);
            return;
        }
        const qint64 size = fileSize(url);
        if (size >= 1 && size == previous)
            finishNewScreenshot(url);
        else
            settleStep(url, size, done);
    });
}

void ScreenshotWatcher::finishNewScreenshot(const QUrl& url) {
    // Gone (or replaced by something that is not a file) while settling.
    if (!QFileInfo(url.toLocalFile()).isFile())
        return;
    setUnseenCount(m_unseenCount + 1);
    Q_EMIT newScreenshotsCounted();
    if (m_prefs.autoCopyScreenshots() && m_copyScreenshot)
        m_copyScreenshot(url);
    // GNOME Shell has played the capture sound already.
    if (m_prefs.playSound() && !m_folder.toolPlaysSound)
        m_sound.play(QString::fromLatin1(kSoundEvent));
}

bool ScreenshotWatcher::isWatching() const {
    return m_watch->isWatching() && !m_initialPending;
}

void ScreenshotWatcher::scheduleRescan() {
    m_debounce->start(); // restarting folds a burst of events into one rescan
}

void ScreenshotWatcher::relocateIfNeeded() {
    const ScreenshotLocation::Folder folder = resolveFolder();
    const QUrl url = QUrl::fromLocalFile(folder.path);
    m_folder.origin = folder.origin;
    m_folder.toolPlaysSound = folder.toolPlaysSound;
    if (url == m_dir) {
        // A watch that could not be opened at all gets another chance.
        if (!m_watch->isActive())
            m_watch->watch(m_folder.path);
        return;
    }
    qCDebug(screenshotsLog) << "screenshot folder is now" << url;
    m_folder = folder;
    m_dir = url;
    m_debounce->stop(); // events of the old folder
    m_known.clear();
    startWatching();
}

void ScreenshotWatcher::startWatching() {
    m_watch->watch(m_folder.path);
    // A folder the tool has yet to make holds nothing that was already
    // there: whatever appears in it is a new capture, the first one too.
    if (m_watch->missingSince().isValid())
        setScreenshots({});
    else
        rescan(true);
}
