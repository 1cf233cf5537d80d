#include <gtest/gtest.h>
#include <glib.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "browser/channel.h"
#include "browser/channel_protocol.h"
#include "browser/channel_socket.h"
#include "browser/extension_server.h"

using channel::Channel;
using channel::Frame;
using channel::Value;

namespace {

Frame Answer(const std::string& op, std::vector<Value> args = {}) {
  Frame f;
  f.op = op;
  f.args = std::move(args);
  return f;
}

// Serves a channel on its own thread until told to stop or the
// connection ends.
void ServeUntilStopped(Channel& link, std::atomic<bool>& stop) {
  while (!stop && link.IsOpen()) {
    pollfd p{link.Fd(), POLLIN, 0};
    if (::poll(&p, 1, 100) > 0 && !link.Pump()) break;
  }
}

TEST(Channel, CallsNestInBothDirections) {
  int fds[2];
  ASSERT_EQ(0, ::socketpair(AF_UNIX, SOCK_STREAM, 0, fds));
  Channel shell(fds[0]);
  Channel page(fds[1]);
  std::atomic<bool> stop{false};
  std::vector<std::string> log;  // written by whichever side runs; the calls are strictly nested

  // The page's request leads the shell to ask the page, which asks the
  // shell again before anyone has answered.
  page.SetRequestHandler([&](const Frame& r) {
    log.push_back("page serves " + r.op);
    if (r.op == "document") {
      auto inner = page.Call("innermost", {});
      return Answer("value", {Value::String("doc+" + (inner ? inner->args[0].text : std::string("lost")))});
    }
    return Answer("error");
  });
  shell.SetRequestHandler([&](const Frame& r) {
    log.push_back("shell serves " + r.op);
    if (r.op == "login") {
      shell.SendEvent("progress", {});
      auto doc = shell.Call("document", {});
      return Answer("value", {Value::String("logged in with " + (doc ? doc->args[0].text : std::string("lost")))});
    }
    if (r.op == "innermost") return Answer("value", {Value::String("deep")});
    return Answer("error");
  });
  std::thread shellThread([&] { ServeUntilStopped(shell, stop); });

  std::vector<std::string> pageEvents;
  page.SetEventHandler([&](const Frame& e) { pageEvents.push_back(e.op); });
  auto reply = page.Call("login", {Value::String("payload")});
  stop = true;
  shellThread.join();

  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ("value", reply->op);
  EXPECT_EQ("logged in with doc+deep", reply->args[0].text);
  EXPECT_EQ((std::vector<std::string>{"shell serves login", "page serves document", "shell serves innermost"}), log);
  EXPECT_EQ((std::vector<std::string>{"progress"}), pageEvents) << "events sent during a call arrive during it";
}

TEST(Channel, ALostPeerEndsTheWaitAndMalformedBytesCloseTheChannel) {
  {
    int fds[2];
    ASSERT_EQ(0, ::socketpair(AF_UNIX, SOCK_STREAM, 0, fds));
    Channel page(fds[0]);
    std::thread peer([fd = fds[1]] {
      char buffer[256];
      (void)::recv(fd, buffer, sizeof buffer, 0);  // takes the request, then goes away
      ::close(fd);
    });
    EXPECT_FALSE(page.Call("get", {Value::String("piqnwg")}).has_value());
    peer.join();
    EXPECT_FALSE(page.IsOpen());
  }
  {
    int fds[2];
    ASSERT_EQ(0, ::socketpair(AF_UNIX, SOCK_STREAM, 0, fds));
    Channel shell(fds[0]);
    const char garbage[] = "\x05\x00\x00\x00\x07zzzz";
    ASSERT_EQ(static_cast<ssize_t>(sizeof garbage - 1), ::send(fds[1], garbage, sizeof garbage - 1, 0));
    EXPECT_FALSE(shell.Pump());
    EXPECT_FALSE(shell.IsOpen());
    ::close(fds[1]);
  }
}

// Frames may already be buffered (taken in while writing) when the socket
// has nothing more to read.
template <class Done>
void PumpUntil(Channel& link, Done done) {
  while (!done() && link.IsOpen()) {
    pollfd p{link.Fd(), POLLIN, 0};
    if (link.HasBufferedFrame() || ::poll(&p, 1, 100) > 0) link.Pump();
  }
}

TEST(Channel, BothSidesWritingLargeFramesAtOnceDoNotDeadlock) {
  int fds[2];
  ASSERT_EQ(0, ::socketpair(AF_UNIX, SOCK_STREAM, 0, fds));
  Channel a(fds[0]), b(fds[1]);
  const std::string big(4 * 1024 * 1024, 'x');
  std::string gotByA, gotByB;
  a.SetEventHandler([&](const Frame& e) { gotByA = e.args[0].text; });
  b.SetEventHandler([&](const Frame& e) { gotByB = e.args[0].text; });
  // Far more than a socket buffer holds, in both directions at once.
  std::thread other([&] {
    b.SendEvent("big", {Value::String(big)});
    PumpUntil(b, [&] { return !gotByB.empty(); });
  });
  a.SendEvent("big", {Value::String(big)});
  PumpUntil(a, [&] { return !gotByA.empty(); });
  other.join();
  EXPECT_EQ(big.size(), gotByA.size());
  EXPECT_EQ(big.size(), gotByB.size());
}

TEST(ChannelSocket, TheRendezvousIsPrivate) {
  std::string dir = channel::PrivateSocketDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir, channel::PrivateSocketDirectory());
  struct stat st;
  ASSERT_EQ(0, ::stat(dir.c_str(), &st));
  EXPECT_EQ(0700u, st.st_mode & 0777);
  EXPECT_EQ(::geteuid(), st.st_uid);

  std::string path = dir + "/unit-test";
  int listener = channel::ListenUnix(path);
  ASSERT_GE(listener, 0);
  ASSERT_EQ(0, ::stat(path.c_str(), &st));
  EXPECT_EQ(0600u, st.st_mode & 0777);
  EXPECT_EQ(-1, channel::AcceptPeer(listener)) << "nobody is waiting yet";
  int client = channel::ConnectUnix(path);
  ASSERT_GE(client, 0);
  int accepted = channel::AcceptPeer(listener);
  EXPECT_GE(accepted, 0);
  ::close(client);
  ::close(accepted);
  ::close(listener);
  ::unlink(path.c_str());
  EXPECT_EQ(-1, channel::ConnectUnix(dir + "/nothing-here"));
}

TEST(ChannelSocket, DirectoriesOfKilledProcessesAreSweptAway) {
  char pattern[] = "/tmp/quorin-sweep-XXXXXX";
  ASSERT_NE(nullptr, ::mkdtemp(pattern));
  const std::string base = pattern;
  pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);  // a process id that no longer runs
  struct Case {
    std::string name;
    mode_t mode;
    bool swept;
  } cases[] = {
      {"quorin-browser-" + std::to_string(child) + "-aaaaaa", 0700, true},
      {"quorin-browser-" + std::to_string(::getpid()) + "-bbbbbb", 0700, false},  // still running
      {"quorin-browser-" + std::to_string(child) + "-cccccc", 0755, false},       // not a private one of ours
      {"quorin-browser-xyz", 0700, false},
      {"other-" + std::to_string(child) + "-dddddd", 0700, false},
  };
  for (const Case& c : cases) {
    std::string dir = base + "/" + c.name;
    ASSERT_EQ(0, ::mkdir(dir.c_str(), c.mode));
    ::chmod(dir.c_str(), c.mode);
    int socket = channel::ListenUnix(dir + "/b1");
    ASSERT_GE(socket, 0);
    ::close(socket);
  }
  channel::RemoveDeadSocketDirectories(base);
  for (const Case& c : cases) {
    std::string dir = base + "/" + c.name;
    struct stat st;
    EXPECT_EQ(!c.swept, ::stat(dir.c_str(), &st) == 0) << c.name;
    ::unlink((dir + "/b1").c_str());
    ::rmdir(dir.c_str());
  }
  ::rmdir(base.c_str());
}

TEST(ChannelSocket, TokensAreRandomAndComparedWhole) {
  std::string a = channel::RandomToken(), b = channel::RandomToken();
  EXPECT_EQ(32u, a.size());
  EXPECT_EQ(std::string::npos, a.find_first_not_of("0123456789abcdef"));
  EXPECT_NE(a, b);
  struct Case {
    std::string x, y;
    bool equal;
  } cases[] = {{a, a, true}, {a, b, false}, {a, a.substr(0, 31), false}, {a, a + "0", false}, {"", "", true}};
  for (const Case& c : cases) EXPECT_EQ(c.equal, channel::TokensEqual(c.x, c.y)) << c.x << " / " << c.y;
}

// The shell's side: only a peer that presents the token is heard.
class RecordingDelegate : public ExtensionServer::Delegate {
 public:
  Frame OnExtensionRequest(const Frame& request) override {
    requests.push_back(request.op);
    return Answer(channel::kReplyValue, {Value::String("Xfspry")});
  }
  void OnExtensionEvent(const Frame& event) override { events.push_back(event.op); }
  std::vector<std::string> requests, events;
};

void Spin(int rounds) {
  for (int i = 0; i < rounds; ++i) g_main_context_iteration(nullptr, FALSE);
}

TEST(ExtensionServer, OnlyAPeerWithTheTokenIsHeard) {
  RecordingDelegate delegate;
  ExtensionServer server(&delegate);
  ASSERT_TRUE(server.Start());

  struct Case {
    const char* what;
    std::vector<Value> hello;  // empty: send a request first instead
    bool heard;
  } cases[] = {
      {"right token", {Value::String(server.Token()), Value::Int(4242)}, true},
      {"wrong token", {Value::String(channel::RandomToken()), Value::Int(1)}, false},
      {"token cut short", {Value::String(server.Token().substr(1)), Value::Int(1)}, false},
      {"no hello at all", {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    delegate.requests.clear();
    delegate.events.clear();
    Channel peer(channel::ConnectUnix(server.SocketPath()));
    ASSERT_TRUE(peer.IsOpen());
    if (!c.hello.empty()) peer.SendEvent(channel::kHello, c.hello);
    peer.SendEvent(channel::kNavigated, {});
    // The server answers from the main loop; a thread plays the page.
    std::optional<Frame> reply;
    std::thread page([&] { reply = peer.Call(channel::kGet, {Value::String("piqnwg")}); });
    for (int i = 0; i < 200 && delegate.requests.empty(); ++i) {
      Spin(10);
      ::usleep(2000);
    }
    Spin(10);
    page.join();  // a refused peer's wait ends when the server hangs up
    if (c.heard) {
      ASSERT_TRUE(reply.has_value());
      EXPECT_EQ("Xfspry", reply->args[0].text);
      EXPECT_EQ((std::vector<std::string>{channel::kNavigated}), delegate.events);
      EXPECT_EQ((std::vector<int>{4242}), server.PeerProcessIds());
    } else {
      EXPECT_FALSE(reply.has_value());
      EXPECT_TRUE(delegate.events.empty());
      EXPECT_TRUE(delegate.requests.empty());
    }
  }
}

}  // namespace
