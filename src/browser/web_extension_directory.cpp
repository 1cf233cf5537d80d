#include "browser/web_extension_directory.h"

#include <limits.h>
#include <sys/stat.h>

#include <cstdlib>
#include <unistd.h>

namespace {

bool HoldsExtension(const std::string& dir) {
  struct stat st;
  return !dir.empty() && ::stat((dir + "/" + kWebExtensionFileName).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ExecutableDirectory() {
  char path[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return std::string();
  std::string exe(path, static_cast<size_t>(n));
  size_t slash = exe.rfind('/');
  return slash == std::string::npos ? std::string() : exe.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

std::string WebExtensionDirectoryFor(const std::string& executableDir, const std::string& buildDir) {
  if (!executableDir.empty()) {
    std::string installed = executableDir + "/../lib/quorin-login";
    if (HoldsExtension(installed)) return installed;
    if (HoldsExtension(executableDir)) return executableDir;
  }
  if (HoldsExtension(buildDir)) return buildDir;
  return std::string();
}

std::string WebExtensionDirectory() {
#ifdef QUORIN_WEB_EXTENSION_BUILD_DIR
  const std::string buildDir = QUORIN_WEB_EXTENSION_BUILD_DIR;
#else
  const std::string buildDir;
#endif
  std::string found = WebExtensionDirectoryFor(ExecutableDirectory(), buildDir);
  char resolved[PATH_MAX];
  return !found.empty() && ::realpath(found.c_str(), resolved) ? std::string(resolved) : found;
}
