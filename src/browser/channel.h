// One end of the shell <-> web-process channel: frames over a connected
// Unix-domain socket. Calls are synchronous and re-entrant: while one side
// waits for the answer to its request it keeps serving the other side's
// requests and events, so a request that leads to a request back (at any
// depth) never deadlocks. Single-threaded: one thread uses a Channel.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "channel_wire.h"

namespace channel {

class Channel {
 public:
  // Answers a request; the result's op and args travel back as the reply.
  using RequestHandler = std::function<Frame(const Frame& request)>;
  using EventHandler = std::function<void(const Frame& event)>;

  // Takes ownership of the connected socket.
  explicit Channel(int fd);
  ~Channel();
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;

  void SetRequestHandler(RequestHandler handler) { m_onRequest = std::move(handler); }
  void SetEventHandler(EventHandler handler) { m_onEvent = std::move(handler); }

  bool SendEvent(const std::string& op, std::vector<Value> args);
  // Sends a request and waits for its reply, handling whatever the peer
  // sends meanwhile. Empty when the connection is lost first.
  std::optional<Frame> Call(const std::string& op, std::vector<Value> args);
  // Handles every complete frame that has arrived, without waiting. False
  // once the connection is closed.
  bool Pump();

  // A complete frame is waiting in the buffer. Writing takes in what the
  // peer sends meanwhile, so frames can be waiting while the socket itself
  // has nothing left to read: a caller that pumps on readability alone must
  // check this after sending.
  bool HasBufferedFrame() const;

  bool IsOpen() const { return m_fd >= 0; }
  int Fd() const { return m_fd; }
  void Close();

 private:
  // Reads what is there (waiting for something first when wait is set);
  // false when the connection ended.
  bool ReadSome(bool wait);
  bool WriteAll(const std::string& bytes);
  // Decodes and handles the next buffered frame. Answers false when no
  // complete frame is buffered (or the connection broke). A reply for a
  // waiting call is kept in m_replies.
  bool HandleNextFrame();
  void Dispatch(const Frame& frame);

  int m_fd;
  std::string m_in;
  size_t m_inStart = 0;
  uint32_t m_nextCallId = 1;
  std::set<uint32_t> m_waiting;
  std::map<uint32_t, Frame> m_replies;
  RequestHandler m_onRequest;
  EventHandler m_onEvent;
  // Cleared when the channel is destroyed, so a handler that destroys its
  // channel does not leave the frame loop running on freed memory.
  std::shared_ptr<bool> m_alive;
};

}  // namespace channel
