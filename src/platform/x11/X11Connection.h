#pragma once

#include "platform/x11/X11Atoms.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>

struct xcb_connection_t;
class QSocketNotifier;

// A connection of Quillet's own to the X display, apart from Qt's: the screen's
// root window, the atoms, and windows that selection transfers and server
// time stamps need. The keystroke injector and the clipboard manager share
// one, on the main thread: events are read there and handed to every
// subscriber, so neither takes the other's events away. A consumer that waits
// for events on another thread needs a connection of its own.
class X11Connection : public QObject {
    Q_OBJECT
public:
    // Connects to $DISPLAY; isValid() is false (and says why in the log) when
    // that fails.
    explicit X11Connection(QObject* parent = nullptr);
    ~X11Connection() override;
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    bool isValid() const;
    xcb_connection_t* get() const { return m_conn; }
    uint32_t root() const { return m_root; }
    X11Atoms& atoms() { return m_atoms; }
    uint32_t atom(const QByteArray& name) { return m_atoms.atom(name); }

    // An unmapped input-only window whose property changes are reported;
    // 0 without a connection.
    uint32_t createWindow();

    // The server's current time: the stamp of an empty append to a property
    // of `window` (one made by createWindow). Events that arrive meanwhile
    // reach the subscribers.
    uint32_t serverTime(uint32_t window);

    // Every event read from the connection (an xcb_generic_event_t), from the
    // main thread's event loop. Returns the id to unsubscribe with.
    using EventHandler = std::function<void(const void* event)>;
    int subscribe(EventHandler handler);
    void unsubscribe(int id);

private:
    void dispatch(const void* event);
    void dispatchQueued();
    void readEvents();

    xcb_connection_t* m_conn = nullptr;
    uint32_t m_root = 0;
    X11Atoms m_atoms;
    QSocketNotifier* m_notifier = nullptr;
    std::map<int, EventHandler> m_handlers;
    int m_nextId = 0;
    bool m_lostReported = false;
};
