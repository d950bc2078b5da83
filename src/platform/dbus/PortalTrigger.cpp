#include "platform/dbus/PortalTrigger.h"

#include "platform/null/NullHotKeys.h"

#include <QHash>

#include <xkbcommon/xkbcommon.h>

namespace {

// Keys whose keysym is not the character they type.
const QHash<int, const char*>& namedKeys() {
    static const QHash<int, const char*> table{{36, "Return"},
                                               {48, "Tab"},
                                               {49, "space"},
                                               {51, "BackSpace"},
                                               {53, "Escape"},
                                               {114, "Insert"},
                                               {115, "Home"},
                                               {116, "Page_Up"},
                                               {117, "Delete"},
                                               {119, "End"},
                                               {121, "Page_Down"},
                                               {123, "Left"},
                                               {124, "Right"},
                                               {125, "Down"},
                                               {126, "Up"},
                                               {122, "F1"},
                                               {120, "F2"},
                                               {99, "F3"},
                                               {118, "F4"},
                                               {96, "F5"},
                                               {97, "F6"},
                                               {98, "F7"},
                                               {100, "F8"},
                                               {101, "F9"},
                                               {109, "F10"},
                                               {103, "F11"},
                                               {111, "F12"},
                                               {105, "F13"},
                                               {107, "F14"},
                                               {113, "F15"},
                                               {106, "F16"},
                                               {64, "F17"},
                                               {79, "F18"},
                                               {80, "F19"},
                                               {90, "F20"},
                                               {65, "KP_Decimal"},
                                               {67, "KP_Multiply"},
                                               {69, "KP_Add"},
                                               {71, "Num_Lock"},
                                               {75, "KP_Divide"},
                                               {76, "KP_Enter"},
                                               {78, "KP_Subtract"},
                                               {81, "KP_Equal"},
                                               {82, "KP_0"},
                                               {83, "KP_1"},
                                               {84, "KP_2"},
                                               {85, "KP_3"},
                                               {86, "KP_4"},
                                               {87, "KP_5"},
                                               {88, "KP_6"},
                                               {89, "KP_7"},
                                               {91, "KP_8"},
                                               {92, "KP_9"},
                                               {72, "XF86AudioRaiseVolume"},
                                               {73, "XF86AudioLowerVolume"},
                                               {74, "XF86AudioMute"}};
    return table;
}

QString keysymName(int keyCode) {
    if (const auto it = namedKeys().constFind(keyCode); it != namedKeys().constEnd())
        return QString::fromLatin1(*it);
    const QString character = NullHotKeys::usCharacter(keyCode);
    if (character.isEmpty())
        return {};
    const xkb_keysym_t sym = xkb_utf32_to_keysym(character.at(0).unicode());
    char name[64];
    if (sym == XKB_KEY_NoSymbol || xkb_keysym_get_name(sym, name, sizeof name) <= 0)
        return {};
    return QString::fromLatin1(name);
}

} // namespace

QString portalTriggerFor(int keyCode, int modifiers) {
    const QString key = keysymName(keyCode);
    if (key.isEmpty())
        return {};
    QString trigger;
    if (modifiers & 0x1000)
        trigger += QLatin1String("CTRL+");
    if (modifiers & 0x800)
        trigger += QLatin1String("ALT+");
    if (modifiers & 0x200)
        trigger += QLatin1String("SHIFT+");
    if (modifiers & 0x100)
        trigger += QLatin1String("LOGO+");
    return trigger + key;
}
