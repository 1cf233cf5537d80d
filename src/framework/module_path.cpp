#include "module_path.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "text.h"

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
  if (module != nullptr || buffer == nullptr || size == 0) return 0;
  std::string path(PATH_MAX, '\0');
  ssize_t n = readlink("/proc/self/exe", &path[0], path.size());
  if (n <= 0) {
    buffer[0] = L'\0';
    return 0;
  }
  path.resize(static_cast<size_t>(n));
  std::wstring wide = WidenText(path);
  DWORD count = static_cast<DWORD>(wide.size());
  if (count >= size) {
    wide.copy(buffer, size - 1);
    buffer[size - 1] = L'\0';
    return size;
  }
  wide.copy(buffer, count);
  buffer[count] = L'\0';
  return count;
}

BOOL PathFileExistsW(LPCWSTR path) {
  if (path == nullptr) return FALSE;
  struct stat info;
  return stat(NarrowText(path, std::char_traits<wchar_t>::length(path)).c_str(), &info) == 0 ? TRUE : FALSE;
}
