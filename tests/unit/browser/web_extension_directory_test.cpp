#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "browser/web_extension_directory.h"

namespace {

void Touch(const std::string& dir) {
  ::mkdir(dir.c_str(), 0755);
  std::ofstream(dir + "/" + kWebExtensionFileName) << "module";
}

TEST(WebExtensionDirectory, FoundBesideTheExecutableWhereverTheTreeLies) {
  char pattern[] = "/tmp/quorin-extdir-XXXXXX";
  ASSERT_NE(nullptr, ::mkdtemp(pattern));
  const std::string root = pattern;
  const std::string bin = root + "/bin", lib = root + "/lib", installed = root + "/lib/quorin-login";
  const std::string build = root + "/build";
  ::mkdir(bin.c_str(), 0755);
  ::mkdir(lib.c_str(), 0755);

  EXPECT_EQ("", WebExtensionDirectoryFor(bin, build)) << "nowhere yet";
  Touch(build);
  EXPECT_EQ(build, WebExtensionDirectoryFor(bin, build));
  Touch(bin);
  EXPECT_EQ(bin, WebExtensionDirectoryFor(bin, build));
  Touch(installed);
  EXPECT_EQ(bin + "/../lib/quorin-login", WebExtensionDirectoryFor(bin, build));
  EXPECT_EQ(build, WebExtensionDirectoryFor("", build));

  for (const std::string& dir : {installed, bin, build}) ::unlink((dir + "/" + kWebExtensionFileName).c_str());
  for (const std::string& dir : {installed, lib, bin, build, root}) ::rmdir(dir.c_str());
}

}  // namespace
