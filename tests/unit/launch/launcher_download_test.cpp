// Fetching the launcher: only a whole 200 body ends up at the launcher
// path (executable); every failure leaves the directory as it was, and only
// file errors show a box.
#include <gtest/gtest.h>
#include <unistd.h>

#include "headless_backend.h"
#include "launch/launcher.h"
#include "launch/launcher_download.h"
#include "launch_test_support.h"
#include "loopback_http_server.h"
#include "runtime.h"
#include "text.h"

namespace {

std::string LauncherBytes(size_t size) {
  std::string bytes = "\x7f" "ELF";
  bytes.resize(size);
  for (size_t i = 4; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

HttpLimits QuickLimits() {
  HttpLimits limits;
  limits.connectTimeoutMs = 2000;
  limits.stallTimeoutMs = 500;
  return limits;
}

class LauncherDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_backend = HeadlessBackend::Install();
    ClearQuitRequest();
  }
  void TearDown() override { ClearQuitRequest(); }

  std::string LauncherPath() const { return m_dir / "tavrek_launch.exe"; }

  HeadlessBackend* m_backend = nullptr;
  TempDir m_dir;
};

TEST_F(LauncherDownloadTest, OnlyAWholeBodyBecomesTheLauncher) {
  const std::string body = LauncherBytes(600 * 1024);
  ScriptedReply noLength = Reply(200, body);
  noLength.declaredLength = -2;
  ScriptedReply moved = Reply(302, "");
  moved.location = "/mirror/tavrek_launch.exe";
  ScriptedReply truncated = Reply(200, body);
  truncated.closeAfter = static_cast<long long>(body.size()) - 1;
  ScriptedReply stalled = Reply(200, body);
  stalled.stallAfter = 4096;

  const struct {
    const char* name;
    ScriptedReply reply;
    bool fetched;
  } cases[] = {
      {"200 with its length", Reply(200, body), true},
      {"200 ended by the connection", noLength, true},
      {"redirect to the file", moved, true},
      {"404", Reply(404, "no such file"), false},
      {"500", Reply(500, body), false},
      {"200 with an empty body", Reply(200, ""), false},
      {"body one byte short", truncated, false},
      {"server stalls mid-body", stalled, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackHttpServer server({{kLauncherObjectPath, c.reply}, {"/mirror/tavrek_launch.exe", Reply(200, body)}});
    bool fetched = DownloadLauncher(WidenText(LauncherPath()), server.Url(kLauncherObjectPath), QuickLimits());
    EXPECT_EQ(fetched, c.fetched);
    if (c.fetched) {
      EXPECT_EQ(DirectoryEntries(m_dir.Path()), std::vector<std::string>{"tavrek_launch.exe"});
      EXPECT_TRUE(ReadFileBytes(LauncherPath()) == body);
      EXPECT_EQ(FileMode(LauncherPath()), 0755u);
    } else {
      EXPECT_TRUE(DirectoryEntries(m_dir.Path()).empty());  // no launcher, no temporary file
    }
    EXPECT_TRUE(m_backend->MessageBoxes().empty());
    EXPECT_FALSE(QuitPending());
    unlink(LauncherPath().c_str());
  }
}

TEST_F(LauncherDownloadTest, RefusedConnectionLeavesNothing) {
  std::string url = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + kLauncherObjectPath;
  EXPECT_FALSE(DownloadLauncher(WidenText(LauncherPath()), url, QuickLimits()));
  EXPECT_TRUE(DirectoryEntries(m_dir.Path()).empty());
  EXPECT_TRUE(m_backend->MessageBoxes().empty());
}

// A directory the launcher cannot be written to: the file-error box once
// for a 200, nothing for a 404 (no file is attempted then).
TEST_F(LauncherDownloadTest, UnwritableDirectoryShowsTheFileErrorBoxOnlyForA200) {
  ScriptedReply ok;
  ok.body = LauncherBytes(4096);
  ScriptedReply missing;
  missing.status = 404;
  LoopbackHttpServer okServer({{kLauncherObjectPath, ok}});
  LoopbackHttpServer missingServer({{kLauncherObjectPath, missing}});

  WriteFileBytes(m_dir / "plain-file", "x");
  std::vector<std::string> unwritable{m_dir / "plain-file"};  // a "directory" that is a file
  if (geteuid() != 0) {  // permissions do not stop root
    std::string readOnly = m_dir / "read-only";
    mkdir(readOnly.c_str(), 0555);
    unwritable.push_back(readOnly);
  }
  for (const std::string& dir : unwritable) {
    SCOPED_TRACE(dir);
    std::wstring launcher = WidenText(dir + "/tavrek_launch.exe");
    m_backend->ClearMessageBoxes();
    EXPECT_FALSE(DownloadLauncher(launcher, missingServer.Url(kLauncherObjectPath), QuickLimits()));
    EXPECT_TRUE(m_backend->MessageBoxes().empty());

    EXPECT_FALSE(DownloadLauncher(launcher, okServer.Url(kLauncherObjectPath), QuickLimits()));
    ASSERT_EQ(m_backend->MessageBoxes().size(), 1u);
    EXPECT_NE(m_backend->MessageBoxes()[0].text.find(WidenText(dir)), std::wstring::npos);
    EXPECT_FALSE(FileExists(dir + "/tavrek_launch.exe"));
    EXPECT_FALSE(QuitPending());
  }
}

TEST(LauncherLocation, DownloadUrlAndPaths) {
  ScopedEnvironment host("QUORIN_DOWNLOAD_HOST", "downloads.example:8080");
  EXPECT_EQ(LauncherDownloadUrl(), "http://downloads.example:8080/velmar2/quorin_web/tavrek_launch.exe");
  EXPECT_EQ(LauncherPathIn(L"/opt/quorin"), L"/opt/quorin/tavrek_launch.exe");
  EXPECT_EQ(LauncherCommandLine(L"/opt/game dir", L" ,id^1"), "\"/opt/game dir/tavrek_launch.exe\" ,id^1");
  EXPECT_EQ(LauncherCommandLine(L"/opt/q", L"joined"), "\"/opt/q/tavrek_launch.exe\"joined");
  EXPECT_EQ(LauncherCommandLine(L"/opt/q", L""), "\"/opt/q/tavrek_launch.exe\"");
}

}  // namespace
