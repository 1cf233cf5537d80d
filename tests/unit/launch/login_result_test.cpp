// Login payload processing: the log lines, the launch-argument text, what
// is started, and the JSON corpus swept through as payloads.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "launch/login_result.h"
#include "launch_test_support.h"
#include "text.h"

namespace {

struct Outcome {
  std::optional<std::string> launchArgs;  // narrow text handed to startGame
  int startCalls = 0;
  int hookClears = 0;
  bool hooksClearedAfterStart = false;
};

Outcome Process(const std::string& payloadUtf8) {
  Outcome outcome;
  ProcessLoginResultWith(
      CString(WidenText(payloadUtf8)),
      [&](const CString& args) {
        ++outcome.startCalls;
        outcome.launchArgs = NarrowText(args.str());
      },
      [&] {
        ++outcome.hookClears;
        outcome.hooksClearedAfterStart = outcome.startCalls == 1;
      });
  return outcome;
}

class LoginResultTest : public ::testing::Test {
 protected:
  TempDir m_dir;
  ScopedCurrentDirectory m_cwd{m_dir.Path()};
};

TEST_F(LoginResultTest, PayloadTable) {
  const std::string basic = R"({"uid":"1001","token":"tok","server_id":"7","other":"x","sign":"sig"})";
  const struct {
    const char* name;
    std::string payload;
    const char* args;  // nullptr: rejected, nothing started
    const char* authLine;
  } cases[] = {
      {"basic", basic, " ,id^1001,auth_key^tok&7&x&sig", "tok&7&x&sig"},
      {"members in another order", R"({"sign":"sig","other":"x","server_id":"7","token":"tok","uid":"1001"})",
       " ,id^1001,auth_key^tok&7&x&sig", "tok&7&x&sig"},
      {"extra members", R"({"a":[1,{"b":null}],"uid":"1001","token":"tok","server_id":"7","other":"x","sign":"sig","z":true})",
       " ,id^1001,auth_key^tok&7&x&sig", "tok&7&x&sig"},
      {"all values empty", R"({"uid":"","token":"","server_id":"","other":"","sign":""})", " ,id^,auth_key^&&&", "&&&"},
      {"separators and quotes verbatim",
       R"({"uid":"a b,c^d","token":"t&k","server_id":"\"7\"","other":"C:\\dir\\","sign":"$(touch x);`y`|z"})",
       " ,id^a b,c^d,auth_key^t&k&\"7\"&C:\\dir\\&$(touch x);`y`|z", "t&k&\"7\"&C:\\dir\\&$(touch x);`y`|z"},
      {"escaped non-ASCII", R"({"uid":"\u73a9\u5bb6","token":"\ud83d\ude00","server_id":"7","other":"é","sign":"s"})",
       " ,id^玩家,auth_key^😀&7&é&s", "😀&7&é&s"},
      {"integer members as decimal text", R"({"uid":1001,"token":"tok","server_id":-7,"other":18446744073709551615,"sign":0})",
       " ,id^1001,auth_key^tok&-7&18446744073709551615&0", "tok&-7&18446744073709551615&0"},
      {"comments allowed by the reader", "/* login */ {\"uid\":\"1\",\"token\":\"t\",\"server_id\":\"2\",\"other\":\"o\",\"sign\":\"s\"} // end",
       " ,id^1,auth_key^t&2&o&s", "t&2&o&s"},
      {"empty payload", "", nullptr, nullptr},
      {"malformed", R"({"uid":"1001","token":)", nullptr, nullptr},
      {"missing member", R"({"uid":"1001","token":"tok","server_id":"7","other":"x"})", nullptr, nullptr},
      {"real member", R"({"uid":1001.0,"token":"tok","server_id":"7","other":"x","sign":"sig"})", nullptr, nullptr},
      {"boolean member", R"({"uid":"1","token":true,"server_id":"7","other":"x","sign":"sig"})", nullptr, nullptr},
      {"null member", R"({"uid":"1","token":"t","server_id":null,"other":"x","sign":"sig"})", nullptr, nullptr},
      {"object member", R"({"uid":"1","token":"t","server_id":"7","other":{"x":1},"sign":"sig"})", nullptr, nullptr},
      {"array member", R"({"uid":"1","token":"t","server_id":"7","other":"x","sign":["s"]})", nullptr, nullptr},
      {"array root", R"(["uid","token","server_id","other","sign"])", nullptr, nullptr},
      {"string root", R"("uid")", nullptr, nullptr},
      {"number root", "42", nullptr, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove("log.txt");
    Outcome outcome = Process(c.payload);
    std::string expectedLog = c.payload + "\n";
    if (c.args) {
      expectedLog += std::string(c.authLine) + "\n";
      ASSERT_TRUE(outcome.launchArgs.has_value());
      EXPECT_EQ(*outcome.launchArgs, c.args);
      EXPECT_EQ(outcome.startCalls, 1);
      EXPECT_EQ(outcome.hookClears, 1);
      EXPECT_TRUE(outcome.hooksClearedAfterStart);
    } else {
      EXPECT_EQ(outcome.startCalls, 0);
      EXPECT_EQ(outcome.hookClears, 0);
    }
    EXPECT_EQ(ReadFileBytes("log.txt"), expectedLog);
  }
}

TEST_F(LoginResultTest, LogIsAppendedAcrossPayloads) {
  WriteFileBytes("log.txt", "earlier line\n");
  Process("not json");
  Process(R"({"uid":"1","token":"t","server_id":"2","other":"o","sign":"s"})");
  EXPECT_EQ(ReadFileBytes("log.txt"),
            "earlier line\nnot json\n{\"uid\":\"1\",\"token\":\"t\",\"server_id\":\"2\",\"other\":\"o\",\"sign\":\"s\"}\nt&2&o&s\n");
}

TEST_F(LoginResultTest, ALogThatCannotBeOpenedDoesNotStopTheLogin) {
  std::filesystem::create_directory("log.txt");
  Outcome outcome = Process(R"({"uid":"1","token":"t","server_id":"2","other":"o","sign":"s"})");
  ASSERT_TRUE(outcome.launchArgs.has_value());
  EXPECT_EQ(*outcome.launchArgs, " ,id^1,auth_key^t&2&o&s");
  EXPECT_EQ(outcome.hookClears, 1);
}

// Every file of the JSON parsing corpus as a payload: none holds a login,
// so each adds exactly its payload line and starts nothing — and none may
// crash the processing (deep nesting, bad UTF-8, NUL bytes included).
TEST_F(LoginResultTest, JsonCorpusSweep) {
  namespace fs = std::filesystem;
  int files = 0;
  for (const auto& entry : fs::directory_iterator(QUORIN_CORPORA_DIR "/json/test_parsing")) {
    SCOPED_TRACE(entry.path().filename().string());
    std::string bytes = ReadFileBytes(entry.path().string());
    CString payload(WidenText(bytes));
    fs::remove("log.txt");
    int started = 0, cleared = 0;
    ProcessLoginResultWith(payload, [&](const CString&) { ++started; }, [&] { ++cleared; });
    EXPECT_EQ(started, 0);
    EXPECT_EQ(cleared, 0);
    EXPECT_EQ(ReadFileBytes("log.txt"), NarrowText(payload.str()) + "\n");
    ++files;
  }
  EXPECT_GT(files, 300);
}

}  // namespace
