#pragma once

#include <QString>

#include <cstdint>
#include <optional>

struct xkb_keymap;

// The keys that make the paste chord in a keymap, and which applications want
// which chord: Ctrl+V, or Ctrl+Shift+V where Ctrl+V is input of its own.
struct PasteChord {
    // xkb key codes.
    uint32_t control = 0;
    uint32_t v = 0;
    std::optional<uint32_t> shift;

    // The keys that give Control, Shift and a Latin v in `layout`, else in any
    // layout of the keymap; a layout without Latin letters uses the key in V's
    // place. Nothing without Control or V.
    static std::optional<PasteChord> inKeymap(xkb_keymap* keymap, uint32_t layout);

    // Terminal emulators take Ctrl+V as a control character and paste on
    // Ctrl+Shift+V. `name` is either part of an X11 WM_CLASS or a Wayland
    // app_id (a desktop-file id, with or without ".desktop"); case is ignored.
    static bool isTerminal(const QString& name);
};
