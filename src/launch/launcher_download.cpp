#include "launch/launcher_download.h"

#include <errno.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "file.h"
#include "text.h"

namespace {

CFileException* FileError(int osError, const std::wstring& path) {
  int cause = (osError == EACCES || osError == EPERM || osError == EROFS) ? CFileException::accessDenied
                                                                           : CFileException::generic;
  return new CFileException(cause, osError, path);
}

// Receives the launcher body into a temporary file of its own. File errors
// are kept (they cannot cross the HTTP client's C call-backs) and end the
// transfer.
class LauncherFileSink : public HttpResponseSink {
 public:
  explicit LauncherFileSink(const std::wstring& launcherPath) : m_launcherPath(launcherPath) {}
  ~LauncherFileSink() override {
    Discard();
    if (m_error) m_error->Delete();
  }

  bool Begin(long status, long long) override {
    if (status != 200) return false;
    try {
      OpenTemporary();
    } catch (CFileException* e) {
      m_error = e;
      return false;
    }
    return true;
  }

  bool Body(const char* data, size_t size) override {
    try {
      m_file->Write(data, static_cast<UINT>(size));
    } catch (CFileException* e) {
      m_error = e;
      return false;
    }
    return true;
  }

  bool HasFile() const { return m_file != nullptr; }

  // Executable, durable, closed, then renamed over the launcher path.
  // Throws CFileException*.
  void Commit() {
    if (fchmod(m_file->Descriptor(), 0755) != 0) throw FileError(errno, m_tempPath);
    m_file->Flush();
    m_file->Close();
    m_file.reset();
    if (rename(NarrowText(m_tempPath).c_str(), NarrowText(m_launcherPath).c_str()) != 0)
      throw FileError(errno, m_launcherPath);
    m_tempPath.clear();
  }

  // Closes and removes the temporary file, if any.
  void Discard() {
    if (m_file) m_file->Abort();
    m_file.reset();
    if (!m_tempPath.empty()) unlink(NarrowText(m_tempPath).c_str());
    m_tempPath.clear();
  }

  CFileException* TakeError() {
    CFileException* error = m_error;
    m_error = nullptr;
    return error;
  }

 private:
  // A fresh file beside the launcher, created exclusively so that nothing
  // else's file is ever written to.
  void OpenTemporary() {
    static unsigned counter = 0;
    for (int attempt = 0;; ++attempt) {
      std::wstring path = m_launcherPath + L".download-" + std::to_wstring(getpid()) + L"-" + std::to_wstring(++counter);
      try {
        m_file = std::make_unique<CFile>(path.c_str(), CFile::modeCreate | CFile::modeCreateNew | CFile::modeWrite |
                                                           CFile::shareExclusive);
        m_tempPath = path;
        return;
      } catch (CFileException* e) {
        if (e->m_cause != CFileException::alreadyExists || attempt >= 100) throw;
        e->Delete();
      }
    }
  }

  std::wstring m_launcherPath;
  std::wstring m_tempPath;
  std::unique_ptr<CFile> m_file;
  CFileException* m_error = nullptr;
};

}  // namespace

bool DownloadLauncher(const std::wstring& launcherPath, const std::string& url, const HttpLimits& limits) {
  LauncherFileSink sink(launcherPath);
  HttpResult result = HttpGet(url, limits, sink);
  CFileException* error = sink.TakeError();
  bool whole = result.outcome == HttpOutcome::complete && result.status == 200 && result.bodyBytes > 0 &&
               (result.contentLength < 0 || result.bodyBytes == result.contentLength);
  if (!error && whole && sink.HasFile()) {
    try {
      sink.Commit();
      return true;
    } catch (CFileException* e) {
      error = e;
    }
  }
  sink.Discard();
  if (error) {
    error->ReportError(MB_OK, 0);
    error->Delete();
  }
  return false;
}
