#include "platform/x11/X11ClipboardManager.h"

#include "platform/PlatformLog.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/XcbReply.h"

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

X11ClipboardManager::X11ClipboardManager(X11Connection& display, QObject* parent)
    : ClipboardManagerRole(parent)
    , m_display(&display) {
    setUp();
}

X11ClipboardManager::X11ClipboardManager(QObject* parent)
    : ClipboardManagerRole(parent)
    , m_ownDisplay(std::make_unique<X11Connection>())
    , m_display(m_ownDisplay.get()) {
    setUp();
}

void X11ClipboardManager::setUp() {
    if (!m_display->isValid())
        return;
    m_conn = m_display->get();
    m_window = m_display->createWindow();
    const QList<uint32_t> atoms = m_display->atoms().atoms(
        {"CLIPBOARD", "CLIPBOARD_MANAGER", "SAVE_TARGETS", "TARGETS", "TIMESTAMP"});
    m_clipboard = atoms[0];
    m_manager = atoms[1];
    m_saveTargets = atoms[2];
    m_targets = atoms[3];
    m_timestamp = atoms[4];

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
    m_subscription = m_display->subscribe([this](const void* event) { handle(event); });
}

X11ClipboardManager::~X11ClipboardManager() {
    if (!m_conn)
        return;
    m_display->unsubscribe(m_subscription);
    // An application waiting for an answer is not left waiting.
    for (const Request& request : std::as_const(m_pendingSaves))
        answerRequest(request, false);
    xcb_destroy_window(m_conn, m_window);
    xcb_flush(m_conn);
}

uint32_t X11ClipboardManager::owner(uint32_t selection) {
    XcbReply<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(m_conn, xcb_get_selection_owner(m_conn, selection), nullptr));
    return reply ? reply->owner : uint32_t(XCB_WINDOW_NONE);
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
    // Taking a selection needs a real server time (the convention forbids CurrentTime).
    m_claimTime = m_display->serverTime(m_window);
    xcb_set_selection_owner(m_conn, m_window, m_manager, m_claimTime);
    m_claimed = owner(m_manager) == m_window;
    if (!m_claimed)
        qCWarning(platformLog) << "could not become the clipboard manager";
    return m_claimed;
}

bool X11ClipboardManager::clipboardHasOwner() {
    return m_conn && owner(m_clipboard) != XCB_WINDOW_NONE;
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
