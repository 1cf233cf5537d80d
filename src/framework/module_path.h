// The executable's own path and a file-existence test, as the shell asks
// for them.
#pragma once

#include "wintypes.h"

// Copies the full path of the running executable (from /proc/self/exe)
// into buffer. Answers the number of characters copied without the
// terminator; when the buffer is too small the path is cut to size - 1
// characters and size is answered. A module handle other than null is not
// supported and answers 0.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);

// TRUE when something (file, directory, device) exists at path.
BOOL PathFileExistsW(LPCWSTR path);
