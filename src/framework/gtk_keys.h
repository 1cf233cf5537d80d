// Key codes of the gtk backend.
#pragma once

#include "wintypes.h"

// The virtual key for a GDK key value, or 0 for keys the shell does not use
// (Return and keypad Enter, Escape, Tab, space, F4).
UINT VirtualKeyFromKeyval(unsigned keyval);
