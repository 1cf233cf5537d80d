#include "process.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// True when the file at path begins with the "MZ" of a Windows executable.
bool IsWindowsProgram(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char magic[2] = {0, 0};
  ssize_t n;
  do {
    n = read(fd, magic, sizeof magic);
  } while (n < 0 && errno == EINTR);
  close(fd);
  return n == 2 && magic[0] == 'M' && magic[1] == 'Z';
}

UINT WinExecResult(int error) {
  switch (error) {
    case 0: return 33;
    case ENOENT: return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return 3;
    case EACCES:
    case EPERM: return 5;
    case ENOEXEC:
    case EISDIR: return 11;
    default: return 0;
  }
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine, const std::string& programPath) {
  const std::string line = commandLine.substr(0, commandLine.find('\0'));
  if (line.empty()) return {programPath};

  std::vector<std::string> argv;
  size_t i = 0;
  // argv[0]: quotes toggle quoting and are dropped; backslashes are plain.
  std::string arg;
  bool quoted = false;
  for (; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && IsBlank(c)) {
      break;
    } else {
      arg += c;
    }
  }
  argv.push_back(arg);

  arg.clear();
  quoted = false;
  bool inArgument = false;  // an empty pair of quotes still makes an argument
  while (i < line.size()) {
    char c = line[i];
    if (!quoted && IsBlank(c)) {
      if (inArgument) argv.push_back(arg);
      arg.clear();
      inArgument = false;
      ++i;
      continue;
    }
    inArgument = true;
    if (c == '\\') {
      size_t count = 0;
      while (i + count < line.size() && line[i + count] == '\\') ++count;
      i += count;
      if (i < line.size() && line[i] == '"') {
        // 2n backslashes + quote: n backslashes, the quote toggles;
        // 2n+1 backslashes + quote: n backslashes and a literal quote.
        arg.append(count / 2, '\\');
        if (count % 2 == 1) {
          arg += '"';
          ++i;
        }
      } else {
        arg.append(count, '\\');
      }
    } else if (c == '"') {
      if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
        arg += '"';  // "" inside quotes: a literal quote, quoting goes on
        i += 2;
      } else {
        quoted = !quoted;
        ++i;
      }
    } else {
      arg += c;
      ++i;
    }
  }
  if (inArgument) argv.push_back(arg);
  return argv;
}

std::string CommandLineProgram(const std::string& commandLine) {
  const std::string line = commandLine.substr(0, commandLine.find('\0'));
  if (!line.empty() && line[0] == '"') {
    size_t close = line.find('"', 1);
    return line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  size_t end = 0;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  return line.substr(0, end);
}

std::string FindOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (!path || name.empty() || name.find('/') != std::string::npos) return {};
  std::string dirs = path;
  size_t start = 0;
  for (;;) {
    size_t end = dirs.find(':', start);
    std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!dir.empty()) {
      std::string candidate = dir + "/" + name;
      struct stat info;
      if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
        return candidate;
    }
    if (end == std::string::npos) return {};
    start = end + 1;
  }
}

int StartDetachedProcess(const ProcessStart& start) {
  if (start.program.empty() || start.argv.empty()) return ENOENT;

  std::vector<char*> argv;
  for (const std::string& a : start.argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  std::vector<std::string> envText;
  for (char** e = environ; e && *e; ++e) {
    bool replaced = false;
    for (const auto& var : start.environment) {
      size_t n = var.first.size();
      if (std::strncmp(*e, var.first.c_str(), n) == 0 && (*e)[n] == '=') replaced = true;
    }
    if (!replaced) envText.push_back(*e);
  }
  for (const auto& var : start.environment) envText.push_back(var.first + "=" + var.second);
  std::vector<char*> envp;
  for (const std::string& e : envText) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);

  // posix_spawn starts the program without copying this (large) process:
  // in a session of its own, with default signal handling and an empty
  // mask, none of our descriptors above 2, and an exec failure reported as
  // its result.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);

  pid_t program = 0;
  int error = posix_spawn(&program, start.program.c_str(), &actions, &attributes, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) return error;

  // The program outlives the shell; while the shell runs, a thread of its
  // own collects it when it ends, so no zombie stays and no other child's
  // status is taken.
  std::thread([program] {
    int status = 0;
    while (waitpid(program, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return 0;
}

UINT WinExec(LPCSTR commandLine, UINT /*cmdShow: the started program decides how it shows itself*/) {
  if (commandLine == nullptr) return 0;
  const std::string line = commandLine;
  const std::string program = CommandLineProgram(line);
  if (program.empty()) return 2;

  ProcessStart start;
  start.program = program;
  start.argv = SplitCommandLine(line, program);
  start.environment.push_back({kCommandLineVariable, line});

  if (IsWindowsProgram(program)) {
    std::string wine = FindOnPath("wine");
    if (!wine.empty()) {
      std::vector<std::string> argv{wine, program};
      argv.insert(argv.end(), start.argv.begin() + 1, start.argv.end());
      start.program = wine;
      start.argv = std::move(argv);
    }
  }
  return WinExecResult(StartDetachedProcess(start));
}
