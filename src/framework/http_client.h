// Plain-HTTP GET with the body streamed to the caller as it arrives
// (libcurl underneath). One call, one transfer; nothing is kept between
// calls. Proxies come from the environment as libcurl reads them, except
// for loopback addresses, which are always reached directly.
#pragma once

#include <cstddef>
#include <string>

struct HttpLimits {
  // Longest wait for the connection to be made.
  long connectTimeoutMs = 15000;
  // The transfer ends when no byte arrives for this long (waiting for the
  // response included), so a dead server cannot hold the caller for ever.
  // Checked about once a second.
  long stallTimeoutMs = 30000;
};

// Receives one response. Either call may answer false to stop the
// transfer at once (nothing more is read).
class HttpResponseSink {
 public:
  virtual ~HttpResponseSink() = default;
  // Once, before the first body byte (or at the end of a response without
  // a body): the final status and the declared body length, -1 if none.
  virtual bool Begin(long status, long long contentLength) = 0;
  virtual bool Body(const char* data, size_t size) = 0;
};

enum class HttpOutcome {
  complete,          // the whole response arrived
  stoppedBySink,     // Begin or Body answered false
  connectFailed,     // refused, unreachable, or the connect timed out
  stalled,           // no byte for the stall timeout
  truncated,         // the connection ended before the declared body did
  failed,            // any other transfer or protocol error
};

struct HttpResult {
  HttpOutcome outcome = HttpOutcome::failed;
  long status = 0;               // 0 when no response arrived
  long long contentLength = -1;  // declared length, -1 if none
  long long bodyBytes = 0;       // body bytes handed to the sink
  std::string error;             // libcurl's description when not complete
};

// GET url (http only; redirects to http are followed, at most 5). The
// response body is handed to sink in pieces of at most bufferSize bytes;
// memory use does not grow with the body.
HttpResult HttpGet(const std::string& url, const HttpLimits& limits, HttpResponseSink& sink,
                   size_t bufferSize = 256 * 1024);
