#include "channel_socket.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace channel {

namespace {

bool IsOurPrivateDirectory(const char* path) {
  struct stat st;
  return path && *path == '/' && ::lstat(path, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & 077) == 0;
}

bool FillAddress(const std::string& path, sockaddr_un* addr) {
  std::memset(addr, 0, sizeof *addr);
  addr->sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof addr->sun_path) return false;
  std::memcpy(addr->sun_path, path.c_str(), path.size() + 1);
  return true;
}

std::string& DirectoryPath() {
  static std::string path;
  return path;
}

constexpr const char kPrefix[] = "quorin-browser-";

// Only sockets are ever made in our directories; nothing else is removed.
void RemoveSocketDirectory(const std::string& dir) {
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* entry = ::readdir(d)) {
      std::string path = dir + "/" + entry->d_name;
      struct stat st;
      if (::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) ::unlink(path.c_str());
    }
    ::closedir(d);
  }
  ::rmdir(dir.c_str());
}

// A program that ends without destroying its browsers (exit from a
// handler) still leaves nothing behind.
// A forked child that exits normally must not take its parent's sockets.
pid_t g_directoryOwner = 0;

void RemoveDirectoryAtExit() {
  if (!DirectoryPath().empty() && ::getpid() == g_directoryOwner) RemoveSocketDirectory(DirectoryPath());
}

}  // namespace

void RemoveDeadSocketDirectories(const std::string& base) {
  DIR* d = ::opendir(base.c_str());
  if (!d) return;
  while (dirent* entry = ::readdir(d)) {
    const char* name = entry->d_name;
    if (std::strncmp(name, kPrefix, sizeof kPrefix - 1) != 0) continue;
    char* end = nullptr;
    long pid = std::strtol(name + sizeof kPrefix - 1, &end, 10);
    if (pid <= 0 || !end || *end != '-') continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    std::string path = base + "/" + name;
    if (IsOurPrivateDirectory(path.c_str())) RemoveSocketDirectory(path);
  }
  ::closedir(d);
}

std::string PrivateSocketDirectory() {
  static bool made = [] {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string base = IsOurPrivateDirectory(runtime) ? runtime : "/tmp";
    RemoveDeadSocketDirectories(base);
    std::string pattern = base + "/" + kPrefix + std::to_string(::getpid()) + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) return false;
    ::chmod(pattern.c_str(), 0700);
    DirectoryPath() = pattern;
    g_directoryOwner = ::getpid();
    std::atexit(RemoveDirectoryAtExit);
    return true;
  }();
  // Someone may have removed it meanwhile; then there is nothing to offer.
  if (!made || !IsOurPrivateDirectory(DirectoryPath().c_str())) return std::string();
  return DirectoryPath();
}

std::string RandomToken() {
  unsigned char bytes[16];
  size_t got = 0;
  while (got < sizeof bytes) {
    ssize_t n = ::getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::string();
    }
    got += static_cast<size_t>(n);
  }
  static const char kHex[] = "0123456789abcdef";
  std::string token;
  for (unsigned char b : bytes) {
    token.push_back(kHex[b >> 4]);
    token.push_back(kHex[b & 15]);
  }
  return token;
}

bool TokensEqual(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  unsigned char diff = 0;
  for (size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  return diff == 0;
}

int ListenUnix(const std::string& path) {
  sockaddr_un addr;
  if (!FillAddress(path, &addr)) return -1;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  ::unlink(path.c_str());
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::chmod(path.c_str(), 0600) != 0 ||
      ::listen(fd, 16) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

int ConnectUnix(const std::string& path) {
  sockaddr_un addr;
  if (!FillAddress(path, &addr)) return -1;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  while (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    if (errno == EINTR) continue;
    ::close(fd);
    return -1;
  }
  return fd;
}

int AcceptPeer(int listenFd) {
  for (;;) {
    int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    ucred cred;
    socklen_t len = sizeof cred;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::geteuid()) return fd;
    ::close(fd);  // another user: refuse and look at the next one
  }
}

}  // namespace channel
