#include "platform/x11/X11ClipboardManager.h"

#include "platform/PlatformLog.h"
#include "platform/x11/X11PrivateWindow.h"

#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using XcbReply = std::unique_ptr<T, FreeDeleter>;
} // namespace

X11ClipboardManager::X11ClipboardManager(QObject* parent)
    : ClipboardManagerRole(parent) {
    const X11PrivateWindow opened = X11PrivateWindow::open();
    if (!opened.conn) {
        qCDebug(platformLog) << "clipboard manager: no X display";
        return;
    }
    m_conn = opened.conn;
    m_window = opened.window;
    m_clipboard = atom("CLIPBOARD");
    m_manager = atom("CLIPBOARD_MANAGER");
    m_saveTargets = atom("SAVE_TARGETS");
    m_targets = atom("TARGETS");
    m_timestamp = atom("TIMESTAMP");

    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(m_conn, &xcb_xfixes_id);
    if (ext && ext->present) {
        XcbReply<xcb_xfixes_query_version_reply_t> version(xcb_xfixes_query_version_reply(
            m_conn, xcb_xfixes_query_version(m_conn, 1, 0), nullptr));
        if (version) {
            m_hasXfixes = true;
            m_xfixesEvent = ext->first_event;
            xcb_xfixes_select_selection_input(
                m_conn, m_window, m_clipboard,
                XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                    XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
        }
    }
    if (!m_hasXfixes)
        qCWarning(platformLog) << "clipboard manager: no XFixes, the clipboard is not kept";
    xcb_flush(m_conn);
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_conn), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11ClipboardManager::processEvents);
}

X11ClipboardManager::~X11ClipboardManager() {
    // An application waiting for an answer is not left waiting.
    for (const Request& request : std::as_const(m_pendingSaves))
        answerRequest(request, false);
    if (m_conn)
        xcb_disconnect(m_conn);
}

uint32_t X11ClipboardManager::atom(const char* name) {
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_conn, xcb_intern_atom(m_conn, false, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : uint32_t(XCB_ATOM_NONE);
}

uint32_t X11ClipboardManager::owner(uint32_t selection) {
    XcbReply<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(m_conn, xcb_get_selection_owner(m_conn, selection), nullptr));
    return reply ? reply->owner : uint32_t(XCB_WINDOW_NONE);
}

// A real server time for taking a selection (the convention forbids
// CurrentTime): the time stamp of a property change on our own window.
uint32_t X11ClipboardManager::serverTime() {
    const uint32_t property = atom("QUILLET_TIMESTAMP");
    xcb_change_property(m_conn, XCB_PROP_MODE_APPEND, m_window, property, XCB_ATOM_STRING, 8, 0,
                        nullptr);
    xcb_flush(m_conn);
    for (;;) {
        xcb_generic_event_t* e = xcb_wait_for_event(m_conn);
        if (!e)
            return XCB_CURRENT_TIME;
        if ((e->response_type & ~0x80) == XCB_PROPERTY_NOTIFY) {
            auto* n = reinterpret_cast<xcb_property_notify_event_t*>(e);
            if (n->window == m_window && n->atom == property) {
                const uint32_t time = n->time;
                std::free(e);
                return time;
            }
        }
        handle(e);
        std::free(e);
    }
}

bool X11ClipboardManager::claim() {
    if (!m_conn)
        return false;
    if (m_claimed)
        return true;
    if (const uint32_t other = owner(m_manager); other != XCB_WINDOW_NONE) {
        qCWarning(platformLog) << "another clipboard manager is running (window" << other
                               << "); Quillet leaves that part to it";
        return false;
    }
    m_claimTime = serverTime();
    xcb_set_selection_owner(m_conn, m_window, m_manager, m_claimTime);
    m_claimed = owner(m_manager) == m_window;
    if (!m_claimed)
        qCWarning(platformLog) << "could not become the clipboard manager";
    return m_claimed;
}

bool X11ClipboardManager::clipboardHasOwner() {
    return m_conn && owner(m_clipboard) != XCB_WINDOW_NONE;
}

void X11ClipboardManager::processEvents() {
    if (!m_conn)
        return;
    while (xcb_generic_event_t* e = xcb_poll_for_event(m_conn)) {
        handle(e);
        std::free(e);
    }
    if (xcb_connection_has_error(m_conn)) {
        qCWarning(platformLog) << "clipboard manager: X connection lost";
        m_notifier->setEnabled(false);
    }
}

void X11ClipboardManager::handle(const void* generic) {
    const auto* event = static_cast<const xcb_generic_event_t*>(generic);
    const uint8_t type = event->response_type & ~0x80;
    if (m_hasXfixes && type == m_xfixesEvent + XCB_XFIXES_SELECTION_NOTIFY) {
        const auto* n = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
        if (n->selection == m_clipboard && n->owner == XCB_WINDOW_NONE)
            Q_EMIT ownerGone();
        return;
    }
    if (type == XCB_SELECTION_CLEAR) {
        const auto* n = reinterpret_cast<const xcb_selection_clear_event_t*>(event);
        if (n->selection == m_manager && m_claimed) {
            m_claimed = false;
            qCWarning(platformLog) << "another clipboard manager took over";
        }
        return;
    }
    if (type != XCB_SELECTION_REQUEST)
        return;
    const auto* r = reinterpret_cast<const xcb_selection_request_event_t*>(event);
    const Request request{r->requestor, r->selection, r->target, r->property, r->time};
    if (r->selection != m_manager || !m_claimed) {
        answerRequest(request, false);
        return;
    }
    // An obsolete requestor names no property: the target stands for it.
    const uint32_t property = request.property != XCB_ATOM_NONE ? request.property : request.target;
    if (request.target == m_targets) {
        const uint32_t offered[] = {m_targets, m_saveTargets, m_timestamp};
        xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, request.requestor, property,
                            XCB_ATOM_ATOM, 32, 3, offered);
        answerRequest(request, true);
    } else if (request.target == m_timestamp) {
        xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, request.requestor, property,
                            XCB_ATOM_INTEGER, 32, 1, &m_claimTime);
        answerRequest(request, true);
    } else if (request.target == m_saveTargets) {
        // Answered once the content has been read from the application,
        // which waits (and keeps serving) until then.
        m_pendingSaves.append(request);
        Q_EMIT saveRequested();
    } else {
        answerRequest(request, false);
    }
}

void X11ClipboardManager::finishSave(bool saved) {
    const QList<Request> pending = std::exchange(m_pendingSaves, {});
    for (const Request& request : pending)
        answerRequest(request, saved);
}

void X11ClipboardManager::answerRequest(const Request& request, bool ok) {
    if (!m_conn)
        return;
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    const uint32_t property = request.property != XCB_ATOM_NONE ? request.property : request.target;
    notify.property = ok ? property : uint32_t(XCB_ATOM_NONE);
    xcb_send_event(m_conn, false, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&notify));
    xcb_flush(m_conn);
}
