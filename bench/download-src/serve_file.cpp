// Serves one file over HTTP/1.1 on 127.0.0.1 for the download benchmark:
// every GET gets the file (Content-Length, then the bytes by sendfile).
//   bench-file-server FILE PORT_FILE
// Writes the chosen port to PORT_FILE; exits after 120 s without a
// connection, so a forgotten server does not linger.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdio.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

bool SendAll(int fd, const std::string& text) {
  size_t sent = 0;
  while (sent < text.size()) {
    ssize_t n = send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

void Serve(int client, int file, off_t size) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
    pollfd p{client, POLLIN, 0};
    if (poll(&p, 1, 10000) <= 0) return;
    ssize_t n = recv(client, buffer, sizeof buffer, 0);
    if (n <= 0) return;
    head.append(buffer, static_cast<size_t>(n));
  }
  if (!SendAll(client, "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                           std::to_string(size) + "\r\nConnection: close\r\n\r\n"))
    return;
  off_t offset = 0;
  while (offset < size) {
    ssize_t n = sendfile(client, file, &offset, static_cast<size_t>(size - offset));
    if (n <= 0) return;
  }
  shutdown(client, SHUT_WR);
  // Let the client read to the end before the socket goes.
  while (recv(client, buffer, sizeof buffer, 0) > 0) {
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: bench-file-server FILE PORT_FILE\n");
    return 2;
  }
  int file = open(argv[1], O_RDONLY | O_CLOEXEC);
  struct stat info;
  if (file < 0 || fstat(file, &info) != 0) {
    perror(argv[1]);
    return 1;
  }
  int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listener, 16) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    perror("listen");
    return 1;
  }
  std::string portFile = argv[2];
  FILE* out = fopen((portFile + ".partial").c_str(), "w");
  if (!out) return 1;
  fprintf(out, "%d\n", ntohs(addr.sin_port));
  fclose(out);
  rename((portFile + ".partial").c_str(), portFile.c_str());

  for (;;) {
    pollfd p{listener, POLLIN, 0};
    if (poll(&p, 1, 120000) <= 0) return 0;
    int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    Serve(client, file, info.st_size);
    close(client);
  }
}
