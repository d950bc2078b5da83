#include "platform/x11/X11SelectionReader.h"

#include "platform/PlatformLog.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/XcbReply.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <poll.h>

namespace {
int millisecondsUntil(X11SelectionReader::Clock::time_point deadline) {
    using namespace std::chrono;
    const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(left) + 1;
}

// The next event the predicate accepts (the caller frees it), or null at the deadline.
template <typename Pred>
xcb_generic_event_t* waitFor(xcb_connection_t* conn, Pred pred,
                             X11SelectionReader::Clock::time_point deadline) {
    for (;;) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(conn)) {
            if (pred(e))
                return e;
            std::free(e);
        }
        if (xcb_connection_has_error(conn))
            return nullptr;
        const int wait = millisecondsUntil(deadline);
        if (wait == 0)
            return nullptr;
        pollfd p{xcb_get_file_descriptor(conn), POLLIN, 0};
        ::poll(&p, 1, wait);
    }
}
} // namespace

X11SelectionReader::X11SelectionReader(std::chrono::milliseconds inactivity,
                                       std::chrono::milliseconds total)
    : m_inactivity(inactivity)
    , m_total(total)
    , m_display(std::make_unique<X11Connection>()) {
    if (!m_display->isValid())
        return;
    m_conn = m_display->get();
    m_window = m_display->createWindow();
    const QList<uint32_t> atoms =
        m_display->atoms().atoms({"CLIPBOARD", "QUILLET_SELECTION", "INCR", "TARGETS"});
    m_clipboard = atoms[0];
    m_property = atoms[1];
    m_incr = atoms[2];
    m_targetsAtom = atoms[3];
}

X11SelectionReader::~X11SelectionReader() = default;

bool X11SelectionReader::isValid() const {
    return m_conn != nullptr;
}

void X11SelectionReader::discardPendingEvents() {
    while (xcb_generic_event_t* e = xcb_poll_for_event(m_conn))
        std::free(e);
}

std::optional<QByteArray> X11SelectionReader::transfer(uint32_t target, qint64 maxBytes,
                                                       uint32_t* type, Failure* failure) {
    auto bytes = transferOnce(target, maxBytes, type, failure);
    if (*failure == Failure::timedOut || *failure == Failure::tooLarge) {
        // The owner may go on writing pieces of the abandoned transfer into
        // the property; the next transfer must not take them for its own.
        m_property = m_display->atom("QUILLET_SELECTION_" + QByteArray::number(++m_retired));
    }
    return bytes;
}

std::optional<QByteArray> X11SelectionReader::transferOnce(uint32_t target, qint64 maxBytes,
                                                           uint32_t* type, Failure* failure) {
    *failure = Failure::refused;
    if (!m_conn || target == XCB_ATOM_NONE)
        return std::nullopt;
    // Given up after a pause in progress, or at the cap however steady it is,
    // so that a trickling owner cannot hold the reader for ever.
    const auto cap = Clock::now() + m_total;
    auto lastProgress = Clock::now();
    const auto deadline = [&] {
        return std::min(lastProgress + m_inactivity, cap);
    };
    // Answers to earlier requests that timed out must not be taken for this one.
    discardPendingEvents();
    xcb_delete_property(m_conn, m_window, m_property);
    xcb_convert_selection(m_conn, m_window, m_clipboard, target, m_property, XCB_CURRENT_TIME);
    xcb_flush(m_conn);

    XcbReply<xcb_generic_event_t> notify(waitFor(
        m_conn,
        [&](xcb_generic_event_t* e) {
            if ((e->response_type & ~0x80) != XCB_SELECTION_NOTIFY)
                return false;
            auto* n = reinterpret_cast<xcb_selection_notify_event_t*>(e);
            return n->requestor == m_window && n->selection == m_clipboard && n->target == target;
        },
        deadline()));
    if (!notify) {
        *failure = Failure::timedOut;
        return std::nullopt;
    }
    lastProgress = Clock::now();
    if (reinterpret_cast<xcb_selection_notify_event_t*>(notify.get())->property == XCB_ATOM_NONE)
        return std::nullopt;

    // One property read, at most maxBytes (+ a word, to notice more).
    const uint32_t words = static_cast<uint32_t>(std::min<qint64>(maxBytes / 4 + 1, 0x3fffffff));
    auto readProperty = [&](bool& overflow) -> XcbReply<xcb_get_property_reply_t> {
        XcbReply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(m_conn,
                                   xcb_get_property(m_conn, true, m_window, m_property,
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, words),
                                   nullptr));
        overflow = reply && reply->bytes_after > 0;
        if (overflow)
            xcb_delete_property(m_conn, m_window, m_property);
        return reply;
    };

    bool overflow = false;
    XcbReply<xcb_get_property_reply_t> reply = readProperty(overflow);
    if (!reply)
        return std::nullopt;
    if (overflow) {
        *failure = Failure::tooLarge;
        return std::nullopt;
    }
    *type = reply->type;
    if (reply->type != m_incr) {
        const int length = xcb_get_property_value_length(reply.get());
        if (length > maxBytes) {
            *failure = Failure::tooLarge;
            return std::nullopt;
        }
        *failure = Failure::none;
        return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
    }

    // The owner announces (a lower bound of) the size: what is already known
    // to be too large is not asked for at all.
    if (xcb_get_property_value_length(reply.get()) >= 4) {
        quint32 announced = 0;
        std::memcpy(&announced, xcb_get_property_value(reply.get()), sizeof announced);
        if (qint64(announced) > maxBytes) {
            *failure = Failure::tooLarge;
            return std::nullopt;
        }
    }

    // Incremental transfer: deleting the INCR property (done by the read above)
    // asks for the first chunk; each chunk read asks for the next; an empty one ends it.
    xcb_flush(m_conn);
    QByteArray bytes;
    bool typed = false;
    for (;;) {
        XcbReply<xcb_generic_event_t> changed(waitFor(
            m_conn,
            [&](xcb_generic_event_t* e) {
                if ((e->response_type & ~0x80) != XCB_PROPERTY_NOTIFY)
                    return false;
                auto* n = reinterpret_cast<xcb_property_notify_event_t*>(e);
                return n->window == m_window && n->atom == m_property &&
                       n->state == XCB_PROPERTY_NEW_VALUE;
            },
            deadline()));
        if (!changed) {
            xcb_delete_property(m_conn, m_window, m_property);
            xcb_flush(m_conn);
            *failure = Failure::timedOut;
            return std::nullopt;
        }
        XcbReply<xcb_get_property_reply_t> chunk = readProperty(overflow);
        xcb_flush(m_conn);
        if (!chunk)
            return std::nullopt;
        const int length = xcb_get_property_value_length(chunk.get());
        if (overflow || bytes.size() + length > maxBytes) {
            *failure = Failure::tooLarge;
            return std::nullopt;
        }
        if (length == 0)
            break;
        lastProgress = Clock::now();
        if (!typed) {
            *type = chunk->type;
            typed = true;
        }
        bytes.append(static_cast<const char*>(xcb_get_property_value(chunk.get())), length);
    }
    *failure = Failure::none;
    return bytes;
}

std::optional<QStringList> X11SelectionReader::targets(Failure* failure) {
    uint32_t type = XCB_ATOM_NONE;
    Failure f = Failure::none;
    const auto bytes = transfer(m_targetsAtom, 64 * 1024, &type, &f);
    if (failure)
        *failure = f;
    if (!bytes)
        return std::nullopt;
    const qsizetype count = bytes->size() / qsizetype(sizeof(uint32_t));
    QList<uint32_t> atoms(count);
    std::memcpy(atoms.data(), bytes->constData(), count * sizeof(uint32_t));

    QStringList names;
    for (const QByteArray& latin : m_display->atoms().names(atoms)) {
        const QString name = QString::fromLatin1(latin);
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

std::optional<QByteArray> X11SelectionReader::read(const QString& target, qint64 maxBytes,
                                                   Failure* failure) {
    uint32_t type = XCB_ATOM_NONE;
    Failure f = Failure::none;
    auto bytes = transfer(m_display->atom(target.toLatin1()), maxBytes, &type, &f);
    if (failure)
        *failure = f;
    return bytes;
}
