#include "launch/game_start.h"

#include "app/login_app.h"
#include "launch/app_directory.h"
#include "launch/launcher.h"
#include "launch/login_result.h"
#include "text.h"

void SetLaunchArgs(const wchar_t* text) { theApp.m_strLaunchArgs = CW2A(text).str(); }

void StartGame() { StartGameWith(theApp.m_strLaunchArgs, DefaultLaunchSettings()); }

void RunLauncher(const wchar_t* args) { RunLauncherIn(GetAppDirectory(), args); }

void ProcessLoginResult(const CString& payload, const std::function<void()>& clearLinkHooks) {
  ProcessLoginResultWith(
      payload,
      [](const CString& launchArgs) {
        SetLaunchArgs(launchArgs);
        StartGame();
      },
      clearLinkHooks);
}
