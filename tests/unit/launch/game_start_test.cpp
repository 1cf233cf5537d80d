// The application-wide entry points, end to end in one process: the
// launch-argument text kept in theApp, the launcher fetched into the
// running executable's own directory and started from there. This program
// is built into a directory of its own, so the launcher it fetches there is
// its alone; one test does the whole sequence, so no two runs share it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/login_app.h"
#include "headless_backend.h"
#include "launch/app_directory.h"
#include "launch/game_start.h"
#include "launch/launcher.h"
#include "launch/login_result.h"
#include "launch_test_support.h"
#include "loopback_http_server.h"
#include "runtime.h"
#include "text.h"

namespace {

std::vector<std::string> Strings(const Json::Value& array) {
  std::vector<std::string> out;
  for (const Json::Value& v : array) out.push_back(v.asString());
  return out;
}

TEST(GameStart, FromLoginToStartedLauncher) {
  HeadlessBackend* backend = HeadlessBackend::Install();
  ClearQuitRequest();
  TempDir work;
  ScopedCurrentDirectory cwd(work.Path());
  const std::string record = work / "record.json";
  ScopedEnvironment recordVariable("QUORIN_TEST_LAUNCHER_RECORD", record.c_str());
  ScriptedReply launcher;
  launcher.body = ReadFileBytes(TestLauncherProgram());
  LoopbackHttpServer server({{kLauncherObjectPath, launcher}});
  ScopedEnvironment host("QUORIN_DOWNLOAD_HOST", server.HostPort().c_str());

  const std::string appDir = NarrowText(GetAppDirectory());
  const std::string launcherPath = appDir + "/tavrek_launch.exe";
  ASSERT_EQ(appDir, std::filesystem::canonical(GAME_START_TEST_DIR).string());
  std::filesystem::remove(launcherPath);

  // Nothing stored yet: the command line is the quoted path alone.
  EXPECT_TRUE(theApp.m_strLaunchArgs.empty());
  StartGame();
  Json::Value first = WaitForLauncherRecord(record);
  ASSERT_TRUE(first.isObject());
  EXPECT_EQ(first["command_line"].asString(), "\"" + launcherPath + "\"");
  EXPECT_EQ(Strings(first["argv"]), std::vector<std::string>{launcherPath});
  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(QuitExitCode(), 16);
  ClearQuitRequest();

  // A login: the text is stored, the launcher (now present) started with it.
  std::filesystem::remove(record);
  int hookClears = 0;
  ProcessLoginResult(CString(L"{\"uid\":\"玩家 1\",\"token\":\"t&k\",\"server_id\":7,\"other\":\"o\",\"sign\":\"s\"}"),
                     [&] { ++hookClears; });
  Json::Value second = WaitForLauncherRecord(record);
  ASSERT_TRUE(second.isObject());
  EXPECT_EQ(theApp.m_strLaunchArgs, " ,id^玩家 1,auth_key^t&k&7&o&s");
  EXPECT_EQ(second["command_line"].asString(), "\"" + launcherPath + "\" ,id^玩家 1,auth_key^t&k&7&o&s");
  EXPECT_EQ(Strings(second["argv"]), (std::vector<std::string>{launcherPath, ",id^玩家", "1,auth_key^t&k&7&o&s"}));
  EXPECT_EQ(second["cwd"].asString(), std::filesystem::canonical(work.Path()).string());
  EXPECT_EQ(server.Requests().size(), 1u);  // present: not fetched again
  EXPECT_EQ(hookClears, 1);
  EXPECT_EQ(QuitExitCode(), 16);
  EXPECT_EQ(ReadFileBytes("log.txt"),
            "{\"uid\":\"玩家 1\",\"token\":\"t&k\",\"server_id\":7,\"other\":\"o\",\"sign\":\"s\"}\nt&k&7&o&s\n");
  EXPECT_TRUE(backend->MessageBoxes().empty());

  // SetLaunchArgs replaces the text whole.
  SetLaunchArgs(L"x");
  EXPECT_EQ(theApp.m_strLaunchArgs, "x");
  ClearQuitRequest();
  std::filesystem::remove(launcherPath);
}

}  // namespace
