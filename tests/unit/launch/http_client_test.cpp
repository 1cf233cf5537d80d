// The HTTP client against a loopback server: how each kind of response
// ends, and that dead peers end the transfer instead of hanging it.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "http_client.h"
#include "launch_test_support.h"
#include "loopback_http_server.h"

namespace {

struct CollectingSink : HttpResponseSink {
  bool Begin(long s, long long length) override {
    ++begins;
    status = s;
    declared = length;
    return acceptStatus == 0 || s == acceptStatus;
  }
  bool Body(const char* data, size_t size) override {
    body.append(data, size);
    ++pieces;
    return true;
  }
  long acceptStatus = 0;  // 0: any
  int begins = 0;
  int pieces = 0;
  long status = 0;
  long long declared = -2;
  std::string body;
};

std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 977) & 0xFF);
  return bytes;
}

HttpLimits QuickLimits() {
  HttpLimits limits;
  limits.connectTimeoutMs = 2000;
  limits.stallTimeoutMs = 500;
  return limits;
}

TEST(HttpClient, OutcomeTable) {
  const std::string big = Pattern(700 * 1024);
  ScriptedReply noLength = Reply(200, big);
  noLength.declaredLength = -2;
  ScriptedReply truncated = Reply(200, big);
  truncated.closeAfter = 5000;
  ScriptedReply stallInBody = Reply(200, big);
  stallInBody.stallAfter = 5000;
  ScriptedReply stallFirst = Reply(200, big);
  stallFirst.stallBeforeHeaders = true;
  ScriptedReply redirect = Reply(302, "moved");
  redirect.location = "/target";

  const struct {
    const char* name;
    ScriptedReply reply;
    HttpOutcome outcome;
    long status;
    std::string body;  // what reached the sink
  } cases[] = {
      {"200 with length, several pieces", Reply(200, big), HttpOutcome::complete, 200, big},
      {"200 ended by the connection", noLength, HttpOutcome::complete, 200, big},
      {"200 without a body", Reply(200, ""), HttpOutcome::complete, 200, ""},
      {"404", Reply(404, "missing"), HttpOutcome::complete, 404, "missing"},
      {"500", Reply(500, "broken"), HttpOutcome::complete, 500, "broken"},
      {"redirect followed", redirect, HttpOutcome::complete, 200, "final"},
      {"connection closed early", truncated, HttpOutcome::truncated, 200, big.substr(0, 5000)},
      {"server silent mid-body", stallInBody, HttpOutcome::stalled, 200, big.substr(0, 5000)},
      {"server silent before the headers", stallFirst, HttpOutcome::stalled, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackHttpServer server({{"/file", c.reply}, {"/target", Reply(200, "final")}});
    CollectingSink sink;
    HttpResult result = HttpGet(server.Url("/file"), QuickLimits(), sink);
    EXPECT_EQ(result.outcome, c.outcome) << result.error;
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(sink.body, c.body);
    EXPECT_EQ(result.bodyBytes, static_cast<long long>(c.body.size()));
    EXPECT_EQ(sink.begins, c.status ? 1 : 0);
    ASSERT_FALSE(server.Requests().empty());
    EXPECT_EQ(server.Requests()[0].rfind("GET /file HTTP/1.1\r\n", 0), 0u) << server.Requests()[0];
    EXPECT_NE(server.Requests()[0].find("\r\nHost: " + server.HostPort()), std::string::npos);
  }
}

TEST(HttpClient, SinkStopsTheTransferBeforeAnyBody) {
  ScriptedReply notFound;
  notFound.status = 404;
  notFound.body = Pattern(300 * 1024);
  LoopbackHttpServer server({{"/file", notFound}});
  CollectingSink sink;
  sink.acceptStatus = 200;
  HttpResult result = HttpGet(server.Url("/file"), QuickLimits(), sink);
  EXPECT_EQ(result.outcome, HttpOutcome::stoppedBySink);
  EXPECT_EQ(result.status, 404);
  EXPECT_EQ(sink.pieces, 0);
}

// A proxy from the environment is not used for the loopback server (here the
// proxy refuses every connection, so using it would fail).
TEST(HttpClient, LoopbackIsNeverProxied) {
  std::string deadProxy = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort());
  ScopedEnvironment proxy("http_proxy", deadProxy.c_str());
  ScopedEnvironment noProxy("no_proxy", "example.invalid");
  ScriptedReply ok;
  ok.body = "launcher";
  LoopbackHttpServer server({{"/file", ok}});
  CollectingSink sink;
  HttpResult result = HttpGet(server.Url("/file"), QuickLimits(), sink);
  EXPECT_EQ(result.outcome, HttpOutcome::complete) << result.error;
  EXPECT_EQ(sink.body, "launcher");
}

TEST(HttpClient, RefusedConnection) {
  CollectingSink sink;
  HttpResult result = HttpGet("http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/file", QuickLimits(), sink);
  EXPECT_EQ(result.outcome, HttpOutcome::connectFailed);
  EXPECT_EQ(sink.begins, 0);
}

// A listener whose accept queue is full drops further connection attempts,
// so the connect never completes: the connect timeout has to end it.
TEST(HttpClient, ConnectTimeout) {
  int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  std::vector<int> fillers;  // occupy the queue; they are never accepted
  for (int i = 0; i < 4; ++i) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    fillers.push_back(fd);
  }
  HttpLimits limits = QuickLimits();
  limits.connectTimeoutMs = 300;
  CollectingSink sink;
  HttpResult result = HttpGet("http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/file", limits, sink);
  EXPECT_EQ(result.outcome, HttpOutcome::connectFailed) << result.error;
  EXPECT_EQ(sink.begins, 0);
  for (int fd : fillers) close(fd);
  close(listener);
}

}  // namespace
