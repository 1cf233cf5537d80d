#include "extension/external_object.h"

#include <string>
#include <vector>

#include "browser/channel_protocol.h"
#include "extension/script_values.h"
#include "extension/shell_link.h"

namespace {

struct Method {
  int64_t dispid;
};

JSCValue* CallMethod(GPtrArray* arguments, gpointer data) {
  JSCContext* context = jsc_context_get_current();
  std::vector<channel::Value> args;
  args.push_back(channel::Value::Int(static_cast<Method*>(data)->dispid));
  for (guint i = 0; arguments && i < arguments->len; ++i)
    args.push_back(ToChannelValue(static_cast<JSCValue*>(g_ptr_array_index(arguments, i))));
  std::optional<channel::Frame> reply = shell_link::Call(channel::kCall, std::move(args));
  if (!reply) {
    jsc_context_throw(context, "window.external: the shell is not reachable");
    return nullptr;
  }
  if (reply->op == channel::kReplyValue && reply->args.size() == 1) return ToScriptValue(context, reply->args[0]);
  std::string message = "window.external: the call failed";
  if (!reply->args.empty() && reply->args[0].type == channel::Value::Type::kString) message = reply->args[0].text;
  jsc_context_throw(context, message.c_str());
  return nullptr;
}

// Each read asks the shell: a value comes back as it is, a method as a
// function that calls it. Returning null lets the lookup go on to the
// prototype, so an unknown name reads as undefined.
JSCValue* GetProperty(JSCClass*, JSCContext* context, gpointer, const char* name) {
  std::optional<channel::Frame> reply = shell_link::Call(channel::kGet, {channel::Value::String(name)});
  if (!reply) return nullptr;
  if (reply->op == channel::kReplyValue && reply->args.size() == 1) return ToScriptValue(context, reply->args[0]);
  if (reply->op == channel::kReplyMethod && reply->args.size() == 1 &&
      reply->args[0].type == channel::Value::Type::kInt) {
    auto* method = new Method{reply->args[0].integer};
    return jsc_value_new_function_variadic(
        context, name, G_CALLBACK(&CallMethod), method, [](gpointer p) { delete static_cast<Method*>(p); },
        JSC_TYPE_VALUE);
  }
  return nullptr;
}

// JavaScriptCore keeps a pointer to the table for the class's lifetime.
JSCClassVTable g_externalVTable = {GetProperty, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

// Objects made with a null instance never reach the table.
int g_instance;

}  // namespace

void DefineExternal(JSCContext* context) {
  JSCClass* externalClass = jsc_context_register_class(context, "External", nullptr, &g_externalVTable, nullptr);
  JSCValue* external = jsc_value_new_object(context, &g_instance, externalClass);
  JSCValue* window = jsc_context_get_global_object(context);
  // Not writable, not configurable: page script cannot swap it out.
  jsc_value_object_define_property_data(window, "external", JSC_VALUE_PROPERTY_ENUMERABLE, external);
  g_object_unref(window);
  g_object_unref(external);
}
