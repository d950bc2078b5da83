#pragma once

#include <xkbcommon/xkbcommon.h>

#include <memory>

// Owning pointers to xkbcommon objects, released with their unref function.
struct XkbUnref {
    void operator()(xkb_context* c) const { xkb_context_unref(c); }
    void operator()(xkb_keymap* k) const { xkb_keymap_unref(k); }
    void operator()(xkb_state* s) const { xkb_state_unref(s); }
};
using XkbContextPtr = std::unique_ptr<xkb_context, XkbUnref>;
using XkbKeymapPtr = std::unique_ptr<xkb_keymap, XkbUnref>;
using XkbStatePtr = std::unique_ptr<xkb_state, XkbUnref>;
