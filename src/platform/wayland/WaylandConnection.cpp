#include "platform/wayland/WaylandConnection.h"

#include "platform/PlatformLog.h"

#include <QMutexLocker>

#include <wayland-client.h>

#include <cerrno>
#include <csignal>
#include <future>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {
// While a transfer is under way its deadline is checked this often, even
// when its reader is silent.
constexpr int kWatchCheckMs = 200;

const wl_registry_listener kRegistryListener = {
    &WaylandConnection::onGlobal,
    &WaylandConnection::onGlobalRemove,
};
} // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::connect(const QByteArray& socket) {
    wl_display* display = wl_display_connect(socket.isEmpty() ? nullptr : socket.constData());
    if (!display)
        return nullptr;
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection(display));
    if (connection->m_wakeFd < 0 || !connection->roundtrip())
        return nullptr;
    return connection;
}

WaylandConnection::WaylandConnection(wl_display* display)
    : m_display(display)
    , m_wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &kRegistryListener, this);
}

WaylandConnection::~WaylandConnection() {
    if (m_thread.joinable()) {
        m_stopping = true;
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
        m_thread.join();
    }
    // Pending transfers end with the connection (their fds close here).
    m_watches.clear();
    if (m_registry)
        wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

void WaylandConnection::onGlobal(void* data, wl_registry*, uint32_t name, const char* interface,
                                 uint32_t version) {
    auto* self = static_cast<WaylandConnection*>(data);
    const QMutexLocker lock(&self->m_globalsMutex);
    self->m_globals.append({name, QByteArray(interface), version});
}

void WaylandConnection::onGlobalRemove(void* data, wl_registry*, uint32_t name) {
    auto* self = static_cast<WaylandConnection*>(data);
    const QMutexLocker lock(&self->m_globalsMutex);
    self->m_globals.removeIf([name](const Global& g) { return g.name == name; });
}

std::optional<WaylandConnection::Global>
WaylandConnection::global(const QByteArray& interface) const {
    const QMutexLocker lock(&m_globalsMutex);
    for (const Global& g : m_globals) {
        if (g.interface == interface)
            return g;
    }
    return std::nullopt;
}

void* WaylandConnection::bind(const wl_interface* interface, uint32_t minVersion,
                              uint32_t maxVersion) {
    const auto g = global(QByteArray(interface->name));
    if (!g || g->version < minVersion)
        return nullptr;
    return wl_registry_bind(m_registry, g->name, interface, std::min(g->version, maxVersion));
}

bool WaylandConnection::roundtrip() {
    if (wl_display_roundtrip(m_display) < 0) {
        fail("the compositor closed the connection");
        return false;
    }
    return true;
}

void WaylandConnection::start() {
    if (m_thread.joinable() || m_failed)
        return;
    m_started = true;
    m_thread = std::thread([this] { loop(); });
}

bool WaylandConnection::isEventThread() const {
    return std::this_thread::get_id() == m_threadId;
}

void WaylandConnection::post(std::function<void()> task) {
    {
        QMutexLocker lock(&m_tasksMutex);
        if (m_started && !m_exited && !isEventThread()) {
            m_tasks.push_back(std::move(task));
            lock.unlock();
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
            return;
        }
    }
    // Before start, on the event thread itself, or once it has ended nobody
    // else dispatches, so the task runs here.
    task();
}

void WaylandConnection::call(const std::function<void()>& task) {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    post([&task, done] {
        task();
        done->set_value();
    });
    finished.wait();
}

void WaylandConnection::watch(int fd, short events, Watch watch) {
    m_watches.push_back({fd, events, std::move(watch)});
}

void WaylandConnection::fail(const char* what) {
    if (m_failed.exchange(true))
        return;
    const int error = wl_display_get_error(m_display);
    qCWarning(platformLog) << "Wayland connection lost:" << what << "(error" << error << ")";
}

void WaylandConnection::runTasks() {
    std::vector<std::function<void()>> tasks;
    {
        const QMutexLocker lock(&m_tasksMutex);
        tasks.swap(m_tasks);
    }
    for (auto& task : tasks)
        task();
}

void WaylandConnection::loop() {
    m_threadId = std::this_thread::get_id();
    // Writing to a reader that went away raises SIGPIPE in the writing
    // thread; blocked here, the write just fails and the process lives on.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
    while (!m_stopping && !m_failed) {
        while (wl_display_prepare_read(m_display) != 0) {
            if (wl_display_dispatch_pending(m_display) < 0) {
                fail("dispatch failed");
                break;
            }
        }
        if (m_failed)
            break;
        bool wantWrite = false;
        if (wl_display_flush(m_display) < 0) {
            if (errno != EAGAIN) {
                wl_display_cancel_read(m_display);
                fail("sending failed");
                break;
            }
            wantWrite = true; // the socket is full; wait until it drains
        }

        std::vector<pollfd> fds;
        fds.push_back({wl_display_get_fd(m_display), short(POLLIN | (wantWrite ? POLLOUT : 0)), 0});
        fds.push_back({m_wakeFd, POLLIN, 0});
        for (const FdWatch& w : m_watches)
            fds.push_back({w.fd, w.events, 0});
        const int timeout = m_watches.empty() ? -1 : kWatchCheckMs;
        const int ready = ::poll(fds.data(), fds.size(), timeout);
        if (ready < 0 && errno != EINTR) {
            wl_display_cancel_read(m_display);
            fail("poll failed");
            break;
        }
        if (ready > 0 && (fds[0].revents & POLLIN)) {
            if (wl_display_read_events(m_display) < 0) {
                fail("reading failed");
                break;
            }
        } else {
            wl_display_cancel_read(m_display);
            if (ready > 0 && (fds[0].revents & (POLLERR | POLLHUP))) {
                fail("the compositor hung up");
                break;
            }
        }
        if (wl_display_dispatch_pending(m_display) < 0) {
            fail("dispatch failed");
            break;
        }
        if (fds[1].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = ::read(m_wakeFd, &count, sizeof count);
        }
        runTasks();

        // Watches may add watches; those made meanwhile join the survivors.
        std::vector<FdWatch> current;
        current.swap(m_watches);
        std::vector<FdWatch> kept;
        for (size_t i = 0; i < current.size(); ++i) {
            const short revents = i + 2 < fds.size() && fds[i + 2].fd == current[i].fd
                                      ? fds[i + 2].revents
                                      : short(0);
            if (current[i].watch(revents))
                kept.push_back(std::move(current[i]));
        }
        for (FdWatch& w : m_watches)
            kept.push_back(std::move(w));
        m_watches.swap(kept);
    }
    {
        const QMutexLocker lock(&m_tasksMutex);
        m_exited = true;
    }
    // Whoever waits on a task gets it run, if on a dead connection.
    runTasks();
}
