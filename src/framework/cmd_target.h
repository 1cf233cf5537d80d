// Command targets: the root of the framework's classes. Carries the message
// map that windows dispatch through.
#pragma once

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
  const AFX_MSGMAP_ENTRY* lpEntries;  // ends with a row whose nMessage is 0 and pfn null
};

class CObject {
 public:
  virtual ~CObject() = default;
};

class CCmdTarget : public CObject {
 public:
  CCmdTarget() = default;
  ~CCmdTarget() override = default;
  virtual const AFX_MSGMAP* GetMessageMap() const;
  static const AFX_MSGMAP* GetThisMessageMap();
};

#define DECLARE_MESSAGE_MAP()                                  \
 protected:                                                    \
  static const AFX_MSGMAP* GetThisMessageMap();                \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                           \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }      \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                      \
    typedef theClass ThisClass;                                                          \
    typedef baseClass TheBaseClass;                                                      \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                          \
  {0, 0, 0, nullptr}                                                               \
  }                                                                                \
  ;                                                                                \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                              \
  }
