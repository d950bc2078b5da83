#include "platform/freedesktop/InotifyFolderWatch.h"

#include "platform/PlatformLog.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

namespace {
// Events that change which entries the folder holds or finish writing one.
constexpr uint32_t kEntryEvents = IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM |
                                  IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
} // namespace

struct InotifyFolderWatch::Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

std::unique_ptr<FolderWatch> FolderWatch::create() {
    return std::make_unique<InotifyFolderWatch>();
}

InotifyFolderWatch::InotifyFolderWatch(QObject* parent)
    : FolderWatch(parent)
    , m_fd(std::make_shared<Descriptor>()) {
    m_fd->fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd->fd < 0) {
        qCWarning(platformLog) << "inotify is unavailable, new screenshots are not noticed:"
                               << qt_error_string(errno);
        return;
    }
    m_notifier = new QSocketNotifier(m_fd->fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &InotifyFolderWatch::drain);
}

InotifyFolderWatch::~InotifyFolderWatch() = default;

std::function<FolderWatch::Handle(const QString&)> InotifyFolderWatch::pathOpener() const {
    return [fd = m_fd](const QString& path) -> Handle {
        if (fd->fd < 0) {
            errno = EBADF;
            return -1;
        }
        const Handle handle =
            ::inotify_add_watch(fd->fd, QFile::encodeName(path).constData(), kEntryEvents);
        // A folder that does not exist (yet) is the caller's to handle; a
        // full watch table or a refused folder is worth telling.
        if (handle < 0 && errno != ENOENT && errno != ENOTDIR) {
            const int error = errno;
            qCWarning(platformLog) << "cannot watch" << path << ":" << qt_error_string(error);
            errno = error;
        }
        return handle;
    };
}

void InotifyFolderWatch::adopt(Handle handle) {
    stop();
    m_watch = handle;
}

void InotifyFolderWatch::release(Handle handle) {
    if (handle >= 0 && handle != m_watch && m_fd->fd >= 0)
        ::inotify_rm_watch(m_fd->fd, handle);
}

void InotifyFolderWatch::stop() {
    if (m_watch >= 0 && m_fd->fd >= 0)
        ::inotify_rm_watch(m_fd->fd, m_watch);
    m_watch = -1;
}

void InotifyFolderWatch::drain() {
    alignas(struct inotify_event) char buffer[4096];
    bool relevant = false;
    for (;;) {
        const ssize_t n = ::read(m_fd->fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + at);
            // Events of a watch given up earlier may still be queued.
            if (event->wd == m_watch && m_watch >= 0) {
                relevant = true;
                // The folder itself is gone: the kernel has dropped the watch.
                if (event->mask & IN_IGNORED)
                    m_watch = -1;
                // Moved away (to the Trash, say): the watch would follow it
                // to its new name, where it no longer is the folder asked for.
                if (event->mask & IN_MOVE_SELF) {
                    ::inotify_rm_watch(m_fd->fd, m_watch);
                    m_watch = -1;
                }
            }
            at += ssize_t(sizeof(struct inotify_event)) + event->len;
        }
    }
    if (relevant)
        Q_EMIT changed();
}
