// How the panel reads browser events and recognises a login redirect.
#pragma once

#include "framework/automation.h"
#include "framework/text.h"

// The address an event's URL argument carries (VT_BSTR, possibly by
// reference); empty when there is none.
CString BrowserEventAddress(const VARIANT* url);

// Whether a completed navigation is the operator's code callback: the
// text "plandor/codeCallback.htm?code=" (case-sensitive) anywhere in the
// address, and "needCode=" nowhere in it.
bool IsCodeCallbackAddress(const CString& address);
