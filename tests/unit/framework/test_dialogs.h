// Small dialogs registered under the executable's module for the tests.
#pragma once

#include "framework/app.h"
#include "framework/dialog_template.h"
#include "framework/headless_backend.h"
#include "framework/resources.h"
#include "framework/runtime.h"
#include "framework/window.h"

constexpr UINT kTestDialog = 9001;  // pop-up with an OK button (id 1) and a push button (id 50)

inline void RegisterTestDialogs() {
  static const DialogItemTemplate items[] = {
      {IDOK, L"Button", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 10, 10, 40, 14, nullptr, 0},
      {50, L"Button", L"Other", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 60, 10, 40, 14, nullptr, 0},
  };
  static const DialogTemplate dialog{WS_POPUP | WS_VISIBLE | DS_SETFONT, 0, 0, 0, 120, 60, L"Test", L"MS Shell Dlg", 9, 400,
                                     0, items, 2};
  RegisterResource(AfxGetInstanceHandle(), RT_DIALOG, kTestDialog, &dialog, sizeof dialog);
}

// Each test starts on a fresh headless screen with no quit request.
class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    backend = HeadlessBackend::Install(1920, 1080);
    ClearQuitRequest();
    RegisterTestDialogs();
  }
  void TearDown() override { ClearQuitRequest(); }
  HeadlessBackend* backend = nullptr;
};
