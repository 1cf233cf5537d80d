// Starting the launcher for real: the test launcher records the argv, the
// command line, working directory, session and descriptors it was started
// with. No value on the command line may run anything.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "headless_backend.h"
#include "launch/launcher.h"
#include "launch_test_support.h"
#include "loopback_http_server.h"
#include "runtime.h"
#include "text.h"

namespace {

namespace fs = std::filesystem;

const std::wstring kFailureText = L"启动游戏失败，请重新启动！";
const std::wstring kFailureCaption = L"【启动失败】";

std::vector<std::string> Strings(const Json::Value& array) {
  std::vector<std::string> out;
  for (const Json::Value& v : array) out.push_back(v.asString());
  return out;
}

class LauncherStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_backend = HeadlessBackend::Install();
    ClearQuitRequest();
    fs::create_directory(m_appDir);
    m_settings.appDirectory = WidenText(m_appDir);
    m_settings.limits.connectTimeoutMs = 2000;
    m_settings.limits.stallTimeoutMs = 500;
  }
  void TearDown() override { ClearQuitRequest(); }

  std::string LauncherPath() const { return m_appDir + "/tavrek_launch.exe"; }
  void InstallTestLauncher() { fs::copy_file(TestLauncherProgram(), LauncherPath(), fs::copy_options::overwrite_existing); }

  // Runs the start and answers the launcher's record (null if it never ran).
  Json::Value Start(const std::string& args) {
    fs::remove(m_record);
    StartGameWith(args, m_settings);
    return QuitPending() ? WaitForLauncherRecord(m_record) : Json::Value();
  }

  HeadlessBackend* m_backend = nullptr;
  TempDir m_root;
  TempDir m_work;
  ScopedCurrentDirectory m_cwd{m_work.Path()};
  std::string m_appDir = m_root / "game dir";  // a space in the launcher's path
  std::string m_record = m_work / "record.json";
  ScopedEnvironment m_recordVariable{"QUORIN_TEST_LAUNCHER_RECORD", m_record.c_str()};
  LaunchSettings m_settings;
};

TEST_F(LauncherStartTest, ArgvTable) {
  InstallTestLauncher();
  LoopbackHttpServer server({});  // must not be asked: the launcher is there
  m_settings.downloadUrl = server.Url(kLauncherObjectPath);
  const std::string path = LauncherPath();
  const struct {
    const char* name;
    std::string args;
    std::vector<std::string> argv;  // the whole argv the launcher sees
  } cases[] = {
      {"login text", " ,id^1001,auth_key^tok&7&x&sig", {path, ",id^1001,auth_key^tok&7&x&sig"}},
      {"no text", "", {path}},
      {"spaces split", " ,id^a b,auth_key^t&1&o&s", {path, ",id^a", "b,auth_key^t&1&o&s"}},
      {"quotes group", " ,id^\"a b\",auth_key^t", {path, ",id^a b,auth_key^t"}},
      {"backslashes", " ,id^C:\\dir\\,auth_key^\\\"x\\\\\" y", {path, ",id^C:\\dir\\,auth_key^\"x\\ y"}},
      {"shell syntax stays text",
       " $(touch pwned1) ; touch pwned2 && touch pwned3 | tee pwned4 `touch pwned5` > pwned6",
       {path, "$(touch", "pwned1)", ";", "touch", "pwned2", "&&", "touch", "pwned3", "|", "tee", "pwned4", "`touch",
        "pwned5`", ">", "pwned6"}},
      {"cmd syntax stays text", " a^b&c,d %PATH% !x! <in", {path, "a^b&c,d", "%PATH%", "!x!", "<in"}},
      {"text joined to the quoted path", "joined text", {path + "joined", "text"}},
      {"non-ASCII", " 玩家 😀", {path, "玩家", "😀"}},
      {"unterminated quote", " \"open quote", {path, "open quote"}},
      {"empty quoted argument", " \"\" x", {path, "", "x"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Json::Value record = Start(c.args);
    ASSERT_TRUE(record.isObject()) << "the launcher did not run";
    EXPECT_EQ(Strings(record["argv"]), c.argv);
    EXPECT_EQ(record["command_line"].asString(), "\"" + path + "\"" + c.args);
    EXPECT_EQ(record["cwd"].asString(), fs::canonical(m_work.Path()).string());
    EXPECT_EQ(record["sid"].asInt(), record["pid"].asInt());  // a session of its own
    EXPECT_EQ(QuitExitCode(), 16);
    EXPECT_TRUE(m_backend->MessageBoxes().empty());
    ClearQuitRequest();
    // Once it has ended the launcher is collected: no zombie stays behind.
    const std::string proc = "/proc/" + std::to_string(record["pid"].asInt());
    for (int i = 0; i < 500 && fs::exists(proc); ++i) usleep(10000);
    EXPECT_FALSE(fs::exists(proc)) << "the ended launcher is still listed";
  }
  EXPECT_TRUE(server.Requests().empty());
  for (const std::string& dir : {m_work.Path(), m_appDir})
    for (const std::string& name : DirectoryEntries(dir)) EXPECT_EQ(name.find("pwned"), std::string::npos) << name;
}

TEST_F(LauncherStartTest, LauncherInheritsOnlyStandardDescriptors) {
  InstallTestLauncher();
  int leaked = open(m_record.c_str(), O_WRONLY | O_CREAT, 0644);  // no close-on-exec
  ASSERT_GE(leaked, 3);
  Json::Value record = Start(" ,id^1");
  close(leaked);
  ASSERT_TRUE(record.isObject());
  for (const Json::Value& fd : record["fds"]) EXPECT_LE(fd.asInt(), 2);
}

TEST_F(LauncherStartTest, MissingLauncherIsFetchedThenStarted) {
  ScriptedReply launcher;
  launcher.body = ReadFileBytes(TestLauncherProgram());
  LoopbackHttpServer server({{kLauncherObjectPath, launcher}});
  m_settings.downloadUrl = server.Url(kLauncherObjectPath);

  Json::Value record = Start(" ,id^7,auth_key^t&1&o&s");
  ASSERT_TRUE(record.isObject());
  EXPECT_EQ(Strings(record["argv"]), (std::vector<std::string>{LauncherPath(), ",id^7,auth_key^t&1&o&s"}));
  EXPECT_EQ(FileMode(LauncherPath()), 0755u);
  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(QuitExitCode(), 16);
  EXPECT_TRUE(m_backend->MessageBoxes().empty());
}

TEST_F(LauncherStartTest, FailedDownloadStartsNothingAndDoesNotQuit) {
  ScriptedReply missing;
  missing.status = 404;
  LoopbackHttpServer server({{kLauncherObjectPath, missing}});
  const std::string urls[] = {server.Url(kLauncherObjectPath),
                              "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + kLauncherObjectPath};
  for (const std::string& url : urls) {
    SCOPED_TRACE(url);
    m_settings.downloadUrl = url;
    StartGameWith(" ,id^1", m_settings);
    EXPECT_FALSE(QuitPending());
    EXPECT_TRUE(DirectoryEntries(m_appDir).empty());
    EXPECT_TRUE(m_backend->MessageBoxes().empty());
  }
}

// What lies at the launcher path cannot be started: the failure box comes
// first (the quit request is not pending yet, so it waits for the player),
// then the quit request all the same. A script without "#!" must not be
// handed to a shell.
TEST_F(LauncherStartTest, FailedStartShowsTheBoxThenQuits) {
  bool quitPendingAtBox = true;
  m_backend->SetMessageBoxAnswer([&](const HeadlessBackend::MessageBoxRecord&) {
    quitPendingAtBox = QuitPending();
    return IDOK;
  });
  const struct {
    const char* name;
    std::function<void(const std::string&)> make;
  } cases[] = {
      {"not executable", [](const std::string& p) { WriteFileBytes(p, "#!/bin/sh\ntouch pwned\n", 0644); }},
      {"no known format", [](const std::string& p) { WriteFileBytes(p, "touch pwned\n", 0755); }},
      {"a directory", [](const std::string& p) { fs::create_directory(p); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(LauncherPath());
    c.make(LauncherPath());
    m_backend->ClearMessageBoxes();
    quitPendingAtBox = true;
    StartGameWith(" ,id^1", m_settings);
    ASSERT_EQ(m_backend->MessageBoxes().size(), 1u);
    EXPECT_EQ(m_backend->MessageBoxes()[0].text, kFailureText);
    EXPECT_EQ(m_backend->MessageBoxes()[0].caption, kFailureCaption);
    EXPECT_EQ(m_backend->MessageBoxes()[0].owner, nullptr);
    EXPECT_FALSE(quitPendingAtBox);
    EXPECT_TRUE(QuitPending());
    EXPECT_EQ(QuitExitCode(), 16);
    EXPECT_FALSE(FileExists(m_work / "pwned"));
    ClearQuitRequest();
  }
}

// A Windows launcher ("MZ") runs through wine: wine gets the launcher's
// path and argv[1] onward. Here "wine" is the test launcher.
TEST_F(LauncherStartTest, WindowsLauncherRunsThroughWine) {
  TempDir bin;
  std::string wine = bin / "wine";
  fs::copy_file(TestLauncherProgram(), wine);
  ScopedEnvironment path("PATH", bin.Path().c_str());
  WriteFileBytes(LauncherPath(), std::string("MZ\x90\0\3\0\0\0", 8), 0755);

  const std::string args = " ,id^a b,auth_key^\"q q\"&1";
  Json::Value record = Start(args);
  ASSERT_TRUE(record.isObject());
  EXPECT_EQ(Strings(record["argv"]), (std::vector<std::string>{wine, LauncherPath(), ",id^a", "b,auth_key^q q&1"}));
  EXPECT_EQ(record["command_line"].asString(), "\"" + LauncherPath() + "\"" + args);
  EXPECT_TRUE(m_backend->MessageBoxes().empty());
}

}  // namespace
