#include "imp_idispatch.h"

#include <cstdio>
#include <exception>

#include "framework/text.h"
#include "panel/login_active_dlg.h"

namespace {

// Names match on their first three characters, case-sensitively, with
// full-width and half-width forms equal; the terminator takes part, so a
// shorter name matches nothing.
bool MatchesPublishedName(LCID lcid, const wchar_t* name, const wchar_t* published) {
  return CompareStringW(lcid, NORM_IGNOREWIDTH, name, 3, published, 3) == CSTR_EQUAL;
}

}  // namespace

HRESULT CImpIDispatch::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (riid != IID_IDispatch) return E_NOINTERFACE;
  *ppv = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

ULONG CImpIDispatch::AddRef() { return static_cast<ULONG>(++m_cRef); }

ULONG CImpIDispatch::Release() { return static_cast<ULONG>(--m_cRef); }

HRESULT CImpIDispatch::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }

HRESULT CImpIDispatch::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT CImpIDispatch::GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) {
  HRESULT result = S_OK;
  for (UINT i = 0; i < cNames; ++i) {
    const wchar_t* name = rgszNames[i] ? rgszNames[i] : L"";
    if (MatchesPublishedName(lcid, name, L"piqnwg")) {
      rgDispId[i] = DISPID_PIQNWG;
    } else if (MatchesPublishedName(lcid, name, L"AppLogin")) {
      rgDispId[i] = DISPID_APPLOGIN;
    } else {
      rgDispId[i] = DISPID_UNKNOWN;
      result = DISP_E_UNKNOWNNAME;
    }
  }
  return result;
}

HRESULT CImpIDispatch::Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags, DISPPARAMS* pDispParams,
                              VARIANT* pVarResult, EXCEPINFO*, UINT*) {
  if (dispIdMember == DISPID_PIQNWG) {
    if ((wFlags & DISPATCH_PROPERTYGET) && pVarResult) {
      BSTR text = SysAllocString(L"Xfspry");
      VariantInit(pVarResult);
      pVarResult->vt = VT_BSTR;
      pVarResult->bstrVal = text;
    }
  } else if (dispIdMember == DISPID_APPLOGIN) {
    // The payload is the one string argument; a call without one does
    // nothing.
    if ((wFlags & DISPATCH_METHOD) && pDispParams && pDispParams->cArgs >= 1 && pDispParams->rgvarg &&
        pDispParams->rgvarg[0].vt == VT_BSTR && m_pLoginActiveDlg) {
      CString payload(pDispParams->rgvarg[0].bstrVal ? pDispParams->rgvarg[0].bstrVal : L"");
      // A failure while the payload is processed must not unwind into the
      // browser: it is reported and the shell keeps running.
      try {
        m_pLoginActiveDlg->OnAppLogin(payload);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "quorin-login: login processing failed: %s\n", e.what());
      } catch (...) {
        std::fprintf(stderr, "quorin-login: login processing failed\n");
      }
    }
  }
  return S_OK;
}
