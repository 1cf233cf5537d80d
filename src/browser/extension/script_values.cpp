#include "extension/script_values.h"

#include <cmath>

namespace {

std::string TextOf(JSCValue* value) {
  // As bytes, so that text with a NUL character arrives whole.
  GBytes* bytes = jsc_value_to_string_as_bytes(value);
  if (!bytes) return std::string();
  gsize size = 0;
  const char* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
  std::string text(data ? data : "", size);
  g_bytes_unref(bytes);
  return text;
}

}  // namespace

channel::Value ToChannelValue(JSCValue* value) {
  if (!value || jsc_value_is_undefined(value)) return channel::Value::Undefined();
  if (jsc_value_is_null(value)) return channel::Value::Null();
  if (jsc_value_is_boolean(value)) return channel::Value::Bool(jsc_value_to_boolean(value));
  if (jsc_value_is_number(value)) {
    double number = jsc_value_to_double(value);
    if (std::isfinite(number) && std::trunc(number) == number && std::fabs(number) <= 9007199254740992.0 &&
        !(number == 0 && std::signbit(number)))
      return channel::Value::Int(static_cast<int64_t>(number));
    return channel::Value::Double(number);
  }
  return channel::Value::String(TextOf(value));
}

JSCValue* ToScriptValue(JSCContext* context, const channel::Value& value) {
  switch (value.type) {
    case channel::Value::Type::kUndefined: return jsc_value_new_undefined(context);
    case channel::Value::Type::kNull: return jsc_value_new_null(context);
    case channel::Value::Type::kBool: return jsc_value_new_boolean(context, value.boolean);
    case channel::Value::Type::kInt: return jsc_value_new_number(context, static_cast<double>(value.integer));
    case channel::Value::Type::kDouble: return jsc_value_new_number(context, value.number);
    case channel::Value::Type::kString: {
      GBytes* bytes = g_bytes_new(value.text.data(), value.text.size());
      JSCValue* text = jsc_value_new_string_from_bytes(context, bytes);
      g_bytes_unref(bytes);
      return text;
    }
  }
  return jsc_value_new_undefined(context);
}
