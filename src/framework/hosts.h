// The two hosts the shell talks to ("host" or "host:port"): build-time
// defaults, overridden by the environment variables QUORIN_LOGIN_HOST and
// QUORIN_DOWNLOAD_HOST.
#pragma once

#include <string>

std::string LoginHost();
std::string DownloadHost();
