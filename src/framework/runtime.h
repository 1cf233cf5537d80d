// The GUI thread's message queue, quit request and timers. There is one GUI
// thread, so this is process-wide state without locks.
#pragma once

#include <cstdint>
#include <functional>

#include "wintypes.h"

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_QUIT = 0x0012;

BOOL PostMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
#define PostMessage PostMessageW
// Requests the end of the application with the given exit code. The request
// stays pending: every modal loop and message box it meets ends.
void PostQuitMessage(int exitCode);
bool QuitPending();
int QuitExitCode();
// Forgets a pending quit request (the process has handled it; tests).
void ClearQuitRequest();

// Delivers one posted message, if any; true if one was delivered.
bool DispatchPostedMessage();

// Fires the timers that are due now.
void FireDueTimers();
// Does all the work that is ready now — posted messages, due timers,
// painting — without waiting for more.
void PumpPendingWork();

// Runs the GUI loop until done() answers true or a quit request is pending.
// Answers false when it ended on a quit request.
bool RunMessageLoop(const std::function<bool()>& done);

// One-shot timers on the GUI thread; ids are never 0.
using TimerId = uint64_t;
TimerId StartTimer(int delayMs, std::function<void()> fire);
void CancelTimer(TimerId id);
