// The embedded browser as the shell's control site sees it: a COM-style
// object answering IDispatch with Navigate (DISPID 104) and Document (203),
// firing BeforeNavigate2 (250), NavigateComplete2 (252) and
// DocumentComplete (259) into the event sink the site sets, for the page
// and each of its frames. The browser asks its client site for
// IDocHostUIHandler once, when it is made, and honours the answers.
//
// Two implementations: the WebKitGTK one (CreateWebKitBrowserControl) and
// an in-memory one for headless tests (ScriptedBrowser).
#pragma once

#include <string>
#include <utility>

#include "browser/doc_host_ui_handler.h"
#include "browser/html_document.h"
#include "framework/occ.h"

constexpr DISPID DISPID_NAVIGATE = 104;
constexpr DISPID DISPID_DOCUMENT = 203;
constexpr DISPID DISPID_LOCATIONURL = 211;
constexpr DISPID DISPID_BEFORENAVIGATE2 = 250;
constexpr DISPID DISPID_NAVIGATECOMPLETE2 = 252;
constexpr DISPID DISPID_DOCUMENTCOMPLETE = 259;

class BrowserControl : public IDispatch {
 public:
  HRESULT QueryInterface(REFIID riid, void** ppv) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetTypeInfoCount(UINT* pctinfo) override;
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  // "Navigate" -> 104, "Document" -> 203, "LocationURL" -> 211.
  HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  // 104 with DISPATCH_METHOD: the address (a string, the first argument),
  // then four ignored optional arguments. 203 with DISPATCH_PROPERTYGET:
  // VT_DISPATCH, the top-level document; VT_EMPTY before there is one.
  // 211 with DISPATCH_PROPERTYGET: the current top-level address.
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) override;

  // Sets or (null) clears the sink the events go to; it is held with one
  // reference while set.
  void SetEventSink(IDispatch* sink);
  // The site is going away: its handler is no longer asked, and the sink
  // is let go. The control keeps working as an unhosted browser.
  void DetachSite();

  virtual void Navigate(const std::wstring& url) = 0;
  // The top-level document (borrowed), null before the first one.
  HtmlDocument* CurrentDocument() const { return m_document; }
  // The host handler the site gave, null without one.
  IDocHostUIHandler* HostHandler() const { return m_host; }
  // The GetHostInfo flags the host answered (0 without a host).
  DWORD HostFlags() const { return m_hostFlags; }

 protected:
  // Asks clientSite (may be null) for IDocHostUIHandler and its host
  // information. The handler lives as long as its site, which owns this
  // control, so it is not counted.
  explicit BrowserControl(IUnknown* clientSite);
  virtual ~BrowserControl();

  // The events, with the address as VT_BSTR behind a VARIANT reference.
  // frame: the top-level browser (this) or a frame object. Answers true
  // when the sink cancelled the navigation.
  bool FireBeforeNavigate2(IDispatch* frame, const std::wstring& url, const std::wstring& targetFrame);
  void FireNavigateComplete2(IDispatch* frame, const std::wstring& url);
  void FireDocumentComplete(IDispatch* frame, const std::wstring& url);
  // Makes doc the top-level document (takes its reference; null clears).
  void SetCurrentDocument(HtmlDocument* doc);

 private:
  void FireEvent(DISPID id, VARIANT* argsLastFirst, UINT count);

  ULONG m_ref = 1;
  IDocHostUIHandler* m_host = nullptr;
  DWORD m_hostFlags = 0;
  IDispatch* m_sink = nullptr;
  HtmlDocument* m_document = nullptr;
};

// A frame inside the page, as the events name it: an IDispatch whose
// LocationURL (211) is the frame's address.
class BrowserFrame final : public IDispatch {
 public:
  explicit BrowserFrame(std::wstring url) : m_url(std::move(url)) {}
  HRESULT QueryInterface(REFIID riid, void** ppv) override;
  ULONG AddRef() override { return ++m_ref; }
  ULONG Release() override;
  HRESULT GetTypeInfoCount(UINT* pctinfo) override;
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override;
  void SetUrl(std::wstring url) { m_url = std::move(url); }
  const std::wstring& Url() const { return m_url; }

 private:
  ~BrowserFrame() = default;
  ULONG m_ref = 1;
  std::wstring m_url;
};

// What the control-site factory answers for a browser: the control's
// IDispatch (the reference passes to the site) and the event connection.
// Clearing the connection (the site's end) detaches the control.
HostedControl HostBrowserControl(BrowserControl* control);

// The real browser: a WebKitGTK view placed over the host child window
// (AttachNativeWidget). host may be null: the view is then placed by the
// caller (see WebKitBrowserControl::Widget). Answers one reference.
BrowserControl* CreateWebKitBrowserControl(IUnknown* clientSite, HWND host);
