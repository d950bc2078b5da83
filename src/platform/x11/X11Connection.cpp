#include "platform/x11/X11Connection.h"

#include "platform/PlatformLog.h"
#include "platform/x11/XcbReply.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <xcb/xcb.h>

X11Connection::X11Connection(QObject* parent)
    : QObject(parent) {
    int screenNumber = 0;
    xcb_connection_t* conn = xcb_connect(nullptr, &screenNumber);
    if (!conn || xcb_connection_has_error(conn)) {
        qCWarning(platformLog) << "cannot connect to the X display" << qgetenv("DISPLAY")
                               << "- clipboard reading and pasting are off";
        if (conn)
            xcb_disconnect(conn);
        return;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(conn));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem) {
        qCWarning(platformLog) << "the X display has no screen" << screenNumber;
        xcb_disconnect(conn);
        return;
    }
    m_conn = conn;
    m_root = it.data->root;
    m_atoms = X11Atoms(m_conn);
}

X11Connection::~X11Connection() {
    delete m_notifier;
    if (m_conn)
        xcb_disconnect(m_conn);
}

bool X11Connection::isValid() const {
    return m_conn && !xcb_connection_has_error(m_conn);
}

uint32_t X11Connection::createWindow() {
    if (!m_conn)
        return 0;
    const uint32_t window = xcb_generate_id(m_conn);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_conn, XCB_COPY_FROM_PARENT, window, m_root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
    xcb_flush(m_conn);
    return window;
}

uint32_t X11Connection::serverTime(uint32_t window) {
    if (!isValid() || !window)
        return XCB_CURRENT_TIME;
    // Appending nothing to a property still produces a PropertyNotify, whose
    // time stamp is the server's current time.
    const uint32_t property = atom("_QUILLET_TIME");
    xcb_change_property(m_conn, XCB_PROP_MODE_APPEND, window, property, XCB_ATOM_STRING, 8, 0,
                        nullptr);
    xcb_flush(m_conn);
    while (xcb_generic_event_t* event = xcb_wait_for_event(m_conn)) {
        const XcbReply<xcb_generic_event_t> owned(event);
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            if (notify->window == window && notify->atom == property)
                return notify->time;
        }
        dispatch(event);
    }
    return XCB_CURRENT_TIME;
}

int X11Connection::subscribe(EventHandler handler) {
    const int id = ++m_nextId;
    m_handlers.emplace(id, std::move(handler));
    if (m_notifier || !m_conn || !QCoreApplication::instance())
        return id;
    // Readable socket: new events. Waiting for a reply also reads the events
    // that came before it into xcb's queue, where no notifier sees them, so
    // the queue is emptied too on every turn of the event loop.
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_conn), QSocketNotifier::Read);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11Connection::readEvents);
    if (auto* loop = QAbstractEventDispatcher::instance(QThread::currentThread())) {
        connect(loop, &QAbstractEventDispatcher::aboutToBlock, this,
                &X11Connection::dispatchQueued);
        connect(loop, &QAbstractEventDispatcher::awake, this, &X11Connection::dispatchQueued);
    }
    return id;
}

void X11Connection::unsubscribe(int id) {
    m_handlers.erase(id);
}

void X11Connection::dispatch(const void* event) {
    // A handler may unsubscribe (or subscribe) while it runs.
    std::vector<int> ids;
    for (const auto& [id, handler] : m_handlers)
        ids.push_back(id);
    for (int id : ids) {
        const auto found = m_handlers.find(id);
        if (found != m_handlers.end())
            found->second(event);
    }
}

void X11Connection::dispatchQueued() {
    if (!m_conn)
        return;
    while (xcb_generic_event_t* event = xcb_poll_for_queued_event(m_conn)) {
        const XcbReply<xcb_generic_event_t> owned(event);
        dispatch(event);
    }
}

void X11Connection::readEvents() {
    if (!m_conn)
        return;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_conn)) {
        const XcbReply<xcb_generic_event_t> owned(event);
        dispatch(event);
    }
    if (xcb_connection_has_error(m_conn) && !m_lostReported) {
        m_lostReported = true;
        m_notifier->setEnabled(false);
        qCWarning(platformLog) << "the X connection was lost: the clipboard is no longer kept "
                                  "and pasting is off";
    }
}
