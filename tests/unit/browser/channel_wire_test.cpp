#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "browser/channel_wire.h"

using channel::DecodeFrame;
using channel::DecodeStatus;
using channel::EncodeFrame;
using channel::Frame;
using channel::FrameKind;
using channel::Value;

namespace {

Frame Sample() {
  Frame f;
  f.kind = FrameKind::kRequest;
  f.callId = 0xDEADBEEF;
  f.op = "call";
  f.args = {Value::Undefined(), Value::Null(),         Value::Bool(true),
            Value::Bool(false), Value::Int(-(1LL << 50)), Value::Double(-2.5),
            Value::String(""),  Value::String(std::string("a\0b", 3)), Value::String("登录 😀")};
  return f;
}

TEST(ChannelWire, FramesSurviveTheRoundTrip) {
  std::string bytes = EncodeFrame(Sample()) + EncodeFrame(Frame{FrameKind::kEvent, 0, "hello", {}});
  Frame first, second;
  size_t used1 = 0, used2 = 0;
  ASSERT_EQ(DecodeStatus::kFrame, DecodeFrame(bytes.data(), bytes.size(), &first, &used1));
  ASSERT_EQ(DecodeStatus::kFrame, DecodeFrame(bytes.data() + used1, bytes.size() - used1, &second, &used2));
  EXPECT_EQ(bytes.size(), used1 + used2);
  EXPECT_EQ(FrameKind::kRequest, first.kind);
  EXPECT_EQ(0xDEADBEEFu, first.callId);
  EXPECT_EQ("call", first.op);
  EXPECT_EQ(Sample().args, first.args);
  EXPECT_EQ("hello", second.op);
  EXPECT_TRUE(second.args.empty());
}

TEST(ChannelWire, NotANumberKeepsItsBits) {
  Frame f{FrameKind::kReply, 1, "value", {Value::Double(std::nan(""))}};
  std::string bytes = EncodeFrame(f);
  Frame back;
  size_t used;
  ASSERT_EQ(DecodeStatus::kFrame, DecodeFrame(bytes.data(), bytes.size(), &back, &used));
  EXPECT_TRUE(std::isnan(back.args[0].number));
}

TEST(ChannelWire, AnIncompleteFrameAsksForMore) {
  std::string bytes = EncodeFrame(Sample());
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    Frame f;
    size_t used = 0;
    ASSERT_EQ(DecodeStatus::kNeedMore, DecodeFrame(bytes.data(), cut, &f, &used)) << "cut at " << cut;
  }
}

// Bytes laid out by hand: length, kind, call id, op, count, values.
std::string Body(const std::string& body) {
  std::string out;
  uint32_t n = static_cast<uint32_t>(body.size());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
  return out + body;
}
std::string U32(uint32_t v) {
  std::string out;
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return out;
}
const std::string kHead = std::string("\x03", 1) + U32(0) + U32(2) + "op";

TEST(ChannelWire, MalformedBytesAreRefused) {
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"announced length over the limit", U32(channel::kMaxFrameBody + 1)},
      {"kind 0", Body(std::string("\x00", 1) + U32(0) + U32(0) + U32(0))},
      {"kind 4", Body(std::string("\x04", 1) + U32(0) + U32(0) + U32(0))},
      {"op longer than the body", Body(std::string("\x03", 1) + U32(0) + U32(100) + "op" + U32(0))},
      {"more values than bytes", Body(kHead + U32(1000) + std::string("\x00", 1))},
      {"unknown value tag", Body(kHead + U32(1) + std::string("\x09", 1))},
      {"boolean neither 0 nor 1", Body(kHead + U32(1) + std::string("\x02\x02", 2))},
      {"truncated integer", Body(kHead + U32(1) + std::string("\x03\x01\x02", 3))},
      {"text longer than the body", Body(kHead + U32(1) + std::string("\x05", 1) + U32(50) + "abc")},
      {"bytes after the last value", Body(kHead + U32(0) + "x")},
  };
  for (const Case& c : cases) {
    Frame f;
    size_t used = 0;
    EXPECT_EQ(DecodeStatus::kMalformed, DecodeFrame(c.bytes.data(), c.bytes.size(), &f, &used)) << c.what;
  }
}

}  // namespace
