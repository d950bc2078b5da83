#pragma once

#include "platform/Platform.h"

// A platform whose services do nothing: no keys are grabbed, nothing is pasted,
// trashed or played, the screenshot folder is none and the clipboard is a
// MemoryPasteboard. Lets the whole application run where no window system does.
class NullPlatform {
public:
    static Platform create();
};
