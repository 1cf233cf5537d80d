// The game launcher: where it lies, where it is fetched from, and how it is
// started. The functions here take everything they use as arguments; the
// application-wide entry points are in game_start.h.
#pragma once

#include <string>

#include "http_client.h"

constexpr const wchar_t* kLauncherFileName = L"tavrek_launch.exe";
constexpr const char* kLauncherObjectPath = "/velmar2/quorin_web/tavrek_launch.exe";
// Exit code of the quit request posted after every start attempt.
constexpr int kLaunchQuitCode = 16;

struct LaunchSettings {
  std::wstring appDirectory;  // the launcher lies here
  std::string downloadUrl;    // fetched from here when it is missing
  HttpLimits limits;
};

// "http://" + the download host + the launcher's object path.
std::string LauncherDownloadUrl();
// The running shell's settings: its own directory, the configured host.
LaunchSettings DefaultLaunchSettings();

// appDirectory + "/" + "tavrek_launch.exe".
std::wstring LauncherPathIn(const std::wstring& appDirectory);

// The narrow command line: the quoted launcher path, then args unchanged.
std::string LauncherCommandLine(const std::wstring& appDirectory, const wchar_t* args);

// Starts the launcher in appDirectory with args; shows the start-failure
// box when it could not be started; posts the quit request (16) either way.
void RunLauncherIn(const std::wstring& appDirectory, const wchar_t* args);

// Makes sure the launcher is there (fetching it when missing), then runs it
// with args. A failed download starts nothing and posts nothing.
void StartGameWith(const std::string& args, const LaunchSettings& settings);
