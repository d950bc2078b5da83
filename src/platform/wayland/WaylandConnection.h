#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

struct wl_display;
struct wl_interface;
struct wl_registry;

// Quillet's own connection to the compositor, apart from Qt's: the clipboard
// and the window list are read on a thread of their own, so a slow main thread
// never delays an answer the compositor waits for (a paste into another
// application reads from us) and a slow owner never blocks the interface.
//
// Objects are bound and their listeners set on the creating thread before
// start(); from then on only the event thread dispatches, and everything that
// touches a Wayland object runs there, through post() or call().
class WaylandConnection {
public:
    struct Global {
        uint32_t name = 0;
        QByteArray interface;
        uint32_t version = 0;
    };
    // Called on the event thread with the events seen on its fd (0 on a
    // periodic check while any watch is present); false removes the watch.
    using Watch = std::function<bool(short revents)>;

    // The compositor named by `socket`, else by WAYLAND_DISPLAY; nothing when
    // none answers. The globals are known when it returns.
    static std::unique_ptr<WaylandConnection> connect(const QByteArray& socket = {});
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    wl_display* display() const { return m_display; }
    std::optional<Global> global(const QByteArray& interface) const;
    // The global of `interface` bound at the highest version both sides know;
    // null when it is missing or older than minVersion.
    void* bind(const wl_interface* interface, uint32_t minVersion, uint32_t maxVersion);
    // Before start() only: waits until the compositor has answered everything sent.
    bool roundtrip();

    void start();
    bool isEventThread() const;
    // Runs task on the event thread (at once when called there or before start()).
    void post(std::function<void()> task);
    // Runs task on the event thread and waits for it.
    void call(const std::function<void()>& task);
    // Event thread only.
    void watch(int fd, short events, Watch watch);
    // The connection is lost or the compositor reported an error.
    bool failed() const { return m_failed.load(); }

    // The registry's callbacks.
    static void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, uint32_t name);

private:
    explicit WaylandConnection(wl_display* display);
    void loop();
    void runTasks();
    void fail(const char* what);

    struct FdWatch {
        int fd;
        short events;
        Watch watch;
    };

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    mutable QMutex m_globalsMutex;
    QList<Global> m_globals;
    int m_wakeFd = -1;
    std::thread m_thread;
    std::atomic<std::thread::id> m_threadId;
    std::atomic<bool> m_started{false};
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_failed{false};
    QMutex m_tasksMutex;
    // The event thread has ended; tasks run where they are posted.
    bool m_exited = false;
    std::vector<std::function<void()>> m_tasks;
    std::vector<FdWatch> m_watches;
};
