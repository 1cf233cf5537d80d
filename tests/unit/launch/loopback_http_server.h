// A small HTTP/1.1 server on 127.0.0.1 for tests: answers each path with a
// scripted reply (full, truncated, stalled, redirected) and records the
// requests it saw. It serves one connection at a time on its own thread and
// stops when destroyed; a stalled reply is held only until then.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct ScriptedReply {
  int status = 200;
  std::string body;
  // Content-Length sent; -1: the body's size; -2: none (the body ends with
  // the connection).
  long long declaredLength = -1;
  // Bytes of the body sent before the connection is closed; -1: all.
  long long closeAfter = -1;
  // Bytes of the body sent before the server goes silent (connection kept
  // open); -1: never. With stallBeforeHeaders nothing at all is sent.
  long long stallAfter = -1;
  bool stallBeforeHeaders = false;
  std::string location;  // a Location header, for redirects
};

// A whole reply with that status and body.
inline ScriptedReply Reply(int status, std::string body) {
  ScriptedReply r;
  r.status = status;
  r.body = std::move(body);
  return r;
}

class LoopbackHttpServer {
 public:
  // Paths without a reply get 404.
  explicit LoopbackHttpServer(std::map<std::string, ScriptedReply> replies);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  int Port() const { return m_port; }
  std::string HostPort() const { return "127.0.0.1:" + std::to_string(m_port); }
  std::string Url(const std::string& path) const { return "http://" + HostPort() + path; }
  // Request heads as received ("GET /path HTTP/1.1\r\nHost: ...").
  std::vector<std::string> Requests() const;

 private:
  void Serve();
  void Answer(int fd);
  bool Stopping() const { return m_stop.load(); }

  std::map<std::string, ScriptedReply> m_replies;
  int m_listenFd = -1;
  int m_port = 0;
  std::atomic<bool> m_stop{false};
  mutable std::mutex m_mutex;
  std::vector<std::string> m_requests;
  std::thread m_thread;
};

// A loopback port that nothing listens on (connections are refused).
int UnusedLoopbackPort();
