// The private rendezvous of the channel: a Unix-domain socket in a
// directory only this user can enter, and a random token the connecting
// side must present first. The peer's user id is checked as well.
#pragma once

#include <string>

namespace channel {

// A directory of mode 0700 made once per process (under XDG_RUNTIME_DIR
// when that is a private directory of ours, else under /tmp). Empty when
// none could be made.
std::string PrivateSocketDirectory();

// Removes the directories (and their sockets) that processes of ours left
// in base when they were killed: named after a process that has ended.
// PrivateSocketDirectory does this once before making its own.
void RemoveDeadSocketDirectories(const std::string& base);

// 128 random bits as 32 lower-case hex digits; empty if the system has no
// randomness to give.
std::string RandomToken();

// Compares in time independent of where the texts differ.
bool TokensEqual(const std::string& a, const std::string& b);

// A listening socket at path (an old socket file there is replaced); -1 on
// failure. The socket is non-blocking and close-on-exec.
int ListenUnix(const std::string& path);
// A connected, blocking socket; -1 on failure.
int ConnectUnix(const std::string& path);
// Accepts one pending connection; -1 when none is pending. A connection
// from another user is closed and refused.
int AcceptPeer(int listenFd);

}  // namespace channel
