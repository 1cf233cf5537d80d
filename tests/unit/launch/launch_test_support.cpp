#include "launch_test_support.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "quorin-launch-XXXXXX").string();
  if (!mkdtemp(&pattern[0])) throw std::runtime_error("mkdtemp failed");
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(m_path, ignored);
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::string& path) : m_previous(fs::current_path().string()) {
  fs::current_path(path);
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
  std::error_code ignored;
  fs::current_path(m_previous, ignored);
}

ScopedEnvironment::ScopedEnvironment(const char* name, const char* value) : m_name(name) {
  const char* previous = getenv(name);
  m_had = previous != nullptr;
  if (m_had) m_previous = previous;
  if (value)
    setenv(name, value, 1);
  else
    unsetenv(name);
}

ScopedEnvironment::~ScopedEnvironment() {
  if (m_had)
    setenv(m_name.c_str(), m_previous.c_str(), 1);
  else
    unsetenv(m_name.c_str());
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes, unsigned mode) {
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
  }
  chmod(path.c_str(), mode);
}

bool FileExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

unsigned FileMode(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

std::vector<std::string> DirectoryEntries(const std::string& path) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string TestLauncherProgram() { return QUORIN_BINARY_DIR "/tools/test-launcher/test-launcher"; }

Json::Value WaitForLauncherRecord(const std::string& recordPath) {
  for (int attempt = 0; attempt < 1000 && !FileExists(recordPath); ++attempt)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  Json::Value record;
  if (!FileExists(recordPath)) return record;
  Json::CharReaderBuilder builder;
  std::string errors;
  std::istringstream in(ReadFileBytes(recordPath));
  if (!Json::parseFromStream(builder, in, &record, &errors)) return Json::Value();
  return record;
}
