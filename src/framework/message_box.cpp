#include "message_box.h"

#include "backend.h"
#include "runtime.h"

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  if (QuitPending()) return IDOK;
  return CurrentBackend()->ShowMessageBox(owner, text ? text : L"", caption ? caption : L"Error", type);
}
