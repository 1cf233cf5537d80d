#include "hosts.h"

#include <cstdlib>

namespace {
std::string FromEnvironment(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}
}  // namespace

std::string LoginHost() { return FromEnvironment("QUORIN_LOGIN_HOST", QUORIN_DEFAULT_LOGIN_HOST); }
std::string DownloadHost() { return FromEnvironment("QUORIN_DOWNLOAD_HOST", QUORIN_DEFAULT_DOWNLOAD_HOST); }
