#pragma once

#include "platform/Platform.h"

class DefaultsStore;

// The services of an X11 session, with the freedesktop ones (Trash, autostart,
// event sounds, inotify) that every Linux desktop shares.
class X11Platform {
public:
    static Platform create(DefaultsStore& store);
};
