#include "automation.h"

#include <cstdlib>
#include <cwchar>
#include <string>

const IID IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

namespace {
// A BSTR points just past its length word.
struct BstrHeader {
  UINT length;
};
}  // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  auto* block = static_cast<char*>(std::malloc(sizeof(BstrHeader) + (static_cast<size_t>(length) + 1) * sizeof(OLECHAR)));
  if (!block) return nullptr;
  reinterpret_cast<BstrHeader*>(block)->length = length;
  BSTR s = reinterpret_cast<BSTR>(block + sizeof(BstrHeader));
  if (text)
    std::wmemcpy(s, text, length);
  else
    std::wmemset(s, 0, length);
  s[length] = 0;
  return s;
}

BSTR SysAllocString(const OLECHAR* text) {
  if (!text) return nullptr;
  return SysAllocStringLen(text, static_cast<UINT>(std::wcslen(text)));
}

void SysFreeString(BSTR text) {
  if (text) std::free(reinterpret_cast<char*>(text) - sizeof(BstrHeader));
}

UINT SysStringLen(BSTR text) {
  return text ? reinterpret_cast<BstrHeader*>(reinterpret_cast<char*>(text) - sizeof(BstrHeader))->length : 0;
}

void VariantInit(VARIANT* v) {
  std::memset(v, 0, sizeof(*v));
  v->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* v) {
  if (!v) return E_INVALIDARG;
  if (!(v->vt & VT_BYREF)) {
    switch (v->vt) {
      case VT_BSTR: SysFreeString(v->bstrVal); break;
      case VT_DISPATCH:
        if (v->pdispVal) v->pdispVal->Release();
        break;
      case VT_UNKNOWN:
        if (v->punkVal) v->punkVal->Release();
        break;
      default: break;
    }
  }
  VariantInit(v);
  return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
  if (!dest || !src) return E_INVALIDARG;
  if (dest == src) return S_OK;
  VariantClear(dest);
  *dest = *src;
  if (src->vt == VT_BSTR) {
    dest->bstrVal = src->bstrVal ? SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal)) : nullptr;
    if (src->bstrVal && !dest->bstrVal) {
      VariantInit(dest);
      return E_OUTOFMEMORY;
    }
  } else if (src->vt == VT_DISPATCH && src->pdispVal) {
    src->pdispVal->AddRef();
  } else if (src->vt == VT_UNKNOWN && src->punkVal) {
    src->punkVal->AddRef();
  }
  return S_OK;
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, WORD, VARTYPE vt) {
  if (!dest || !src) return E_INVALIDARG;
  long long value = 0;
  switch (src->vt) {
    case VT_EMPTY: value = 0; break;
    case VT_I2: value = src->iVal; break;
    case VT_I4: value = src->lVal; break;
    case VT_INT: value = src->intVal; break;
    case VT_UINT: value = src->uintVal; break;
    case VT_BOOL: value = src->boolVal ? -1 : 0; break;
    case VT_BSTR: {
      if (vt == VT_BSTR) return VariantCopy(dest, src);
      std::wstring text(src->bstrVal ? src->bstrVal : L"");
      wchar_t* end = nullptr;
      value = std::wcstoll(text.c_str(), &end, 10);
      if (text.empty() || (end && *end)) return DISP_E_TYPEMISMATCH;
      break;
    }
    default:
      if (src->vt == vt) return VariantCopy(dest, src);
      return DISP_E_TYPEMISMATCH;
  }
  VARIANT result;
  VariantInit(&result);
  result.vt = vt;
  switch (vt) {
    case VT_I4:
      if (value < INT32_MIN || value > INT32_MAX) return static_cast<HRESULT>(0x8002000A);  // DISP_E_OVERFLOW
      result.lVal = static_cast<LONG>(value);
      break;
    case VT_INT:
      if (value < INT32_MIN || value > INT32_MAX) return static_cast<HRESULT>(0x8002000A);
      result.intVal = static_cast<int>(value);
      break;
    case VT_UINT:
      if (value < 0 || value > UINT32_MAX) return static_cast<HRESULT>(0x8002000A);
      result.uintVal = static_cast<UINT>(value);
      break;
    case VT_BOOL: result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; break;
    case VT_BSTR: result.bstrVal = SysAllocString(std::to_wstring(value).c_str()); break;
    default: return DISP_E_TYPEMISMATCH;
  }
  if (dest != src) VariantClear(dest);
  *dest = result;
  return S_OK;
}

namespace {

// Folds full-width ASCII forms and the ideographic space onto ASCII, and
// half-width katakana onto their full-width forms.
wchar_t FoldWidth(wchar_t c) {
  if (c >= 0xFF01 && c <= 0xFF5E) return static_cast<wchar_t>(c - 0xFF01 + 0x21);
  if (c == 0x3000) return L' ';
  static const wchar_t kHalfKatakana[] = {
      0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
      0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
      0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
      0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
      0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};
  if (c >= 0xFF61 && c <= 0xFF9F) return kHalfKatakana[c - 0xFF61];
  return c;
}

}  // namespace

int CompareStringW(LCID, DWORD flags, const wchar_t* s1, int n1, const wchar_t* s2, int n2) {
  if (!s1 || !s2) return 0;
  if (n1 < 0) n1 = static_cast<int>(std::wcslen(s1));
  if (n2 < 0) n2 = static_cast<int>(std::wcslen(s2));
  int n = n1 < n2 ? n1 : n2;
  for (int i = 0; i < n; ++i) {
    wchar_t a = s1[i], b = s2[i];
    if (flags & NORM_IGNOREWIDTH) {
      a = FoldWidth(a);
      b = FoldWidth(b);
    }
    if (a != b) return a < b ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
    if (a == 0) return CSTR_EQUAL;  // both ended: nothing past a terminator is read
  }
  if (n1 == n2) return CSTR_EQUAL;
  return n1 < n2 ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
}

const IID IID_IConnectionPointContainer = {0xdb7a3134, 0xb5a7, 0x4091, {0xac, 0x28, 0x41, 0x3e, 0xa6, 0x82, 0xe9, 0x68}};
const IID IID_IConnectionPoint = {0xb8616035, 0x624f, 0x4934, {0x84, 0x9e, 0x4e, 0x2a, 0x3a, 0xa4, 0x55, 0x0d}};

namespace {

IConnectionPoint* FindPoint(IUnknown* source, REFIID iid) {
  if (!source) return nullptr;
  IConnectionPointContainer* container = nullptr;
  if (FAILED(source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) || !container)
    return nullptr;
  IConnectionPoint* point = nullptr;
  if (FAILED(container->FindConnectionPoint(iid, &point))) point = nullptr;
  container->Release();
  return point;
}

}  // namespace

BOOL AfxConnectionAdvise(IUnknown* pUnkSrc, REFIID iid, IUnknown* pUnkSink, BOOL bRefCount, DWORD* pdwCookie) {
  if (!pUnkSink || !pdwCookie) return FALSE;
  IConnectionPoint* point = FindPoint(pUnkSrc, iid);
  if (!point) return FALSE;
  BOOL connected = SUCCEEDED(point->Advise(pUnkSink, pdwCookie)) ? TRUE : FALSE;
  if (connected && !bRefCount) pUnkSink->Release();
  point->Release();
  return connected;
}

BOOL AfxConnectionUnadvise(IUnknown* pUnkSrc, REFIID iid, IUnknown* pUnkSink, BOOL bRefCount, DWORD dwCookie) {
  if (!pUnkSink) return FALSE;
  IConnectionPoint* point = FindPoint(pUnkSrc, iid);
  if (!point) return FALSE;
  // The point releases the sink when it lets go; give back the reference
  // that Advise handed back, or the count would drop below its owner's.
  if (!bRefCount) pUnkSink->AddRef();
  BOOL disconnected = SUCCEEDED(point->Unadvise(dwCookie)) ? TRUE : FALSE;
  if (!disconnected && !bRefCount) pUnkSink->Release();
  point->Release();
  return disconnected;
}
