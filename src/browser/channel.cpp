#include "channel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace channel {

namespace {
constexpr size_t kReadChunk = 64 * 1024;
constexpr size_t kReadBound = 8 * 1024 * 1024;
}  // namespace

Channel::Channel(int fd) : m_fd(fd), m_alive(std::make_shared<bool>(true)) {
  if (m_fd >= 0) {
    fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    fcntl(m_fd, F_SETFD, FD_CLOEXEC);
  }
}

Channel::~Channel() {
  *m_alive = false;
  Close();
}

void Channel::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

bool Channel::ReadSome(bool wait) {
  if (m_fd < 0) return false;
  if (wait) {
    pollfd p{m_fd, POLLIN, 0};
    while (::poll(&p, 1, -1) < 0)
      if (errno != EINTR) {
        Close();
        return false;
      }
  }
  // Takes everything that is there now, so that a caller who must see all
  // frames sent so far (before acting on news from elsewhere) does.
  // A bound keeps a peer that never stops writing from holding us here.
  char buffer[kReadChunk];
  for (size_t taken = 0;;) {
    ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
    if (n > 0) {
      m_in.append(buffer, static_cast<size_t>(n));
      taken += static_cast<size_t>(n);
      if (taken >= kReadBound) return true;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    Close();  // end of stream or a broken connection
    return false;
  }
}

bool Channel::WriteAll(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    if (m_fd < 0) return false;
    ssize_t n = ::send(m_fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // The peer is not reading. It may itself be blocked writing to us, so
      // keep taking in what it sends while waiting for room.
      pollfd p{m_fd, POLLOUT | POLLIN, 0};
      if (::poll(&p, 1, -1) < 0 && errno != EINTR) {
        Close();
        return false;
      }
      if ((p.revents & POLLIN) && !ReadSome(false)) return false;
      continue;
    }
    Close();
    return false;
  }
  return true;
}

bool Channel::HandleNextFrame() {
  if (m_inStart >= m_in.size()) return false;
  Frame frame;
  size_t consumed = 0;
  switch (DecodeFrame(m_in.data() + m_inStart, m_in.size() - m_inStart, &frame, &consumed)) {
    case DecodeStatus::kNeedMore: return false;
    case DecodeStatus::kMalformed:
      Close();
      return false;
    case DecodeStatus::kFrame: break;
  }
  // Take the frame off the buffer before handling it: the handler may come
  // back here (nested calls, nested main loops) for the frames after it.
  m_inStart += consumed;
  if (m_inStart == m_in.size()) {
    m_in.clear();
    m_inStart = 0;
  } else if (m_inStart > kReadChunk && m_inStart * 2 > m_in.size()) {
    m_in.erase(0, m_inStart);
    m_inStart = 0;
  }
  Dispatch(frame);
  return true;
}

void Channel::Dispatch(const Frame& frame) {
  switch (frame.kind) {
    case FrameKind::kReply:
      // A reply nobody waits for any more is dropped.
      if (m_waiting.count(frame.callId)) m_replies[frame.callId] = frame;
      return;
    case FrameKind::kEvent:
      if (m_onEvent) m_onEvent(frame);
      return;
    case FrameKind::kRequest: {
      std::shared_ptr<bool> alive = m_alive;
      Frame reply;
      if (m_onRequest)
        reply = m_onRequest(frame);
      else
        reply.op = "error";
      if (!*alive) return;
      reply.kind = FrameKind::kReply;
      reply.callId = frame.callId;
      WriteAll(EncodeFrame(reply));
      return;
    }
  }
}

bool Channel::HasBufferedFrame() const {
  if (m_inStart >= m_in.size()) return false;
  Frame frame;
  size_t consumed = 0;
  return DecodeFrame(m_in.data() + m_inStart, m_in.size() - m_inStart, &frame, &consumed) != DecodeStatus::kNeedMore;
}

bool Channel::SendEvent(const std::string& op, std::vector<Value> args) {
  Frame frame;
  frame.kind = FrameKind::kEvent;
  frame.op = op;
  frame.args = std::move(args);
  return WriteAll(EncodeFrame(frame));
}

std::optional<Frame> Channel::Call(const std::string& op, std::vector<Value> args) {
  if (m_fd < 0) return std::nullopt;
  Frame request;
  request.kind = FrameKind::kRequest;
  request.callId = m_nextCallId++;
  if (m_nextCallId == 0) m_nextCallId = 1;
  request.op = op;
  request.args = std::move(args);
  const uint32_t id = request.callId;
  std::shared_ptr<bool> alive = m_alive;
  m_waiting.insert(id);
  bool sent = WriteAll(EncodeFrame(request));
  while (sent && *alive) {
    auto found = m_replies.find(id);
    if (found != m_replies.end()) {
      Frame reply = std::move(found->second);
      m_replies.erase(found);
      m_waiting.erase(id);
      return reply;
    }
    if (HandleNextFrame()) continue;
    if (!ReadSome(true)) break;
  }
  if (*alive) {
    m_waiting.erase(id);
    m_replies.erase(id);
  }
  return std::nullopt;
}

bool Channel::Pump() {
  std::shared_ptr<bool> alive = m_alive;
  if (!ReadSome(false)) {
    // Frames that arrived before the end are still handled.
    while (*alive && HandleNextFrame()) {
    }
    return false;
  }
  while (*alive && HandleNextFrame()) {
  }
  return *alive && IsOpen();
}

}  // namespace channel
