#include "platform/wayland/WaylandPasteKeystroke.h"

#include "platform/PasteChord.h"
#include "platform/PlatformLog.h"
#include "platform/XkbPointers.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandFrontmostApp.h"

#include <QGuiApplication>

#include <wayland-client.h>
#include <wayland/virtual-keyboard-unstable-v1-client.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <utility>

namespace {
constexpr int kPollIntervalMs = 10;

// Linux input codes are xkb key codes less 8 in every keymap built from
// the evdev rules, which is what the compositor reads ours with.
constexpr uint32_t kEvdevOffset = 8;

uint32_t nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint32_t(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

// The keymap text in a sealed memory file, as the compositor maps it: the
// size counts the terminating NUL. -1 when it cannot be made.
int keymapFile(const char* text, size_t size) {
    const int fd = memfd_create("quillet-keymap", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0)
        return -1;
    size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, text + written, size - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            return -1;
        }
        written += size_t(n);
    }
    // The compositor maps it and trusts its size; nobody may change it since.
    fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
    return fd;
}

// The remembered window has the keyboard again, given back after Quillet's
// own window last had it.
bool isBack(const WaylandFrontmostApp::Focus& focus, uint64_t target) {
    return target && focus.window == target && focus.active &&
           focus.activatedAt > focus.ownActivatedAt;
}
} // namespace

// The virtual keyboard and the keymap it was announced with.
struct WaylandPasteKeystroke::Keyboard {
    zwp_virtual_keyboard_v1* proxy = nullptr;
    XkbKeymapPtr keymap;
    PasteChord chord;
};

WaylandPasteKeystroke::WaylandPasteKeystroke(WaylandConnection& connection,
                                             WaylandFrontmostApp& frontmost, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_frontmost(frontmost) {
    m_poll.setInterval(kPollIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, &WaylandPasteKeystroke::pollTarget);
    m_manager =
        static_cast<wl_proxy*>(connection.bind(&zwp_virtual_keyboard_manager_v1_interface, 1, 1));
    if (m_manager)
        m_seat = static_cast<wl_proxy*>(connection.bind(&wl_seat_interface, 1, 1));
}

WaylandPasteKeystroke::~WaylandPasteKeystroke() {
    m_poll.stop();
    m_connection.call([this] {
        if (m_keyboard && m_keyboard->proxy)
            zwp_virtual_keyboard_v1_destroy(m_keyboard->proxy);
        m_keyboard.reset();
        if (m_manager)
            wl_proxy_destroy(m_manager);
        if (m_seat)
            wl_proxy_destroy(m_seat);
    });
}

bool WaylandPasteKeystroke::isAvailable() const {
    return m_manager && m_seat && m_frontmost.isAvailable() && !m_keyboardFailed &&
           !m_connection.failed();
}

void WaylandPasteKeystroke::rememberActiveWindow() {
    if (!isAvailable())
        return;
    // Quillet's own windows never count: the window from before them does.
    const WaylandFrontmostApp::Focus focus = m_frontmost.focus();
    m_target = focus.window;
    m_targetAppId = focus.appId;
    // The keyboard is made well before the paste: a seat that had none
    // announces one, and applications take a moment to start listening to it;
    // keys sent before then would be lost.
    m_connection.post([this] { ensureKeyboard(); });
}

void WaylandPasteKeystroke::sendPaste() {
    if (!isAvailable())
        return;
    ++m_pendingChords;
    if (m_poll.isActive())
        return; // sent together with the paste that is already waiting
    if (!m_target) {
        const WaylandFrontmostApp::Focus focus = m_frontmost.focus();
        m_target = focus.window;
        m_targetAppId = focus.appId;
    }
    m_deadline = QDeadlineTimer(kWaitLimitMs);
    if (!tryPaste())
        m_poll.start();
}

bool WaylandPasteKeystroke::tryPaste() {
    // While one of Quillet's windows has the focus, keys would go there.
    if (QGuiApplication::focusWindow() || !isBack(m_frontmost.focus(), m_target))
        return false;
    const int chords = std::exchange(m_pendingChords, 0);
    const bool terminal = PasteChord::isTerminal(m_targetAppId);
    m_connection.post([this, chords, terminal, target = m_target] {
        // The window list is current here: the last word before typing.
        if (!isBack(m_frontmost.focus(), target)) {
            qCDebug(platformLog) << "paste keystroke: the window lost the keyboard again";
            return;
        }
        if (ensureKeyboard())
            pressChord(chords, terminal);
    });
    return true;
}

void WaylandPasteKeystroke::pollTarget() {
    if (tryPaste()) {
        m_poll.stop();
    } else if (m_deadline.hasExpired()) {
        m_poll.stop();
        m_pendingChords = 0;
        qCDebug(platformLog) << "paste keystroke: the window to paste into did not come back; "
                                "the item is only copied";
    }
}

bool WaylandPasteKeystroke::ensureKeyboard() {
    if (m_keyboard)
        return m_keyboard->proxy != nullptr;
    m_keyboard = std::make_unique<Keyboard>();
    // The user's layout as the session names it (XKB_DEFAULT_LAYOUT and the
    // like), else the library's default: the focused application reads the
    // keys it gets in this keymap until the next real key press.
    const XkbContextPtr context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    if (context)
        m_keyboard->keymap.reset(
            xkb_keymap_new_from_names(context.get(), nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS));
    const auto chord =
        m_keyboard->keymap ? PasteChord::inKeymap(m_keyboard->keymap.get(), 0) : std::nullopt;
    if (!chord) {
        qCWarning(platformLog) << "no keyboard layout could be compiled for pasting: pasting into "
                                  "the application in front is off";
        m_keyboardFailed = true;
        return false;
    }
    m_keyboard->chord = *chord;

    char* text = xkb_keymap_get_as_string(m_keyboard->keymap.get(), XKB_KEYMAP_FORMAT_TEXT_V1);
    const size_t size = text ? std::strlen(text) + 1 : 0;
    const int fd = text ? keymapFile(text, size) : -1;
    std::free(text);
    if (fd < 0) {
        qCWarning(platformLog) << "cannot hand the keyboard layout to the compositor:"
                               << std::strerror(errno) << "- pasting is off";
        m_keyboardFailed = true;
        return false;
    }
    m_keyboard->proxy = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(
        reinterpret_cast<zwp_virtual_keyboard_manager_v1*>(m_manager),
        reinterpret_cast<wl_seat*>(m_seat));
    zwp_virtual_keyboard_v1_keymap(m_keyboard->proxy, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   uint32_t(size));
    ::close(fd); // the request carries a copy
    return true;
}

void WaylandPasteKeystroke::pressChord(int chords, bool terminal) {
    const Keyboard& kb = *m_keyboard;
    if (terminal && !kb.chord.shift) {
        qCDebug(platformLog) << "paste keystroke: the keymap has no Shift for the terminal chord";
        return;
    }
    // The compositor does not work the modifiers out from the keys of a
    // virtual keyboard: each change is announced after the key that made it,
    // as the keymap's own state machine has it, ending with none held.
    const XkbStatePtr state(xkb_state_new(kb.keymap.get()));
    if (!state)
        return;
    auto key = [&](uint32_t code, bool down) {
        zwp_virtual_keyboard_v1_key(kb.proxy, nowMs(), code - kEvdevOffset,
                                    down ? WL_KEYBOARD_KEY_STATE_PRESSED
                                         : WL_KEYBOARD_KEY_STATE_RELEASED);
        if (xkb_state_update_key(state.get(), code, down ? XKB_KEY_DOWN : XKB_KEY_UP) == 0)
            return;
        zwp_virtual_keyboard_v1_modifiers(
            kb.proxy, xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_DEPRESSED),
            xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_LATCHED),
            xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_LOCKED),
            xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE));
    };
    for (int i = 0; i < chords; ++i) {
        key(kb.chord.control, true);
        if (terminal)
            key(*kb.chord.shift, true);
        key(kb.chord.v, true);
        key(kb.chord.v, false);
        if (terminal)
            key(*kb.chord.shift, false);
        key(kb.chord.control, false);
    }
    qCDebug(platformLog) << "paste keystroke sent to" << m_frontmost.focus().appId << "terminal"
                         << terminal;
}
