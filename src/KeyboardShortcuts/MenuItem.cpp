#include "KeyboardShortcuts/MenuItem.h"

namespace KeyboardShortcuts {

std::optional<QString> menuItemUsing(const QList<MenuItem>& items, const Shortcut& shortcut,
                                     const std::optional<QString>& keyEquivalent) {
    const quint32 flags = shortcut.modifiers();
    for (const MenuItem& item : items) {
        QString equivalent = item.keyEquivalent;
        quint32 mask = item.modifierFlags;
        if ((flags & ModifierFlag::shift) && equivalent.toLower() != equivalent) {
            equivalent = equivalent.toLower();
            mask |= ModifierFlag::shift;
        }
        if (keyEquivalent && equivalent == *keyEquivalent && mask == flags)
            return item.title;
        if (const auto hit = menuItemUsing(item.submenu, shortcut, keyEquivalent))
            return hit;
    }
    return std::nullopt;
}

} // namespace KeyboardShortcuts
