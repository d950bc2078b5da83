#include "screenshots/PersistentFolderWatch.h"

#include "platform/FolderWatch.h"
#include "screenshots/ScreenshotsLog.h"

#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <cerrno>

namespace {
struct Opened {
    FolderWatch::Handle handle = -1;
    QString target;
};

QString parentOf(const QString& path) {
    return QFileInfo(path).path();
}
} // namespace

PersistentFolderWatch::PersistentFolderWatch(std::unique_ptr<FolderWatch> watch, QObject* parent)
    : QObject(parent)
    , m_watch(std::move(watch)) {
    connect(m_watch.get(), &FolderWatch::changed, this, &PersistentFolderWatch::onWatchChanged);
}

PersistentFolderWatch::~PersistentFolderWatch() = default;

bool PersistentFolderWatch::isWatching() const {
    return !m_path.isEmpty() && m_target == m_path && m_watch->isWatching();
}

bool PersistentFolderWatch::isActive() const {
    return !m_target.isEmpty() && m_watch->isWatching();
}

void PersistentFolderWatch::watch(const QString& path) {
    const QString cleaned = path.isEmpty() ? QString() : QDir::cleanPath(path);
    if (cleaned != m_path)
        m_failureReported = false;
    m_path = cleaned;
    const QDateTime now = QDateTime::currentDateTime();
    // Told now, so that a folder made while the watch is being opened is not
    // taken for one that was there all along.
    m_missingSince = m_path.isEmpty() || QFileInfo(m_path).isDir() ? QDateTime() : now;
    open(now);
}

void PersistentFolderWatch::open(const QDateTime& missingFrom) {
    const quint64 generation = ++m_generation;
    m_watch->stop();
    m_target.clear();
    if (m_path.isEmpty())
        return;
    // Opening may touch a slow file system: off the main thread, walking up
    // only past folders that do not exist (a folder we may not watch is no
    // reason to watch its parent instead).
    auto task = QtConcurrent::run([open = m_watch->pathOpener(), path = m_path]() -> Opened {
        for (QString target = path;;) {
            const FolderWatch::Handle handle = open(target);
            if (handle >= 0)
                return {handle, target};
            const int error = errno;
            const QString up = parentOf(target);
            if ((error != ENOENT && error != ENOTDIR) || up == target)
                return {};
            target = up;
        }
    });
    auto* done = new QFutureWatcher<Opened>(this);
    connect(done, &QFutureWatcher<Opened>::finished, this, [this, done, generation, missingFrom] {
        done->deleteLater();
        const Opened opened = done->result();
        if (generation != m_generation) {
            if (opened.handle >= 0)
                m_watch->release(opened.handle);
            return;
        }
        adopt(opened.handle, opened.target, missingFrom);
    });
    done->setFuture(task);
}

void PersistentFolderWatch::adopt(int handle, const QString& target, const QDateTime& missingFrom) {
    if (handle < 0) {
        // Retried at every relocation check: said once per folder.
        if (!m_failureReported)
            qCWarning(screenshotsLog) << "cannot watch" << m_path << "or any folder above it";
        m_failureReported = true;
        return;
    }
    m_failureReported = false;
    m_watch->adopt(handle);
    m_target = target;
    if (m_target == m_path) {
        // Whatever the folder received before the watch was on it.
        if (m_missingSince.isValid())
            Q_EMIT changed();
        return;
    }
    if (!m_missingSince.isValid())
        m_missingSince = missingFrom;
    qCDebug(screenshotsLog) << m_path << "is missing; waiting in" << m_target;
    // Made while the watch was being opened: no event will tell.
    if (nextStepExists())
        open(missingFrom);
}

void PersistentFolderWatch::onWatchChanged() {
    if (m_target.isEmpty())
        return;
    if (m_target == m_path) {
        if (m_watch->isWatching()) {
            Q_EMIT changed();
            return;
        }
        // Deleted or moved away: list it (empty now) and wait for it to come back.
        m_missingSince = QDateTime::currentDateTime();
        Q_EMIT changed();
        open(m_missingSince);
        return;
    }
    if (!m_watch->isWatching() || nextStepExists())
        open(m_missingSince);
}

// The folder below the watched one on the way to m_path exists now.
bool PersistentFolderWatch::nextStepExists() const {
    QString step = m_path;
    while (parentOf(step) != m_target && parentOf(step) != step)
        step = parentOf(step);
    return QFileInfo(step).isDir();
}
