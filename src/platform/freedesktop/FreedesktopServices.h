#pragma once

#include "platform/Platform.h"

class DefaultsStore;

namespace FreedesktopServices {
// Fills in what every Linux desktop shares whatever its window system: the
// screenshot tools' folders, the Trash, event sounds, autostart and inotify.
void addTo(Platform& platform, DefaultsStore& store);
} // namespace FreedesktopServices
