#include "platform/x11/X11PasteKeystroke.h"

#include "platform/PlatformLog.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/XcbReply.h"
#include "platform/x11/XkbPointers.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>
#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <array>
#include <memory>
#include <utility>

namespace {
// WM_CLASS instance or class names of terminal emulators, lower case.
// clang-format off
constexpr std::array terminalClasses = {
    "alacritty", "blackbox", "com.raggesilver.blackbox", "contour", "cool-retro-term",
    "deepin-terminal", "eterm", "foot", "footclient", "gnome-terminal", "gnome-terminal-server",
    "guake", "hyper", "io.elementary.terminal", "kgx", "kitty", "konsole", "lxterminal",
    "mate-terminal", "org.gnome.console", "org.gnome.ptyxis", "org.gnome.terminal",
    "org.kde.konsole", "org.wezfurlong.wezterm", "ptyxis", "qterminal", "roxterm", "rxvt",
    "sakura", "st", "st-256color", "terminator", "terminology", "termite", "tilda", "tilix",
    "urxvt", "uxterm", "wezterm", "x-terminal-emulator", "xfce4-terminal", "xterm", "yakuake",
    "zutty",
};
// clang-format on

// How long a paste waits for the window manager to hand focus back.
constexpr int pollIntervalMs = 10;
constexpr int pollLimit = 100;

// The key that produces sym at the base level, in the active layout first,
// then in any layout of the keymap.
xkb_keycode_t keycodeFor(xkb_keymap* keymap, xkb_layout_index_t active, xkb_keysym_t sym) {
    for (const bool anyLayout : {false, true}) {
        for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap);
             key <= xkb_keymap_max_keycode(keymap); ++key) {
            const xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(keymap, key);
            for (xkb_layout_index_t layout = 0; layout < layouts; ++layout) {
                if (!anyLayout && layout != active)
                    continue;
                const xkb_keysym_t* syms = nullptr;
                const int n = xkb_keymap_key_get_syms_by_level(keymap, key, layout, 0, &syms);
                for (int i = 0; i < n; ++i) {
                    if (syms[i] == sym)
                        return key;
                }
            }
        }
    }
    return XKB_KEYCODE_INVALID;
}
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

bool X11PasteKeystroke::isTerminal(const QString& instance, const QString& className) {
    const QByteArray names[] = {instance.toLower().toUtf8(), className.toLower().toUtf8()};
    for (const char* terminal : terminalClasses) {
        for (const QByteArray& name : names) {
            if (!name.isEmpty() && name == terminal)
                return true;
        }
    }
    return false;
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
    return isTerminal(QString::fromLocal8Bit(parts.value(0)),
                      QString::fromLocal8Bit(parts.value(1)));
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

    auto keyFor = [&](xkb_keysym_t left, xkb_keysym_t right) {
        const xkb_keycode_t key = keycodeFor(keymap.get(), layout, left);
        return key != XKB_KEYCODE_INVALID ? key : keycodeFor(keymap.get(), layout, right);
    };
    const xkb_keycode_t control = keyFor(XKB_KEY_Control_L, XKB_KEY_Control_R);
    const xkb_keycode_t shift = keyFor(XKB_KEY_Shift_L, XKB_KEY_Shift_R);
    xkb_keycode_t v = keycodeFor(keymap.get(), layout, XKB_KEY_v);
    if (v == XKB_KEYCODE_INVALID) // a layout without Latin letters: the key in V's place
        v = xkb_keymap_key_by_name(keymap.get(), "AB04");
    if (control == XKB_KEYCODE_INVALID || v == XKB_KEYCODE_INVALID ||
        (terminal && shift == XKB_KEYCODE_INVALID)) {
        qCDebug(platformLog) << "paste keystroke: the keymap has no key for the chord";
        return;
    }

    auto fake = [this](uint8_t type, xkb_keycode_t key) {
        xcb_test_fake_input(conn(), type, uint8_t(key), XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    };
    for (int i = 0; i < chords; ++i) {
        fake(XCB_KEY_PRESS, control);
        if (terminal)
            fake(XCB_KEY_PRESS, shift);
        fake(XCB_KEY_PRESS, v);
        fake(XCB_KEY_RELEASE, v);
        if (terminal)
            fake(XCB_KEY_RELEASE, shift);
        fake(XCB_KEY_RELEASE, control);
    }
    // A round trip makes sure the server has taken the keys before we go on.
    XcbReply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(conn(), xcb_get_input_focus(conn()), nullptr));
    qCDebug(platformLog) << "paste keystroke sent to window" << receiver << "terminal" << terminal;
}

xcb_connection_t* X11PasteKeystroke::conn() const {
    return m_display->get();
}
