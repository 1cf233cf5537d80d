#include "loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

constexpr int kPollMs = 20;
// A request head that has not arrived after this many polls is given up.
constexpr int kMaxRequestPolls = 250;

int ListenOnLoopback(int& port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket failed");
  int yes = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    close(fd);
    throw std::runtime_error("bind failed");
  }
  port = ntohs(addr.sin_port);
  return fd;
}

bool SendAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

const char* Reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(std::map<std::string, ScriptedReply> replies) : m_replies(std::move(replies)) {
  m_listenFd = ListenOnLoopback(m_port);
  if (listen(m_listenFd, 16) != 0) {
    close(m_listenFd);
    throw std::runtime_error("listen failed");
  }
  m_thread = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  m_stop = true;
  m_thread.join();
  close(m_listenFd);
}

std::vector<std::string> LoopbackHttpServer::Requests() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_requests;
}

void LoopbackHttpServer::Serve() {
  while (!Stopping()) {
    pollfd p{m_listenFd, POLLIN, 0};
    if (poll(&p, 1, kPollMs) <= 0) continue;
    int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    Answer(fd);
    close(fd);
  }
}

void LoopbackHttpServer::Answer(int fd) {
  std::string head;
  for (int polls = 0; head.find("\r\n\r\n") == std::string::npos; ++polls) {
    if (Stopping() || polls > kMaxRequestPolls) return;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, kPollMs) <= 0) continue;
    char buffer[4096];
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return;
    head.append(buffer, static_cast<size_t>(n));
  }
  head.resize(head.find("\r\n\r\n"));
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.push_back(head);
  }
  size_t pathStart = head.find(' ') + 1;
  std::string path = head.substr(pathStart, head.find(' ', pathStart) - pathStart);

  ScriptedReply reply;
  auto it = m_replies.find(path);
  if (it != m_replies.end()) {
    reply = it->second;
  } else {
    reply.status = 404;
    reply.body = "not here";
  }

  auto holdUntilStopped = [&] {
    while (!Stopping()) poll(nullptr, 0, kPollMs);
  };
  if (reply.stallBeforeHeaders) return holdUntilStopped();

  std::string response = "HTTP/1.1 " + std::to_string(reply.status) + " " + Reason(reply.status) + "\r\n";
  long long declared = reply.declaredLength == -1 ? static_cast<long long>(reply.body.size()) : reply.declaredLength;
  if (declared >= 0) response += "Content-Length: " + std::to_string(declared) + "\r\n";
  if (!reply.location.empty()) response += "Location: " + reply.location + "\r\n";
  response += "Connection: close\r\n\r\n";
  if (!SendAll(fd, response.data(), response.size())) return;

  size_t bodyBytes = reply.body.size();
  if (reply.closeAfter >= 0 && static_cast<size_t>(reply.closeAfter) < bodyBytes) bodyBytes = static_cast<size_t>(reply.closeAfter);
  if (reply.stallAfter >= 0 && static_cast<size_t>(reply.stallAfter) < bodyBytes) {
    SendAll(fd, reply.body.data(), static_cast<size_t>(reply.stallAfter));
    return holdUntilStopped();
  }
  SendAll(fd, reply.body.data(), bodyBytes);
  shutdown(fd, SHUT_WR);
}

int UnusedLoopbackPort() {
  int port = 0;
  int fd = ListenOnLoopback(port);
  close(fd);  // bound but never listening: nothing accepts on it now
  return port;
}
