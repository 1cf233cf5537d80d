#include "http_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <vector>

HttpTestServer::HttpTestServer() {
  m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  if (m_listenFd < 0 || ::bind(m_listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(m_listenFd, 64) != 0 || ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
    throw std::runtime_error("cannot listen on 127.0.0.1");
  m_port = ntohs(addr.sin_port);
  m_thread = std::thread([this] { Serve(); });
}

HttpTestServer::~HttpTestServer() {
  m_stop = true;
  m_thread.join();
  ::close(m_listenFd);
}

namespace {

// Waits for input in short steps so that a stop request is seen soon.
bool WaitReadable(int fd, const std::atomic<bool>& stop, int totalMs) {
  for (int waited = 0; waited < totalMs && !stop; waited += 100) {
    pollfd p{fd, POLLIN, 0};
    int ready = ::poll(&p, 1, 100);
    if (ready > 0) return true;
    if (ready < 0) return false;
  }
  return false;
}

}  // namespace

void HttpTestServer::Add(const std::string& path, const std::string& body) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_pages[path] = body;
}

std::string HttpTestServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::string HttpTestServer::OtherOriginUrl(const std::string& path) const {
  return "http://localhost:" + std::to_string(m_port) + path;
}

void HttpTestServer::Serve() {
  // One thread per connection: a browser may open connections it does not
  // use at once, and those must not hold up the others.
  std::vector<std::thread> connections;
  while (!m_stop) {
    if (!WaitReadable(m_listenFd, m_stop, 100)) continue;
    int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    connections.emplace_back([this, fd] {
      Answer(fd);
      ::close(fd);
    });
  }
  for (std::thread& t : connections) t.join();
}

void HttpTestServer::Answer(int fd) {
  std::string request;
  char buffer[4096];
  // Headers only; the tests send no bodies. A client that stalls is dropped.
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
    if (!WaitReadable(fd, m_stop, 10000)) return;
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return;
    request.append(buffer, static_cast<size_t>(n));
  }
  std::string path;
  size_t space = request.find(' ');
  if (space != std::string::npos) {
    size_t end = request.find(' ', space + 1);
    path = request.substr(space + 1, end == std::string::npos ? std::string::npos : end - space - 1);
    size_t query = path.find('?');
    if (query != std::string::npos) path.erase(query);
  }
  std::string body;
  bool found;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_pages.find(path);
    found = it != m_pages.end();
    if (found) body = it->second;
  }
  std::string head = std::string(found ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 Not Found") +
                     "\r\nContent-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\nConnection: close\r\n"
                     "Content-Length: " +
                     std::to_string(body.size()) + "\r\n\r\n";
  std::string reply = head + body;
  size_t sent = 0;
  while (sent < reply.size()) {
    ssize_t n = ::send(fd, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}
