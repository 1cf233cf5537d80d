#include "launch/app_directory.h"

#include <vector>

#include "module_path.h"

std::wstring AppDirectoryFromModulePath(std::wstring modulePath) {
  for (wchar_t& c : modulePath)
    if (c == L'\\') c = L'/';
  size_t slash = modulePath.rfind(L'/');
  return slash == std::wstring::npos ? std::wstring() : modulePath.substr(0, slash);
}

std::wstring GetAppDirectory() {
  // The classic 260-character buffer, grown when the path fills it: a cut
  // path would name the wrong directory.
  std::vector<wchar_t> buffer(260);
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length < size || buffer.size() >= (1u << 20)) return AppDirectoryFromModulePath(std::wstring(buffer.data(), length < size ? length : size - 1));
    buffer.resize(buffer.size() * 4);
  }
}
