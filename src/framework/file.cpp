#include "file.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/file.h>
#include <unistd.h>

#include "message_box.h"

namespace {

int CauseOf(int osError) {
  switch (osError) {
    case ENOENT: return CFileException::fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG: return CFileException::badPath;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return CFileException::accessDenied;
    case EWOULDBLOCK: return CFileException::sharingViolation;
    case ENOSPC:
    case EDQUOT: return CFileException::diskFull;
    case EEXIST: return CFileException::alreadyExists;
    default: return CFileException::generic;
  }
}

}  // namespace

CString CFileException::ErrorText() const {
  std::wstring text = L"An error occurred while accessing ";
  text += m_strFileName.IsEmpty() ? std::wstring(L"an unnamed file") : L"'" + m_strFileName.str() + L"'";
  text += L".";
  if (m_lOsError) text += L"\n" + WidenText(std::string(strerror(m_lOsError)));
  return CString(text);
}

int CFileException::ReportError(UINT type, UINT) const { return MessageBoxW(nullptr, ErrorText(), L"quorin-login", type); }

CFile::CFile(const wchar_t* path, UINT flags) : m_path(path ? path : L"") {
  int oflags = O_CLOEXEC;
  if (flags & modeReadWrite)
    oflags |= O_RDWR;
  else if (flags & modeWrite)
    oflags |= O_WRONLY;
  else
    oflags |= O_RDONLY;
  if (flags & modeCreateNew)
    oflags |= O_CREAT | O_EXCL;
  else if (flags & modeCreate)
    oflags |= O_CREAT | O_TRUNC;
  std::string narrow = NarrowText(m_path);
  if (flags & shareExclusive) {
    // Open without truncating first: a file another process holds locked
    // must not be emptied under it.
    int fd = open(narrow.c_str(), oflags & ~O_TRUNC, 0644);
    if (fd < 0) ThrowError(errno);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      int err = errno;
      close(fd);
      ThrowError(err);
    }
    if ((oflags & O_TRUNC) && ftruncate(fd, 0) != 0) {
      int err = errno;
      close(fd);
      ThrowError(err);
    }
    m_fd = fd;
  } else {
    m_fd = open(narrow.c_str(), oflags, 0644);
    if (m_fd < 0) ThrowError(errno);
  }
}

CFile::~CFile() { Abort(); }

void CFile::ThrowError(int osError) const { throw new CFileException(CauseOf(osError), osError, m_path); }

void CFile::Write(const void* data, UINT count) {
  const char* p = static_cast<const char*>(data);
  while (count > 0) {
    ssize_t n = write(m_fd, p, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowError(errno);
    }
    p += n;
    count -= static_cast<UINT>(n);
  }
}

void CFile::Flush() {
  if (m_fd >= 0 && fsync(m_fd) != 0 && errno != EINVAL) ThrowError(errno);
}

void CFile::Close() {
  if (m_fd < 0) return;
  int fd = m_fd;
  m_fd = -1;
  if (close(fd) != 0 && errno != EINTR) ThrowError(errno);
}

void CFile::Abort() {
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
}
