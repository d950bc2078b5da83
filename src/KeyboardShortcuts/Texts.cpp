#include "KeyboardShortcuts/Texts.h"

#include <QCoreApplication>

#include <cstring>

namespace KeyboardShortcuts {

namespace {

struct Text {
    const char* key;
    const char* english;
};

// QT_TRANSLATE_NOOP marks the English texts for the translation tools.
constexpr Text kTexts[] = {
    {"record_shortcut", QT_TRANSLATE_NOOP("KeyboardShortcuts", "Record Shortcut")},
    {"press_shortcut", QT_TRANSLATE_NOOP("KeyboardShortcuts", "Press Shortcut")},
    {"set_by_desktop", QT_TRANSLATE_NOOP("KeyboardShortcuts", "Set by the Desktop")},
    {"keyboard_shortcut_used_by_menu_item",
     QT_TRANSLATE_NOOP("KeyboardShortcuts",
                       "This keyboard shortcut cannot be used as it's already used by the "
                       "“%1” menu item.")},
    {"keyboard_shortcut_disallowed",
     QT_TRANSLATE_NOOP("KeyboardShortcuts",
                       "This keyboard shortcut cannot be used because it is not allowed.")},
    {"keyboard_shortcut_used_by_system",
     QT_TRANSLATE_NOOP("KeyboardShortcuts",
                       "This keyboard shortcut cannot be used as it's already in use by another "
                       "application or by the desktop.")},
    {"keyboard_shortcuts_can_be_changed",
     QT_TRANSLATE_NOOP("KeyboardShortcuts",
                       "Most desktop shortcuts can be changed in your desktop's keyboard "
                       "settings. A shortcut used anyway may never arrive here.")},
    {"ok", QT_TRANSLATE_NOOP("KeyboardShortcuts", "OK")},
    {"force_use_shortcut", QT_TRANSLATE_NOOP("KeyboardShortcuts", "Use Anyway")},
    {"space_key", QT_TRANSLATE_NOOP("KeyboardShortcuts", "space")},
};

} // namespace

QString localized(const char* key) {
    for (const Text& t : kTexts) {
        if (std::strcmp(t.key, key) == 0)
            return QCoreApplication::translate("KeyboardShortcuts", t.english);
    }
    return QString::fromUtf8(key);
}

} // namespace KeyboardShortcuts
