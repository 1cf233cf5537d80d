// Command targets: the root of the framework's classes. A command target
// carries the message map that windows dispatch through and, once
// automation is enabled, an IDispatch of its own whose members come from
// its dispatch map; its interface map answers further interfaces, and its
// event-sink map receives the events of the controls it hosts.
#pragma once

#include <tuple>
#include <type_traits>
#include <utility>

#include "automation.h"
#include "wintypes.h"

class CWnd;
class CCmdTarget;

// One message-map row: message, notification code, control id (0: any) and
// the handler, which unpacks the parameters for the class's member.
struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nCode;
  UINT nID;
  LRESULT (*pfn)(CWnd* self, WPARAM wParam, LPARAM lParam);
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;  // ends with a row whose pfn is null
};

struct AFX_INTERFACEMAP_ENTRY {
  const IID* piid;
  IUnknown* (*get)(CCmdTarget* self);
};
struct AFX_INTERFACEMAP {
  const AFX_INTERFACEMAP* (*pfnGetBaseMap)();
  const AFX_INTERFACEMAP_ENTRY* pEntry;  // ends with a null piid
};

struct AFX_DISPMAP_ENTRY {
  const wchar_t* lpszName;
  DISPID lDispID;
  HRESULT (*invoke)(CCmdTarget* self, DISPPARAMS* params, VARIANT* result);
};
struct AFX_DISPMAP {
  const AFX_DISPMAP* (*pfnGetBaseMap)();
  const AFX_DISPMAP_ENTRY* lpEntries;  // ends with a null invoke
};

struct AFX_EVENTSINKMAP_ENTRY {
  UINT nCtrlID;
  DISPID dispid;
  BOOL (*invoke)(CCmdTarget* self, DISPPARAMS* params);
};
struct AFX_EVENTSINKMAP {
  const AFX_EVENTSINKMAP* (*pfnGetBaseMap)();
  const AFX_EVENTSINKMAP_ENTRY* lpEntries;  // ends with a null invoke
};

class CObject {
 public:
  virtual ~CObject() = default;
};

class CCmdTarget : public CObject {
 public:
  CCmdTarget();
  ~CCmdTarget() override;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

  virtual const AFX_MSGMAP* GetMessageMap() const;
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_INTERFACEMAP* GetInterfaceMap() const;
  static const AFX_INTERFACEMAP* GetThisInterfaceMap();
  virtual const AFX_DISPMAP* GetDispatchMap() const;
  static const AFX_DISPMAP* GetThisDispatchMap();
  virtual const AFX_EVENTSINKMAP* GetEventSinkMap() const;
  static const AFX_EVENTSINKMAP* GetThisEventSinkMap();

  // Makes GetIDispatch available.
  void EnableAutomation();
  // The object's own IDispatch, or null before EnableAutomation.
  IDispatch* GetIDispatch(BOOL addRef);
  // The object's identity for other COM objects: counted, and queried
  // through the interface map.
  ULONG ExternalAddRef();
  ULONG ExternalRelease();
  HRESULT ExternalQueryInterface(const void* iid, void** ppv);
  // An event of a hosted control; answers whether a handler took it.
  BOOL OnEvent(UINT ctrlId, DISPID dispid, DISPPARAMS* params);

  // The automation IDispatch (reached through GetIDispatch and the
  // interface map).
  struct XDispatch : IDispatch {
    explicit XDispatch(CCmdTarget* owner) : m_pOwner(owner) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) override;
    CCmdTarget* m_pOwner;
  } m_xDispatch{this};

 protected:
  virtual void OnFinalRelease() {}
  LONG m_dwRef = 1;
  bool m_bAutomation = false;
};

// --- message maps ----------------------------------------------------------
#define DECLARE_MESSAGE_MAP()                   \
 protected:                                     \
  static const AFX_MSGMAP* GetThisMessageMap(); \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
    using ThisClass [[maybe_unused]] = theClass; \
    typedef baseClass TheBaseClass;                                                 \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                   \
  {0, 0, 0, nullptr}                                                                        \
  }                                                                                         \
  ;                                                                                         \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                                       \
  }

// --- interface maps and nested interface classes --------------------------
#define DECLARE_INTERFACE_MAP()                         \
 protected:                                             \
  static const AFX_INTERFACEMAP* GetThisInterfaceMap(); \
  const AFX_INTERFACEMAP* GetInterfaceMap() const override;

#define BEGIN_INTERFACE_MAP(theClass, baseClass)                                             \
  const AFX_INTERFACEMAP* theClass::GetInterfaceMap() const { return GetThisInterfaceMap(); } \
  const AFX_INTERFACEMAP* theClass::GetThisInterfaceMap() {                                  \
    using ThisClass [[maybe_unused]] = theClass; \
    typedef baseClass TheBaseClass;                                                          \
    static const AFX_INTERFACEMAP_ENTRY _interfaceEntries[] = {
#define INTERFACE_PART(theClass, iid, localClass)                                        \
  {&iid, [](CCmdTarget* t) -> IUnknown* { return &static_cast<theClass*>(t)->m_x##localClass; }},
#define END_INTERFACE_MAP()                                                                          \
  {nullptr, nullptr}                                                                                 \
  }                                                                                                  \
  ;                                                                                                  \
  static const AFX_INTERFACEMAP interfaceMap = {&TheBaseClass::GetThisInterfaceMap, &_interfaceEntries[0]}; \
  return &interfaceMap;                                                                              \
  }

// A nested interface object that reaches its outer object through
// m_pOwner (METHOD_PROLOGUE_EX names it pThis).
#define BEGIN_INTERFACE_PART(localClass, baseInterface)              \
  class X##localClass : public baseInterface {                        \
   public:                                                            \
    explicit X##localClass(CCmdTarget* owner) : m_pOwner(owner) {}    \
    CCmdTarget* m_pOwner;
#define END_INTERFACE_PART(localClass) \
  }                                    \
  m_x##localClass{this};               \
  friend class X##localClass;
#define METHOD_PROLOGUE_EX(theClass, localClass) theClass* pThis = static_cast<theClass*>(m_pOwner);
#define METHOD_PROLOGUE_EX_(theClass, localClass) METHOD_PROLOGUE_EX(theClass, localClass)

// --- dispatch maps -------------------------------------------------------
#define DECLARE_DISPATCH_MAP()                    \
 protected:                                       \
  static const AFX_DISPMAP* GetThisDispatchMap(); \
  const AFX_DISPMAP* GetDispatchMap() const override;

#define BEGIN_DISPATCH_MAP(theClass, baseClass)                                        \
  const AFX_DISPMAP* theClass::GetDispatchMap() const { return GetThisDispatchMap(); } \
  const AFX_DISPMAP* theClass::GetThisDispatchMap() {                                  \
    using ThisClass [[maybe_unused]] = theClass; \
    typedef baseClass TheBaseClass;                                                    \
    static const AFX_DISPMAP_ENTRY _dispatchEntries[] = {
#define DISP_FUNCTION_ID(theClass, szExternalName, dispid, pfnMember, vtRetVal, vtsParams)      \
  {L"" szExternalName, dispid, [](CCmdTarget* t, DISPPARAMS* p, VARIANT*) -> HRESULT {           \
     return AfxCallWithArguments(static_cast<theClass*>(t), &theClass::pfnMember, p) ? S_OK      \
                                                                                     : DISP_E_BADPARAMCOUNT; \
   }},
#define END_DISPATCH_MAP()                                                                   \
  {nullptr, 0, nullptr}                                                                      \
  }                                                                                          \
  ;                                                                                          \
  static const AFX_DISPMAP dispatchMap = {&TheBaseClass::GetThisDispatchMap, &_dispatchEntries[0]}; \
  return &dispatchMap;                                                                       \
  }

// --- event-sink maps -------------------------------------------------------
#define DECLARE_EVENTSINK_MAP()                         \
 protected:                                             \
  static const AFX_EVENTSINKMAP* GetThisEventSinkMap(); \
  const AFX_EVENTSINKMAP* GetEventSinkMap() const override;

#define BEGIN_EVENTSINK_MAP(theClass, baseClass)                                             \
  const AFX_EVENTSINKMAP* theClass::GetEventSinkMap() const { return GetThisEventSinkMap(); } \
  const AFX_EVENTSINKMAP* theClass::GetThisEventSinkMap() {                                  \
    using ThisClass [[maybe_unused]] = theClass; \
    typedef baseClass TheBaseClass;                                                          \
    static const AFX_EVENTSINKMAP_ENTRY _eventEntries[] = {
#define ON_EVENT(theClass, id, dispid, pfnHandler, vtsParams)                               \
  {static_cast<UINT>(id), dispid, [](CCmdTarget* t, DISPPARAMS* p) -> BOOL {                \
     return AfxCallWithArguments(static_cast<theClass*>(t), &theClass::pfnHandler, p) ? TRUE : FALSE; \
   }},
#define END_EVENTSINK_MAP()                                                                 \
  {0, 0, nullptr}                                                                           \
  }                                                                                         \
  ;                                                                                         \
  static const AFX_EVENTSINKMAP eventMap = {&TheBaseClass::GetThisEventSinkMap, &_eventEntries[0]}; \
  return &eventMap;                                                                         \
  }

// Parameter kinds of dispatch and event handlers (documentation of the
// maps; the handler's own signature decides how arguments are unpacked).
#define VTS_NONE ""
#define VTS_I4 "\x03"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_PVARIANT "\x4C"
#define VTS_PBOOL "\x4B"

// Unpacks one automation argument into a handler parameter.
template <class T>
struct AfxArgument;
template <>
struct AfxArgument<IDispatch*> {
  static IDispatch* From(VARIANT& v) {
    if (v.vt == VT_DISPATCH) return v.pdispVal;
    if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal && v.pvarVal->vt == VT_DISPATCH) return v.pvarVal->pdispVal;
    return nullptr;
  }
};
template <>
struct AfxArgument<VARIANT*> {
  static VARIANT* From(VARIANT& v) { return v.vt == (VT_BYREF | VT_VARIANT) ? v.pvarVal : &v; }
};
template <>
struct AfxArgument<VARIANT_BOOL*> {
  static VARIANT_BOOL* From(VARIANT& v) { return v.vt == (VT_BYREF | VT_BOOL) ? v.pboolVal : nullptr; }
};
template <>
struct AfxArgument<const wchar_t*> {
  static const wchar_t* From(VARIANT& v) { return v.vt == VT_BSTR ? v.bstrVal : nullptr; }
};

template <class T, class R, class... Args, size_t... I>
void AfxCallUnpacked(T* self, R (T::*fn)(Args...), DISPPARAMS* p, std::index_sequence<I...>) {
  // Arguments travel last-first.
  (self->*fn)(AfxArgument<Args>::From(p->rgvarg[p->cArgs - 1 - I])...);
}

// Calls the handler when the argument count matches its signature.
template <class T, class R, class... Args>
bool AfxCallWithArguments(T* self, R (T::*fn)(Args...), DISPPARAMS* p) {
  if (!p || p->cArgs != sizeof...(Args)) return false;
  AfxCallUnpacked(self, fn, p, std::index_sequence_for<Args...>{});
  return true;
}
