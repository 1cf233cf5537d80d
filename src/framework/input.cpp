#include "input.h"

#include <cairo.h>

#include <cstdlib>
#include <vector>

#include "backend.h"
#include "runtime.h"
#include "window.h"
#include "window_internal.h"
#include "window_query.h"

namespace {

HWND g_capture = nullptr;
HWND g_focus = nullptr;
HWND g_lastActive = nullptr;
HWND g_underPointer = nullptr;  // the window that last got a client mouse move
POINT g_pointer{0, 0};

struct MoveState {
  HWND window = nullptr;
  POINT offset{0, 0};
} g_move;

struct Press {
  HWND window = nullptr;
  uint64_t time = 0;
  POINT at{0, 0};
} g_lastPress;

struct Tracking {
  HWND window = nullptr;
  DWORD flags = 0;
  DWORD hoverTime = 0;
  TimerId hoverTimer = 0;
  POINT hoverAnchor{0, 0};
} g_tracking;

constexpr uint64_t kDoubleClickMs = 500;
constexpr int kDoubleClickDistance = 4;
constexpr int kHoverDistance = 4;

bool Disabled(HWND top) { return !IsWindowEnabled(top); }

uint32_t PresentedPixel(HWND top, int x, int y) {
  cairo_surface_t* surface = PresentedSurface(top);
  if (!surface) return 0;
  int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  if (x < 0 || y < 0 || x >= w || y >= h) return 0;
  cairo_surface_flush(surface);
  const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
  return reinterpret_cast<const uint32_t*>(row)[x];
}

// The deepest visible child of the top-level under a screen point, and
// the chain from it up to the top-level.
std::vector<HWND> WindowChainAt(HWND top, POINT p) {
  std::vector<HWND> chain{top};
  HWND current = top;
  for (;;) {
    WindowState* s = StateOf(current);
    HWND next = nullptr;
    for (HWND child : s->children) {  // front first
      WindowState* c = StateOf(child);
      // Hidden and disabled children take no pointer input: it goes to
      // the window beneath them.
      if (!c || !(c->style & WS_VISIBLE) || (c->style & WS_DISABLED)) continue;
      RECT r;
      GetWindowRect(child, &r);
      if (PtInRect(&r, p)) {
        next = child;
        break;
      }
    }
    if (!next) break;
    chain.insert(chain.begin(), next);
    current = next;
  }
  return chain;
}

// Hit-tests from the deepest window outwards, skipping windows that answer
// HTTRANSPARENT.
HWND HitTarget(HWND top, POINT p, LRESULT* hit) {
  for (HWND w : WindowChainAt(top, p)) {
    if (!IsWindow(w)) return nullptr;
    LRESULT ht = SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    if (ht == HTTRANSPARENT) continue;
    *hit = ht;
    return w;
  }
  *hit = HTNOWHERE;
  return nullptr;
}

LPARAM ClientPoint(HWND w, POINT p) {
  ScreenToClient(w, &p);
  return MAKELPARAM(p.x, p.y);
}

void CancelHoverTimer() {
  if (g_tracking.hoverTimer) CancelTimer(g_tracking.hoverTimer);
  g_tracking.hoverTimer = 0;
}

void StartHoverTimer() {
  CancelHoverTimer();
  g_tracking.hoverAnchor = g_pointer;
  int delay = g_tracking.hoverTime == HOVER_DEFAULT ? 400 : static_cast<int>(g_tracking.hoverTime);
  g_tracking.hoverTimer = StartTimer(delay, [] {
    g_tracking.hoverTimer = 0;
    HWND w = g_tracking.window;
    if (!w || !IsWindow(w) || !(g_tracking.flags & TME_HOVER) || g_underPointer != w) return;
    g_tracking.flags &= ~TME_HOVER;  // hover is reported once per request
    SendMessageW(w, WM_MOUSEHOVER, 0, ClientPoint(w, g_pointer));
  });
}

void LeaveTracked() {
  HWND w = g_tracking.window;
  CancelHoverTimer();
  DWORD flags = g_tracking.flags;
  g_tracking = Tracking{};
  if (w && IsWindow(w) && (flags & TME_LEAVE)) SendMessageW(w, WM_MOUSELEAVE, 0, 0);
}

void PointerEnters(HWND w) {
  if (w == g_underPointer) return;
  g_underPointer = w;
  if (g_tracking.window && g_tracking.window != w) LeaveTracked();
}

void SendMouse(HWND w, UINT message, WPARAM keys) {
  if (!IsWindow(w)) return;
  SendMessageW(w, message, keys, ClientPoint(w, g_pointer));
  if (message == WM_MOUSEMOVE && g_tracking.window == w && (g_tracking.flags & TME_HOVER)) {
    if (std::abs(g_pointer.x - g_tracking.hoverAnchor.x) > kHoverDistance ||
        std::abs(g_pointer.y - g_tracking.hoverAnchor.y) > kHoverDistance || !g_tracking.hoverTimer)
      StartHoverTimer();
  }
}

bool HasDoubleClicks(HWND w) { return IsButtonClass(StateOf(w)); }

}  // namespace

HWND SetCapture(HWND hWnd) {
  HWND previous = g_capture;
  g_capture = hWnd;
  if (previous && previous != hWnd) SendMessageW(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
  return previous;
}

BOOL ReleaseCapture() {
  HWND previous = g_capture;
  g_capture = nullptr;
  if (previous) SendMessageW(previous, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return g_capture; }

HWND SetFocus(HWND hWnd) {
  HWND previous = g_focus;
  if (previous == hWnd) return previous;
  g_focus = hWnd;
  if (previous && IsWindow(previous)) {
    SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    if (IsButtonClass(StateOf(previous))) InvalidateRect(previous, nullptr, FALSE);
  }
  if (hWnd && IsWindow(hWnd)) SendMessageW(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return previous;
}

HWND GetFocus() { return g_focus; }

HWND LastActiveTopLevel() { return g_lastActive; }

BOOL _TrackMouseEvent(TRACKMOUSEEVENT* request) {
  if (!request || request->cbSize != sizeof(TRACKMOUSEEVENT) || !IsWindow(request->hwndTrack)) return FALSE;
  if (request->dwFlags & TME_CANCEL) {
    if (g_tracking.window == request->hwndTrack) {
      g_tracking.flags &= ~request->dwFlags;
      if (!(g_tracking.flags & (TME_HOVER | TME_LEAVE))) {
        CancelHoverTimer();
        g_tracking = Tracking{};
      }
    }
    return TRUE;
  }
  // A window the pointer is not over gets its leave notification at once.
  if (request->hwndTrack != g_underPointer) {
    if (request->dwFlags & TME_LEAVE) PostMessageW(request->hwndTrack, WM_MOUSELEAVE, 0, 0);
    return TRUE;
  }
  if (g_tracking.window != request->hwndTrack) {
    CancelHoverTimer();
    g_tracking = Tracking{};
  }
  g_tracking.window = request->hwndTrack;
  g_tracking.flags |= request->dwFlags & (TME_HOVER | TME_LEAVE);
  g_tracking.hoverTime = request->dwHoverTime;
  if (request->dwFlags & TME_HOVER) StartHoverTimer();
  return TRUE;
}

void ForgetWindowInInput(HWND hWnd) {
  if (g_capture == hWnd) g_capture = nullptr;
  if (g_focus == hWnd) g_focus = nullptr;
  if (g_lastActive == hWnd) g_lastActive = nullptr;
  if (g_underPointer == hWnd) g_underPointer = nullptr;
  if (g_move.window == hWnd) g_move = MoveState{};
  if (g_lastPress.window == hWnd) g_lastPress = Press{};
  if (g_tracking.window == hWnd) {
    CancelHoverTimer();
    g_tracking = Tracking{};
  }
}

HWND TopLevelAtPoint(int x, int y) {
  auto stack = TopLevelWindowsBottomUp();
  for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
    HWND top = *it;
    if (!TopLevelShown(top)) continue;
    RECT r;
    GetWindowRect(top, &r);
    POINT p{x, y};
    if (!PtInRect(&r, p)) continue;
    for (const NativeChild& child : NativeChildrenOf(top))
      if (child.shown && x - r.left >= child.rect.left && x - r.left < child.rect.right && y - r.top >= child.rect.top &&
          y - r.top < child.rect.bottom)
        return top;
    if ((PresentedPixel(top, x - r.left, y - r.top) >> 24) != 0) return top;
  }
  return nullptr;
}

void InputPointerMove(HWND topLevel, int x, int y) {
  g_pointer = POINT{x, y};
  if (g_move.window) {
    if (!IsWindow(g_move.window)) {
      g_move = MoveState{};
      return;
    }
    SetWindowPos(g_move.window, nullptr, x - g_move.offset.x, y - g_move.offset.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  if (g_capture) {
    SendMouse(g_capture, WM_MOUSEMOVE, MK_LBUTTON);
    return;
  }
  HWND top = topLevel ? topLevel : TopLevelAtPoint(x, y);
  if (!top || !IsWindow(top)) {
    PointerEnters(nullptr);
    return;
  }
  LRESULT hit;
  HWND target = HitTarget(top, g_pointer, &hit);
  if (!target) {
    PointerEnters(nullptr);
    return;
  }
  if (Disabled(top)) return;
  SendMessageW(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(static_cast<int>(hit), WM_MOUSEMOVE));
  if (hit != HTCLIENT || !IsWindow(target)) {
    PointerEnters(nullptr);
    return;
  }
  PointerEnters(target);
  SendMouse(target, WM_MOUSEMOVE, 0);
}

void InputPointerLeft(HWND topLevel) {
  if (g_capture || g_move.window) return;
  if (!topLevel || (g_underPointer && TopLevelOf(g_underPointer) == topLevel)) PointerEnters(nullptr);
}

void InputButton(HWND topLevel, int x, int y, bool press) {
  g_pointer = POINT{x, y};
  Backend* backend = CurrentBackend();
  if (!press) {
    if (g_move.window) {
      g_move = MoveState{};
      return;
    }
    if (g_capture) {
      SendMouse(g_capture, WM_LBUTTONUP, 0);
      return;
    }
  }
  if (press && g_capture) {
    SendMouse(g_capture, WM_LBUTTONDOWN, MK_LBUTTON);
    return;
  }
  HWND top = topLevel ? topLevel : TopLevelAtPoint(x, y);
  if (!top || !IsWindow(top) || Disabled(top)) return;
  LRESULT hit;
  HWND target = HitTarget(top, g_pointer, &hit);
  if (!target) return;
  if (press) g_lastActive = top;
  if (press && hit == HTCAPTION) {
    // The framework's own move: the top-level follows the pointer until
    // the button is released.
    RECT r;
    GetWindowRect(top, &r);
    g_move.window = top;
    g_move.offset = POINT{x - r.left, y - r.top};
    return;
  }
  if (hit != HTCLIENT) return;
  if (!press) {
    SendMouse(target, WM_LBUTTONUP, 0);
    return;
  }
  uint64_t now = backend->NowMs();
  bool doubleClick = HasDoubleClicks(target) && g_lastPress.window == target && now - g_lastPress.time <= kDoubleClickMs &&
                     std::abs(x - g_lastPress.at.x) <= kDoubleClickDistance &&
                     std::abs(y - g_lastPress.at.y) <= kDoubleClickDistance;
  if (doubleClick) {
    g_lastPress = Press{};
    SendMouse(target, WM_LBUTTONDBLCLK, MK_LBUTTON);
  } else {
    g_lastPress = Press{target, now, g_pointer};
    SendMouse(target, WM_LBUTTONDOWN, MK_LBUTTON);
  }
}

void InputKey(HWND topLevel, UINT virtualKey, bool alt) {
  HWND top = topLevel;
  if (!top && g_focus) top = TopLevelOf(g_focus);
  if (!top) top = g_lastActive;
  if (!top || !IsWindow(top) || Disabled(top)) return;
  if (alt && virtualKey == VK_F4) {
    SendMessageW(top, WM_SYSCOMMAND, SC_CLOSE, 0);
    return;
  }
  if (IsDialogClass(StateOf(top))) {
    // Dialog keys: Enter is the default command, Escape is cancel.
    if (virtualKey == VK_RETURN) {
      SendMessageW(top, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      return;
    }
    if (virtualKey == VK_ESCAPE) {
      SendMessageW(top, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return;
    }
  }
  HWND target = g_focus && TopLevelOf(g_focus) == top ? g_focus : top;
  SendMessageW(target, WM_KEYDOWN, virtualKey, 0);
}

void InputIconicChanged(HWND topLevel, bool iconic) {
  if (!IsWindow(topLevel) || (IsIconic(topLevel) != 0) == iconic) return;
  ShowWindow(topLevel, iconic ? SW_MINIMIZE : SW_RESTORE);
}

void InputCloseRequest(HWND topLevel) {
  if (!IsWindow(topLevel) || Disabled(topLevel)) return;
  SendMessageW(topLevel, WM_SYSCOMMAND, SC_CLOSE, 0);
}
