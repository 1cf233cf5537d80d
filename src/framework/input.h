// Pointer and key input, fed in by a backend and routed through the window
// model: hit tests, capture, the framework's own move for HTCAPTION
// presses, double-clicks, hover and leave tracking, dialog keys.
#pragma once

#include <cstdint>

#include "wintypes.h"

// The top-level window that takes the pointer at a screen point: the
// topmost visible, enabled-or-not window whose pixel there is not fully
// transparent (or that holds a native child there).
HWND TopLevelAtPoint(int x, int y);

// topLevel is the window the backend saw the event on, or null to find it.
void InputPointerMove(HWND topLevel, int x, int y);
// The pointer left the window system's window (onto another program or
// the desktop).
void InputPointerLeft(HWND topLevel);
void InputButton(HWND topLevel, int x, int y, bool press);
void InputKey(HWND topLevel, UINT virtualKey, bool alt);
// The window system's own changes: iconified or restored by the user,
// or asked to close.
void InputIconicChanged(HWND topLevel, bool iconic);
void InputCloseRequest(HWND topLevel);
