#include "platform/PasteChord.h"

#include <xkbcommon/xkbcommon.h>

#include <array>

namespace {
// WM_CLASS instance or class names and app_ids of terminal emulators, lower case.
// clang-format off
constexpr std::array terminalClasses = {
    "alacritty", "blackbox", "com.raggesilver.blackbox", "contour", "cool-retro-term",
    "deepin-terminal", "eterm", "foot", "footclient", "gnome-terminal", "gnome-terminal-server",
    "guake", "hyper", "io.elementary.terminal", "kgx", "kitty", "konsole", "lxterminal",
    "mate-terminal", "org.gnome.console", "org.gnome.ptyxis", "org.gnome.terminal",
    "org.kde.konsole", "org.wezfurlong.wezterm", "ptyxis", "qterminal", "roxterm", "rxvt",
    "sakura", "st", "st-256color", "terminator", "terminology", "termite", "tilda", "tilix",
    "urxvt", "uxterm", "wezterm", "x-terminal-emulator", "xfce4-terminal", "xterm", "yakuake",
    "zutty",
};
// clang-format on

// The key that produces sym at the base level, in the given layout first,
// then in any layout of the keymap.
xkb_keycode_t keycodeFor(xkb_keymap* keymap, xkb_layout_index_t active, xkb_keysym_t sym) {
    for (const bool anyLayout : {false, true}) {
        for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap);
             key <= xkb_keymap_max_keycode(keymap); ++key) {
            const xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(keymap, key);
            for (xkb_layout_index_t layout = 0; layout < layouts; ++layout) {
                if (!anyLayout && layout != active)
                    continue;
                const xkb_keysym_t* syms = nullptr;
                const int n = xkb_keymap_key_get_syms_by_level(keymap, key, layout, 0, &syms);
                for (int i = 0; i < n; ++i) {
                    if (syms[i] == sym)
                        return key;
                }
            }
        }
    }
    return XKB_KEYCODE_INVALID;
}
} // namespace

std::optional<PasteChord> PasteChord::inKeymap(xkb_keymap* keymap, uint32_t layout) {
    auto keyFor = [&](xkb_keysym_t left, xkb_keysym_t right) {
        const xkb_keycode_t key = keycodeFor(keymap, layout, left);
        return key != XKB_KEYCODE_INVALID ? key : keycodeFor(keymap, layout, right);
    };
    PasteChord chord;
    chord.control = keyFor(XKB_KEY_Control_L, XKB_KEY_Control_R);
    chord.v = keycodeFor(keymap, layout, XKB_KEY_v);
    if (chord.v == XKB_KEYCODE_INVALID)
        chord.v = xkb_keymap_key_by_name(keymap, "AB04");
    if (chord.control == XKB_KEYCODE_INVALID || chord.v == XKB_KEYCODE_INVALID)
        return std::nullopt;
    if (const xkb_keycode_t shift = keyFor(XKB_KEY_Shift_L, XKB_KEY_Shift_R);
        shift != XKB_KEYCODE_INVALID)
        chord.shift = shift;
    return chord;
}

bool PasteChord::isTerminal(const QString& name) {
    QString id = name.toLower();
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    if (id.isEmpty())
        return false;
    const QByteArray utf8 = id.toUtf8();
    for (const char* terminal : terminalClasses) {
        if (utf8 == terminal)
            return true;
    }
    return false;
}
