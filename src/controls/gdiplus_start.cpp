#include "controls/gdiplus_start.h"

#include "controls/png_button.h"
#include "framework/message_box.h"

bool StartGdiplusForButton(CPngButton& button) {
  Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, background thread and codecs on
  if (Gdiplus::GdiplusStartup(&button.m_gdiplusToken, &input, nullptr) == Gdiplus::Ok) return true;
  MessageBoxW(nullptr, L"Initialize GDI+ library failed", L"Error", MB_ICONERROR);
  return false;
}
