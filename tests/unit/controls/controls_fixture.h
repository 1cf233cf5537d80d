// A fresh headless screen for each test, with the controls' pictures and
// templates registered under a resource module of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <list>
#include <vector>

#include "framework/app.h"
#include "framework/dialog_template.h"
#include "framework/gdiplus.h"
#include "framework/headless_backend.h"
#include "framework/resources.h"
#include "framework/runtime.h"
#include "framework/window.h"
#include "test_art.h"

inline HMODULE ControlsTestModule() { return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x7E5C0000)); }

// The face colour the framework's dialogs erase their background with.
inline uint32_t DialogFace() { return Argb(240, 240, 240); }

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    backend = HeadlessBackend::Install(1920, 1080);
    ClearQuitRequest();
    AfxSetResourceHandle(ControlsTestModule());
  }
  void TearDown() override {
    for (auto& r : m_registered) UnregisterResource(ControlsTestModule(), r.type, r.id);
    AfxSetResourceHandle(nullptr);
    Gdiplus::SetGdiplusStartupFailsForTesting(false);
    ClearQuitRequest();
  }

  // Registers bytes (kept alive by the fixture) as a resource of the test
  // module until the test ends.
  void AddResource(LPCWSTR type, UINT id, std::vector<unsigned char> bytes) {
    m_bytes.push_back(std::move(bytes));
    RegisterResource(ControlsTestModule(), type, id, m_bytes.back().data(), m_bytes.back().size());
    m_registered.push_back({type, id});
  }
  void AddPng(UINT id, std::vector<unsigned char> bytes) { AddResource(L"PNG", id, std::move(bytes)); }
  void AddDialog(UINT id, const DialogTemplate* t) {
    RegisterResource(ControlsTestModule(), RT_DIALOG, id, t, sizeof *t);
    m_registered.push_back({RT_DIALOG, id});
  }
  void Remove(LPCWSTR type, UINT id) { UnregisterResource(ControlsTestModule(), type, id); }

  HeadlessBackend* backend = nullptr;

 private:
  struct Registered {
    LPCWSTR type;
    UINT id;
  };
  std::list<std::vector<unsigned char>> m_bytes;
  std::vector<Registered> m_registered;
};
