#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launch/imp_idispatch.h"

namespace {

struct NameCase {
  const wchar_t* name;
  DISPID id;
};

TEST(ScriptBridge, NamesMatchOnThreeCharactersCaseSensitivelyIgnoringWidth) {
  const NameCase cases[] = {
      {L"AppLogin", 10001},
      {L"AppLogout", 10001},
      {L"Apple", 10001},
      {L"App", 10001},
      {L"\uFF21\uFF50\uFF50Login", 10001},  // full-width "App"
      {L"applogin", DISPID_UNKNOWN},
      {L"APPLOGIN", DISPID_UNKNOWN},
      {L"Ap", DISPID_UNKNOWN},
      {L"A", DISPID_UNKNOWN},
      {L"", DISPID_UNKNOWN},
      {L"piqnwg", 12345},
      {L"piq", 12345},
      {L"piqANYTHING", 12345},
      {L"p\uFF49q", 12345},  // full-width i
      {L"xxy", DISPID_UNKNOWN},
      {L"Piqnwg", DISPID_UNKNOWN},
      {L"pi", DISPID_UNKNOWN},
  };
  CImpIDispatch bridge;
  for (const NameCase& c : cases) {
    LPOLESTR name = const_cast<LPOLESTR>(c.name);
    DISPID id = 0;
    HRESULT hr = bridge.GetIDsOfNames(IID_NULL, &name, 1, 0x0804, &id);
    EXPECT_EQ(id, c.id) << std::wstring(c.name).size();
    EXPECT_EQ(hr, c.id == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK);
  }
  // Several names at once: each published one still gets its id.
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"nope"), const_cast<LPOLESTR>(L"AppLogin"),
                      const_cast<LPOLESTR>(L"piqnwg")};
  DISPID ids[3] = {0, 0, 0};
  EXPECT_EQ(bridge.GetIDsOfNames(IID_NULL, names, 3, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], DISPID_UNKNOWN);
  EXPECT_EQ(ids[1], 10001);
  EXPECT_EQ(ids[2], 12345);
}

TEST(ScriptBridge, InterfacesAndCountsAreItsOwnAndNeverDestroy) {
  CImpIDispatch bridge;
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(bridge.QueryInterface(IID_IUnknown, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(bridge.QueryInterface(IID_IDispatch, &out), S_OK);
  EXPECT_EQ(out, static_cast<IDispatch*>(&bridge));
  EXPECT_EQ(bridge.m_cRef, 1);
  EXPECT_EQ(bridge.Release(), 0u);
  EXPECT_EQ(static_cast<int32_t>(bridge.Release()), -1);  // still usable below zero
  EXPECT_EQ(bridge.AddRef(), 0u);
  UINT count = 7;
  EXPECT_EQ(bridge.GetTypeInfoCount(&count), E_NOTIMPL);
  EXPECT_EQ(count, 7u);
}

TEST(ScriptBridge, InvokeTestsFlagsBitByBitAndAlwaysSucceeds) {
  struct Case {
    DISPID id;
    WORD flags;
    bool yieldsText;
  } const cases[] = {
      {12345, DISPATCH_PROPERTYGET, true},
      {12345, DISPATCH_METHOD | DISPATCH_PROPERTYGET, true},
      {12345, DISPATCH_METHOD, false},
      {10001, DISPATCH_PROPERTYGET, false},
      {777, DISPATCH_PROPERTYGET, false},
  };
  CImpIDispatch bridge;
  for (const Case& c : cases) {
    VARIANT result;
    VariantInit(&result);
    result.vt = VT_I4;
    result.lVal = 99;
    EXPECT_EQ(bridge.Invoke(c.id, IID_NULL, 0, c.flags, nullptr, &result, nullptr, nullptr), S_OK);
    if (c.yieldsText) {
      ASSERT_EQ(result.vt, VT_BSTR);
      EXPECT_EQ(std::wstring(result.bstrVal), L"Xfspry");
      VariantClear(&result);
    } else {
      EXPECT_EQ(result.vt, VT_I4) << "left untouched";
      EXPECT_EQ(result.lVal, 99);
    }
  }
  // No result variant, no panel, no argument: nothing happens, S_OK.
  EXPECT_EQ(bridge.Invoke(12345, IID_NULL, 0, DISPATCH_PROPERTYGET, nullptr, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(bridge.Invoke(10001, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), S_OK);
}

}  // namespace
