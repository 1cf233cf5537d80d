#include <gtest/gtest.h>

#include "framework/text.h"

namespace {

TEST(TextConversion, RoundTripsEveryPlaneLosslessly) {
  const std::wstring text = L"ascii \u00e9\u4e2d\u6587 \U0001F600 end";
  EXPECT_EQ(WidenText(NarrowText(text)), text);
  EXPECT_EQ(NarrowText(text), std::string("ascii \xC3\xA9\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80 end"));
}

TEST(TextConversion, InvalidBytesBecomeReplacementCharacters) {
  struct Case {
    std::string bytes;
    std::wstring wide;
  };
  const Case cases[] = {
      {"a\xFF" "b", L"a\uFFFDb"},                 // byte that never starts a sequence
      {"\xC0\xAF", L"\uFFFD\uFFFD"},              // overlong form
      {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},    // encoded surrogate
      {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xE4\xB8", L"\uFFFD"},                    // truncated at the end
      {"\xE4\xB8" "x", L"\uFFFDx"},               // truncated before ASCII
      {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(WidenText(c.bytes), c.wide) << "bytes of length " << c.bytes.size();
}

TEST(TextConversion, UnrepresentableWideBecomesQuestionMark) {
  std::wstring lone(1, static_cast<wchar_t>(0xD800));
  EXPECT_EQ(NarrowText(L"x" + lone + L"y"), "x?y");
  std::wstring beyond(1, static_cast<wchar_t>(0x110000));
  EXPECT_EQ(NarrowText(beyond), "?");
  // A UTF-16 pair held in wide text is joined into one character.
  std::wstring pair = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  EXPECT_EQ(NarrowText(pair), "\xF0\x9F\x98\x80");
}

TEST(TextConversion, HelpersKeepNullAndCStringFindsOrdinally) {
  EXPECT_EQ(static_cast<const char*>(CW2A(nullptr)), nullptr);
  EXPECT_EQ(static_cast<const wchar_t*>(CA2W(nullptr)), nullptr);
  EXPECT_STREQ(CW2A(L"\u00e9"), "\xC3\xA9");
  CString s(L"http://h/plandor/codeCallback.htm?code=1");
  EXPECT_EQ(s.Find(L"codeCallback"), 17);
  EXPECT_EQ(s.Find(L"codecallback"), -1);
  EXPECT_EQ(s.Find(L"h", 40), -1);
  EXPECT_LT(CString(L"B").Compare(L"a"), 0);  // ordinal: upper case first
  EXPECT_EQ(CString("\xE4\xB8\xAD"), CString(L"\u4e2d"));
}

}  // namespace
