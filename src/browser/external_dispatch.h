// What page script's window.external does in the shell: every property
// read asks the host for its external object (GetExternal, released after
// use), resolves the name with GetIDsOfNames and reads it with a property
// get; a read that yields nothing makes the name a method, whose call is
// an Invoke with DISPATCH_METHOD and the script's arguments.
#pragma once

#include <string>
#include <vector>

#include "browser/channel_wire.h"
#include "browser/doc_host_ui_handler.h"

struct ExternalProperty {
  enum class Kind { kUndefined, kValue, kMethod };
  Kind kind = Kind::kUndefined;
  channel::Value value;          // kValue
  DISPID dispid = DISPID_UNKNOWN;  // kValue and kMethod
};

ExternalProperty ReadExternalProperty(IDocHostUIHandler* host, const std::wstring& name);

struct ExternalCallResult {
  bool ok = false;
  channel::Value value;  // the method's result; undefined when it gave none
  std::string error;     // when !ok
};

// Calls dispid of the host's external object with the arguments in script
// order (they are handed over last first, as IDispatch expects).
ExternalCallResult CallExternalMethod(IDocHostUIHandler* host, DISPID dispid, const std::vector<channel::Value>& args);

// Conversions between script values and VARIANTs. Integers that fit 32
// bits become VT_I4, other numbers VT_R8, text VT_BSTR; results of a type
// script cannot hold (interfaces, arrays) read as undefined.
void ScriptValueToVariant(const channel::Value& value, VARIANT* out);
channel::Value VariantToScriptValue(const VARIANT& value);
