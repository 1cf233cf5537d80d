// The document model the shell reads from the browser: the top-level
// document, its collection of all elements in document order, links, and
// the event object handed to element-event sinks.
#pragma once

#include "framework/automation.h"

extern const IID IID_IHTMLDocument2;          // {332C4425-26CB-11D0-B483-00C04FD90119}
extern const IID IID_IHTMLElementCollection;
extern const IID IID_IHTMLElement;
extern const IID IID_IHTMLAnchorElement;      // {3050F1DA-98B5-11CF-BB82-00AA00BDCE0B}
extern const IID IID_IHTMLEventObj;
extern const IID DIID_HTMLElementEvents2;     // {3050F60F-98B5-11CF-BB82-00AA00BDCE0B}

// Element events travel to sinks as IDispatch::Invoke calls with these ids.
constexpr DISPID DISPID_HTMLELEMENTEVENTS2_ONCLICK = -600;

struct IHTMLElement : IDispatch {
  // The element's tag name, upper case for HTML elements ("A", "DIV").
  virtual HRESULT get_tagName(BSTR* p) = 0;

 protected:
  ~IHTMLElement() = default;
};

struct IHTMLElementCollection : IDispatch {
  virtual HRESULT get_length(long* p) = 0;
  // name: the position (VT_UINT, VT_I4, VT_INT or VT_I2); index is not
  // used. A position past the end gives S_OK and a null element.
  virtual HRESULT item(VARIANT name, VARIANT index, IDispatch** pdisp) = 0;

 protected:
  ~IHTMLElementCollection() = default;
};

struct IHTMLDocument2 : IDispatch {
  virtual HRESULT get_all(IHTMLElementCollection** p) = 0;
  virtual HRESULT get_URL(BSTR* p) = 0;

 protected:
  ~IHTMLDocument2() = default;
};

struct IHTMLAnchorElement : IDispatch {
  // The resolved link address; empty when the link has none.
  virtual HRESULT get_href(BSTR* p) = 0;

 protected:
  ~IHTMLAnchorElement() = default;
};

struct IHTMLEventObj : IDispatch {
  virtual HRESULT get_type(BSTR* p) = 0;           // "click"
  virtual HRESULT get_srcElement(IHTMLElement** p) = 0;

 protected:
  ~IHTMLEventObj() = default;
};
