#include "platform/x11/X11PasteKeystroke.h"

#include "platform/PlatformLog.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QHash>
#include <QWindow>

#include <xcb/xcb.h>
#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <array>
#include <cstdlib>
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

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

struct KeymapDeleter {
    void operator()(xkb_keymap* k) const { xkb_keymap_unref(k); }
};
struct StateDeleter {
    void operator()(xkb_state* s) const { xkb_state_unref(s); }
};
struct ContextDeleter {
    void operator()(xkb_context* c) const { xkb_context_unref(c); }
};

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
} // namespace

X11PasteKeystroke::X11PasteKeystroke(QObject* parent)
    : QObject(parent) {
    m_poll.setInterval(pollIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, &X11PasteKeystroke::pollActivation);

    // Keys sent through XTEST reach only X clients; under Wayland they would
    // go nowhere useful, so pasting is not offered there.
    const bool x11Session = QGuiApplication::platformName() == QLatin1String("xcb") &&
                            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
                            qgetenv("XDG_SESSION_TYPE") != "wayland";
    if (!x11Session)
        return;
    int screenNumber = 0;
    m_conn = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(m_conn)) {
        qCDebug(platformLog) << "paste keystroke: cannot connect to the display";
        xcb_disconnect(m_conn);
        m_conn = nullptr;
        return;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_conn));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem)
        return;
    m_root = it.data->root;

    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(m_conn, &xcb_test_id);
    if (!xtest || !xtest->present) {
        qCDebug(platformLog) << "paste keystroke: no XTEST on this display";
        return;
    }
    if (!xkb_x11_setup_xkb_extension(
            m_conn, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr))
        return;
    m_keyboardDevice = xkb_x11_get_core_keyboard_device_id(m_conn);
    if (m_keyboardDevice < 0)
        return;

    // An unmapped window whose property changes report the server's time.
    m_timeWindow = xcb_generate_id(m_conn);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_conn, XCB_COPY_FROM_PARENT, m_timeWindow, m_root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_conn);
    m_available = true;
}

X11PasteKeystroke::~X11PasteKeystroke() {
    if (!m_conn)
        return;
    if (m_timeWindow)
        xcb_destroy_window(m_conn, m_timeWindow);
    xcb_disconnect(m_conn);
}

bool X11PasteKeystroke::isAvailable() const {
    return m_available && !xcb_connection_has_error(m_conn);
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
        Reply<xcb_get_window_attributes_reply_t> attrs(xcb_get_window_attributes_reply(
            m_conn, xcb_get_window_attributes(m_conn, m_target), nullptr));
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

uint32_t X11PasteKeystroke::atom(const char* name) const {
    const QByteArray key(name);
    if (const auto it = m_atoms.constFind(key); it != m_atoms.constEnd())
        return *it;
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_conn, xcb_intern_atom(m_conn, 0, uint16_t(key.size()), key.constData()), nullptr));
    const uint32_t value = reply ? reply->atom : uint32_t(XCB_ATOM_NONE);
    if (value != XCB_ATOM_NONE)
        m_atoms.insert(key, value);
    return value;
}

uint32_t X11PasteKeystroke::activeWindow() const {
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_conn,
        xcb_get_property(m_conn, 0, m_root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return 0;
    return *static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
}

bool X11PasteKeystroke::hasFocus(uint32_t window) const {
    Reply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
    if (!focus)
        return false;
    // Focus may sit on a child of the top-level window (toolkits often do that).
    uint32_t w = focus->focus;
    for (int depth = 0; depth < 64 && w != XCB_WINDOW_NONE && w != m_root; ++depth) {
        if (w == window)
            return true;
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_conn, xcb_query_tree(m_conn, w), nullptr));
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
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_conn, xcb_get_property(m_conn, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256),
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

uint32_t X11PasteKeystroke::serverTime() {
    // Appending nothing to a property still produces a PropertyNotify, whose
    // timestamp is the server's current time.
    xcb_change_property(m_conn, XCB_PROP_MODE_APPEND, m_timeWindow, atom("_QUILLET_TIME"),
                        XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(m_conn);
    while (xcb_generic_event_t* event = xcb_wait_for_event(m_conn)) {
        const Reply<xcb_generic_event_t> owned(event);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            continue;
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (notify->window == m_timeWindow)
            return notify->time;
    }
    return XCB_CURRENT_TIME;
}

void X11PasteKeystroke::requestActivation(uint32_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2; // source: a pager or tool acting for the user
    message.data.data32[1] = serverTime();
    message.data.data32[2] = XCB_WINDOW_NONE;
    xcb_send_event(m_conn, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(m_conn);
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

    const std::unique_ptr<xkb_context, ContextDeleter> context(
        xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES));
    if (!context)
        return;
    const std::unique_ptr<xkb_keymap, KeymapDeleter> keymap(xkb_x11_keymap_new_from_device(
        context.get(), m_conn, m_keyboardDevice, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap)
        return;
    const std::unique_ptr<xkb_state, StateDeleter> state(
        xkb_x11_state_new_from_device(keymap.get(), m_conn, m_keyboardDevice));
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
        xcb_test_fake_input(m_conn, type, uint8_t(key), XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
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
    Reply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
    qCDebug(platformLog) << "paste keystroke sent to window" << receiver << "terminal" << terminal;
}
