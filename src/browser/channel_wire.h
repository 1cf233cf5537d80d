// The byte format of the channel between the shell and the web-process
// extension. A frame is a 4-byte little-endian body length followed by the
// body: kind (1 byte), call id (4 bytes), operation name, then the
// arguments as tagged values. Nothing here trusts the bytes it decodes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace channel {

// One script value as it crosses the channel. Text is UTF-8.
struct Value {
  enum class Type : uint8_t { kUndefined = 0, kNull = 1, kBool = 2, kInt = 3, kDouble = 4, kString = 5 };
  Type type = Type::kUndefined;
  bool boolean = false;
  int64_t integer = 0;
  double number = 0;
  std::string text;

  static Value Undefined() { return Value{}; }
  static Value Null();
  static Value Bool(bool b);
  static Value Int(int64_t i);
  static Value Double(double d);
  static Value String(std::string s);
  bool operator==(const Value& other) const;
};

enum class FrameKind : uint8_t { kRequest = 1, kReply = 2, kEvent = 3 };

struct Frame {
  FrameKind kind = FrameKind::kEvent;
  uint32_t callId = 0;  // pairs a reply with its request; 0 for events
  std::string op;
  std::vector<Value> args;
};

// Frames larger than this are refused: a peer that announces more is
// broken or hostile.
constexpr uint32_t kMaxFrameBody = 64u * 1024 * 1024;

std::string EncodeFrame(const Frame& frame);

enum class DecodeStatus { kFrame, kNeedMore, kMalformed };

// Decodes the frame at the start of bytes[0, size). On kFrame, *consumed is
// the frame's total length. kNeedMore when the frame is not complete yet;
// kMalformed when the bytes cannot be a frame (the connection must close).
DecodeStatus DecodeFrame(const char* bytes, size_t size, Frame* frame, size_t* consumed);

}  // namespace channel
