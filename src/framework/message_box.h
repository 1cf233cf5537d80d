// Modal message boxes. While a quit request is pending a box returns at once
// without waiting for anybody, so a shell that is quitting never hangs on one.
#pragma once

#include "wintypes.h"

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
#define MessageBox MessageBoxW
