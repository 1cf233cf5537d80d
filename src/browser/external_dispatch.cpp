#include "browser/external_dispatch.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>

#include "framework/text.h"

namespace {

// The host's external object, held for one operation.
class ExternalObject {
 public:
  explicit ExternalObject(IDocHostUIHandler* host) {
    if (host && FAILED(host->GetExternal(&m_object))) m_object = nullptr;
  }
  ~ExternalObject() {
    if (m_object) m_object->Release();
  }
  ExternalObject(const ExternalObject&) = delete;
  ExternalObject& operator=(const ExternalObject&) = delete;
  IDispatch* get() const { return m_object; }

 private:
  IDispatch* m_object = nullptr;
};

std::string HresultText(const char* what, HRESULT hr) {
  char text[96];
  std::snprintf(text, sizeof text, "window.external: %s failed (0x%08X)", what, static_cast<unsigned>(hr));
  return text;
}

}  // namespace

void ScriptValueToVariant(const channel::Value& value, VARIANT* out) {
  VariantInit(out);
  switch (value.type) {
    case channel::Value::Type::kUndefined: break;
    case channel::Value::Type::kNull: out->vt = VT_NULL; break;
    case channel::Value::Type::kBool:
      out->vt = VT_BOOL;
      out->boolVal = value.boolean ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case channel::Value::Type::kInt:
      if (value.integer >= INT32_MIN && value.integer <= INT32_MAX) {
        out->vt = VT_I4;
        out->lVal = static_cast<LONG>(value.integer);
      } else {
        out->vt = VT_R8;
        out->dblVal = static_cast<double>(value.integer);
      }
      break;
    case channel::Value::Type::kDouble:
      out->vt = VT_R8;
      out->dblVal = value.number;
      break;
    case channel::Value::Type::kString: {
      std::wstring wide = WidenText(value.text);
      out->vt = VT_BSTR;
      out->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
      break;
    }
  }
}

channel::Value VariantToScriptValue(const VARIANT& value) {
  if (value.vt == (VT_BYREF | VT_VARIANT)) return value.pvarVal ? VariantToScriptValue(*value.pvarVal) : channel::Value();
  switch (value.vt) {
    case VT_NULL: return channel::Value::Null();
    case VT_BOOL: return channel::Value::Bool(value.boolVal != VARIANT_FALSE);
    case VT_I2: return channel::Value::Int(value.iVal);
    case VT_I4: return channel::Value::Int(value.lVal);
    case VT_INT: return channel::Value::Int(value.intVal);
    case VT_UINT: return channel::Value::Int(value.uintVal);
    case VT_R8: return channel::Value::Double(value.dblVal);
    case VT_BSTR: return channel::Value::String(NarrowText(value.bstrVal ? value.bstrVal : L"", SysStringLen(value.bstrVal)));
    default: return channel::Value();
  }
}

ExternalProperty ReadExternalProperty(IDocHostUIHandler* host, const std::wstring& name) {
  ExternalProperty property;
  try {
    ExternalObject external(host);
    if (!external.get()) return property;
    std::wstring buffer = name;
    LPOLESTR names[1] = {buffer.data()};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = external.get()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr) || id == DISPID_UNKNOWN) return property;
    property.dispid = id;
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    hr = external.get()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
    if (SUCCEEDED(hr) && result.vt != VT_EMPTY) {
      property.kind = ExternalProperty::Kind::kValue;
      property.value = VariantToScriptValue(result);
    } else {
      property.kind = ExternalProperty::Kind::kMethod;
    }
    VariantClear(&result);
  } catch (const std::exception& e) {
    // Nothing thrown by the host may unwind into the browser's callbacks.
    std::fprintf(stderr, "window.external: reading a property failed: %s\n", e.what());
    property = ExternalProperty();
  } catch (...) {
    std::fprintf(stderr, "window.external: reading a property failed\n");
    property = ExternalProperty();
  }
  return property;
}

ExternalCallResult CallExternalMethod(IDocHostUIHandler* host, DISPID dispid, const std::vector<channel::Value>& args) {
  ExternalCallResult outcome;
  std::vector<VARIANT> variants(args.size());
  // IDispatch takes the arguments last first.
  for (size_t i = 0; i < args.size(); ++i) ScriptValueToVariant(args[i], &variants[args.size() - 1 - i]);
  try {
    ExternalObject external(host);
    if (!external.get()) {
      outcome.error = "window.external is not available";
    } else {
      DISPPARAMS params{variants.empty() ? nullptr : variants.data(), nullptr, static_cast<UINT>(variants.size()), 0};
      VARIANT result;
      VariantInit(&result);
      UINT argError = 0;
      HRESULT hr = external.get()->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                                          nullptr, &argError);
      if (SUCCEEDED(hr)) {
        outcome.ok = true;
        outcome.value = VariantToScriptValue(result);
      } else {
        outcome.error = HresultText("call", hr);
      }
      VariantClear(&result);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "window.external: a call failed: %s\n", e.what());
    outcome = ExternalCallResult();
    outcome.error = std::string("window.external: ") + e.what();
  } catch (...) {
    std::fprintf(stderr, "window.external: a call failed\n");
    outcome = ExternalCallResult();
    outcome.error = "window.external: the call failed";
  }
  for (VARIANT& v : variants) VariantClear(&v);
  return outcome;
}
