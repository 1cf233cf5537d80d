// Shared helpers of the launch tests: a temporary directory that is also
// the current directory while a test runs, file helpers, and the record the
// test launcher writes.
#pragma once

#include <json/json.h>

#include <string>
#include <vector>

// A fresh directory under the system's temporary folder, removed with its
// contents on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

// Makes a directory the current one for its lifetime.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::string& path);
  ~ScopedCurrentDirectory();

 private:
  std::string m_previous;
};

// Sets (or, with nullptr, unsets) an environment variable for its lifetime.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value);
  ~ScopedEnvironment();

 private:
  std::string m_name;
  bool m_had;
  std::string m_previous;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes, unsigned mode = 0644);
bool FileExists(const std::string& path);
unsigned FileMode(const std::string& path);  // permission bits
std::vector<std::string> DirectoryEntries(const std::string& path);  // sorted names

// The test launcher program built beside the tests.
std::string TestLauncherProgram();

// Waits (bounded: about ten seconds) for the test launcher's record file and
// parses it; a null value when none appeared.
Json::Value WaitForLauncherRecord(const std::string& recordPath);
