#pragma once

#include "KeyboardShortcuts/Key.h"

#include <QByteArray>
#include <QHashFunctions>
#include <QMetaType>
#include <QString>

#include <optional>

class HotKeyBackend;

namespace KeyboardShortcuts {

// Key-event modifier flags, the form in which key events and menu items carry
// their modifiers. Only control, option, shift, command and function have a
// counterpart in a shortcut's modifier mask.
namespace ModifierFlag {
constexpr quint32 capsLock = 0x10000;
constexpr quint32 shift = 0x20000;
constexpr quint32 control = 0x40000;
constexpr quint32 option = 0x80000;
constexpr quint32 command = 0x100000;
constexpr quint32 numericPad = 0x200000;
constexpr quint32 help = 0x400000;
constexpr quint32 function = 0x800000;
} // namespace ModifierFlag

// The modifier mask stored in a shortcut.
namespace CarbonModifier {
constexpr qint64 command = 0x100;
constexpr qint64 shift = 0x200;
constexpr qint64 option = 0x800;
constexpr qint64 control = 0x1000;
constexpr qint64 function = 0x20000;
} // namespace CarbonModifier

// Bit-for-bit conversions; every other bit is dropped.
qint64 carbonModifiersFromFlags(quint32 flags);
quint32 flagsFromCarbonModifiers(qint64 carbonModifiers);

enum class EventType { keyDown, keyUp };

// A key with modifiers. Its JSON form {"carbonKeyCode":…,"carbonModifiers":…}
// is what the defaults store keeps, so both numberings are fixed for good.
struct Shortcut {
    qint64 carbonKeyCode = 0;
    qint64 carbonModifiers = 0;

    Shortcut() = default;
    Shortcut(qint64 keyCode, qint64 modifiers)
        : carbonKeyCode(keyCode)
        , carbonModifiers(modifiers) {}
    // Keeps only the modifiers a shortcut can hold (the function flag included).
    Shortcut(Key key, quint32 modifierFlags)
        : carbonKeyCode(key.rawValue)
        , carbonModifiers(carbonModifiersFromFlags(modifierFlags)) {}

    // A shortcut from a key-down or key-up event; the function flag is not
    // taken over, since keyboards set it on their own for many keys.
    static Shortcut fromKeyEvent(int keyCode, quint32 modifierFlags);

    Key key() const { return Key(int(carbonKeyCode)); }
    quint32 modifiers() const { return flagsFromCarbonModifiers(carbonModifiers); }

    // Display text: modifier symbols then the key, e.g. "⇧⌘V"; letters and
    // punctuation are named by the keyboard's current layout.
    QString description(const HotKeyBackend& keyboard) const;
    // The key as a menu item would hold it, without modifiers; nothing for keys
    // a menu cannot show (keypad keys, keys the layout cannot render).
    std::optional<QString> menuKeyEquivalent(const HotKeyBackend& keyboard) const;

    QByteArray toJson() const;
    static std::optional<Shortcut> fromJson(const QByteArray& json);

    friend bool operator==(const Shortcut&, const Shortcut&) = default;
};

inline size_t qHash(const Shortcut& s, size_t seed = 0) {
    return qHashMulti(seed, s.carbonKeyCode, s.carbonModifiers);
}

} // namespace KeyboardShortcuts

Q_DECLARE_METATYPE(KeyboardShortcuts::Shortcut)
