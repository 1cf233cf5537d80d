// Fetching the game launcher: the body is streamed into a temporary file
// beside the launcher and put in place only when it arrived whole.
#pragma once

#include <string>

#include "http_client.h"

// GETs url into launcherPath. Succeeds only for status 200 with a
// non-empty body that matches its declared length (where one is given);
// the file is then executable (0755), flushed, and renamed onto
// launcherPath. On any failure nothing is left at launcherPath and no
// temporary file remains; a file error (create, write, close, rename) is
// shown with the standard file-error box, network and HTTP failures
// silently.
bool DownloadLauncher(const std::wstring& launcherPath, const std::string& url, const HttpLimits& limits);
