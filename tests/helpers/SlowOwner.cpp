#include "helpers/SlowOwner.h"

#include <QHash>
#include <QThread>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
constexpr int kChunk = 64 * 1024;

struct Transfer {
    xcb_window_t requestor;
    xcb_atom_t property;
    xcb_atom_t type;
    QByteArray bytes;
    qsizetype sent = 0;
    bool done = false;
};

xcb_atom_t intern(xcb_connection_t* c, const QByteArray& name) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, name.size(), name.constData()), nullptr);
    const xcb_atom_t atom = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return atom;
}
} // namespace

int runSlowOwner(const QList<QPair<QString, QByteArray>>& offer, int totalMs, bool understate) {
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c))
        return 3;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t clipboard = intern(c, "CLIPBOARD");
    const xcb_atom_t targets = intern(c, "TARGETS");
    const xcb_atom_t incr = intern(c, "INCR");
    QHash<xcb_atom_t, QByteArray> data;
    QHash<xcb_atom_t, QByteArray> names;
    qsizetype chunks = 0;
    for (const auto& [type, bytes] : offer) {
        const xcb_atom_t atom = intern(c, type.toLatin1());
        data.insert(atom, bytes);
        names.insert(atom, type.toLatin1());
        chunks += bytes.size() / kChunk + 1;
    }
    const unsigned long pauseMs = (unsigned long)(totalMs / std::max<qsizetype>(1, chunks));

    // A server time stamp for taking the selection.
    xcb_change_property(c, XCB_PROP_MODE_APPEND, window, targets, XCB_ATOM_ATOM, 32, 0, nullptr);
    xcb_flush(c);
    xcb_timestamp_t now = XCB_CURRENT_TIME;
    while (xcb_generic_event_t* e = xcb_wait_for_event(c)) {
        const bool stamp = (e->response_type & ~0x80) == XCB_PROPERTY_NOTIFY;
        if (stamp)
            now = reinterpret_cast<xcb_property_notify_event_t*>(e)->time;
        std::free(e);
        if (stamp)
            break;
    }
    xcb_set_selection_owner(c, window, clipboard, now);
    // A round trip: "owned" must not reach the test before the server has
    // made us the owner, or its first request can still find nobody there.
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr),
        &std::free);
    if (!owner || owner->owner != window)
        return 4;
    std::puts("owned");
    std::fflush(stdout);

    QList<Transfer> transfers;
    while (xcb_generic_event_t* e = xcb_wait_for_event(c)) {
        const uint8_t kind = e->response_type & ~0x80;
        if (kind == XCB_SELECTION_CLEAR) {
            std::free(e);
            break;
        }
        if (kind == XCB_SELECTION_REQUEST) {
            auto* r = reinterpret_cast<xcb_selection_request_event_t*>(e);
            xcb_selection_notify_event_t n{};
            n.response_type = XCB_SELECTION_NOTIFY;
            n.time = r->time;
            n.requestor = r->requestor;
            n.selection = r->selection;
            n.target = r->target;
            n.property = r->property;
            if (r->target == targets) {
                QList<xcb_atom_t> atoms{targets};
                for (auto it = data.cbegin(); it != data.cend(); ++it)
                    atoms.append(it.key());
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, r->requestor, r->property,
                                    XCB_ATOM_ATOM, 32, uint32_t(atoms.size()), atoms.constData());
            } else if (data.contains(r->target)) {
                const uint32_t announced = understate ? 1 : uint32_t(data.value(r->target).size());
                const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(c, r->requestor, XCB_CW_EVENT_MASK, &events);
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, r->requestor, r->property, incr, 32,
                                    1, &announced);
                transfers.append({r->requestor, r->property, r->target, data.value(r->target)});
            } else {
                n.property = XCB_ATOM_NONE;
            }
            xcb_send_event(c, 0, r->requestor, 0, reinterpret_cast<const char*>(&n));
            xcb_flush(c);
        } else if (kind == XCB_PROPERTY_NOTIFY) {
            auto* p = reinterpret_cast<xcb_property_notify_event_t*>(e);
            for (Transfer& t : transfers) {
                if (t.done || p->window != t.requestor || p->atom != t.property ||
                    p->state != XCB_PROPERTY_DELETE)
                    continue;
                // The requestor took the last piece: the next one after a pause.
                QThread::msleep(pauseMs);
                const qsizetype n = std::min<qsizetype>(kChunk, t.bytes.size() - t.sent);
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, t.requestor, t.property, t.type, 8,
                                    uint32_t(n), t.bytes.constData() + t.sent);
                t.sent += n;
                t.done = n == 0;
                xcb_flush(c);
                if (t.done) {
                    std::printf("served %s\n", names.value(t.type).constData());
                    std::fflush(stdout);
                }
            }
            transfers.removeIf([](const Transfer& t) { return t.done; });
        }
        std::free(e);
    }
    xcb_disconnect(c);
    return 0;
}
