#include "browser/extension_server.h"

#include <glib-unix.h>
#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "browser/channel_protocol.h"
#include "browser/channel_socket.h"

struct ExtensionServer::Peer {
  ExtensionServer* server = nullptr;
  std::unique_ptr<channel::Channel> link;
  unsigned source = 0;
  bool verified = false;
  bool rejected = false;
  int pid = 0;
};

namespace {
unsigned g_nextSocketNumber = 0;
}

ExtensionServer::ExtensionServer(Delegate* delegate) : m_delegate(delegate), m_alive(std::make_shared<bool>(true)) {}

ExtensionServer::~ExtensionServer() {
  *m_alive = false;
  for (auto& peer : m_peers) {
    peer->server = nullptr;
    if (peer->source) g_source_remove(peer->source);
    peer->source = 0;
    peer->link->Close();
  }
  m_peers.clear();
  if (m_listenSource) g_source_remove(m_listenSource);
  if (m_listenFd >= 0) ::close(m_listenFd);
  if (!m_path.empty()) ::unlink(m_path.c_str());
}

bool ExtensionServer::Start() {
  std::string directory = channel::PrivateSocketDirectory();
  m_token = channel::RandomToken();
  if (directory.empty() || m_token.empty()) return false;
  m_path = directory + "/b" + std::to_string(++g_nextSocketNumber);
  m_listenFd = channel::ListenUnix(m_path);
  if (m_listenFd < 0) {
    m_path.clear();
    return false;
  }
  m_listenSource = g_unix_fd_add(m_listenFd, G_IO_IN, reinterpret_cast<GUnixFDSourceFunc>(&ExtensionServer::OnListenReady), this);
  return true;
}

int ExtensionServer::OnListenReady(int, unsigned, void* self) {
  static_cast<ExtensionServer*>(self)->AcceptPending();
  return G_SOURCE_CONTINUE;
}

void ExtensionServer::AcceptPending() {
  if (m_listenFd < 0) return;
  for (int fd; (fd = channel::AcceptPeer(m_listenFd)) >= 0;) {
    auto peer = std::make_shared<Peer>();
    peer->server = this;
    peer->link = std::make_unique<channel::Channel>(fd);
    // The handlers reach the server through the peer: once the server is
    // gone (peer->server cleared) the frames still buffered are dropped.
    std::weak_ptr<Peer> weak = peer;
    peer->link->SetEventHandler([weak](const channel::Frame& event) {
      auto p = weak.lock();
      if (p && p->server) p->server->OnFrame(p, event, nullptr);
    });
    peer->link->SetRequestHandler([weak](const channel::Frame& request) {
      channel::Frame reply;
      reply.op = channel::kReplyError;
      auto p = weak.lock();
      if (p && p->server) p->server->OnFrame(p, request, &reply);
      return reply;
    });
    // The source owns a reference to its peer until it is removed.
    auto* held = new std::shared_ptr<Peer>(peer);
    peer->source = g_unix_fd_add_full(G_PRIORITY_DEFAULT, fd, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                                      reinterpret_cast<GUnixFDSourceFunc>(&ExtensionServer::OnPeerReady), held,
                                      [](gpointer p) { delete static_cast<std::shared_ptr<Peer>*>(p); });
    // A request being served may run a nested main loop (a dialog, a
    // download's progress); the same web process's later frames must still
    // be read there.
    if (GSource* source = g_main_context_find_source_by_id(nullptr, peer->source)) g_source_set_can_recurse(source, TRUE);
    m_peers.push_back(peer);
  }
}

int ExtensionServer::OnPeerReady(int, unsigned, void* held) {
  std::shared_ptr<Peer> peer = *static_cast<std::shared_ptr<Peer>*>(held);
  ExtensionServer* server = peer->server;
  if (!server || peer->rejected) return G_SOURCE_REMOVE;
  std::shared_ptr<bool> alive = server->m_alive;
  bool open = peer->link->Pump();
  if (!*alive) return G_SOURCE_REMOVE;
  if (open && !peer->rejected) return G_SOURCE_CONTINUE;
  peer->source = 0;  // removed by returning G_SOURCE_REMOVE
  server->Forget(peer);
  return G_SOURCE_REMOVE;
}

void ExtensionServer::Forget(const std::shared_ptr<Peer>& peer) {
  peer->link->Close();
  if (peer->source) g_source_remove(peer->source);
  peer->source = 0;
  peer->server = nullptr;
  m_peers.erase(std::remove(m_peers.begin(), m_peers.end(), peer), m_peers.end());
}

void ExtensionServer::OnFrame(const std::shared_ptr<Peer>& peer, const channel::Frame& frame, channel::Frame* reply) {
  if (peer->rejected || !peer->server) return;
  if (!peer->verified) {
    // Nothing counts before the token: a wrong or missing one ends the
    // connection.
    bool hello = !reply && frame.op == channel::kHello && frame.args.size() == 2 &&
                 frame.args[0].type == channel::Value::Type::kString &&
                 frame.args[1].type == channel::Value::Type::kInt && channel::TokensEqual(frame.args[0].text, m_token);
    if (!hello) {
      std::fprintf(stderr, "browser: a connection without the channel token was refused\n");
      peer->rejected = true;
      peer->link->Close();
      return;
    }
    peer->verified = true;
    peer->pid = static_cast<int>(frame.args[1].integer);
    return;
  }
  if (reply)
    *reply = m_delegate->OnExtensionRequest(frame);
  else
    m_delegate->OnExtensionEvent(frame);
  // The delegate may have destroyed this server: touch nothing here.
}

void ExtensionServer::Drain() {
  std::shared_ptr<bool> alive = m_alive;
  AcceptPending();
  std::vector<std::shared_ptr<Peer>> peers = m_peers;
  for (auto& peer : peers) {
    if (!*alive) return;
    if (peer->rejected || !peer->server) continue;
    if (!peer->link->Pump() && *alive) Forget(peer);
  }
}

std::vector<int> ExtensionServer::PeerProcessIds() const {
  std::vector<int> pids;
  for (auto& peer : m_peers)
    if (peer->verified && peer->link->IsOpen()) pids.push_back(peer->pid);
  return pids;
}
