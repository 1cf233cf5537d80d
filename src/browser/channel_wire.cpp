#include "channel_wire.h"

#include <cstring>

namespace channel {

Value Value::Null() {
  Value v;
  v.type = Type::kNull;
  return v;
}
Value Value::Bool(bool b) {
  Value v;
  v.type = Type::kBool;
  v.boolean = b;
  return v;
}
Value Value::Int(int64_t i) {
  Value v;
  v.type = Type::kInt;
  v.integer = i;
  return v;
}
Value Value::Double(double d) {
  Value v;
  v.type = Type::kDouble;
  v.number = d;
  return v;
}
Value Value::String(std::string s) {
  Value v;
  v.type = Type::kString;
  v.text = std::move(s);
  return v;
}

bool Value::operator==(const Value& other) const {
  if (type != other.type) return false;
  switch (type) {
    case Type::kUndefined:
    case Type::kNull: return true;
    case Type::kBool: return boolean == other.boolean;
    case Type::kInt: return integer == other.integer;
    case Type::kDouble: return std::memcmp(&number, &other.number, sizeof number) == 0;
    case Type::kString: return text == other.text;
  }
  return false;
}

namespace {

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutU64(std::string& out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutText(std::string& out, const std::string& text) {
  PutU32(out, static_cast<uint32_t>(text.size()));
  out += text;
}

// Reads from a bounded range; every read checks what is left.
class Reader {
 public:
  Reader(const char* p, size_t n) : m_p(reinterpret_cast<const unsigned char*>(p)), m_left(n) {}
  bool U8(uint8_t* v) {
    if (m_left < 1) return false;
    *v = *m_p++;
    --m_left;
    return true;
  }
  bool U32(uint32_t* v) {
    if (m_left < 4) return false;
    *v = 0;
    for (int i = 0; i < 4; ++i) *v |= static_cast<uint32_t>(m_p[i]) << (8 * i);
    m_p += 4;
    m_left -= 4;
    return true;
  }
  bool U64(uint64_t* v) {
    if (m_left < 8) return false;
    *v = 0;
    for (int i = 0; i < 8; ++i) *v |= static_cast<uint64_t>(m_p[i]) << (8 * i);
    m_p += 8;
    m_left -= 8;
    return true;
  }
  bool Text(std::string* s) {
    uint32_t n;
    if (!U32(&n) || n > m_left) return false;
    s->assign(reinterpret_cast<const char*>(m_p), n);
    m_p += n;
    m_left -= n;
    return true;
  }
  size_t Left() const { return m_left; }

 private:
  const unsigned char* m_p;
  size_t m_left;
};

bool ReadValue(Reader& r, Value* v) {
  uint8_t tag;
  if (!r.U8(&tag)) return false;
  switch (static_cast<Value::Type>(tag)) {
    case Value::Type::kUndefined: *v = Value::Undefined(); return true;
    case Value::Type::kNull: *v = Value::Null(); return true;
    case Value::Type::kBool: {
      uint8_t b;
      if (!r.U8(&b) || b > 1) return false;
      *v = Value::Bool(b == 1);
      return true;
    }
    case Value::Type::kInt: {
      uint64_t i;
      if (!r.U64(&i)) return false;
      *v = Value::Int(static_cast<int64_t>(i));
      return true;
    }
    case Value::Type::kDouble: {
      uint64_t bits;
      if (!r.U64(&bits)) return false;
      double d;
      std::memcpy(&d, &bits, sizeof d);
      *v = Value::Double(d);
      return true;
    }
    case Value::Type::kString: {
      std::string s;
      if (!r.Text(&s)) return false;
      *v = Value::String(std::move(s));
      return true;
    }
  }
  return false;
}

}  // namespace

std::string EncodeFrame(const Frame& frame) {
  std::string body;
  body.push_back(static_cast<char>(frame.kind));
  PutU32(body, frame.callId);
  PutText(body, frame.op);
  PutU32(body, static_cast<uint32_t>(frame.args.size()));
  for (const Value& v : frame.args) {
    body.push_back(static_cast<char>(v.type));
    switch (v.type) {
      case Value::Type::kUndefined:
      case Value::Type::kNull: break;
      case Value::Type::kBool: body.push_back(v.boolean ? 1 : 0); break;
      case Value::Type::kInt: PutU64(body, static_cast<uint64_t>(v.integer)); break;
      case Value::Type::kDouble: {
        uint64_t bits;
        std::memcpy(&bits, &v.number, sizeof bits);
        PutU64(body, bits);
        break;
      }
      case Value::Type::kString: PutText(body, v.text); break;
    }
  }
  std::string out;
  out.reserve(body.size() + 4);
  PutU32(out, static_cast<uint32_t>(body.size()));
  out += body;
  return out;
}

DecodeStatus DecodeFrame(const char* bytes, size_t size, Frame* frame, size_t* consumed) {
  Reader head(bytes, size);
  uint32_t length;
  if (!head.U32(&length)) return DecodeStatus::kNeedMore;
  if (length > kMaxFrameBody) return DecodeStatus::kMalformed;
  if (head.Left() < length) return DecodeStatus::kNeedMore;

  Reader r(bytes + 4, length);
  uint8_t kind;
  uint32_t count;
  Frame out;
  if (!r.U8(&kind) || kind < 1 || kind > 3) return DecodeStatus::kMalformed;
  out.kind = static_cast<FrameKind>(kind);
  if (!r.U32(&out.callId) || !r.Text(&out.op) || !r.U32(&count)) return DecodeStatus::kMalformed;
  // Each value takes at least one byte, so a count beyond the bytes left
  // is a lie; checking first keeps a hostile count from reserving memory.
  if (count > r.Left()) return DecodeStatus::kMalformed;
  out.args.resize(count);
  for (Value& v : out.args)
    if (!ReadValue(r, &v)) return DecodeStatus::kMalformed;
  if (r.Left() != 0) return DecodeStatus::kMalformed;
  *frame = std::move(out);
  *consumed = 4 + static_cast<size_t>(length);
  return DecodeStatus::kFrame;
}

}  // namespace channel
