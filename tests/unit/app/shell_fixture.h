// Runs the real application object on the headless backend with the
// in-memory browser standing in for the web view. A test gives the steps
// to take once the shell is up; the run ends when a step posts a quit or
// closes the main window.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/login_app.h"
#include "browser/scripted_browser.h"
#include "framework/headless_backend.h"
#include "mainwnd/login_dlg.h"
#include "panel/login_active_dlg.h"

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs InitInstance; `whileRunning` is called once the windows are up
  // (later idle calls end the run with a quit request if it is still going).
  // Answers the exit status the process would have.
  int RunShell(const std::function<void()>& whileRunning);

  CLoginDlg* MainDialog() const;
  CLoginActiveDlg* Panel() const;
  CRect MainRect() const;
  CRect PanelRect() const;

  HeadlessBackend* backend = nullptr;
  ScriptedBrowser* browser = nullptr;  // the panel's browser while the shell runs
  std::string workDir;
};
