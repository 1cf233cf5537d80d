// The window model: windows with handles, parents and owners, styles,
// rectangles, visibility, z-order and message dispatch through per-class
// message maps. Top-level rectangles are in screen pixels, child
// rectangles in their parent's client pixels (windows have no frames, so a
// window's client area is all of it).
#pragma once

#include <functional>
#include <string>

#include "cmd_target.h"
#include "gdi.h"
#include "geometry.h"
#include "messages.h"
#include "text.h"
#include "wintypes.h"

class CWnd;

// Raw window API.
BOOL IsWindow(HWND hWnd);
LRESULT SendMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
#define SendMessage SendMessageW
LRESULT DefWindowProcW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LONG GetWindowLongW(HWND hWnd, int index);
LONG SetWindowLongW(HWND hWnd, int index, LONG value);
BOOL GetWindowRect(HWND hWnd, RECT* rect);
BOOL GetClientRect(HWND hWnd, RECT* rect);
BOOL MoveWindow(HWND hWnd, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL ShowWindow(HWND hWnd, int command);
BOOL IsWindowVisible(HWND hWnd);
BOOL IsIconic(HWND hWnd);
BOOL EnableWindow(HWND hWnd, BOOL enable);
BOOL IsWindowEnabled(HWND hWnd);
BOOL InvalidateRect(HWND hWnd, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND hWnd);
HWND GetParent(HWND hWnd);
HWND GetWindow(HWND hWnd, UINT relation);
HWND GetDlgItem(HWND dialog, int id);
BOOL SetWindowTextW(HWND hWnd, LPCWSTR text);
std::wstring GetWindowTextString(HWND hWnd);
BOOL DestroyWindow(HWND hWnd);
HWND SetFocus(HWND hWnd);
HWND GetFocus();
HWND SetCapture(HWND hWnd);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL ScreenToClient(HWND hWnd, POINT* point);
BOOL ClientToScreen(HWND hWnd, POINT* point);
constexpr UINT GW_OWNER = 4;

struct TRACKMOUSEEVENT {
  DWORD cbSize;
  DWORD dwFlags;
  HWND hwndTrack;
  DWORD dwHoverTime;
};
BOOL _TrackMouseEvent(TRACKMOUSEEVENT* request);
#define TrackMouseEvent _TrackMouseEvent

// Layered windows: a per-pixel-alpha picture given whole, or a colour key
// and constant alpha applied to what the window paints.
BOOL UpdateLayeredWindow(HWND hWnd, HDC hdcDst, POINT* pptDst, SIZE* psize, HDC hdcSrc, POINT* pptSrc, COLORREF crKey,
                         BLENDFUNCTION* pblend, DWORD dwFlags);
BOOL SetLayeredWindowAttributes(HWND hWnd, COLORREF crKey, BYTE bAlpha, DWORD dwFlags);

// Run-time lookup of entry points by library and name, for code that
// resolves the layered-window calls once per process.
HMODULE LoadLibraryW(LPCWSTR name);
FARPROC GetProcAddress(HMODULE module, const char* name);
BOOL FreeLibrary(HMODULE module);

struct CREATESTRUCTW {
  void* lpCreateParams;
  HINSTANCE hInstance;
  void* hMenu;
  HWND hwndParent;
  int cy, cx, y, x;
  LONG style;
  LPCWSTR lpszName;
  LPCWSTR lpszClass;
  DWORD dwExStyle;
};
typedef CREATESTRUCTW* LPCREATESTRUCT;

struct DRAWITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemAction;
  UINT itemState;
  HWND hwndItem;
  HDC hDC;
  RECT rcItem;
  ULONG_PTR itemData;
};
typedef DRAWITEMSTRUCT* LPDRAWITEMSTRUCT;

class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL save) : m_bSaveAndValidate(save), m_pDlgWnd(dialog) {}
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
};
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

class CWnd : public CCmdTarget {
 public:
  CWnd();
  ~CWnd() override;

  // The object attached to a window; for a window without one, a framework
  // object that lives as long as the window.
  static CWnd* FromHandle(HWND hWnd);
  static CWnd* FromHandlePermanent(HWND hWnd);
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // Creates a window of a built-in class ("#32770" dialog, "Button",
  // "Static") or a plain one for any other class name.
  BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                UINT id, CWnd* owner = nullptr);
  virtual BOOL DestroyWindow();
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }
  // Default processing of the message being handled.
  LRESULT Default();
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // A notification the parent reflects back to its control (WM_DRAWITEM).
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual void PreSubclassWindow() {}
  virtual void PostNcDestroy() {}

  BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
  }
  void MoveWindow(LPCRECT rect, BOOL repaint = TRUE) {
    MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
  }
  BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
  }
  void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
  void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
  void ScreenToClient(LPRECT rect) const;
  void ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
  void SetWindowTextW(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
  void SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
  CString GetWindowText() const { return CString(::GetWindowTextString(m_hWnd)); }
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
  // Centres over the owner (or alternate owner); an unowned window is
  // centred on the screen.
  void CenterWindow(CWnd* alternateOwner = nullptr);
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  CWnd* GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }
  CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
  int GetDlgCtrlID() const { return static_cast<int>(::GetWindowLongW(m_hWnd, GWL_ID)); }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  CDC* GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
  CDC* GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
  int ReleaseDC(CDC* dc) { return dc ? ::ReleaseDC(m_hWnd, dc->Detach()) : 0; }
  void SetFont(CFont* font, BOOL redraw = TRUE) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->m_hObject : nullptr), redraw);
  }
  HICON SetIcon(HICON icon, BOOL big) {
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
  }
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }

  HWND m_hWnd = nullptr;

  // Message-map plumbing.
  static const AFX_MSGMAP* GetThisMessageMap();
  const AFX_MSGMAP* GetMessageMap() const override;

  // Default handlers that message-map rows of derived classes may name.
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

 protected:
  // Looks the message up in the class's message map chain.
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

 private:
  friend struct WindowAccess;
};

// The built-in classes' default behaviour, by class name.
LRESULT BuiltInWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Message-map rows. Each row unpacks the parameters the way the handler
// of that message expects them.
#define ON_MESSAGE(message, memberFxn)                                                              \
  {message, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                                    \
     return static_cast<ThisClass*>(w)->memberFxn(wp, lp);                                          \
   }},
#define ON_COMMAND(id, memberFxn)                                                                   \
  {WM_COMMAND, 0, static_cast<UINT>(id), [](CWnd* w, WPARAM, LPARAM) -> LRESULT {                    \
     static_cast<ThisClass*>(w)->memberFxn();                                                       \
     return 0;                                                                                      \
   }},
#define ON_BN_CLICKED(id, memberFxn)                                                                \
  {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id), [](CWnd* w, WPARAM, LPARAM) -> LRESULT {            \
     static_cast<ThisClass*>(w)->memberFxn();                                                       \
     return 0;                                                                                      \
   }},
#define ON_WM_PAINT()                                                                               \
  {WM_PAINT, 0, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT {                                         \
     static_cast<ThisClass*>(w)->OnPaint();                                                         \
     return 0;                                                                                      \
   }},
#define ON_WM_QUERYDRAGICON()                                                                       \
  {WM_QUERYDRAGICON, 0, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT {                                 \
     return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(w)->OnQueryDragIcon());               \
   }},
#define ON_WM_CREATE()                                                                              \
  {WM_CREATE, 0, 0, [](CWnd* w, WPARAM, LPARAM lp) -> LRESULT {                                     \
     return static_cast<ThisClass*>(w)->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lp));             \
   }},
#define ON_WM_NCHITTEST()                                                                           \
  {WM_NCHITTEST, 0, 0, [](CWnd* w, WPARAM, LPARAM lp) -> LRESULT {                                  \
     return static_cast<ThisClass*>(w)->OnNcHitTest(CPoint(lp));                                    \
   }},
#define ON_WM_MOVE()                                                                                \
  {WM_MOVE, 0, 0, [](CWnd* w, WPARAM, LPARAM lp) -> LRESULT {                                       \
     static_cast<ThisClass*>(w)->OnMove(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));                        \
     return 0;                                                                                      \
   }},
#define ON_WM_SHOWWINDOW()                                                                          \
  {WM_SHOWWINDOW, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                              \
     static_cast<ThisClass*>(w)->OnShowWindow(static_cast<BOOL>(wp), static_cast<UINT>(lp));        \
     return 0;                                                                                      \
   }},
#define ON_WM_CLOSE()                                                                               \
  {WM_CLOSE, 0, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT {                                         \
     static_cast<ThisClass*>(w)->OnClose();                                                         \
     return 0;                                                                                      \
   }},
#define ON_WM_CTLCOLOR()                                                                            \
  {WM_CTLCOLOR, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                                \
     auto* req = reinterpret_cast<CtlColorRequest*>(lp);                                            \
     (void)wp;                                                                                      \
     return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(w)->OnCtlColor(                       \
         CDC::FromHandle(req->hdc), CWnd::FromHandle(req->hwnd), req->kind));                       \
   }},
#define ON_WM_MOUSEMOVE()                                                                           \
  {WM_MOUSEMOVE, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                               \
     static_cast<ThisClass*>(w)->OnMouseMove(static_cast<UINT>(wp), CPoint(lp));                    \
     return 0;                                                                                      \
   }},
#define ON_WM_MOUSELEAVE()                                                                          \
  {WM_MOUSELEAVE, 0, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT {                                    \
     static_cast<ThisClass*>(w)->OnMouseLeave();                                                    \
     return 0;                                                                                      \
   }},
#define ON_WM_LBUTTONDOWN()                                                                         \
  {WM_LBUTTONDOWN, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                             \
     static_cast<ThisClass*>(w)->OnLButtonDown(static_cast<UINT>(wp), CPoint(lp));                  \
     return 0;                                                                                      \
   }},
#define ON_WM_LBUTTONUP()                                                                           \
  {WM_LBUTTONUP, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                               \
     static_cast<ThisClass*>(w)->OnLButtonUp(static_cast<UINT>(wp), CPoint(lp));                    \
     return 0;                                                                                      \
   }},
#define ON_WM_SETCURSOR()                                                                           \
  {WM_SETCURSOR, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                               \
     return static_cast<ThisClass*>(w)->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wp)),    \
                                                    LOWORD(static_cast<uintptr_t>(lp)),             \
                                                    HIWORD(static_cast<uintptr_t>(lp)));            \
   }},
#define ON_WM_ERASEBKGND()                                                                          \
  {WM_ERASEBKGND, 0, 0, [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT {                                 \
     return static_cast<ThisClass*>(w)->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wp)));    \
   }},

// WM_CTLCOLORxxx carry the device context and the control; the message map
// sees them as one WM_CTLCOLOR row with the kind (CTLCOLOR_xxx).
struct CtlColorRequest {
  HDC hdc;
  HWND hwnd;
  UINT kind;
};

class CDialog : public CWnd {
 public:
  CDialog();
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  ~CDialog() override;

  // Runs the dialog modally: answers the EndDialog result, or -1 when the
  // dialog could not be created or a quit request ended the run (the
  // request then stays pending).
  virtual INT_PTR DoModal();
  // Creates a modeless dialog from a template.
  virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
  void EndDialog(int result);
  BOOL UpdateData(BOOL save = TRUE);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange*) {}

  static const AFX_MSGMAP* GetThisMessageMap();
  const AFX_MSGMAP* GetMessageMap() const override;

  UINT m_nIDHelp = 0;
  CWnd* m_pParentWnd = nullptr;

 protected:
  LRESULT HandleInitDialog(WPARAM, LPARAM);
  BOOL CreateFromTemplate(UINT templateId, CWnd* parent, CWnd* owner);

 private:
  bool m_modal = false;
  bool m_ended = false;
  int m_nModalResult = -1;
};

class CDialogEx : public CDialog {
 public:
  CDialogEx() = default;
  explicit CDialogEx(UINT templateId, CWnd* parent = nullptr) : CDialog(templateId, parent) {}
};

class CButton : public CWnd {
 public:
  // Paints an owner-drawn button; called with the parent's WM_DRAWITEM.
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  UINT GetState() const;
};

class CStatic : public CWnd {};

// Ids of dialog items that name ActiveX controls by CLSID are created
// through this hook (the control container); without one they are skipped.
struct DialogItemTemplate;
using ControlContainerHook = std::function<BOOL(CWnd* dialog, const DialogItemTemplate& item, const RECT& rect)>;
void SetControlContainerHook(ControlContainerHook hook);
