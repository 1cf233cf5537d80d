// Round-trip cost of reading window.external.piqnwg from page script,
// against the same loop over a plain JavaScript property, in one page.
#include <gtk/gtk.h>

#include <cstdio>
#include <string>

#include "browser_harness.h"
#include "framework/text.h"
#include "http_test_server.h"

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  const int kReads = 10000;
  HttpTestServer server;
  server.Add("/bench.html",
             "<script>"
             "var n = " + std::to_string(kReads) + ", s = 0, i;"
             "var plain = { piqnwg: 'Xfspry' };"
             "var t0 = performance.now();"
             "for (i = 0; i < n; ++i) s += plain.piqnwg.length;"
             "var t1 = performance.now();"
             "for (i = 0; i < n; ++i) s += window.external.piqnwg.length;"
             "var t2 = performance.now();"
             "window.external.AppLogin(JSON.stringify({plain: t1 - t0, external: t2 - t1, check: s}));"
             "</script>");
  TestExternal external;
  TestHost host;
  host.external = &external;
  int status = 1;
  {
    BrowserWindow view(&host, 400, 300);
    if (view.Browser() && view.Navigate(server.Url("/bench.html")) == S_OK &&
        RunUntil([&] { return !external.calls.empty(); }, 120000)) {
      std::string result = NarrowText(external.Payloads()[0]);
      double plain = 0, viaExternal = 0;
      long check = 0;
      std::sscanf(result.c_str(), "{\"plain\":%lf,\"external\":%lf,\"check\":%ld}", &plain, &viaExternal, &check);
      if (check == 12L * kReads) {
        std::printf("reads %d\n", kReads);
        std::printf("plain-property-ms %.3f\n", plain);
        std::printf("window-external-ms %.3f\n", viaExternal);
        std::printf("ratio %.1f\n", plain > 0 ? viaExternal / plain : 0.0);
        std::printf("per-call-us %.2f\n", viaExternal * 1000.0 / kReads);
        status = 0;
      } else {
        std::fprintf(stderr, "unexpected result from the page: %s\n", result.c_str());
      }
    } else {
      std::fprintf(stderr, "the benchmark page did not report\n");
    }
    view.Close();
  }
  return status;
}
