// Wide text and its conversions. The narrow "ANSI code page" is UTF-8: every
// wide text converts without loss, and bad input never throws — invalid
// bytes become U+FFFD when widened, unrepresentable code points become '?'
// when narrowed.
#pragma once

#include <string>

#include "wintypes.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_THREAD_ACP = 3;
constexpr UINT CP_UTF8 = 65001;

std::string NarrowText(const wchar_t* text, size_t length);
std::string NarrowText(const std::wstring& text);
std::wstring WidenText(const char* text, size_t length);
std::wstring WidenText(const std::string& text);

// Conversion helpers used as temporaries: CW2A(wide) yields narrow text,
// CA2W(narrow) yields wide text. A null input gives a null output.
class CW2A {
 public:
  explicit CW2A(const wchar_t* text, UINT codePage = CP_THREAD_ACP);
  operator const char*() const { return m_null ? nullptr : m_text.c_str(); }
  const std::string& str() const { return m_text; }

 private:
  std::string m_text;
  bool m_null;
};

class CA2W {
 public:
  explicit CA2W(const char* text, UINT codePage = CP_THREAD_ACP);
  operator const wchar_t*() const { return m_null ? nullptr : m_text.c_str(); }
  const std::wstring& str() const { return m_text; }

 private:
  std::wstring m_text;
  bool m_null;
};

// Wide string with the operations the shell uses.
class CString {
 public:
  CString() = default;
  CString(const wchar_t* text) : m_text(text ? text : L"") {}
  CString(const wchar_t* text, int length) : m_text(text, static_cast<size_t>(length)) {}
  CString(const std::wstring& text) : m_text(text) {}
  // Narrow text converts from the ANSI code page (UTF-8).
  explicit CString(const char* text) : m_text(text ? WidenText(text, std::char_traits<char>::length(text)) : L"") {}

  int GetLength() const { return static_cast<int>(m_text.size()); }
  bool IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }
  const wchar_t* GetString() const { return m_text.c_str(); }
  operator const wchar_t*() const { return m_text.c_str(); }
  const std::wstring& str() const { return m_text; }

  // Position of the first occurrence of sub at or after start, or -1.
  int Find(const wchar_t* sub, int start = 0) const;
  // Ordinal, case-sensitive comparison: <0, 0, >0.
  int Compare(const wchar_t* other) const;

  CString& operator=(const wchar_t* text) {
    m_text = text ? text : L"";
    return *this;
  }
  CString& operator+=(const CString& other) {
    m_text += other.m_text;
    return *this;
  }
  CString& operator+=(const wchar_t* text) {
    if (text) m_text += text;
    return *this;
  }
  CString& operator+=(wchar_t ch) {
    m_text += ch;
    return *this;
  }
  friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
  friend CString operator+(const CString& a, const wchar_t* b) { return CString(a.m_text + (b ? b : L"")); }
  friend CString operator+(const wchar_t* a, const CString& b) { return CString((a ? a : L"") + b.m_text); }
  friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
  friend bool operator!=(const CString& a, const CString& b) { return a.m_text != b.m_text; }
  friend bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }

 private:
  std::wstring m_text;
};
