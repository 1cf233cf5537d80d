// The web process's connection to the shell that owns its page. Made once
// when the extension starts; everything runs on the web process's main
// thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "browser/channel.h"

namespace shell_link {

// Connects to the shell's socket and presents the token; false when the
// shell cannot be reached (pages then get no window.external).
bool Connect(const std::string& socketPath, const std::string& token);
bool Connected();

// A request the page waits for. While it waits, whatever the shell sends
// is served, so the shell can always finish what it is doing.
std::optional<channel::Frame> Call(const std::string& op, std::vector<channel::Value> args);
void Send(const std::string& op, std::vector<channel::Value> args);

}  // namespace shell_link
