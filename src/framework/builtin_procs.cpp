// Default message processing of every window and of the built-in classes:
// dialogs ("#32770"), push buttons ("Button") and static texts ("Static").
#include "backend.h"
#include "window.h"
#include "window_internal.h"

namespace {

HBRUSH FaceBrush() {
  static HBRUSH brush = CreateSolidBrush(RGB(240, 240, 240));
  return brush;
}

void ClickButton(HWND hWnd, WindowState* s) {
  if (HWND parent = s->parent)
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(static_cast<int>(s->id), BN_CLICKED), reinterpret_cast<LPARAM>(hWnd));
}

LRESULT PaintButton(HWND hWnd, WindowState* s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hWnd, &ps);
  RECT client;
  GetClientRect(hWnd, &client);
  if ((s->style & BS_TYPEMASK) == BS_OWNERDRAW) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = s->id;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = (s->pushed ? ODS_SELECTED : 0) | (GetFocus() == hWnd ? ODS_FOCUS : 0) |
                    ((s->style & WS_DISABLED) ? ODS_DISABLED : 0);
    dis.hwndItem = hWnd;
    dis.hDC = dc;
    dis.rcItem = client;
    if (s->parent) SendMessageW(s->parent, WM_DRAWITEM, s->id, reinterpret_cast<LPARAM>(&dis));
  } else {
    HBRUSH brush = s->parent ? reinterpret_cast<HBRUSH>(SendMessageW(s->parent, WM_CTLCOLORBTN,
                                                                     reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hWnd)))
                             : nullptr;
    (void)brush;  // a plain button draws its own face and frame
    static HBRUSH frame = CreateSolidBrush(RGB(173, 173, 173));
    static HBRUSH face = CreateSolidBrush(RGB(225, 225, 225));
    FillRect(dc, &client, frame);
    RECT inner{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
    FillRect(dc, &inner, face);
    SelectObject(dc, s->font);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, s->text.c_str(), static_cast<int>(s->text.size()), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  EndPaint(hWnd, &ps);
  return 0;
}

LRESULT PaintStatic(HWND hWnd, WindowState* s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hWnd, &ps);
  RECT client;
  GetClientRect(hWnd, &client);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, OPAQUE);
  SelectObject(dc, s->font);
  HBRUSH brush = s->parent ? reinterpret_cast<HBRUSH>(SendMessageW(s->parent, WM_CTLCOLORSTATIC,
                                                                   reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hWnd)))
                           : nullptr;
  if (brush && brush != GetStockObject(NULL_BRUSH)) FillRect(dc, &client, brush);
  UINT format = DT_WORDBREAK;
  if ((s->style & 0x3) == SS_CENTER) format |= DT_CENTER;
  if ((s->style & 0x3) == SS_RIGHT) format |= DT_RIGHT;
  DrawTextW(dc, s->text.c_str(), static_cast<int>(s->text.size()), &client, format);
  EndPaint(hWnd, &ps);
  return 0;
}

}  // namespace

LRESULT BuiltInWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowState* s = StateOf(hWnd);
  if (!s) return 0;
  const bool button = IsButtonClass(s), stat = IsStaticClass(s), dialog = IsDialogClass(s);

  switch (message) {
    case WM_CREATE: return 0;
    case WM_NCHITTEST: {
      if (stat && !(s->style & SS_NOTIFY)) return HTTRANSPARENT;
      RECT r;
      GetWindowRect(hWnd, &r);
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      return PtInRect(&r, p) ? HTCLIENT : HTNOWHERE;
    }
    case WM_ERASEBKGND: {
      if (!dialog) return 0;
      HDC dc = reinterpret_cast<HDC>(wParam);
      HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageW(hWnd, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(hWnd)));
      RECT client;
      GetClientRect(hWnd, &client);
      if (brush) FillRect(dc, &client, brush);
      return 1;
    }
    case WM_PAINT: {
      if (button) return PaintButton(hWnd, s);
      if (stat) return PaintStatic(hWnd, s);
      PAINTSTRUCT ps;
      BeginPaint(hWnd, &ps);
      EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
      SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
      return reinterpret_cast<LRESULT>(FaceBrush());
    case WM_SETTEXT:
      s->text = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
      InvalidateRect(hWnd, nullptr, TRUE);
      if (IsTopLevel(s))
        if (Backend* backend = CurrentBackend()) backend->TopLevelStateChanged(hWnd);
      return TRUE;
    case WM_SETFONT:
      s->font = reinterpret_cast<HFONT>(wParam);
      if (lParam) InvalidateRect(hWnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_SETICON: {
      HICON previous = wParam == ICON_BIG ? s->bigIcon : s->smallIcon;
      (wParam == ICON_BIG ? s->bigIcon : s->smallIcon) = reinterpret_cast<HICON>(lParam);
      if (Backend* backend = CurrentBackend()) backend->TopLevelStateChanged(hWnd);
      return reinterpret_cast<LRESULT>(previous);
    }
    case WM_SETCURSOR: {
      // The parent decides first; otherwise the arrow.
      if (!IsTopLevel(s) && s->parent && SendMessageW(s->parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
      if (LOWORD(static_cast<uintptr_t>(lParam)) == HTCLIENT) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      return FALSE;
    }
    case WM_CLOSE:
      if (dialog) {
        SendMessageW(hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        return 0;
      }
      DestroyWindow(hWnd);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageW(hWnd, WM_CLOSE, 0, 0);
      if ((wParam & 0xFFF0) == SC_MINIMIZE) ShowWindow(hWnd, SW_MINIMIZE);
      if ((wParam & 0xFFF0) == SC_RESTORE) ShowWindow(hWnd, SW_RESTORE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (button) {
        if (message == WM_LBUTTONDBLCLK && (s->style & BS_TYPEMASK) == BS_OWNERDRAW) {
          if (s->parent)
            SendMessageW(s->parent, WM_COMMAND, MAKEWPARAM(static_cast<int>(s->id), BN_DOUBLECLICKED),
                         reinterpret_cast<LPARAM>(hWnd));
          return 0;
        }
        SetCapture(hWnd);
        SetFocus(hWnd);
        if ((s = StateOf(hWnd))) {
          s->pushed = true;
          InvalidateRect(hWnd, nullptr, TRUE);
        }
      }
      return 0;
    case WM_MOUSEMOVE:
      if (button && GetCapture() == hWnd) {
        RECT client;
        GetClientRect(hWnd, &client);
        bool inside = PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (inside != s->pushed) {
          s->pushed = inside;
          InvalidateRect(hWnd, nullptr, TRUE);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (button && GetCapture() == hWnd) {
        bool wasPushed = s->pushed;
        s->pushed = false;
        ReleaseCapture();
        InvalidateRect(hWnd, nullptr, TRUE);
        if (wasPushed && StateOf(hWnd)) ClickButton(hWnd, StateOf(hWnd));
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (button && s->pushed) {
        s->pushed = false;
        InvalidateRect(hWnd, nullptr, TRUE);
      }
      return 0;
    case WM_KEYDOWN:
      if (button && wParam == VK_SPACE) ClickButton(hWnd, s);
      return 0;
    case WM_QUERYDRAGICON: return 0;
    default: return 0;
  }
}
