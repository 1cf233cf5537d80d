// The headless backend: no display. Tests inject pointer and key input,
// drive a virtual clock, answer message boxes and read the pixels that
// would be on screen. A loop that would wait with nothing to do calls the
// test's idle handler; without one the test fails at once instead of
// hanging.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "backend.h"
#include "runtime.h"

class HeadlessBackend : public Backend {
 public:
  explicit HeadlessBackend(int screenWidth = 1920, int screenHeight = 1080);
  // Makes a new headless backend current and returns it.
  static HeadlessBackend* Install(int screenWidth = 1920, int screenHeight = 1080);

  const char* Name() const override { return "headless"; }
  void WaitForEvents(int timeoutMs) override;
  void Wake() override {}
  uint64_t NowMs() override { return m_now; }
  int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override;
  SIZE ScreenSize() override { return m_screen; }
  void SetCursorShape(HWND, uintptr_t cursorId) override { m_cursor = cursorId; }

  // Input, in screen pixels. Each call delivers at once.
  void MovePointer(int x, int y);
  void PressButton();
  void ReleaseButton();
  void Click(int x, int y);
  void DoubleClick(int x, int y);
  void Drag(int fromX, int fromY, int toX, int toY, int steps = 4);
  void Key(UINT virtualKey, bool alt = false);
  // Moves the clock on and fires the timers that fall due.
  void AdvanceTime(int ms);
  // Delivers posted messages, due timers and painting (see PumpPendingWork).
  void Pump() { PumpPendingWork(); }

  // Called whenever a loop has nothing to do.
  void SetIdleHandler(std::function<void()> handler) { m_idle = std::move(handler); }

  struct MessageBoxRecord {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
  };
  const std::vector<MessageBoxRecord>& MessageBoxes() const { return m_boxes; }
  void ClearMessageBoxes() { m_boxes.clear(); }
  // How boxes are answered (default: IDOK).
  void SetMessageBoxAnswer(std::function<int(const MessageBoxRecord&)> answer) { m_answer = std::move(answer); }

  // What the screen shows at a point: the top-level windows composed over
  // a black desktop, as 0xAARRGGBB.
  uint32_t ScreenPixel(int x, int y);
  uintptr_t CursorShape() const { return m_cursor; }
  POINT PointerPosition() const { return m_pointer; }

 private:
  SIZE m_screen;
  uint64_t m_now = 1000;
  POINT m_pointer{0, 0};
  bool m_buttonDown = false;
  uintptr_t m_cursor = 0;
  std::function<void()> m_idle;
  std::vector<MessageBoxRecord> m_boxes;
  std::function<int(const MessageBoxRecord&)> m_answer;
};
