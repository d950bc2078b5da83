// A stored shortcut, as the defaults file holds it: read, written, read back.
#include "FuzzSupport.h"
#include "KeyboardShortcuts/Shortcut.h"

using KeyboardShortcuts::Shortcut;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto shortcut = Shortcut::fromJson(Fuzz::bytes(data, size));
    if (!shortcut)
        return 0;
    shortcut->modifiers();
    shortcut->key();
    // Whatever was accepted is written so that it reads back the same.
    FUZZ_CHECK(Shortcut::fromJson(shortcut->toJson()) == *shortcut);
    return 0;
}
