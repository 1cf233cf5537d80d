// Files as the shell writes them: created, written, closed, with errors
// raised as CFileException (thrown by pointer, released with Delete()).
#pragma once

#include <string>

#include "text.h"
#include "wintypes.h"

class CFileException {
 public:
  enum Cause { none = 0, generic = 1, fileNotFound = 2, badPath = 3, accessDenied = 5, sharingViolation = 11, diskFull = 14, alreadyExists = 15 };
  CFileException(int cause, int osError, const std::wstring& fileName)
      : m_cause(cause), m_lOsError(osError), m_strFileName(fileName.c_str()) {}
  void Delete() { delete this; }
  // Shows the standard file-error box; answers the box's result.
  int ReportError(UINT type = MB_OK, UINT messageId = 0) const;
  CString ErrorText() const;

  int m_cause;
  int m_lOsError;
  CString m_strFileName;
};

class CFile {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareExclusive = 0x0010,
    modeCreate = 0x1000,
    // Fails when the file exists already (a fresh temporary file).
    modeCreateNew = 0x100000,
  };

  CFile() = default;
  // Opens or throws CFileException*.
  CFile(const wchar_t* path, UINT flags);
  ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  void Write(const void* data, UINT count);
  // Makes the written bytes durable before the file is used.
  void Flush();
  void Close();
  void Abort();  // closes without throwing
  int Descriptor() const { return m_fd; }

 private:
  [[noreturn]] void ThrowError(int osError) const;
  int m_fd = -1;
  std::wstring m_path;
};
