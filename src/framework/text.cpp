#include "text.h"

namespace {

bool IsSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string NarrowText(const wchar_t* text, size_t length) {
  std::string out;
  out.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    uint32_t c = static_cast<uint32_t>(text[i]);
    // Text that came in as UTF-16 may carry surrogate pairs: join them.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length) {
      uint32_t low = static_cast<uint32_t>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    if (IsSurrogate(c) || c > 0x10FFFF)
      out += '?';
    else
      AppendUtf8(out, c);
  }
  return out;
}

std::string NarrowText(const std::wstring& text) { return NarrowText(text.data(), text.size()); }

std::wstring WidenText(const char* text, size_t length) {
  std::wstring out;
  out.reserve(length);
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  size_t i = 0;
  while (i < length) {
    unsigned char b = s[i];
    if (b < 0x80) {
      out += static_cast<wchar_t>(b);
      ++i;
      continue;
    }
    int need;
    uint32_t c;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1;
      c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2;
      c = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;  // no overlong forms
      if (b == 0xED) hi = 0x9F;  // no encoded surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3;
      c = b & 0x07;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
    } else {
      out += L'\xFFFD';
      ++i;
      continue;
    }
    // Replace the maximal valid prefix of a broken sequence by one U+FFFD.
    size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < need; ++k, ++j) {
      unsigned char lowLimit = k == 0 ? lo : 0x80, highLimit = k == 0 ? hi : 0xBF;
      if (j >= length || s[j] < lowLimit || s[j] > highLimit) {
        ok = false;
        break;
      }
      c = (c << 6) | (s[j] & 0x3F);
    }
    out += ok ? static_cast<wchar_t>(c) : L'\xFFFD';
    i = j;
  }
  return out;
}

std::wstring WidenText(const std::string& text) { return WidenText(text.data(), text.size()); }

CW2A::CW2A(const wchar_t* text, UINT) : m_null(text == nullptr) {
  if (text) m_text = NarrowText(text, std::char_traits<wchar_t>::length(text));
}

CA2W::CA2W(const char* text, UINT) : m_null(text == nullptr) {
  if (text) m_text = WidenText(text, std::char_traits<char>::length(text));
}

int CString::Find(const wchar_t* sub, int start) const {
  if (start < 0 || start > GetLength() || !sub) return -1;
  size_t pos = m_text.find(sub, static_cast<size_t>(start));
  return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Compare(const wchar_t* other) const {
  int r = m_text.compare(other ? other : L"");
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}
