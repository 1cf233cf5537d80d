#include "extension/frame_watch.h"

#include <unistd.h>

#include <cstdint>
#include <map>
#include <string>

#include "browser/channel_protocol.h"
#include "extension/external_object.h"
#include "extension/shell_link.h"

namespace {

WebKitScriptWorld* g_watchWorld = nullptr;
// The serial of each page's current top-level document, and the watching
// world's context of that document (one reference).
std::map<guint64, std::string> g_serials;
std::map<guint64, JSCContext*> g_topLevelContexts;
unsigned g_nextSerial = 0;

// Evaluated in the watching world of each new document; answers a
// function that sets the watch up once per document and says whether it
// did. Element ids live in a WeakMap of this world, so an element keeps
// its id for as long as the document lives.
constexpr const char* kWatchScript = R"JS(
(function (isTopLevel, loaded, clicked) {
  if (window.__quorinWatch) return false;
  Object.defineProperty(window, '__quorinWatch', { value: true });
  var reported = false;
  function complete() {
    if (reported) return;
    reported = true;
    // After every load listener of the page has run.
    setTimeout(function () { loaded(); }, 0);
  }
  if (document.readyState === 'complete') complete();
  else window.addEventListener('load', complete);
  if (!isTopLevel) return true;
  var ids = new WeakMap();
  var next = 1;
  Object.defineProperty(window, '__quorinElements', { value: function () {
    var all = document.getElementsByTagName('*');
    var out = [];
    // Bounded so that the list always fits one channel frame.
    for (var i = 0; i < all.length && i < 200000; ++i) {
      var element = all[i];
      var id = ids.get(element);
      if (!id) { id = next++; ids.set(element, id); }
      if (element instanceof HTMLAnchorElement) out.push([id, element.tagName, element.href]);
      else out.push([id, element.tagName]);
    }
    return JSON.stringify(out);
  } });
  window.addEventListener('click', function (event) {
    var target = event.target;
    if (target && target.nodeType !== 1) target = target.parentElement;
    var link = target && target.closest ? target.closest('a') : null;
    if (!(link instanceof HTMLAnchorElement)) return;
    var id = ids.get(link);
    if (id) clicked(id);
  }, true);
  return true;
})
)JS";

struct FrameReport {
  guint64 pageId;
  guint64 frameId;
  bool topLevel;
  std::string serial;
  // The document's address as WebKit gave it when the document came; an
  // error page's script would see about:blank instead.
  std::string url;
};

// The top-level document's elements as JSON, read in the watching world.
channel::Value TopLevelElements(guint64 pageId) {
  auto found = g_topLevelContexts.find(pageId);
  if (found == g_topLevelContexts.end()) return channel::Value::Undefined();
  JSCContext* context = found->second;
  channel::Value elements;
  JSCValue* result = jsc_context_evaluate(context, "typeof __quorinElements === 'function' ? __quorinElements() : null", -1);
  if (result && jsc_value_is_string(result)) {
    char* text = jsc_value_to_string(result);
    elements = channel::Value::String(text ? text : "");
    g_free(text);
  }
  if (result) g_object_unref(result);
  return elements;
}

void OnLoaded(gpointer data) {
  auto* report = static_cast<FrameReport*>(data);
  shell_link::Send(channel::kLoaded,
                   {channel::Value::Bool(report->topLevel), channel::Value::Int(static_cast<int64_t>(report->frameId)),
                    channel::Value::String(report->url), channel::Value::String(report->serial),
                    TopLevelElements(report->pageId)});
}

void OnClicked(double id, gpointer data) {
  auto* report = static_cast<FrameReport*>(data);
  // Waits for the shell: its sinks run before the link is followed.
  shell_link::Call(channel::kClick,
                   {channel::Value::String(report->serial), channel::Value::Int(static_cast<int64_t>(id))});
}

void FreeReport(gpointer data) { delete static_cast<FrameReport*>(data); }

void OnWindowObjectCleared(WebKitScriptWorld* world, WebKitWebPage* page, WebKitFrame* frame, gpointer) {
  if (!shell_link::Connected()) return;
  JSCContext* pageContext = webkit_frame_get_js_context_for_script_world(frame, world);
  DefineExternal(pageContext);
  g_object_unref(pageContext);

  const bool topLevel = webkit_frame_is_main_frame(frame);
  const guint64 pageId = webkit_web_page_get_id(page);
  JSCContext* context = webkit_frame_get_js_context_for_script_world(frame, g_watchWorld);
  JSCValue* setup = jsc_context_evaluate(context, kWatchScript, -1);
  if (!setup || !jsc_value_is_function(setup)) {
    if (setup) g_object_unref(setup);
    g_object_unref(context);
    return;
  }
  std::string serial = topLevel ? std::to_string(::getpid()) + ":" + std::to_string(++g_nextSerial) : g_serials[pageId];
  const char* uri = webkit_frame_get_uri(frame);
  const std::string url = uri ? uri : "";
  auto* loadedReport = new FrameReport{pageId, webkit_frame_get_id(frame), topLevel, serial, url};
  auto* clickReport = new FrameReport{pageId, webkit_frame_get_id(frame), topLevel, serial, url};
  JSCValue* loaded = jsc_value_new_function(context, "loaded", G_CALLBACK(&OnLoaded), loadedReport, &FreeReport,
                                            G_TYPE_NONE, 0);
  JSCValue* clicked = jsc_value_new_function(context, "clicked", G_CALLBACK(&OnClicked), clickReport, &FreeReport,
                                             G_TYPE_NONE, 1, G_TYPE_DOUBLE);
  JSCValue* started = jsc_value_function_call(setup, G_TYPE_BOOLEAN, topLevel, JSC_TYPE_VALUE, loaded, JSC_TYPE_VALUE,
                                              clicked, G_TYPE_NONE);
  // The window object can be cleared again for the same document; only a
  // new document is news.
  if (started && jsc_value_to_boolean(started)) {
    if (topLevel) {
      g_serials[pageId] = serial;
      JSCContext*& kept = g_topLevelContexts[pageId];
      if (kept) g_object_unref(kept);
      kept = JSC_CONTEXT(g_object_ref(context));
    }
    shell_link::Send(channel::kNavigated,
                     {channel::Value::Bool(topLevel), channel::Value::Int(static_cast<int64_t>(webkit_frame_get_id(frame))),
                      channel::Value::String(url), channel::Value::String(serial)});
  }
  if (started) g_object_unref(started);
  g_object_unref(clicked);
  g_object_unref(loaded);
  g_object_unref(setup);
  g_object_unref(context);
}

void ForgetPage(gpointer id, GObject*) {
  guint64 pageId = reinterpret_cast<uintptr_t>(id);
  auto found = g_topLevelContexts.find(pageId);
  if (found != g_topLevelContexts.end()) {
    g_object_unref(found->second);
    g_topLevelContexts.erase(found);
  }
  g_serials.erase(pageId);
}

void OnPageCreated(WebKitWebExtension*, WebKitWebPage* page, gpointer) {
  static_assert(sizeof(gpointer) >= sizeof(guint64), "page ids travel as pointers");
  g_object_weak_ref(G_OBJECT(page), &ForgetPage,
                    reinterpret_cast<gpointer>(static_cast<uintptr_t>(webkit_web_page_get_id(page))));
}

}  // namespace

void WatchFrames(WebKitWebExtension* extension) {
  g_signal_connect(extension, "page-created", G_CALLBACK(&OnPageCreated), nullptr);
  g_watchWorld = webkit_script_world_new_with_name("quorin-watch");
  g_signal_connect(webkit_script_world_get_default(), "window-object-cleared", G_CALLBACK(&OnWindowObjectCleared),
                   nullptr);
}
