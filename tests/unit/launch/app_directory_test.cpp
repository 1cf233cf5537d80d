// The shell's own directory, where the launcher is looked for.
#include <gtest/gtest.h>

#include <filesystem>

#include "launch/app_directory.h"
#include "text.h"

namespace {

TEST(AppDirectory, FromModulePath) {
  const struct {
    const wchar_t* path;
    const wchar_t* directory;
  } cases[] = {
      {L"C:\\Games\\Client\\login.exe", L"C:/Games/Client"},
      {L"/opt/quorin/bin/quorin-login", L"/opt/quorin/bin"},
      {L"/usr/lo\\cal/bin\\quorin-login", L"/usr/lo/cal/bin"},
      {L"/quorin-login", L""},
      {L"quorin-login", L""},
      {L"/opt/游戏 目录/quorin-login", L"/opt/游戏 目录"},
  };
  for (const auto& c : cases) EXPECT_EQ(AppDirectoryFromModulePath(c.path), c.directory) << NarrowText(c.path);
}

TEST(AppDirectory, IsTheRunningExecutablesDirectory) {
  EXPECT_EQ(GetAppDirectory(), WidenText(std::filesystem::canonical(LAUNCH_TESTS_DIR).string()));
}

}  // namespace
