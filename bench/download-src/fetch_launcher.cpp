// Fetches a launcher with the shell's own download code and prints how
// long it took and the process's peak memory:
//   download-bench URL TARGET  ->  "seconds <s> peak_kib <k>"
#include <stdio.h>
#include <sys/resource.h>

#include <chrono>

#include "headless_backend.h"
#include "launch/launcher_download.h"
#include "text.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: download-bench URL TARGET\n");
    return 2;
  }
  HeadlessBackend::Install();  // a file error would show a box: answered at once
  auto start = std::chrono::steady_clock::now();
  bool fetched = DownloadLauncher(WidenText(argv[2]), argv[1], HttpLimits{});
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  if (!fetched) {
    fprintf(stderr, "download-bench: the download failed\n");
    return 1;
  }
  printf("seconds %.4f peak_kib %ld\n", seconds, usage.ru_maxrss);
  return 0;
}
