#pragma once

// The shortcut module in one include: named shortcuts (Name, Shortcut, Key),
// the Center that stores and delivers them, and their event streams.

#include "KeyboardShortcuts/Center.h"
#include "KeyboardShortcuts/EventStream.h"
#include "KeyboardShortcuts/Key.h"
#include "KeyboardShortcuts/MenuItem.h"
#include "KeyboardShortcuts/Name.h"
#include "KeyboardShortcuts/Shortcut.h"
