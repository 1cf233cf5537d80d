#include <algorithm>

#include "app.h"
#include "backend.h"
#include "dialog_template.h"
#include "resources.h"
#include "runtime.h"
#include "window.h"
#include "window_internal.h"
#include "window_query.h"

namespace {

ControlContainerHook& ContainerHook() {
  static ControlContainerHook hook;
  return hook;
}

// Point size to pixel height at 96 pixels per inch.
int PointsToPixels(int points) { return (points * 96 + 36) / 72; }

}  // namespace

void SetControlContainerHook(ControlContainerHook hook) { ContainerHook() = std::move(hook); }

SIZE DialogBaseUnits(const DialogTemplate& t) {
  HFONT font = CreateFontForFace(t.fontName ? t.fontName : L"MS Shell Dlg", PointsToPixels(t.pointSize ? t.pointSize : 8),
                                 t.weight ? t.weight : FW_NORMAL);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, font);
  static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  RECT r{0, 0, 10000, 1000};
  DrawTextW(dc, kLetters, 52, &r, DT_SINGLELINE | 0x400 /* DT_CALCRECT */);
  DeleteDC(dc);
  DeleteObject(font);
  LONG width = r.right - r.left, height = r.bottom - r.top;
  SIZE units{static_cast<LONG>((width / 26 + 1) / 2), height};
  if (units.cx <= 0) units.cx = 6;
  if (units.cy <= 0) units.cy = 13;
  return units;
}

RECT DialogUnitsToPixels(const DialogTemplate& t, short x, short y, short cx, short cy) {
  SIZE u = DialogBaseUnits(t);
  LONG px = x * u.cx / 4, py = y * u.cy / 8;
  return RECT{px, py, px + cx * u.cx / 4, py + cy * u.cy / 8};
}

// ---------------------------------------------------------------------------

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDHelp(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
  if (m_hWnd) DestroyWindow();
}

BOOL CDialog::CreateFromTemplate(UINT templateId, CWnd* parent, CWnd* owner) {
  HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(templateId), RT_DIALOG);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(templateId), RT_DIALOG);
  const auto* t = static_cast<const DialogTemplate*>(LockResource(LoadResource(module, found)));
  if (!t) return FALSE;
  m_nIDHelp = templateId;
  RECT rect = DialogUnitsToPixels(*t, t->x, t->y, t->cx, t->cy);
  DWORD style = t->style & ~WS_VISIBLE;
  if (!CreateEx(t->exStyle, L"#32770", t->caption ? t->caption : L"", style, rect, parent, 0, owner)) return FALSE;
  HWND self = m_hWnd;
  HFONT font = CreateFontForFace(t->fontName ? t->fontName : L"MS Shell Dlg", PointsToPixels(t->pointSize ? t->pointSize : 8),
                                 t->weight ? t->weight : FW_NORMAL);
  ::SendMessageW(self, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  AddDestroyHook(self, [font] { DeleteObject(font); });
  HWND firstTabStop = nullptr;
  for (size_t i = 0; i < t->itemCount; ++i) {
    const DialogItemTemplate& item = t->items[i];
    RECT r = DialogUnitsToPixels(*t, item.x, item.y, item.cx, item.cy);
    if (item.className && item.className[0] == L'{') {
      // ActiveX controls are the control container's business.
      if (ContainerHook()) ContainerHook()(this, item, r);
      continue;
    }
    HWND child = CreateFrameworkWindow(item.exStyle, item.className, item.text, item.style | WS_CHILD, r, self, item.id);
    if (!child) continue;
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (!firstTabStop && (item.style & WS_TABSTOP)) firstTabStop = child;
  }
  if (!IsWindow(self)) return FALSE;
  if (::SendMessageW(self, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop), 0) && firstTabStop && IsWindow(firstTabStop))
    ::SetFocus(firstTabStop);
  if (!IsWindow(self)) return FALSE;
  if (t->style & WS_VISIBLE) ::ShowWindow(self, SW_SHOWNORMAL);
  return TRUE;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  m_pParentWnd = parent;
  m_modal = false;
  return CreateFromTemplate(templateId, parent, nullptr);
}

INT_PTR CDialog::DoModal() {
  // The owner: the given parent's top-level window, else the application's
  // main window's most recently used pop-up.
  HWND owner = m_pParentWnd ? TopLevelOf(m_pParentWnd->m_hWnd) : nullptr;
  if (!owner) {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd && app->m_pMainWnd != this && IsWindow(app->m_pMainWnd->m_hWnd)) {
      HWND main = app->m_pMainWnd->m_hWnd;
      HWND last = LastActiveTopLevel();
      owner = main;
      for (HWND o = last; o; o = OwnerOf(o))
        if (o == main && ::IsWindowVisible(last)) {
          owner = last;
          break;
        }
    }
  }
  if (QuitPending()) return -1;
  bool disabledOwner = owner && ::IsWindowEnabled(owner);
  if (disabledOwner) ::EnableWindow(owner, FALSE);
  m_modal = true;
  m_ended = false;
  m_nModalResult = -1;
  if (!CreateFromTemplate(m_nIDHelp, nullptr, CWnd::FromHandle(owner))) {
    if (disabledOwner) ::EnableWindow(owner, TRUE);
    if (m_hWnd) DestroyWindow();
    return -1;
  }
  bool ended = RunMessageLoop([this] { return m_ended || !m_hWnd; });
  int result = ended ? m_nModalResult : -1;
  if (disabledOwner && IsWindow(owner)) ::EnableWindow(owner, TRUE);
  if (m_hWnd) {
    ::ShowWindow(m_hWnd, SW_HIDE);
    DestroyWindow();
  }
  m_modal = false;
  return result;
}

void CDialog::EndDialog(int result) {
  m_nModalResult = result;
  m_ended = true;
  if (!m_modal && m_hWnd) DestroyWindow();
  if (Backend* backend = CurrentBackend()) backend->Wake();
}

BOOL CDialog::UpdateData(BOOL save) {
  CDataExchange dx(this, save);
  DoDataExchange(&dx);
  return TRUE;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  UpdateData(TRUE);
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()
