#include "process.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

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

// Marks every descriptor from 3 up close-on-exec, so the started program
// inherits none of ours (sockets, the display connection). Async-signal-safe.
void CloseInheritedDescriptors() {
#if defined(SYS_close_range)
  constexpr unsigned kCloexec = 1u << 2;  // CLOSE_RANGE_CLOEXEC
  syscall(SYS_close_range, 3u, ~0u, kCloexec);
#endif
}

void WriteError(int fd, int error) {
  ssize_t ignored = write(fd, &error, sizeof error);
  (void)ignored;
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

  // Everything the children need is prepared here: between fork and exec
  // only async-signal-safe calls are allowed (other threads may hold locks).
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

  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return errno;

  pid_t child = fork();
  if (child < 0) {
    int error = errno;
    close(report[0]);
    close(report[1]);
    return error;
  }
  if (child == 0) {
    close(report[0]);
    pid_t program = fork();
    if (program < 0) {
      WriteError(report[1], errno);
      _exit(127);
    }
    if (program > 0) _exit(0);  // the program is adopted by init

    if (setsid() < 0) {
      WriteError(report[1], errno);
      _exit(127);
    }

    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int sig = 1; sig < NSIG; ++sig) signal(sig, SIG_DFL);
    CloseInheritedDescriptors();
    execve(start.program.c_str(), argv.data(), envp.data());
    WriteError(report[1], errno);  // the exec failed: tell the caller why
    _exit(127);
  }

  close(report[1]);
  int error = 0;
  ssize_t n;
  do {
    n = read(report[0], &error, sizeof error);
  } while (n < 0 && errno == EINTR);
  if (n != static_cast<ssize_t>(sizeof error)) error = 0;  // closed by a successful exec
  close(report[0]);

  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return error;
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
