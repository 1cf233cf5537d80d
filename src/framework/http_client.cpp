#include "http_client.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdlib>
#include <mutex>

#ifndef CURL_WRITEFUNC_ERROR
#define CURL_WRITEFUNC_ERROR 0xFFFFFFFF
#endif

namespace {

using Clock = std::chrono::steady_clock;

struct Transfer {
  CURL* curl;
  HttpResponseSink& sink;
  HttpResult& result;
  long stallTimeoutMs;
  bool begun = false;
  bool stoppedBySink = false;
  bool stalled = false;
  curl_off_t lastReceived = 0;
  Clock::time_point lastProgress = Clock::now();
};

void EnsureCurlInitialised() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

void ReadResponseInfo(Transfer& t) {
  long status = 0;
  curl_easy_getinfo(t.curl, CURLINFO_RESPONSE_CODE, &status);
  curl_off_t length = -1;
  curl_easy_getinfo(t.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  t.result.status = status;
  t.result.contentLength = length;
}

bool BeginOnce(Transfer& t) {
  if (t.begun) return true;
  t.begun = true;
  ReadResponseInfo(t);
  if (!t.sink.Begin(t.result.status, t.result.contentLength)) {
    t.stoppedBySink = true;
    return false;
  }
  return true;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  size_t bytes = size * count;
  if (!BeginOnce(t)) return CURL_WRITEFUNC_ERROR;
  if (bytes == 0) return 0;
  if (!t.sink.Body(data, bytes)) {
    t.stoppedBySink = true;
    return CURL_WRITEFUNC_ERROR;
  }
  t.result.bodyBytes += static_cast<long long>(bytes);
  return bytes;
}

// Called by libcurl while the transfer runs, at least about once a second:
// ends it when nothing has arrived for the stall timeout.
int OnProgress(void* user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t) {
  auto& t = *static_cast<Transfer*>(user);
  Clock::time_point now = Clock::now();
  curl_off_t connected = 0;
  curl_easy_getinfo(t.curl, CURLINFO_CONNECT_TIME_T, &connected);
  if (connected == 0 || received != t.lastReceived) {  // the connect has its own timeout
    t.lastReceived = received;
    t.lastProgress = now;
    return 0;
  }
  if (now - t.lastProgress >= std::chrono::milliseconds(t.stallTimeoutMs)) {
    t.stalled = true;
    return 1;
  }
  return 0;
}

// The environment's no-proxy list with the loopback names added: a server
// on this machine is never reached through a proxy.
std::string NoProxyList() {
  const char* listed = std::getenv("no_proxy");
  if (!listed || !*listed) listed = std::getenv("NO_PROXY");
  std::string list = listed ? listed : "";
  if (!list.empty()) list += ",";
  return list + "localhost,127.0.0.1,::1";
}

HttpOutcome OutcomeOf(CURL* curl, CURLcode code) {
  switch (code) {
    case CURLE_OK: return HttpOutcome::complete;
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return HttpOutcome::connectFailed;
    case CURLE_OPERATION_TIMEDOUT: {
      curl_off_t connected = 0;
      curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connected);
      return connected > 0 ? HttpOutcome::failed : HttpOutcome::connectFailed;
    }
    case CURLE_PARTIAL_FILE: return HttpOutcome::truncated;
    default: return HttpOutcome::failed;
  }
}

}  // namespace

HttpResult HttpGet(const std::string& url, const HttpLimits& limits, HttpResponseSink& sink, size_t bufferSize) {
  EnsureCurlInitialised();
  HttpResult result;
  CURL* curl = curl_easy_init();
  if (!curl) {
    result.error = "libcurl could not start a transfer";
    return result;
  }
  Transfer transfer{curl, sink, result, limits.stallTimeoutMs};
  char errorText[CURL_ERROR_SIZE] = "";

  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "quorin-login");
  const std::string noProxy = NoProxyList();
  curl_easy_setopt(curl, CURLOPT_NOPROXY, noProxy.c_str());
  // Signals stay untouched: the shell's other threads must not see any.
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
  // libcurl's own low-speed limit averages over several seconds, so a
  // server that sent a little and went silent would be waited for longer
  // than asked; progress is watched here instead.
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, static_cast<long>(bufferSize));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);

  CURLcode code = curl_easy_perform(curl);
  if (code == CURLE_OK && !transfer.begun) BeginOnce(transfer);  // a response without a body
  if (!transfer.begun) ReadResponseInfo(transfer);

  if (transfer.stoppedBySink)
    result.outcome = HttpOutcome::stoppedBySink;
  else if (transfer.stalled)
    result.outcome = HttpOutcome::stalled;
  else
    result.outcome = OutcomeOf(curl, code);
  if (result.outcome != HttpOutcome::complete) result.error = errorText[0] ? errorText : curl_easy_strerror(code);
  curl_easy_cleanup(curl);
  return result;
}
