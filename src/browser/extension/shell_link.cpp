#include "extension/shell_link.h"

#include <glib-unix.h>
#include <glib.h>
#include <unistd.h>

#include <memory>

#include "browser/channel_protocol.h"
#include "browser/channel_socket.h"

namespace shell_link {

namespace {

std::unique_ptr<channel::Channel>& Link() {
  static std::unique_ptr<channel::Channel> link;
  return link;
}

// The shell sends nothing unasked today; anything it does ask gets a plain
// refusal instead of leaving it waiting.
channel::Frame RefuseRequest(const channel::Frame& request) {
  channel::Frame reply;
  reply.op = channel::kReplyError;
  reply.args.push_back(channel::Value::String("unknown request " + request.op));
  return reply;
}

// The shell closing the channel is the normal end of the page.
gboolean OnReadable(gint, GIOCondition, gpointer) {
  return Link() && Link()->Pump() ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

}  // namespace

bool Connect(const std::string& socketPath, const std::string& token) {
  int fd = channel::ConnectUnix(socketPath);
  if (fd < 0) return false;
  Link() = std::make_unique<channel::Channel>(fd);
  Link()->SetRequestHandler(&RefuseRequest);
  if (!Link()->SendEvent(channel::kHello,
                         {channel::Value::String(token), channel::Value::Int(static_cast<int64_t>(::getpid()))})) {
    Link().reset();
    return false;
  }
  // Between calls the main loop notices a closed channel (and would serve
  // the shell's requests).
  g_unix_fd_add(Link()->Fd(), static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), &OnReadable, nullptr);
  return true;
}

bool Connected() { return Link() && Link()->IsOpen(); }

std::optional<channel::Frame> Call(const std::string& op, std::vector<channel::Value> args) {
  if (!Connected()) return std::nullopt;
  return Link()->Call(op, std::move(args));
}

void Send(const std::string& op, std::vector<channel::Value> args) {
  if (!Connected()) return;
  Link()->SendEvent(op, std::move(args));
  // Frames taken in while sending would wait for the next readable byte.
  if (Link()->HasBufferedFrame())
    g_idle_add([](gpointer) -> gboolean {
      if (Link()) Link()->Pump();
      return G_SOURCE_REMOVE;
    }, nullptr);
}

}  // namespace shell_link
