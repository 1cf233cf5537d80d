// The script object page script sees as window.external: the method
// "AppLogin" hands the login payload to the login panel, the property
// "piqnwg" answers a fixed text.
#pragma once

#include "framework/automation.h"

class CLoginActiveDlg;

class CImpIDispatch final : public IDispatch {
 public:
  HRESULT QueryInterface(REFIID riid, void** ppv) override;
  ULONG AddRef() override;
  // Counts down; never destroys the object (its owner deletes it).
  ULONG Release() override;
  HRESULT GetTypeInfoCount(UINT* pctinfo) override;
  HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
  HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
  HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                 EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

  int32_t m_cRef = 0;
  CLoginActiveDlg* m_pLoginActiveDlg = nullptr;

  static constexpr DISPID DISPID_APPLOGIN = 10001;
  static constexpr DISPID DISPID_PIQNWG = 12345;
};
