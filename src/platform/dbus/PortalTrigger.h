#pragma once

#include <QString>

// The combination of a virtual key code and the shortcut module's modifier
// mask in the portal's trigger syntax ("CTRL+ALT+SHIFT+LOGO+" and the key's
// xkb keysym name as the US layout gives it: "SHIFT+LOGO+v"). Empty for a key
// without a name there. The function modifier has no counterpart and is left
// out.
QString portalTriggerFor(int keyCode, int modifiers);
