#pragma once

#include <optional>

// The physical key behind each virtual key code of the shortcut module, as a
// Linux input (evdev) code. One fixed table; keys without a PC counterpart
// (the function key) have none.
std::optional<int> evdevCodeForKeyCode(int keyCode);
std::optional<int> keyCodeForEvdevCode(int evdevCode);
