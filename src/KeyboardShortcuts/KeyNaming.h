#pragma once

#include <QString>

#include <optional>

namespace KeyboardShortcuts {

// Keys with a fixed symbol, whatever the keyboard layout.
enum class SpecialKey {
    returnKey,
    deleteKey,
    deleteForward,
    end,
    escape,
    help,
    home,
    space,
    tab,
    pageUp,
    pageDown,
    upArrow,
    rightArrow,
    downArrow,
    leftArrow,
    f1,
    f2,
    f3,
    f4,
    f5,
    f6,
    f7,
    f8,
    f9,
    f10,
    f11,
    f12,
    f13,
    f14,
    f15,
    f16,
    f17,
    f18,
    f19,
    f20,
    keypad0,
    keypad1,
    keypad2,
    keypad3,
    keypad4,
    keypad5,
    keypad6,
    keypad7,
    keypad8,
    keypad9,
    keypadClear,
    keypadDecimal,
    keypadDivide,
    keypadEnter,
    keypadEquals,
    keypadMinus,
    keypadMultiply,
    keypadPlus,
};
constexpr int kSpecialKeyCount = int(SpecialKey::keypadPlus) + 1;

std::optional<SpecialKey> specialKeyForKeyCode(int keyCode);
int keyCodeForSpecialKey(SpecialKey key);
// "↩", "F5", "Space", "1⃣" …
QString specialKeyDisplayText(SpecialKey key);
// The character a menu item holds for the key; nothing for keypad keys.
std::optional<QString> specialKeyMenuEquivalent(SpecialKey key);
bool isFunctionKey(int keyCode);

// ⌃⌥⇧⌘ and the globe for function, always in that order.
QString modifierSymbols(quint32 modifierFlags);

} // namespace KeyboardShortcuts
