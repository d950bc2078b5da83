#pragma once

#include "platform/HotKeyBackend.h"
#include "platform/x11/KeyRepeatFilter.h"

#include <QAbstractNativeEventFilter>

#include <cstdint>
#include <map>
#include <optional>
#include <utility>

struct xcb_connection_t;
struct xkb_context;

// System-wide hot keys on X11: passive key grabs on the root window, for every
// combination of the Caps Lock and Num Lock states, and the key events they
// bring, read in a native event filter before Qt sees them. Keys that reach our
// own windows (a menu or popup holding the keyboard) pass the same filter and
// are offered to the handler as raw keys.
class X11HotKeys : public HotKeyBackend, public QAbstractNativeEventFilter {
public:
    // The connection must be the one Qt reads events from, so that the grabbed
    // keys arrive in the filter. In a Wayland session every grab is refused.
    X11HotKeys(xcb_connection_t* connection, std::uint32_t rootWindow);
    ~X11HotKeys() override;
    X11HotKeys(const X11HotKeys&) = delete;
    X11HotKeys& operator=(const X11HotKeys&) = delete;

    int grab(int keyCode, int modifiers) override;
    void ungrab(int keyCode, int modifiers) override;
    bool isAvailable(int keyCode, int modifiers) override;
    std::optional<int> keyCodeForScanCode(quint32 scanCode) const override;
    QString layoutCharacter(int keyCode) const override;
    QString unavailableReason() const override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Masks {
        std::uint16_t command = 0x40; // Mod4
        std::uint16_t option = 0x08;  // Mod1
        std::uint16_t numLock = 0x10; // Mod2
    };
    // One grab as the server holds it. The masks are those of the keymap at
    // grab time: after a remap they are what the server must be told to let go.
    struct Grab {
        std::uint8_t keycode = 0;
        std::uint16_t mask = 0;
        std::uint16_t numLock = 0;
        bool held = false;
        friend bool operator==(const Grab&, const Grab&) = default;
    };
    // The caller's key code and modifiers.
    using Request = std::pair<int, int>;

    const Masks& masks() const;
    std::optional<Grab> grabFor(int keyCode, int modifiers) const;
    int modifiersOfState(std::uint16_t state) const;
    int grabVariants(const Grab& g);
    void ungrabVariants(const Grab& g);
    std::optional<Request> ownerOf(std::uint8_t keycode, std::uint16_t state) const;
    void keymapChanged();
    bool handleKey(const void* message, bool press);

    xcb_connection_t* m_connection;
    std::uint32_t m_root;
    bool m_refused;
    std::uint8_t m_xkbEventBase = 0;
    std::map<Request, Grab> m_grabs;
    mutable std::optional<Masks> m_masks;
    xkb_context* m_xkbContext = nullptr;
    KeyRepeatFilter m_repeat;
};
