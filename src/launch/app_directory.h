// Where the shell's own executable lies: the launcher is looked for there.
#pragma once

#include <string>

// The directory of a full executable path: every backslash made a slash,
// then the text before the last slash (empty when there is none). It never
// ends in a slash.
std::wstring AppDirectoryFromModulePath(std::wstring modulePath);

// The running executable's directory.
std::wstring GetAppDirectory();
