// The shell's end of the channel to its web processes: a listening socket
// in the private directory, and one connection per web process that
// presented the token. Frames are handled from the GLib main loop as they
// arrive; a connection whose first frame is not a valid hello is closed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "browser/channel.h"

class ExtensionServer {
 public:
  class Delegate {
   public:
    virtual channel::Frame OnExtensionRequest(const channel::Frame& request) = 0;
    virtual void OnExtensionEvent(const channel::Frame& event) = 0;

   protected:
    ~Delegate() = default;
  };

  explicit ExtensionServer(Delegate* delegate);
  ~ExtensionServer();
  ExtensionServer(const ExtensionServer&) = delete;
  ExtensionServer& operator=(const ExtensionServer&) = delete;

  // Makes the socket and the token; false when either failed.
  bool Start();
  const std::string& SocketPath() const { return m_path; }
  const std::string& Token() const { return m_token; }

  // Accepts waiting connections and handles every frame the web processes
  // have sent so far. Called before acting on news that reached the shell
  // another way, so that the order the web process gave holds.
  void Drain();

  // Process ids of the web processes connected now.
  std::vector<int> PeerProcessIds() const;

 private:
  struct Peer;
  void AcceptPending();
  void OnFrame(const std::shared_ptr<Peer>& peer, const channel::Frame& frame, channel::Frame* reply);
  static int OnListenReady(int fd, unsigned condition, void* self);
  static int OnPeerReady(int fd, unsigned condition, void* peer);
  void Forget(const std::shared_ptr<Peer>& peer);

  Delegate* m_delegate;
  std::string m_path;
  std::string m_token;
  int m_listenFd = -1;
  unsigned m_listenSource = 0;
  std::vector<std::shared_ptr<Peer>> m_peers;
  // Cleared on destruction: a handler may destroy the server (through the
  // browser that owns it) while the server's frame loop is on the stack.
  std::shared_ptr<bool> m_alive;
};
