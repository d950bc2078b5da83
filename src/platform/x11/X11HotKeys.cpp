#include "platform/x11/X11HotKeys.h"

#include "platform/EvdevKeyCodes.h"
#include "platform/PlatformLog.h"
#include "platform/XkbPointers.h"
#include "platform/x11/XcbReply.h"

#include <QCoreApplication>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <array>
#include <memory>

namespace {

constexpr int kCommand = 0x100;
constexpr int kShift = 0x200;
constexpr int kOption = 0x800;
constexpr int kControl = 0x1000;
constexpr int kBadValue = 2;
constexpr int kNoGrabsInSession = -1;
// XKB event types (xcb/xkb.h cannot be included from C++).
constexpr std::uint8_t kXkbNewKeyboardNotify = 0;
constexpr std::uint8_t kXkbMapNotify = 1;
// X keycodes are evdev codes shifted by the minimum keycode of the evdev keymap.
constexpr int kEvdevOffset = 8;

// A dead key has no character of its own; it is named after the accent it
// puts on the next letter, in its spacing form.
char16_t deadKeyAccent(xkb_keysym_t sym) {
    // dead_grave (0xfe50) … dead_semivoiced_sound (0xfe5f), in keysym order.
    static constexpr char16_t kAccents[] = {
        u'`',      u'\u00B4', u'^',      u'~',      u'\u00AF', u'\u02D8', u'\u02D9', u'\u00A8',
        u'\u02DA', u'\u02DD', u'\u02C7', u'\u00B8', u'\u02DB', u'\u037A', u'\u309B', u'\u309C',
    };
    if (sym < 0xfe50 || sym > 0xfe5f)
        return 0;
    return kAccents[sym - 0xfe50];
}

// The one character a keysym list stands for, or empty.
QString singleCharacter(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t layout) {
    const xkb_keysym_t* syms = nullptr;
    if (xkb_keymap_key_get_syms_by_level(keymap, keycode, layout, 0, &syms) != 1)
        return {};
    if (const char16_t accent = deadKeyAccent(syms[0]))
        return QString(QChar(accent));
    char buf[16] = {};
    if (xkb_keysym_to_utf8(syms[0], buf, sizeof buf) <= 0)
        return {};
    const QString text = QString::fromUtf8(buf);
    const QList<uint> codePoints = text.toUcs4();
    if (codePoints.size() != 1 ||
        QChar::category(char32_t(codePoints.front())) == QChar::Other_Control)
        return {};
    return text;
}

bool isAscii(const QString& s) {
    return !s.isEmpty() && s.front().unicode() < 0x80;
}

} // namespace

X11HotKeys::X11HotKeys(xcb_connection_t* connection, std::uint32_t rootWindow)
    : m_connection(connection)
    , m_root(rootWindow)
    , m_refused(isWaylandSession())
    , m_repeat([this](const HotKeyEvent& e) { return deliver(e); }) {
    if (m_refused)
        qCWarning(platformLog) << "hot keys: Wayland session, no global shortcut is grabbed";
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installNativeEventFilter(this);
    m_xkbContext = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_x11_setup_xkb_extension(m_connection, XKB_X11_MIN_MAJOR_XKB_VERSION,
                                XKB_X11_MIN_MINOR_XKB_VERSION, XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS,
                                nullptr, nullptr, &m_xkbEventBase, nullptr);
}

X11HotKeys::~X11HotKeys() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app)
        app->removeNativeEventFilter(this);
    // Without the application, Qt has closed the connection and the server
    // dropped the grabs with it. Otherwise the connection outlives us: give
    // them back.
    if (app) {
        for (const auto& [request, g] : m_grabs)
            ungrabVariants(g);
        xcb_flush(m_connection);
    }
    if (m_xkbContext)
        xkb_context_unref(m_xkbContext);
}

QString X11HotKeys::unavailableReason() const {
    return m_refused ? waylandReason() : QString();
}

// Which ModN carries Super, Alt and Num Lock is the server's choice; read it
// instead of assuming the usual Mod4/Mod1/Mod2.
const X11HotKeys::Masks& X11HotKeys::masks() const {
    if (m_masks)
        return *m_masks;
    Masks found;
    bool haveCommand = false, haveOption = false, haveNumLock = false;
    XcbReply<xcb_get_modifier_mapping_reply_t> reply(xcb_get_modifier_mapping_reply(
        m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(m_connection);
    if (reply && symbols) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply.get());
        const int perModifier = reply->keycodes_per_modifier;
        for (int mod = 3; mod < 8; ++mod) { // Mod1 … Mod5
            const auto bit = std::uint16_t(1u << mod);
            for (int i = 0; i < perModifier; ++i) {
                const xcb_keycode_t code = codes[mod * perModifier + i];
                if (code == 0)
                    continue;
                const xcb_keysym_t sym = xcb_key_symbols_get_keysym(symbols, code, 0);
                if ((sym == 0xffeb || sym == 0xffec) && !haveCommand) { // Super_L/R
                    found.command = bit;
                    haveCommand = true;
                } else if ((sym == 0xffe9 || sym == 0xffea) && !haveOption) { // Alt_L/R
                    found.option = bit;
                    haveOption = true;
                } else if (sym == 0xff7f && !haveNumLock) { // Num_Lock
                    found.numLock = bit;
                    haveNumLock = true;
                }
            }
        }
    }
    if (symbols)
        xcb_key_symbols_free(symbols);
    qCDebug(platformLog) << "modifier masks: super" << found.command << "alt" << found.option
                         << "num lock" << found.numLock;
    m_masks = found;
    return *m_masks;
}

std::optional<X11HotKeys::Grab> X11HotKeys::grabFor(int keyCode, int modifiers) const {
    const auto evdev = evdevCodeForKeyCode(keyCode);
    // Bits beyond the four we map (the function key has no X11 counterpart)
    // cannot be grabbed: dropping them would take a combination that is not the one asked for.
    if (!evdev || (modifiers & ~(kCommand | kShift | kOption | kControl)))
        return std::nullopt;
    const Masks& m = masks();
    Grab g;
    g.keycode = std::uint8_t(*evdev + kEvdevOffset);
    g.numLock = m.numLock;
    if (modifiers & kShift)
        g.mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & kControl)
        g.mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & kOption)
        g.mask |= m.option;
    if (modifiers & kCommand)
        g.mask |= m.command;
    return g;
}

int X11HotKeys::modifiersOfState(std::uint16_t state) const {
    const Masks& m = masks();
    int result = 0;
    if (state & XCB_MOD_MASK_SHIFT)
        result |= kShift;
    if (state & XCB_MOD_MASK_CONTROL)
        result |= kControl;
    if (state & m.option)
        result |= kOption;
    if (state & m.command)
        result |= kCommand;
    return result;
}

static std::array<std::uint16_t, 4> lockVariants(std::uint16_t numLock) {
    return {0, XCB_MOD_MASK_LOCK, numLock, std::uint16_t(XCB_MOD_MASK_LOCK | numLock)};
}

int X11HotKeys::grabVariants(const Grab& g) {
    QList<std::uint16_t> done;
    for (std::uint16_t variant : lockVariants(g.numLock)) {
        const xcb_void_cookie_t cookie =
            xcb_grab_key_checked(m_connection, 0, m_root, std::uint16_t(g.mask | variant),
                                 g.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        XcbReply<xcb_generic_error_t> error(xcb_request_check(m_connection, cookie));
        if (error) {
            // All or nothing: a combination that works only with Caps Lock off
            // would look broken to the user.
            for (std::uint16_t v : done)
                xcb_ungrab_key(m_connection, g.keycode, m_root, std::uint16_t(g.mask | v));
            xcb_flush(m_connection);
            return error->error_code;
        }
        done.append(variant);
    }
    xcb_flush(m_connection);
    return 0;
}

void X11HotKeys::ungrabVariants(const Grab& g) {
    if (!g.held)
        return;
    for (std::uint16_t variant : lockVariants(g.numLock))
        xcb_ungrab_key(m_connection, g.keycode, m_root, std::uint16_t(g.mask | variant));
    xcb_flush(m_connection);
}

int X11HotKeys::grab(int keyCode, int modifiers) {
    if (m_refused)
        return kNoGrabsInSession;
    auto g = grabFor(keyCode, modifiers);
    if (!g)
        return kBadValue;
    const Request request{keyCode, modifiers};
    if (const auto old = m_grabs.find(request); old != m_grabs.end()) {
        ungrabVariants(old->second);
        m_grabs.erase(old);
    }
    // The caller reports a refusal, with the status, to the user.
    if (const int status = grabVariants(*g))
        return status;
    g->held = true;
    m_grabs[request] = *g;
    return 0;
}

void X11HotKeys::ungrab(int keyCode, int modifiers) {
    const auto it = m_grabs.find(Request{keyCode, modifiers});
    if (it == m_grabs.end())
        return;
    ungrabVariants(it->second);
    m_grabs.erase(it);
}

bool X11HotKeys::isAvailable(int keyCode, int modifiers) {
    const auto g = grabFor(keyCode, modifiers);
    if (!g || m_refused)
        return true;
    // Our own grab would be released by the test below; it is no conflict anyway.
    for (const auto& [request, held] : m_grabs) {
        if (held.held && held.keycode == g->keycode && held.mask == g->mask)
            return true;
    }
    const xcb_void_cookie_t cookie = xcb_grab_key_checked(
        m_connection, 0, m_root, g->mask, g->keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    XcbReply<xcb_generic_error_t> error(xcb_request_check(m_connection, cookie));
    if (error)
        return false;
    xcb_ungrab_key(m_connection, g->keycode, m_root, g->mask);
    xcb_flush(m_connection);
    return true;
}

// After a modifier remap or a new keymap the same shortcut needs other masks
// (Super moved from Mod4 to Mod3, say): let go of the old grab, which only the
// old masks name, and take the new one.
void X11HotKeys::keymapChanged() {
    m_masks.reset();
    for (auto& [request, g] : m_grabs) {
        auto now = grabFor(request.first, request.second);
        if (!now)
            continue;
        now->held = g.held;
        if (*now == g && g.held)
            continue;
        ungrabVariants(g);
        const int status = grabVariants(*now);
        now->held = status == 0;
        if (status != 0)
            qCWarning(platformLog)
                << "hot keys: after a keymap change, key" << request.first << "with modifiers"
                << request.second << "could not be grabbed again:" << status;
        g = *now;
    }
}

std::optional<X11HotKeys::Request> X11HotKeys::ownerOf(std::uint8_t keycode,
                                                       std::uint16_t state) const {
    const std::uint16_t modifiers = state & 0xff;
    for (const auto& [request, g] : m_grabs) {
        const auto locks = std::uint16_t(XCB_MOD_MASK_LOCK | g.numLock);
        if (g.held && g.keycode == keycode && (modifiers & ~locks) == g.mask)
            return request;
    }
    return std::nullopt;
}

std::optional<int> X11HotKeys::keyCodeForScanCode(quint32 scanCode) const {
    if (scanCode < quint32(kEvdevOffset))
        return std::nullopt;
    return keyCodeForEvdevCode(int(scanCode) - kEvdevOffset);
}

// Read anew each time, so a layout switch shows on the next display. Like a
// shortcut shown in a menu, the key is named after a Latin layout when the
// active one is not (a Cyrillic layout still shows V for the V key).
QString X11HotKeys::layoutCharacter(int keyCode) const {
    const auto evdev = evdevCodeForKeyCode(keyCode);
    if (!evdev || !m_xkbContext)
        return {};
    const std::int32_t device = xkb_x11_get_core_keyboard_device_id(m_connection);
    if (device < 0)
        return {};
    XkbKeymapPtr keymap(xkb_x11_keymap_new_from_device(m_xkbContext, m_connection, device,
                                                       XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap)
        return {};
    XkbStatePtr state(xkb_x11_state_new_from_device(keymap.get(), m_connection, device));
    if (!state)
        return {};
    const xkb_keycode_t keycode = xkb_keycode_t(*evdev + kEvdevOffset);
    constexpr xkb_keycode_t kKeyA = 30 + kEvdevOffset;
    const xkb_layout_index_t active =
        xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE);
    if (isAscii(singleCharacter(keymap.get(), kKeyA, active)))
        return singleCharacter(keymap.get(), keycode, active);
    const xkb_layout_index_t count = xkb_keymap_num_layouts(keymap.get());
    for (xkb_layout_index_t layout = 0; layout < count; ++layout) {
        if (isAscii(singleCharacter(keymap.get(), kKeyA, layout)))
            return singleCharacter(keymap.get(), keycode, layout);
    }
    return singleCharacter(keymap.get(), keycode, active);
}

bool X11HotKeys::handleKey(const void* message, bool press) {
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    const auto code = keyCodeForScanCode(key->detail);
    if (!code)
        return false;
    // Our grabs report to the root window; anything else was addressed to one
    // of our own windows.
    HotKeyEvent event{press, *code, modifiersOfState(key->state), key->event != m_root};
    // A grabbed press belongs to the registration that made the grab, whatever
    // the modifier state reads as now.
    if (press && !event.raw) {
        if (const auto owner = ownerOf(key->detail, key->state)) {
            event.keyCode = owner->first;
            event.modifiers = owner->second;
        }
    }
    return press ? m_repeat.press(key->detail, key->time, event)
                 : m_repeat.release(key->detail, key->time, event);
}

bool X11HotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    switch (type) {
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE:
        return handleKey(message, type == XCB_KEY_PRESS);
    case XCB_MAPPING_NOTIFY:
        if (reinterpret_cast<xcb_mapping_notify_event_t*>(event)->request != XCB_MAPPING_POINTER)
            keymapChanged();
        return false;
    default:
        break;
    }
    // Qt takes keymap changes as XKB events, so the core notice above never
    // comes to its connection; the XKB event's own type is its second byte.
    if (m_xkbEventBase && type == m_xkbEventBase &&
        (event->pad0 == kXkbNewKeyboardNotify || event->pad0 == kXkbMapNotify))
        keymapChanged();
    return false;
}
