#include "platform/x11/X11PasteKeystroke.h"

#include "platform/PasteChord.h"
#include "platform/PlatformLog.h"
#include "platform/XkbPointers.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/XcbReply.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>
#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <memory>
#include <utility>

namespace {
// How long a paste waits for the window manager to hand focus back.
constexpr int pollIntervalMs = 10;
constexpr int pollLimit = 100;

// Keys sent through XTEST reach only X clients; under Wayland they would go
// nowhere useful, so pasting is not offered there.
bool isX11Session() {
    return QGuiApplication::platformName() == QLatin1String("xcb") &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           qgetenv("XDG_SESSION_TYPE") != "wayland";
}
} // namespace

X11PasteKeystroke::X11PasteKeystroke(X11Connection& display, QObject* parent)
    : QObject(parent)
    , m_display(&display) {
    setUp();
}

X11PasteKeystroke::X11PasteKeystroke(QObject* parent)
    : QObject(parent) {
    if (isX11Session()) {
        m_ownDisplay = std::make_unique<X11Connection>();
        m_display = m_ownDisplay.get();
    }
    setUp();
}

X11PasteKeystroke::~X11PasteKeystroke() {
    if (m_display && m_timeWindow && m_display->isValid()) {
        xcb_destroy_window(conn(), m_timeWindow);
        xcb_flush(conn());
    }
}

void X11PasteKeystroke::setUp() {
    m_poll.setInterval(pollIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, &X11PasteKeystroke::pollActivation);
    if (!isX11Session() || !m_display || !m_display->isValid())
        return;
    xcb_connection_t* c = conn();
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(c, &xcb_test_id);
    if (!xtest || !xtest->present) {
        qCWarning(platformLog) << "the X display has no XTEST extension: pasting into the "
                                  "application in front is off";
        return;
    }
    if (!xkb_x11_setup_xkb_extension(
            c, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr)) {
        qCWarning(platformLog) << "the X display has no XKB extension: pasting is off";
        return;
    }
    m_keyboardDevice = xkb_x11_get_core_keyboard_device_id(c);
    if (m_keyboardDevice < 0) {
        qCWarning(platformLog) << "no core keyboard on the X display: pasting is off";
        return;
    }
    // An unmapped window whose property changes report the server's time.
    m_timeWindow = m_display->createWindow();
    m_display->atoms().atoms({"_NET_ACTIVE_WINDOW", "_QUILLET_TIME"});
    m_available = true;
}

bool X11PasteKeystroke::isAvailable() const {
    return m_available && m_display->isValid();
}

void X11PasteKeystroke::rememberActiveWindow() {
    if (!isAvailable())
        return;
    const uint32_t active = activeWindow();
    // With one of Quillet's windows in front (the panel while the picker
    // opens), the window from before that one is still the right target.
    if (isOwnWindow(active))
        return;
    m_target = active;
}

void X11PasteKeystroke::sendPaste() {
    if (!isAvailable())
        return;
    ++m_pendingChords;
    if (m_poll.isActive())
        return; // sent together with the paste that is already waiting
    if (m_target) {
        XcbReply<xcb_get_window_attributes_reply_t> attrs(xcb_get_window_attributes_reply(
            conn(), xcb_get_window_attributes(conn(), m_target), nullptr));
        if (!attrs)
            m_target = 0; // closed since: the keys go to whatever has focus
    }
    if (!m_target || (activeWindow() == m_target && hasFocus(m_target))) {
        pressChord();
        return;
    }
    requestActivation(m_target);
    m_pollsLeft = pollLimit;
    m_poll.start();
}

uint32_t X11PasteKeystroke::activeWindow() const {
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        conn(),
        xcb_get_property(conn(), 0, m_display->root(), m_display->atom("_NET_ACTIVE_WINDOW"),
                         XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return 0;
    return *static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
}

bool X11PasteKeystroke::hasFocus(uint32_t window) const {
    XcbReply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(conn(), xcb_get_input_focus(conn()), nullptr));
    if (!focus)
        return false;
    // Focus may sit on a child of the top-level window (toolkits often do that).
    uint32_t w = focus->focus;
    for (int depth = 0; depth < 64 && w != XCB_WINDOW_NONE && w != m_display->root(); ++depth) {
        if (w == window)
            return true;
        XcbReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(conn(), xcb_query_tree(conn(), w), nullptr));
        if (!tree)
            return false;
        w = tree->parent;
    }
    return false;
}

bool X11PasteKeystroke::isOwnWindow(uint32_t window) const {
    if (!window)
        return false;
    const auto windows = QGuiApplication::topLevelWindows();
    for (QWindow* w : windows) {
        if (w->handle() && w->winId() == window)
            return true;
    }
    return false;
}

bool X11PasteKeystroke::isTerminalWindow(uint32_t window) const {
    if (!window)
        return false;
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        conn(), xcb_get_property(conn(), 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256),
        nullptr));
    if (!reply || reply->format != 8)
        return false;
    // "instance\0class\0"
    const QByteArray value(static_cast<const char*>(xcb_get_property_value(reply.get())),
                           xcb_get_property_value_length(reply.get()));
    const QList<QByteArray> parts = value.split('\0');
    return PasteChord::isTerminal(QString::fromLocal8Bit(parts.value(0))) ||
           PasteChord::isTerminal(QString::fromLocal8Bit(parts.value(1)));
}

void X11PasteKeystroke::requestActivation(uint32_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = m_display->atom("_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2; // source: a pager or tool acting for the user
    message.data.data32[1] = m_display->serverTime(m_timeWindow);
    message.data.data32[2] = XCB_WINDOW_NONE;
    xcb_send_event(conn(), 0, m_display->root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(conn());
}

void X11PasteKeystroke::pollActivation() {
    const bool active = activeWindow() == m_target && hasFocus(m_target);
    if (!active && --m_pollsLeft > 0)
        return;
    // Past the limit the keys go to whatever window has focus now.
    m_poll.stop();
    pressChord();
}

void X11PasteKeystroke::pressChord() {
    const int chords = std::exchange(m_pendingChords, 0);
    if (!isAvailable() || chords <= 0)
        return;
    uint32_t receiver = activeWindow();
    if (!receiver)
        receiver = m_target;
    const bool terminal = isTerminalWindow(receiver);

    const XkbContextPtr context(xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES));
    if (!context)
        return;
    const XkbKeymapPtr keymap(xkb_x11_keymap_new_from_device(
        context.get(), conn(), m_keyboardDevice, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap)
        return;
    const XkbStatePtr state(xkb_x11_state_new_from_device(keymap.get(), conn(), m_keyboardDevice));
    const xkb_layout_index_t layout =
        state ? xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE) : 0;

    const auto chord = PasteChord::inKeymap(keymap.get(), layout);
    if (!chord || (terminal && !chord->shift)) {
        qCDebug(platformLog) << "paste keystroke: the keymap has no key for the chord";
        return;
    }

    auto fake = [this](uint8_t type, xkb_keycode_t key) {
        xcb_test_fake_input(conn(), type, uint8_t(key), XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    };
    for (int i = 0; i < chords; ++i) {
        fake(XCB_KEY_PRESS, chord->control);
        if (terminal)
            fake(XCB_KEY_PRESS, *chord->shift);
        fake(XCB_KEY_PRESS, chord->v);
        fake(XCB_KEY_RELEASE, chord->v);
        if (terminal)
            fake(XCB_KEY_RELEASE, *chord->shift);
        fake(XCB_KEY_RELEASE, chord->control);
    }
    // A round trip makes sure the server has taken the keys before we go on.
    XcbReply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(conn(), xcb_get_input_focus(conn()), nullptr));
    qCDebug(platformLog) << "paste keystroke sent to window" << receiver << "terminal" << terminal;
}

xcb_connection_t* X11PasteKeystroke::conn() const {
    return m_display->get();
}
