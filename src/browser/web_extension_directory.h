// Where the web-process extension is found, relative to the running
// executable so that an installed tree can be moved as a whole:
//   <executable dir>/../lib/quorin-login   (installed tree)
//   <executable dir>                       (copied beside the program)
//   the build tree's extension directory   (running from the build tree)
// The first that holds the extension wins.
#pragma once

#include <string>

constexpr const char* kWebExtensionFileName = "libquorin-web-extension.so";

// The directory for the running executable; empty when none holds the
// extension.
std::string WebExtensionDirectory();
// The same choice for a given executable directory and build directory.
std::string WebExtensionDirectoryFor(const std::string& executableDir, const std::string& buildDir);
