// The command-line split against the shared C-runtime vectors, and the
// program name a command line starts.
#include <gtest/gtest.h>
#include <json/json.h>

#include <fstream>

#include "process.h"

namespace {

Json::Value LoadVectors() {
  std::ifstream in(QUORIN_CORPORA_DIR "/cmdline/vectors.json", std::ios::binary);
  Json::CharReaderBuilder builder;
  Json::Value vectors;
  std::string errors;
  EXPECT_TRUE(Json::parseFromStream(builder, in, &vectors, &errors)) << errors;
  return vectors;
}

TEST(CommandLineSplit, MatchesTheCRuntimeVectors) {
  Json::Value vectors = LoadVectors();
  ASSERT_TRUE(vectors.isArray());
  int checked = 0;
  for (const Json::Value& v : vectors) {
    // C-runtime vectors, and those the other rule splits the same way.
    if (v["rule"].asString() != "crt" && !v["agrees_with_other_rule"].asBool()) continue;
    std::string line = v["cmdline"].asString();
    std::vector<std::string> expected;
    for (const Json::Value& a : v["argv"]) expected.push_back(a.asString());
    // The vectors stand TEST.EXE in for the running program's own path.
    EXPECT_EQ(SplitCommandLine(line, "TEST.EXE"), expected) << "command line: [" << line << "] " << v["source"].asString();
    ++checked;
  }
  EXPECT_GE(checked, 54);  // every "crt" vector took part
}

TEST(CommandLineSplit, ProgramNameIsTheQuotedPartOrTheFirstWord) {
  const struct {
    const char* line;
    const char* program;
  } cases[] = {
      {"\"/opt/game dir/tavrek_launch.exe\" ,id^1", "/opt/game dir/tavrek_launch.exe"},
      {"\"/opt/game/tavrek_launch.exe\"joined text", "/opt/game/tavrek_launch.exe"},
      {"\"/unterminated quote", "/unterminated quote"},
      {"/bin/prog\targ", "/bin/prog"},
      {"", ""},
      {" leading", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(CommandLineProgram(c.line), c.program) << c.line;
}

}  // namespace
