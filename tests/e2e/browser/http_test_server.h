// A small HTTP server on 127.0.0.1 for the browser tests: fixed pages by
// path, served from a thread of its own so that a shell busy inside a
// script call never stalls the page loads of other frames.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

class HttpTestServer {
 public:
  HttpTestServer();
  ~HttpTestServer();

  // path ("/index.html") -> body; served as text/html in UTF-8.
  void Add(const std::string& path, const std::string& body);
  int Port() const { return m_port; }
  // "http://127.0.0.1:<port><path>"
  std::string Url(const std::string& path) const;
  // The same server under another origin: "http://localhost:<port><path>".
  std::string OtherOriginUrl(const std::string& path) const;

 private:
  void Serve();
  void Answer(int fd);

  int m_listenFd = -1;
  int m_port = 0;
  std::atomic<bool> m_stop{false};
  std::mutex m_mutex;
  std::map<std::string, std::string> m_pages;
  std::thread m_thread;
};
