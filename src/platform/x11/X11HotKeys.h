#pragma once

#include "platform/HotKeyBackend.h"

#include <QAbstractNativeEventFilter>
#include <QSet>

#include <cstdint>
#include <optional>

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
    // keys arrive in the filter.
    X11HotKeys(xcb_connection_t* connection, std::uint32_t rootWindow);
    ~X11HotKeys() override;
    X11HotKeys(const X11HotKeys&) = delete;
    X11HotKeys& operator=(const X11HotKeys&) = delete;

    int grab(int keyCode, int modifiers) override;
    void ungrab(int keyCode, int modifiers) override;
    bool isAvailable(int keyCode, int modifiers) override;
    std::optional<int> keyCodeForScanCode(quint32 scanCode) const override;
    QString layoutCharacter(int keyCode) const override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Masks {
        std::uint16_t command = 0x40; // Mod4
        std::uint16_t option = 0x08;  // Mod1
        std::uint16_t numLock = 0x10; // Mod2
    };
    struct Combination {
        std::uint8_t keycode = 0;
        std::uint16_t mask = 0;
    };

    const Masks& masks() const;
    std::optional<Combination> combination(int keyCode, int modifiers) const;
    int modifiersOfState(std::uint16_t state) const;
    QList<std::uint16_t> lockVariants() const;
    static quint32 heldKey(const Combination& c) { return (quint32(c.keycode) << 16) | c.mask; }

    xcb_connection_t* m_connection;
    std::uint32_t m_root;
    QSet<quint32> m_held;
    mutable std::optional<Masks> m_masks;
    xkb_context* m_xkbContext = nullptr;
};
