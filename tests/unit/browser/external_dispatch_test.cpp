#include <gtest/gtest.h>

#include <cstdint>

#include "browser/external_dispatch.h"

namespace {

using channel::Value;

TEST(ExternalDispatch, ScriptValuesBecomeVariants) {
  struct Case {
    Value in;
    VARTYPE vt;
  } cases[] = {
      {Value::Undefined(), VT_EMPTY},        {Value::Null(), VT_NULL},         {Value::Bool(true), VT_BOOL},
      {Value::Int(-5), VT_I4},               {Value::Int(INT32_MAX), VT_I4},   {Value::Int(1LL << 40), VT_R8},
      {Value::Double(0.5), VT_R8},           {Value::String("é😀"), VT_BSTR},
  };
  for (const Case& c : cases) {
    VARIANT v;
    ScriptValueToVariant(c.in, &v);
    EXPECT_EQ(c.vt, v.vt);
    // And back again: nothing is lost for the types script has.
    EXPECT_EQ(c.in.type == Value::Type::kInt && c.vt == VT_R8 ? Value::Double(static_cast<double>(c.in.integer)) : c.in,
              VariantToScriptValue(v));
    VariantClear(&v);
  }
  VARIANT text;
  ScriptValueToVariant(Value::String("é😀"), &text);
  EXPECT_EQ(std::wstring(L"é😀"), std::wstring(text.bstrVal, SysStringLen(text.bstrVal)));
  VariantClear(&text);
}

TEST(ExternalDispatch, VariantsBecomeScriptValues) {
  VARIANT inner;
  VariantInit(&inner);
  inner.vt = VT_BSTR;
  inner.bstrVal = SysAllocStringLen(L"a\0b", 3);
  VARIANT byRef;
  VariantInit(&byRef);
  byRef.vt = VT_BYREF | VT_VARIANT;
  byRef.pvarVal = &inner;
  EXPECT_EQ(Value::String(std::string("a\0b", 3)), VariantToScriptValue(byRef));

  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I2;
  v.iVal = -3;
  EXPECT_EQ(Value::Int(-3), VariantToScriptValue(v));
  v.vt = VT_UINT;
  v.uintVal = 4000000000u;
  EXPECT_EQ(Value::Int(4000000000LL), VariantToScriptValue(v));
  v.vt = VT_DISPATCH;
  v.pdispVal = nullptr;
  EXPECT_EQ(Value::Undefined(), VariantToScriptValue(v)) << "objects do not cross to script";
  VariantClear(&inner);
}

}  // namespace
