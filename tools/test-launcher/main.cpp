// Stand-in for the game launcher. Writes how it was started — its argv
// (argv[0] included), working directory, the QUORIN_COMMAND_LINE variable,
// its pid, parent pid, session id and open descriptors — as one JSON object to the file named
// by QUORIN_TEST_LAUNCHER_RECORD, then exits 0. The file appears whole
// (written beside it, then renamed), so a reader polling for it never sees
// half a record.
#include <dirent.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace {

std::string JsonString(const char* text) {
  std::string out = "\"";
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    unsigned char c = *p;
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);  // UTF-8 bytes pass through
    }
  }
  return out + "\"";
}

// The descriptors open in this process, read from /proc/self/fd.
std::string OpenDescriptors() {
  std::string list = "[";
  DIR* dir = opendir("/proc/self/fd");
  if (!dir) return "null";
  int own = dirfd(dir);
  bool first = true;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    int fd = atoi(entry->d_name);
    if (fd == own) continue;
    list += (first ? "" : ",") + std::to_string(fd);
    first = false;
  }
  closedir(dir);
  return list + "]";
}

}  // namespace

int main(int argc, char** argv) {
  const char* recordPath = getenv("QUORIN_TEST_LAUNCHER_RECORD");
  if (!recordPath || !*recordPath) {
    fprintf(stderr, "test-launcher: QUORIN_TEST_LAUNCHER_RECORD is not set\n");
    return 2;
  }
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) cwd[0] = '\0';
  const char* commandLine = getenv("QUORIN_COMMAND_LINE");

  std::string json = "{\"argv\":[";
  for (int i = 0; i < argc; ++i) json += (i ? "," : "") + JsonString(argv[i]);
  json += "],\"cwd\":" + JsonString(cwd);
  json += ",\"command_line\":" + (commandLine ? JsonString(commandLine) : std::string("null"));
  json += ",\"pid\":" + std::to_string(getpid());
  json += ",\"ppid\":" + std::to_string(getppid());
  json += ",\"sid\":" + std::to_string(getsid(0));
  json += ",\"fds\":" + OpenDescriptors();
  json += "}\n";

  std::string partial = std::string(recordPath) + ".partial";
  FILE* file = fopen(partial.c_str(), "w");
  if (!file) return 3;
  bool written = fwrite(json.data(), 1, json.size(), file) == json.size();
  if (fclose(file) != 0 || !written || rename(partial.c_str(), recordPath) != 0) return 3;
  return 0;
}
