// Hooks a click sink on each distinct link of every loaded page.
#include "browser/html_interfaces.h"
#include "panel/login_active_dlg.h"
#include "panel/navigation_rules.h"

CString BrowserEventAddress(const VARIANT* url) {
  if (!url) return CString();
  const VARIANT* v = url->vt == (VT_BYREF | VT_VARIANT) ? url->pvarVal : url;
  return v && v->vt == VT_BSTR && v->bstrVal ? CString(v->bstrVal) : CString();
}

void CLoginActiveDlg::OnDocumentComplete(IDispatch*, VARIANT* URL) {
  CString address = BrowserEventAddress(URL);
  if (address.Find(L"about:blank", 0) >= 0) return;

  // The top-level document is scanned, whichever frame completed.
  IDispatch* documentDispatch = m_wndBrowser.get_Document();
  if (!documentDispatch) return;
  IHTMLDocument2* document = nullptr;
  documentDispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&document));
  documentDispatch->Release();
  if (!document) return;

  IHTMLElementCollection* all = nullptr;
  if (FAILED(document->get_all(&all)) || !all) {
    document->Release();
    return;
  }
  long count = 0;
  all->get_length(&count);
  for (long i = 0; i < count; ++i) {
    VARIANT name, index;
    VariantInit(&name);
    VariantInit(&index);
    name.vt = VT_I4;
    name.lVal = i;
    VariantChangeType(&name, &name, 0, VT_UINT);
    IDispatch* element = nullptr;
    HRESULT hr = all->item(name, index, &element);
    if (FAILED(hr) || !element) continue;
    IHTMLAnchorElement* anchor = nullptr;
    element->QueryInterface(IID_IHTMLAnchorElement, reinterpret_cast<void**>(&anchor));
    element->Release();
    if (!anchor) continue;
    BSTR href = nullptr;
    anchor->get_href(&href);
    CString strHref(href ? href : L"");
    SysFreeString(href);
    if (m_mapLinkHooks.count(strHref)) {
      anchor->Release();
      continue;
    }
    DWORD cookie = 0;
    if (AfxConnectionAdvise(anchor, DIID_HTMLElementEvents2, GetIDispatch(FALSE), FALSE, &cookie)) {
      // The record keeps the reference taken by the query.
      m_mapLinkHooks[strHref] = LinkHook{anchor, DIID_HTMLElementEvents2, cookie, strHref};
    } else {
      anchor->Release();
    }
  }
  all->Release();
  document->Release();
}

// The click goes on as it would without the hook.
void CLoginActiveDlg::OnLinkClick(IDispatch*) {}
