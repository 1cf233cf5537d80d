// Resources: blocks of bytes (or, for dialogs, template records) found by
// module, type and numeric id. The executable's own resources are
// registered at start-up from data embedded at build time; tests may
// register modules of their own.
#pragma once

#include <cstddef>

#include "wintypes.h"

// Resource types: numeric ones as integer names, "PNG" as a string name.
#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_ICON MAKEINTRESOURCEW(3)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_GROUP_ICON MAKEINTRESOURCEW(14)

void RegisterResource(HMODULE module, LPCWSTR type, UINT id, const void* data, size_t size);
void UnregisterResource(HMODULE module, LPCWSTR type, UINT id);

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
DWORD SizeofResource(HMODULE module, HRSRC resource);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
const void* LockResource(HGLOBAL loaded);
// The module that holds a resource of that name and type: the resource
// module when it has one, else the executable.
HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type);
