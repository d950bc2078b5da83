#pragma once

#include "KeyboardShortcuts/Shortcut.h"

#include <QList>
#include <QString>

#include <optional>

namespace KeyboardShortcuts {

// One item of the application's own menus, with its key equivalent as a menu
// would show it ("," or "q"; an upper-case letter implies shift) and its
// key-event modifier flags. The recorder refuses shortcuts these items use.
struct MenuItem {
    QString title;
    QString keyEquivalent;
    quint32 modifierFlags = ModifierFlag::command;
    QList<MenuItem> submenu;
};

// The title of the first item (depth first) whose key equivalent and modifiers
// are the shortcut's; `keyEquivalent` is the shortcut's key as a menu holds it.
std::optional<QString> menuItemUsing(const QList<MenuItem>& items, const Shortcut& shortcut,
                                     const std::optional<QString>& keyEquivalent);

} // namespace KeyboardShortcuts
