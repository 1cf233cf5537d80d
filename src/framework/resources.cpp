#include "resources.h"

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "app.h"

namespace {

// A type is either an integer (below 0x10000) or a string name.
std::wstring TypeKey(LPCWSTR type) {
  if (IS_INTRESOURCE(type)) return L"#" + std::to_wstring(reinterpret_cast<uintptr_t>(type));
  return type;
}

struct Entry {
  const void* data;
  size_t size;
};

using Key = std::tuple<HMODULE, std::wstring, UINT>;

std::map<Key, std::unique_ptr<Entry>>& Table() {
  static std::map<Key, std::unique_ptr<Entry>> table;
  return table;
}

}  // namespace

void RegisterResource(HMODULE module, LPCWSTR type, UINT id, const void* data, size_t size) {
  Table()[Key(module, TypeKey(type), id)] = std::make_unique<Entry>(Entry{data, size});
}

void UnregisterResource(HMODULE module, LPCWSTR type, UINT id) { Table().erase(Key(module, TypeKey(type), id)); }

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
  if (!IS_INTRESOURCE(name)) return nullptr;  // only numeric ids are used
  if (!module) module = AfxGetInstanceHandle();
  auto it = Table().find(Key(module, TypeKey(type), static_cast<UINT>(reinterpret_cast<uintptr_t>(name))));
  return it == Table().end() ? nullptr : reinterpret_cast<HRSRC>(it->second.get());
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
  return resource ? static_cast<DWORD>(reinterpret_cast<Entry*>(resource)->size) : 0;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) { return reinterpret_cast<HGLOBAL>(resource); }

const void* LockResource(HGLOBAL loaded) { return loaded ? reinterpret_cast<Entry*>(loaded)->data : nullptr; }

HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type) {
  HINSTANCE resourceModule = AfxGetResourceHandle();
  if (FindResourceW(resourceModule, name, type)) return resourceModule;
  return AfxGetInstanceHandle();
}
