#include "window.h"

#include <cairo.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <memory>
#include <vector>

#include "backend.h"
#include "runtime.h"
#include "window_internal.h"
#include "window_query.h"

namespace {

std::map<HWND, std::unique_ptr<WindowState>>& Registry() {
  static std::map<HWND, std::unique_ptr<WindowState>> registry;
  return registry;
}

uintptr_t g_nextHandle = 0x10010;

// The message being handled, for CWnd::Default().
struct CurrentMessage {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<CurrentMessage>& MessageStack() {
  static std::vector<CurrentMessage> stack;
  return stack;
}

bool EqualsIgnoreCase(const std::wstring& a, const wchar_t* b) {
  std::wstring other(b);
  if (a.size() != other.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::towlower(a[i]) != std::towlower(other[i])) return false;
  return true;
}

void NotifyBackendState(HWND hWnd) {
  if (Backend* backend = CurrentBackend()) backend->TopLevelStateChanged(hWnd);
}

// Invalidation repaints the window and every visible descendant (a parent
// paints over its children). A transparent child is painted over its
// parent's pixels, so its parent repaints first.
void MarkNeedsPaint(WindowState* s, bool erase) {
  s->needsPaint = true;
  s->needsErase = s->needsErase || erase;
  for (HWND child : s->children)
    if (WindowState* c = StateOf(child))
      if (c->style & WS_VISIBLE) MarkNeedsPaint(c, true);
}

void PaintTree(WindowState* s) {
  if (!(s->style & WS_VISIBLE) && !IsTopLevel(s)) return;
  if (s->needsPaint) {
    HWND h = s->hwnd;
    SendMessageW(h, WM_PAINT, 0, 0);
    s = StateOf(h);
    if (!s) return;
    s->needsPaint = false;
    s->needsErase = false;
  }
  std::vector<HWND> children(s->children.rbegin(), s->children.rend());  // bottom first
  for (HWND child : children)
    if (WindowState* c = StateOf(child)) PaintTree(c);
}

bool TreeNeedsPaint(const WindowState* s) {
  if (s->needsPaint) return true;
  for (HWND child : s->children)
    if (const WindowState* c = StateOf(child))
      if ((c->style & WS_VISIBLE) && TreeNeedsPaint(c)) return true;
  return false;
}

void SetVisibleBit(WindowState* s, bool visible) {
  if (visible)
    s->style |= WS_VISIBLE;
  else
    s->style &= ~WS_VISIBLE;
}

// Shows or hides the owned top-levels of a window that is being minimised
// or restored.
void ShowOwnedWindows(HWND owner, bool show) {
  for (HWND h : std::vector<HWND>(TopLevelStack())) {
    WindowState* s = StateOf(h);
    if (!s || s->owner != owner) continue;
    if (!show && (s->style & WS_VISIBLE)) {
      SendMessageW(h, WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
      if ((s = StateOf(h))) {
        SetVisibleBit(s, false);
        s->hiddenWithOwner = true;
        NotifyBackendState(h);
      }
    } else if (show && s->hiddenWithOwner) {
      s->hiddenWithOwner = false;
      SendMessageW(h, WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
      if ((s = StateOf(h))) {
        SetVisibleBit(s, true);
        MarkNeedsPaint(s, true);
        NotifyBackendState(h);
      }
    }
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Registry and geometry helpers.

WindowState* StateOf(HWND hWnd) {
  if (!hWnd) return nullptr;
  auto it = Registry().find(hWnd);
  return it == Registry().end() ? nullptr : it->second.get();
}

bool IsTopLevel(const WindowState* s) { return s && !(s->style & WS_CHILD); }
bool IsDialogClass(const WindowState* s) { return s && s->className == L"#32770"; }
bool IsButtonClass(const WindowState* s) { return s && EqualsIgnoreCase(s->className, L"Button"); }
bool IsStaticClass(const WindowState* s) { return s && EqualsIgnoreCase(s->className, L"Static"); }

HWND TopLevelOf(HWND hWnd) {
  WindowState* s = StateOf(hWnd);
  while (s && !IsTopLevel(s)) s = StateOf(s->parent);
  return s ? s->hwnd : nullptr;
}

POINT ScreenOrigin(HWND hWnd) {
  POINT p{0, 0};
  for (WindowState* s = StateOf(hWnd); s; s = IsTopLevel(s) ? nullptr : StateOf(s->parent)) {
    p.x += s->rect.left;
    p.y += s->rect.top;
  }
  return p;
}

POINT OriginInTopLevel(HWND hWnd) {
  POINT p{0, 0};
  for (WindowState* s = StateOf(hWnd); s && !IsTopLevel(s); s = StateOf(s->parent)) {
    p.x += s->rect.left;
    p.y += s->rect.top;
  }
  return p;
}

RECT VisibleRectInTopLevel(HWND hWnd) {
  WindowState* s = StateOf(hWnd);
  if (!s) return RECT{0, 0, 0, 0};
  POINT o = OriginInTopLevel(hWnd);
  RECT r{o.x, o.y, o.x + (s->rect.right - s->rect.left), o.y + (s->rect.bottom - s->rect.top)};
  for (WindowState* p = StateOf(s->parent); p && !IsTopLevel(s); s = p, p = StateOf(p->parent)) {
    POINT po = IsTopLevel(p) ? POINT{0, 0} : OriginInTopLevel(p->hwnd);
    RECT pr{po.x, po.y, po.x + (p->rect.right - p->rect.left), po.y + (p->rect.bottom - p->rect.top)};
    r.left = std::max(r.left, pr.left);
    r.top = std::max(r.top, pr.top);
    r.right = std::min(r.right, pr.right);
    r.bottom = std::min(r.bottom, pr.bottom);
    if (IsTopLevel(p)) break;
  }
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

std::vector<HWND>& TopLevelStack() {
  static std::vector<HWND> stack;
  return stack;
}

void RaiseTopLevel(HWND hWnd) {
  auto& stack = TopLevelStack();
  auto it = std::find(stack.begin(), stack.end(), hWnd);
  if (it == stack.end()) return;
  stack.erase(it);
  stack.push_back(hWnd);
  // Owned windows stay above their owners.
  for (HWND h : std::vector<HWND>(stack)) {
    WindowState* s = StateOf(h);
    if (s && s->owner == hWnd) RaiseTopLevel(h);
  }
  if (Backend* backend = CurrentBackend()) backend->StackingChanged();
}

cairo_surface_t* BackingSurface(HWND topLevel) {
  WindowState* s = StateOf(topLevel);
  if (!s) return nullptr;
  int w = std::max<LONG>(1, s->rect.right - s->rect.left), h = std::max<LONG>(1, s->rect.bottom - s->rect.top);
  if (s->backing && (cairo_image_surface_get_width(s->backing) != w || cairo_image_surface_get_height(s->backing) != h)) {
    cairo_surface_destroy(s->backing);
    s->backing = nullptr;
  }
  if (!s->backing) s->backing = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  return s->backing;
}

void MarkPresentDirty(HWND topLevel) {
  if (WindowState* s = StateOf(topLevel)) s->presentDirty = true;
}

namespace {

// Builds what the screen shows of a top-level window.
void Present(WindowState* s) {
  s->presentDirty = false;
  if (s->presented) cairo_surface_destroy(s->presented);
  s->presented = nullptr;
  if (s->exStyle & WS_EX_LAYERED) {
    if (s->layeredPicture) {
      s->presented = cairo_surface_reference(s->layeredPicture);
    } else if (s->layeredAttributes) {
      cairo_surface_t* src = BackingSurface(s->hwnd);
      cairo_surface_flush(src);
      int w = cairo_image_surface_get_width(src), h = cairo_image_surface_get_height(src);
      cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
      cairo_surface_flush(out);
      const unsigned char* sp = cairo_image_surface_get_data(src);
      unsigned char* dp = cairo_image_surface_get_data(out);
      int ss = cairo_image_surface_get_stride(src), ds = cairo_image_surface_get_stride(out);
      uint32_t key = 0xFF000000u | (static_cast<uint32_t>(GetRValue(s->colorKey)) << 16) |
                     (static_cast<uint32_t>(GetGValue(s->colorKey)) << 8) | GetBValue(s->colorKey);
      bool useKey = s->layeredFlags & LWA_COLORKEY;
      unsigned alpha = (s->layeredFlags & LWA_ALPHA) ? s->constantAlpha : 255;
      for (int y = 0; y < h; ++y) {
        auto* srow = reinterpret_cast<const uint32_t*>(sp + y * ss);
        auto* drow = reinterpret_cast<uint32_t*>(dp + y * ds);
        for (int x = 0; x < w; ++x) {
          uint32_t px = srow[x] | 0xFF000000u;  // painted content is opaque
          if (useKey && px == key) {
            drow[x] = 0;
          } else if (alpha == 255) {
            drow[x] = px;
          } else {
            uint32_t a = alpha, r = ((px >> 16) & 0xFF) * a / 255, g = ((px >> 8) & 0xFF) * a / 255, b = (px & 0xFF) * a / 255;
            drow[x] = (a << 24) | (r << 16) | (g << 8) | b;
          }
        }
      }
      cairo_surface_mark_dirty(out);
      s->presented = out;
    }
    // A layered window that received no layered call shows nothing.
  } else {
    s->presented = cairo_surface_reference(BackingSurface(s->hwnd));
  }
  if (Backend* backend = CurrentBackend()) backend->TopLevelContentChanged(s->hwnd);
}

}  // namespace

bool UpdateAllWindows() {
  bool did = false;
  for (HWND top : std::vector<HWND>(TopLevelStack())) {
    WindowState* s = StateOf(top);
    if (!s) continue;
    if (TreeNeedsPaint(s)) {
      PaintTree(s);
      did = true;
      if ((s = StateOf(top))) s->presentDirty = true;
    }
    if (s && s->presentDirty) {
      Present(s);
      did = true;
    }
  }
  return did;
}

cairo_surface_t* PresentedSurface(HWND topLevel) {
  WindowState* s = StateOf(topLevel);
  if (!s) return nullptr;
  if (s->presentDirty) UpdateAllWindows();
  return s->presented;
}

cairo_surface_t* PaintedSurface(HWND topLevel) {
  WindowState* s = StateOf(topLevel);
  if (!s || !IsTopLevel(s)) return nullptr;
  UpdateAllWindows();
  return BackingSurface(topLevel);
}

// ---------------------------------------------------------------------------
// Raw window API.

BOOL IsWindow(HWND hWnd) { return StateOf(hWnd) != nullptr; }

LRESULT SendMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowState* s = StateOf(hWnd);
  if (!s) return 0;
  CWnd* object = s->object;
  if (!object) return BuiltInWindowProc(hWnd, message, wParam, lParam);
  MessageStack().push_back({hWnd, message, wParam, lParam});
  LRESULT result = object->WindowProc(message, wParam, lParam);
  MessageStack().pop_back();
  return result;
}

LRESULT DefWindowProcW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return BuiltInWindowProc(hWnd, message, wParam, lParam);
}

LONG GetWindowLongW(HWND hWnd, int index) {
  WindowState* s = StateOf(hWnd);
  if (!s) return 0;
  switch (index) {
    case GWL_STYLE: return static_cast<LONG>(s->style);
    case GWL_EXSTYLE: return static_cast<LONG>(s->exStyle);
    case GWL_ID: return static_cast<LONG>(s->id);
    default: return 0;
  }
}

LONG SetWindowLongW(HWND hWnd, int index, LONG value) {
  WindowState* s = StateOf(hWnd);
  if (!s) return 0;
  LONG old = GetWindowLongW(hWnd, index);
  switch (index) {
    case GWL_STYLE: s->style = static_cast<DWORD>(value); break;
    case GWL_EXSTYLE: {
      DWORD was = s->exStyle;
      s->exStyle = static_cast<DWORD>(value);
      if ((was & WS_EX_LAYERED) && !(s->exStyle & WS_EX_LAYERED)) {
        // Leaving the layered mode drops the layered content.
        if (s->layeredPicture) cairo_surface_destroy(s->layeredPicture);
        s->layeredPicture = nullptr;
        s->layeredAttributes = false;
        MarkNeedsPaint(s, true);
      }
      if (IsTopLevel(s) && was != s->exStyle) {
        s->presentDirty = true;
        NotifyBackendState(hWnd);
      }
      break;
    }
    case GWL_ID: s->id = static_cast<UINT>(value); break;
    default: return 0;
  }
  return old;
}

BOOL GetWindowRect(HWND hWnd, RECT* rect) {
  WindowState* s = StateOf(hWnd);
  if (!s || !rect) return FALSE;
  POINT o = ScreenOrigin(hWnd);
  *rect = RECT{o.x, o.y, o.x + (s->rect.right - s->rect.left), o.y + (s->rect.bottom - s->rect.top)};
  return TRUE;
}

BOOL GetClientRect(HWND hWnd, RECT* rect) {
  WindowState* s = StateOf(hWnd);
  if (!s || !rect) return FALSE;
  *rect = RECT{0, 0, s->rect.right - s->rect.left, s->rect.bottom - s->rect.top};
  return TRUE;
}

BOOL ScreenToClient(HWND hWnd, POINT* point) {
  if (!StateOf(hWnd) || !point) return FALSE;
  POINT o = ScreenOrigin(hWnd);
  point->x -= o.x;
  point->y -= o.y;
  return TRUE;
}

BOOL ClientToScreen(HWND hWnd, POINT* point) {
  if (!StateOf(hWnd) || !point) return FALSE;
  POINT o = ScreenOrigin(hWnd);
  point->x += o.x;
  point->y += o.y;
  return TRUE;
}

BOOL SetWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  WindowState* s = StateOf(hWnd);
  if (!s) return FALSE;
  RECT old = s->rect;
  if (flags & SWP_NOMOVE) {
    x = old.left;
    y = old.top;
  }
  if (flags & SWP_NOSIZE) {
    cx = old.right - old.left;
    cy = old.bottom - old.top;
  }
  if (cx < 0) cx = 0;
  if (cy < 0) cy = 0;
  s->rect = RECT{x, y, x + cx, y + cy};
  bool moved = old.left != x || old.top != y;
  bool sized = (old.right - old.left) != cx || (old.bottom - old.top) != cy;

  if (!(flags & SWP_NOZORDER) && !insertAfter) {
    if (IsTopLevel(s)) {
      RaiseTopLevel(hWnd);
    } else if (WindowState* p = StateOf(s->parent)) {
      auto& siblings = p->children;
      siblings.erase(std::remove(siblings.begin(), siblings.end(), hWnd), siblings.end());
      siblings.insert(siblings.begin(), hWnd);
    }
  }
  if (sized && IsTopLevel(s)) {
    // The content no longer fits: paint it anew at the new size.
    if (s->backing) cairo_surface_destroy(s->backing);
    s->backing = nullptr;
    MarkNeedsPaint(s, true);
    s->presentDirty = true;
  }
  if (!IsTopLevel(s) && (moved || sized) && !(flags & SWP_NOREDRAW)) {
    if (WindowState* top = StateOf(TopLevelOf(hWnd))) MarkNeedsPaint(top, true);
  }
  if (IsTopLevel(s) && (moved || sized || !(flags & SWP_NOZORDER))) NotifyBackendState(hWnd);
  if (!IsTopLevel(s) && s->nativeWidget)
    if (Backend* backend = CurrentBackend()) backend->NativeChildrenChanged(TopLevelOf(hWnd));
  if (moved) SendMessageW(hWnd, WM_MOVE, 0, MAKELPARAM(x, y));
  if (sized && StateOf(hWnd)) SendMessageW(hWnd, WM_SIZE, 0, MAKELPARAM(cx, cy));
  if (flags & SWP_SHOWWINDOW) ShowWindow(hWnd, SW_SHOWNA);
  if (flags & SWP_HIDEWINDOW) ShowWindow(hWnd, SW_HIDE);
  return TRUE;
}

BOOL MoveWindow(HWND hWnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hWnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL ShowWindow(HWND hWnd, int command) {
  WindowState* s = StateOf(hWnd);
  if (!s) return FALSE;
  bool wasVisible = (s->style & WS_VISIBLE) != 0;
  bool top = IsTopLevel(s);
  switch (command) {
    case SW_HIDE:
      if (!wasVisible) break;
      SendMessageW(hWnd, WM_SHOWWINDOW, FALSE, 0);
      if (!(s = StateOf(hWnd))) return FALSE;
      SetVisibleBit(s, false);
      if (top)
        NotifyBackendState(hWnd);
      else if (WindowState* t = StateOf(TopLevelOf(hWnd)))
        MarkNeedsPaint(t, true);
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      if (!wasVisible) {
        SendMessageW(hWnd, WM_SHOWWINDOW, TRUE, 0);
        if (!(s = StateOf(hWnd))) return FALSE;
        SetVisibleBit(s, true);
      }
      if (top && !s->iconic) {
        s->iconic = true;
        s->style |= WS_MINIMIZE;
        ShowOwnedWindows(hWnd, false);
        if ((s = StateOf(hWnd))) {
          MarkNeedsPaint(s, true);
          NotifyBackendState(hWnd);
        }
      }
      break;
    default: {  // the showing commands
      bool restore = top && s->iconic && command != SW_SHOWNA && command != SW_SHOW && command != SW_SHOWNOACTIVATE;
      if (!wasVisible) {
        SendMessageW(hWnd, WM_SHOWWINDOW, TRUE, 0);
        if (!(s = StateOf(hWnd))) return FALSE;
        SetVisibleBit(s, true);
        s->hiddenWithOwner = false;
        MarkNeedsPaint(s, true);
        if (!top)
          if (WindowState* t = StateOf(TopLevelOf(hWnd))) MarkNeedsPaint(t, true);
      }
      if (restore) {
        s->iconic = false;
        s->style &= ~WS_MINIMIZE;
        MarkNeedsPaint(s, true);
        ShowOwnedWindows(hWnd, true);
      }
      if (top && (!wasVisible || restore)) {
        if (!wasVisible) RaiseTopLevel(hWnd);
        if (StateOf(hWnd)) NotifyBackendState(hWnd);
      }
      break;
    }
  }
  if ((s = StateOf(hWnd)) && !top && s->nativeWidget)
    if (Backend* backend = CurrentBackend()) backend->NativeChildrenChanged(TopLevelOf(hWnd));
  return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hWnd) {
  for (WindowState* s = StateOf(hWnd); s; s = IsTopLevel(s) ? nullptr : StateOf(s->parent))
    if (!(s->style & WS_VISIBLE)) return FALSE;
  return StateOf(hWnd) ? TRUE : FALSE;
}

BOOL IsIconic(HWND hWnd) {
  WindowState* s = StateOf(hWnd);
  return s && s->iconic ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hWnd, BOOL enable) {
  WindowState* s = StateOf(hWnd);
  if (!s) return FALSE;
  BOOL wasDisabled = (s->style & WS_DISABLED) ? TRUE : FALSE;
  if (enable)
    s->style &= ~WS_DISABLED;
  else
    s->style |= WS_DISABLED;
  if (wasDisabled == !enable) return wasDisabled;
  SendMessageW(hWnd, WM_ENABLE, enable, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hWnd) {
  WindowState* s = StateOf(hWnd);
  return s && !(s->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL InvalidateRect(HWND hWnd, const RECT*, BOOL erase) {
  WindowState* s = StateOf(hWnd);
  if (!s) return FALSE;
  if (!IsTopLevel(s) && (s->exStyle & WS_EX_TRANSPARENT))
    if (WindowState* p = StateOf(s->parent)) {
      MarkNeedsPaint(p, true);
      return TRUE;
    }
  MarkNeedsPaint(s, erase != 0);
  if (Backend* backend = CurrentBackend()) backend->Wake();
  return TRUE;
}

BOOL UpdateWindow(HWND hWnd) {
  if (!StateOf(hWnd)) return FALSE;
  UpdateAllWindows();
  return TRUE;
}

HWND GetParent(HWND hWnd) {
  WindowState* s = StateOf(hWnd);
  if (!s) return nullptr;
  return IsTopLevel(s) ? s->owner : s->parent;
}

HWND GetWindow(HWND hWnd, UINT relation) {
  WindowState* s = StateOf(hWnd);
  if (!s) return nullptr;
  if (relation == GW_OWNER) return s->owner;
  return nullptr;
}

HWND OwnerOf(HWND hWnd) { return GetWindow(hWnd, GW_OWNER); }

HWND GetDlgItem(HWND dialog, int id) {
  WindowState* s = StateOf(dialog);
  if (!s) return nullptr;
  for (HWND child : s->children)
    if (WindowState* c = StateOf(child))
      if (static_cast<int>(c->id) == id) return child;
  return nullptr;
}

BOOL SetWindowTextW(HWND hWnd, LPCWSTR text) {
  if (!StateOf(hWnd)) return FALSE;
  SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : L""));
  return TRUE;
}

std::wstring GetWindowTextString(HWND hWnd) {
  WindowState* s = StateOf(hWnd);
  return s ? s->text : std::wstring();
}

std::wstring WindowTitle(HWND hWnd) { return GetWindowTextString(hWnd); }

HICON WindowBigIcon(HWND topLevel) {
  WindowState* s = StateOf(topLevel);
  return s ? (s->bigIcon ? s->bigIcon : s->smallIcon) : nullptr;
}

std::vector<HWND> TopLevelWindowsBottomUp() { return TopLevelStack(); }

bool TopLevelShown(HWND topLevel) {
  WindowState* s = StateOf(topLevel);
  return s && IsTopLevel(s) && (s->style & WS_VISIBLE) && !s->iconic && !s->hiddenWithOwner;
}

bool TopLevelIsShaped(HWND topLevel) {
  WindowState* s = StateOf(topLevel);
  return s && (s->exStyle & WS_EX_LAYERED);
}

bool TopLevelHasTaskbarEntry(HWND topLevel) {
  WindowState* s = StateOf(topLevel);
  if (!s) return false;
  if (s->exStyle & WS_EX_APPWINDOW) return true;
  return !s->owner && !(s->exStyle & WS_EX_TOOLWINDOW);
}

BOOL DestroyWindow(HWND hWnd) {
  WindowState* s = StateOf(hWnd);
  if (!s) return FALSE;
  // Owned windows go first, then the window, then its children.
  if (IsTopLevel(s))
    for (HWND h : std::vector<HWND>(TopLevelStack()))
      if (WindowState* o = StateOf(h))
        if (o->owner == hWnd) DestroyWindow(h);
  if (!(s = StateOf(hWnd))) return TRUE;
  if (s->style & WS_VISIBLE) SetVisibleBit(s, false);
  if (IsTopLevel(s)) NotifyBackendState(hWnd);
  SendMessageW(hWnd, WM_DESTROY, 0, 0);
  if (!(s = StateOf(hWnd))) return TRUE;
  for (HWND child : std::vector<HWND>(s->children)) DestroyWindow(child);
  if (!(s = StateOf(hWnd))) return TRUE;
  ForgetWindowInInput(hWnd);
  bool top = IsTopLevel(s);
  if (top) {
    auto& stack = TopLevelStack();
    stack.erase(std::remove(stack.begin(), stack.end(), hWnd), stack.end());
    if (Backend* backend = CurrentBackend()) backend->TopLevelDestroyed(hWnd);
  } else if (WindowState* p = StateOf(s->parent)) {
    p->children.erase(std::remove(p->children.begin(), p->children.end(), hWnd), p->children.end());
    if (s->nativeWidget)
      if (Backend* backend = CurrentBackend()) backend->NativeChildrenChanged(p->hwnd);
    MarkNeedsPaint(p, true);
  }
  for (auto& hook : std::vector<std::function<void()>>(s->destroyHooks)) hook();
  if (!(s = StateOf(hWnd))) return TRUE;
  std::unique_ptr<WindowState> owned = std::move(Registry()[hWnd]);
  Registry().erase(hWnd);
  CWnd* object = owned->object;
  if (object) {
    object->m_hWnd = nullptr;
    object->PostNcDestroy();
    if (owned->frameworkObject) delete object;
  }
  if (owned->presented) cairo_surface_destroy(owned->presented);
  if (owned->layeredPicture) cairo_surface_destroy(owned->layeredPicture);
  if (owned->backing) cairo_surface_destroy(owned->backing);
  return TRUE;
}

void AddDestroyHook(HWND hWnd, std::function<void()> hook) {
  if (WindowState* s = StateOf(hWnd)) s->destroyHooks.push_back(std::move(hook));
}

std::vector<NativeChild> NativeChildrenOf(HWND topLevel) {
  std::vector<NativeChild> out;
  for (auto& entry : Registry()) {
    WindowState* s = entry.second.get();
    if (!s->nativeWidget || IsTopLevel(s) || TopLevelOf(s->hwnd) != topLevel) continue;
    out.push_back(NativeChild{s->hwnd, s->nativeWidget, VisibleRectInTopLevel(s->hwnd), IsWindowVisible(s->hwnd) != 0});
  }
  return out;
}

void AttachNativeWidget(HWND child, GtkWidget* widget) {
  WindowState* s = StateOf(child);
  if (!s) return;
  s->nativeWidget = widget;
  if (Backend* backend = CurrentBackend()) backend->NativeChildrenChanged(TopLevelOf(child));
}

GtkWidget* NativeWidgetOf(HWND child) {
  WindowState* s = StateOf(child);
  return s ? s->nativeWidget : nullptr;
}

// ---------------------------------------------------------------------------
// CWnd.

CWnd::CWnd() = default;

CWnd::~CWnd() {
  if (m_hWnd && IsWindow(m_hWnd)) {
    WindowState* s = StateOf(m_hWnd);
    if (s && s->object == this) {
      s->frameworkObject = false;
      ::DestroyWindow(m_hWnd);
    }
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  WindowState* s = StateOf(hWnd);
  return s ? s->object : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd) { return FromHandlePermanent(hWnd); }

namespace {

HWND RegisterWindow(CWnd* object, bool frameworkObject, DWORD exStyle, LPCWSTR className, LPCWSTR windowName,
                    DWORD style, const RECT& rect, HWND parent, UINT id, HWND owner) {
  auto state = std::make_unique<WindowState>();
  HWND hWnd = reinterpret_cast<HWND>(g_nextHandle);
  g_nextHandle += 4;
  state->hwnd = hWnd;
  state->object = object;
  state->frameworkObject = frameworkObject;
  state->className = className ? className : L"";
  state->text = windowName ? windowName : L"";
  state->style = style & ~WS_VISIBLE;
  state->exStyle = exStyle;
  state->id = (style & WS_CHILD) ? id : 0;
  state->rect = rect;
  if (style & WS_CHILD) {
    state->parent = parent;
  } else {
    // A pop-up's owner is the top-level window of whatever it was given.
    HWND o = owner ? owner : parent;
    state->owner = o ? TopLevelOf(o) : nullptr;
  }
  WindowState* s = state.get();
  Registry()[hWnd] = std::move(state);
  if (object) object->m_hWnd = hWnd;
  if (s->style & WS_CHILD) {
    if (WindowState* p = StateOf(parent)) p->children.push_back(hWnd);  // new children go to the bottom
  } else {
    TopLevelStack().push_back(hWnd);
    RaiseTopLevel(hWnd);
    if (Backend* backend = CurrentBackend()) backend->TopLevelCreated(hWnd);
  }
  return hWnd;
}

}  // namespace

HWND CreateFrameworkWindow(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                           HWND parent, UINT id) {
  CWnd* object = new CWnd;
  if (!object->CreateEx(exStyle, className, windowName, style, rect, CWnd::FromHandle(parent), id)) {
    delete object;
    return nullptr;
  }
  StateOf(object->m_hWnd)->frameworkObject = true;
  return object->m_hWnd;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, CWnd* owner) {
  if ((style & WS_CHILD) && (!parent || !IsWindow(parent->m_hWnd))) return FALSE;
  HWND hWnd = RegisterWindow(this, false, exStyle, className, windowName, style, rect, parent ? parent->m_hWnd : nullptr,
                             id, owner ? owner->m_hWnd : nullptr);
  CREATESTRUCTW cs{};
  cs.hwndParent = parent ? parent->m_hWnd : nullptr;
  cs.x = rect.left;
  cs.y = rect.top;
  cs.cx = rect.right - rect.left;
  cs.cy = rect.bottom - rect.top;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  if (::SendMessageW(hWnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    ::DestroyWindow(hWnd);
    return FALSE;
  }
  if (!IsWindow(hWnd)) return FALSE;
  if (style & WS_VISIBLE) ::ShowWindow(hWnd, SW_SHOWNA);
  return TRUE;
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

BOOL CWnd::SubclassWindow(HWND hWnd) {
  WindowState* s = StateOf(hWnd);
  if (!s || m_hWnd) return FALSE;
  CWnd* previous = s->object;
  bool deletePrevious = s->frameworkObject;
  m_hWnd = hWnd;
  PreSubclassWindow();
  s = StateOf(hWnd);
  s->object = this;
  s->frameworkObject = false;
  if (previous && previous != this) {
    previous->m_hWnd = nullptr;
    if (deletePrevious) delete previous;
  }
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  HWND item = parent ? ::GetDlgItem(parent->m_hWnd, static_cast<int>(id)) : nullptr;
  return item ? SubclassWindow(item) : FALSE;
}

LRESULT CWnd::Default() {
  auto& stack = MessageStack();
  if (stack.empty()) return 0;
  CurrentMessage m = stack.back();
  return DefWindowProc(m.message, m.wParam, m.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return BuiltInWindowProc(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  UINT lookFor = message;
  CtlColorRequest ctl{};
  LPARAM passed = lParam;
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
    lookFor = WM_CTLCOLOR;
    ctl = CtlColorRequest{reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message - WM_CTLCOLORMSGBOX};
    passed = reinterpret_cast<LPARAM>(&ctl);
  }
  for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
      if (e->nMessage != lookFor) continue;
      if (lookFor == WM_COMMAND) {
        if (e->nID != LOWORD(wParam) || e->nCode != HIWORD(wParam)) continue;
      }
      *pResult = e->pfn(this, wParam, passed);
      return TRUE;
    }
    if (!map->pfnGetBaseMap) break;
  }
  // Owner-draw requests go back to the control that is to be drawn.
  if (message == WM_DRAWITEM && lParam) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (CWnd* child = FromHandlePermanent(dis->hwndItem))
      if (child->OnChildNotify(message, wParam, lParam, pResult)) return TRUE;
  }
  return FALSE;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, &entries[0]};
  return &map;
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

void CWnd::ScreenToClient(LPRECT rect) const {
  POINT o = ScreenOrigin(m_hWnd);
  rect->left -= o.x;
  rect->right -= o.x;
  rect->top -= o.y;
  rect->bottom -= o.y;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
  DWORD style = GetStyle();
  DWORD updated = (style & ~remove) | add;
  if (updated == style) return FALSE;
  ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(updated));
  return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT) {
  DWORD style = GetExStyle();
  DWORD updated = (style & ~remove) | add;
  if (updated == style) return FALSE;
  ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(updated));
  return TRUE;
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
  WindowState* s = StateOf(m_hWnd);
  if (!s) return;
  SIZE screen = CurrentBackend()->ScreenSize();
  RECT area{0, 0, screen.cx, screen.cy};
  RECT center = area;
  if (!IsTopLevel(s)) {
    ::GetClientRect(s->parent, &center);
    area = center;
  } else {
    HWND owner = alternateOwner ? alternateOwner->m_hWnd : s->owner;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &center);
  }
  int w = s->rect.right - s->rect.left, h = s->rect.bottom - s->rect.top;
  int x = center.left + ((center.right - center.left) - w) / 2;
  int y = center.top + ((center.bottom - center.top) - h) / 2;
  // Keep the window on the screen where it fits.
  if (x + w > area.right) x = area.right - w;
  if (y + h > area.bottom) y = area.bottom - h;
  if (x < area.left) x = area.left;
  if (y < area.top) y = area.top;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
  if (control.m_hWnd) return;
  control.SubclassDlgItem(static_cast<UINT>(id), pDX->m_pDlgWnd);
}

// ---------------------------------------------------------------------------
// Buttons.

BOOL CButton::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_DRAWITEM) return FALSE;
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (pResult) *pResult = TRUE;
  return TRUE;
}

UINT CButton::GetState() const {
  WindowState* s = StateOf(m_hWnd);
  return s && s->pushed ? 0x0004 : 0;  // BST_PUSHED
}
