/* A launcher that notes the wall-clock time of its first instruction and
 * the command line it was given. */
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

int main(int argc, char **argv) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  const char *out = getenv("QUORIN_BENCH_STAMP");
  FILE *f = out ? fopen(out, "w") : NULL;
  if (!f) return 1;
  fprintf(f, "%.3f\n", now.tv_sec * 1000.0 + now.tv_nsec / 1e6);
  for (int i = 0; i < argc; ++i) fprintf(f, "%s\n", argv[i]);
  fclose(f);
  return 0;
}
