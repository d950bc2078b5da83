#pragma once

#include <QString>

namespace KeyboardShortcuts {

// The module's own texts by key ("record_shortcut", "space_key", …), in the
// user's language when a translation is installed for the "KeyboardShortcuts"
// context, in English otherwise. An unknown key answers itself.
QString localized(const char* key);

} // namespace KeyboardShortcuts
