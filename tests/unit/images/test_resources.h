// Helpers for tests that register resources of their own.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/resources.h"

// A module handle of the test's own, so its resources never mix with the
// application's.
inline HMODULE TestModule() { return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x7E570000)); }

inline std::vector<unsigned char> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string PngSuiteDir() { return std::string(QUORIN_CORPORA_DIR) + "/pngsuite/"; }

// Registers `bytes` as PNG resource `id` of the test module for the scope's
// life. The bytes must outlive the registration.
class ScopedPngResource {
 public:
  ScopedPngResource(UINT id, const std::vector<unsigned char>& bytes) : m_id(id) {
    RegisterResource(TestModule(), L"PNG", id, bytes.data(), bytes.size());
  }
  ~ScopedPngResource() { UnregisterResource(TestModule(), L"PNG", m_id); }
  ScopedPngResource(const ScopedPngResource&) = delete;
  ScopedPngResource& operator=(const ScopedPngResource&) = delete;

 private:
  UINT m_id;
};
