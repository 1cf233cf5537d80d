#include "launch/launcher.h"

#include "hosts.h"
#include "launch/app_directory.h"
#include "launch/launcher_download.h"
#include "message_box.h"
#include "messages.h"
#include "module_path.h"
#include "process.h"
#include "runtime.h"
#include "text.h"

std::string LauncherDownloadUrl() { return "http://" + DownloadHost() + kLauncherObjectPath; }

LaunchSettings DefaultLaunchSettings() {
  LaunchSettings settings;
  settings.appDirectory = GetAppDirectory();
  settings.downloadUrl = LauncherDownloadUrl();
  return settings;
}

std::wstring LauncherPathIn(const std::wstring& appDirectory) { return appDirectory + L"/" + kLauncherFileName; }

std::string LauncherCommandLine(const std::wstring& appDirectory, const wchar_t* args) {
  std::wstring quotedPath = L"\"" + LauncherPathIn(appDirectory) + L"\"";
  return CW2A(quotedPath.c_str()).str() + CW2A(args).str();
}

void RunLauncherIn(const std::wstring& appDirectory, const wchar_t* args) {
  std::string commandLine = LauncherCommandLine(appDirectory, args);
  if (WinExec(commandLine.c_str(), SW_SHOW) <= 31)
    MessageBoxW(nullptr, L"启动游戏失败，请重新启动！", L"【启动失败】", MB_OK);
  PostQuitMessage(kLaunchQuitCode);
}

void StartGameWith(const std::string& args, const LaunchSettings& settings) {
  std::wstring launcherPath = LauncherPathIn(settings.appDirectory);
  if (!PathFileExistsW(launcherPath.c_str()) && !DownloadLauncher(launcherPath, settings.downloadUrl, settings.limits))
    return;
  RunLauncherIn(settings.appDirectory, CA2W(args.c_str()));
}
