#include "runtime.h"

#include <deque>
#include <map>
#include <vector>

#include "backend.h"
#include "window.h"
#include "window_internal.h"

namespace {

struct PostedMessage {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

struct Timer {
  uint64_t due;
  std::function<void()> fire;
};

std::deque<PostedMessage>& Queue() {
  static std::deque<PostedMessage> queue;
  return queue;
}
std::map<TimerId, Timer>& Timers() {
  static std::map<TimerId, Timer> timers;
  return timers;
}
TimerId g_nextTimer = 1;
bool g_quitPending = false;
int g_quitCode = 0;

// Fires due timers; answers the wait until the next one, or -1.
int RunDueTimers() {
  Backend* backend = CurrentBackend();
  for (;;) {
    auto& timers = Timers();
    if (timers.empty()) return -1;
    uint64_t now = backend->NowMs();
    auto next = timers.end();
    for (auto it = timers.begin(); it != timers.end(); ++it)
      if (next == timers.end() || it->second.due < next->second.due) next = it;
    if (next->second.due > now) return static_cast<int>(next->second.due - now);
    auto fire = std::move(next->second.fire);
    timers.erase(next);
    fire();
  }
}

}  // namespace

BOOL PostMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hWnd && !IsWindow(hWnd)) return FALSE;
  Queue().push_back({hWnd, message, wParam, lParam});
  if (Backend* backend = CurrentBackend()) backend->Wake();
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  g_quitPending = true;
  g_quitCode = exitCode;
  if (Backend* backend = CurrentBackend()) backend->Wake();
}

bool QuitPending() { return g_quitPending; }
int QuitExitCode() { return g_quitCode; }
void ClearQuitRequest() {
  g_quitPending = false;
  g_quitCode = 0;
}

bool DispatchPostedMessage() {
  auto& queue = Queue();
  if (queue.empty()) return false;
  PostedMessage msg = queue.front();
  queue.pop_front();
  if (msg.hwnd && IsWindow(msg.hwnd)) SendMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
  return true;
}

bool RunMessageLoop(const std::function<bool()>& done) {
  Backend* backend = CurrentBackend();
  for (;;) {
    if (g_quitPending) return false;
    if (done()) return true;
    if (DispatchPostedMessage()) continue;
    int wait = RunDueTimers();
    if (g_quitPending || done()) continue;
    if (!Queue().empty()) continue;
    // Painting happens when nothing else is waiting, as on any desktop.
    bool painted = UpdateAllWindows();
    ReleaseTemporaryDCs();
    if (painted) continue;
    backend->WaitForEvents(wait);
  }
}

void FireDueTimers() { RunDueTimers(); }

void PumpPendingWork() {
  for (int round = 0; round < 10000; ++round) {
    bool did = false;
    while (DispatchPostedMessage()) did = true;
    RunDueTimers();
    if (UpdateAllWindows()) did = true;
    if (!did && Queue().empty()) break;
  }
  ReleaseTemporaryDCs();
}

TimerId StartTimer(int delayMs, std::function<void()> fire) {
  TimerId id = g_nextTimer++;
  Timers()[id] = Timer{CurrentBackend()->NowMs() + static_cast<uint64_t>(delayMs < 0 ? 0 : delayMs), std::move(fire)};
  CurrentBackend()->Wake();
  return id;
}

void CancelTimer(TimerId id) { Timers().erase(id); }
