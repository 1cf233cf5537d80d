#include "browser/webkit_browser_control.h"

#include <json/json.h>

#include <cstdio>
#include <memory>

#include "browser/channel_protocol.h"
#include "browser/external_dispatch.h"
#include "browser/web_extension_directory.h"
#include "browser/webkit_environment.h"
#include "framework/messages.h"
#include "framework/native_widget.h"
#include "framework/text.h"

namespace {

// Hides the page's own scroll bars; the page still scrolls (keys, wheel).
constexpr const char* kNoScrollBarsCss =
    ":root { scrollbar-width: none !important; }\n"
    "::-webkit-scrollbar { display: none !important; width: 0 !important; height: 0 !important; }\n";

std::wstring Wide(const char* text) { return text ? WidenText(std::string(text)) : std::wstring(); }

bool TakeString(const channel::Frame& f, size_t i, std::string* out) {
  if (i >= f.args.size() || f.args[i].type != channel::Value::Type::kString) return false;
  *out = f.args[i].text;
  return true;
}
bool TakeInt(const channel::Frame& f, size_t i, int64_t* out) {
  if (i >= f.args.size() || f.args[i].type != channel::Value::Type::kInt) return false;
  *out = f.args[i].integer;
  return true;
}
bool TakeBool(const channel::Frame& f, size_t i, bool* out) {
  if (i >= f.args.size() || f.args[i].type != channel::Value::Type::kBool) return false;
  *out = f.args[i].boolean;
  return true;
}

channel::Frame Reply(const char* op, std::vector<channel::Value> args = {}) {
  channel::Frame reply;
  reply.op = op;
  reply.args = std::move(args);
  return reply;
}

// The element list the extension sends: [[id, tag], [id, "A", href], ...].
bool ParseElements(const std::string& json, std::vector<ElementInfo>* out) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  if (!reader->parse(json.data(), json.data() + json.size(), &root, &errors) || !root.isArray()) return false;
  out->clear();
  out->reserve(root.size());
  for (const Json::Value& item : root) {
    if (!item.isArray() || item.size() < 2 || !item[0].isNumeric() || !item[1].isString()) return false;
    ElementInfo info;
    info.id = static_cast<uint64_t>(item[0].asDouble());
    info.tag = WidenText(item[1].asString());
    if (item.size() >= 3 && item[2].isString()) {
      info.anchor = true;
      info.href = WidenText(item[2].asString());
    }
    out->push_back(std::move(info));
  }
  return true;
}

// Virtual-key codes for the keys a host may want to see.
WPARAM VirtualKeyOf(guint keyval) {
  if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z) return 'A' + (keyval - GDK_KEY_a);
  if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) return 'A' + (keyval - GDK_KEY_A);
  if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return '0' + (keyval - GDK_KEY_0);
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12) return 0x70 + (keyval - GDK_KEY_F1);
  switch (keyval) {
    case GDK_KEY_BackSpace: return 0x08;
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab: return 0x09;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter: return 0x0D;
    case GDK_KEY_Shift_L:
    case GDK_KEY_Shift_R: return 0x10;
    case GDK_KEY_Control_L:
    case GDK_KEY_Control_R: return 0x11;
    case GDK_KEY_Alt_L:
    case GDK_KEY_Alt_R: return 0x12;
    case GDK_KEY_Escape: return 0x1B;
    case GDK_KEY_space: return 0x20;
    case GDK_KEY_Page_Up: return 0x21;
    case GDK_KEY_Page_Down: return 0x22;
    case GDK_KEY_End: return 0x23;
    case GDK_KEY_Home: return 0x24;
    case GDK_KEY_Left: return 0x25;
    case GDK_KEY_Up: return 0x26;
    case GDK_KEY_Right: return 0x27;
    case GDK_KEY_Down: return 0x28;
    case GDK_KEY_Insert: return 0x2D;
    case GDK_KEY_Delete: return 0x2E;
    default: return 0;
  }
}

}  // namespace

WebKitBrowserControl::WebKitBrowserControl(IUnknown* clientSite, HWND host)
    : BrowserControl(clientSite), m_host(host), m_server(this) {}

bool WebKitBrowserControl::Init() {
  if (!m_server.Start())
    std::fprintf(stderr, "browser: the private channel could not be made; pages will have no window.external\n");

  m_context = webkit_web_context_new();
  // One page per browser: no processes kept for back/forward, so the web
  // process ends with the view.
  webkit_web_context_set_cache_model(m_context, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
  g_signal_connect(m_context, "initialize-web-extensions", G_CALLBACK(&WebKitBrowserControl::OnInitializeWebExtensions),
                   this);

  WebKitUserContentManager* content = webkit_user_content_manager_new();
  if (HostFlags() & DOCHOSTUIFLAG_SCROLL_NO) {
    WebKitUserStyleSheet* sheet = webkit_user_style_sheet_new(kNoScrollBarsCss, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                                              WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
    webkit_user_content_manager_add_style_sheet(content, sheet);
    webkit_user_style_sheet_unref(sheet);
  }
  // The view draws no border of its own, which is what DOCHOSTUIFLAG_NO3DBORDER asks.
  WebKitSettings* settings = webkit_settings_new_with_settings("enable-javascript", TRUE, "enable-developer-extras", FALSE,
                                                               nullptr);
  m_view = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", m_context, "user-content-manager", content,
                                        "settings", settings, nullptr));
  g_object_ref_sink(m_view);
  g_object_unref(content);
  g_object_unref(settings);

  g_signal_connect(m_view, "decide-policy", G_CALLBACK(&WebKitBrowserControl::OnDecidePolicy), this);
  g_signal_connect(m_view, "context-menu", G_CALLBACK(&WebKitBrowserControl::OnContextMenu), this);
  g_signal_connect(m_view, "key-press-event", G_CALLBACK(&WebKitBrowserControl::OnKeyPress), this);

  gtk_widget_show(GTK_WIDGET(m_view));
  if (m_host) AttachNativeWidget(m_host, GTK_WIDGET(m_view));
  return true;
}

WebKitBrowserControl::~WebKitBrowserControl() {
  if (m_loadSource) g_source_remove(m_loadSource);
  for (auto& entry : m_frames) entry.second->Release();
  m_frames.clear();
  if (m_view) {
    g_signal_handlers_disconnect_by_data(m_view, this);
    if (m_host) AttachNativeWidget(m_host, nullptr);
    gtk_widget_destroy(GTK_WIDGET(m_view));
    g_object_unref(m_view);
  }
  if (m_context) {
    g_signal_handlers_disconnect_by_data(m_context, this);
    g_object_unref(m_context);
  }
}

GtkWidget* WebKitBrowserControl::Widget() const { return GTK_WIDGET(m_view); }

// Starting a load starts the web process, which takes a while: it is done
// once the windows have been shown, after everything else that is ready.
void WebKitBrowserControl::Navigate(const std::wstring& url) {
  if (!m_view) return;
  m_pendingUrl = NarrowText(url);
  if (!m_loadSource) m_loadSource = g_idle_add_full(G_PRIORITY_LOW, &WebKitBrowserControl::StartPendingLoad, this, nullptr);
}

gboolean WebKitBrowserControl::StartPendingLoad(gpointer self) {
  auto* control = static_cast<WebKitBrowserControl*>(self);
  control->m_loadSource = 0;
  if (control->m_view) webkit_web_view_load_uri(control->m_view, control->m_pendingUrl.c_str());
  return G_SOURCE_REMOVE;
}

void WebKitBrowserControl::OnInitializeWebExtensions(WebKitWebContext* context, gpointer self) {
  auto* control = static_cast<WebKitBrowserControl*>(self);
  if (control->m_server.SocketPath().empty()) return;
  std::string directory = WebExtensionDirectory();
  if (directory.empty()) {
    std::fprintf(stderr, "browser: %s was not found; pages will have no window.external\n", kWebExtensionFileName);
    return;
  }
  webkit_web_context_set_web_extensions_directory(context, directory.c_str());
  webkit_web_context_set_web_extensions_initialization_user_data(
      context, g_variant_new("(ss)", control->m_server.SocketPath().c_str(), control->m_server.Token().c_str()));
}

gboolean WebKitBrowserControl::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                              WebKitPolicyDecisionType type, gpointer self) {
  if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) return FALSE;
  auto* control = static_cast<WebKitBrowserControl*>(self);
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  WebKitURIRequest* request = webkit_navigation_action_get_request(action);
  std::wstring url = Wide(webkit_uri_request_get_uri(request));
  std::wstring target = Wide(webkit_navigation_action_get_frame_name(action));
  control->AddRef();
  // What the web process sent before it asked for this navigation (the
  // completion of the document that starts it, say) comes first.
  control->m_server.Drain();
  // WebKit does not tell which frame a navigation is for before it starts,
  // so the event names the browser itself.
  bool cancelled = control->FireBeforeNavigate2(control, url, target);
  if (cancelled) webkit_policy_decision_ignore(decision);
  control->Release();
  return cancelled ? TRUE : FALSE;
}

gboolean WebKitBrowserControl::OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent* event,
                                             WebKitHitTestResult* hit, gpointer self) {
  auto* control = static_cast<WebKitBrowserControl*>(self);
  IDocHostUIHandler* host = control->HostHandler();
  if (!host) return FALSE;
  DWORD what = CONTEXT_MENU_DEFAULT;
  if (hit && webkit_hit_test_result_context_is_link(hit))
    what = CONTEXT_MENU_ANCHOR;
  else if (hit && webkit_hit_test_result_context_is_image(hit))
    what = CONTEXT_MENU_IMAGE;
  else if (hit && webkit_hit_test_result_context_is_editable(hit))
    what = CONTEXT_MENU_CONTROL;
  else if (hit && webkit_hit_test_result_context_is_selection(hit))
    what = CONTEXT_MENU_TEXTSELECT;
  POINT at{0, 0};
  gdouble x = 0, y = 0;
  if (event && gdk_event_get_root_coords(event, &x, &y)) at = POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
  // S_OK: the host showed its own menu (or none); anything else: ours.
  return host->ShowContextMenu(what, &at, nullptr, nullptr) == S_OK ? TRUE : FALSE;
}

gboolean WebKitBrowserControl::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
  auto* control = static_cast<WebKitBrowserControl*>(self);
  IDocHostUIHandler* host = control->HostHandler();
  WPARAM key = event ? VirtualKeyOf(event->keyval) : 0;
  if (!host || !key) return FALSE;
  MSG message{control->m_host, WM_KEYDOWN, key, (event->state & GDK_MOD1_MASK) ? (1 << 29) : 0, event->time, {0, 0}};
  // S_OK: the host took the key; S_FALSE (or anything else): the page gets it.
  return host->TranslateAccelerator(&message, nullptr, 0) == S_OK ? TRUE : FALSE;
}

channel::Frame WebKitBrowserControl::OnExtensionRequest(const channel::Frame& request) {
  AddRef();  // what the request leads to may make the site let go of us
  channel::Frame reply = Reply(channel::kReplyError, {channel::Value::String("malformed request")});
  std::string text;
  int64_t number = 0;
  if (request.op == channel::kGet && TakeString(request, 0, &text)) {
    ExternalProperty property = ReadExternalProperty(HostHandler(), WidenText(text));
    if (property.kind == ExternalProperty::Kind::kValue)
      reply = Reply(channel::kReplyValue, {property.value});
    else if (property.kind == ExternalProperty::Kind::kMethod)
      reply = Reply(channel::kReplyMethod, {channel::Value::Int(property.dispid)});
    else
      reply = Reply(channel::kReplyUndefined);
  } else if (request.op == channel::kCall && TakeInt(request, 0, &number)) {
    std::vector<channel::Value> args(request.args.begin() + 1, request.args.end());
    ExternalCallResult result = CallExternalMethod(HostHandler(), static_cast<DISPID>(number), args);
    reply = result.ok ? Reply(channel::kReplyValue, {result.value})
                      : Reply(channel::kReplyError, {channel::Value::String(result.error)});
  } else if (request.op == channel::kClick && TakeString(request, 0, &text) && TakeInt(request, 1, &number)) {
    HtmlDocument* document = CurrentDocument();
    if (document && document->Serial() == text) {
      document->AddRef();
      document->DispatchClick(static_cast<uint64_t>(number));
      document->Release();
    }
    reply = Reply(channel::kReplyDone);
  } else if (request.op != channel::kGet && request.op != channel::kCall && request.op != channel::kClick) {
    reply = Reply(channel::kReplyError, {channel::Value::String("unknown request " + request.op)});
  }
  Release();
  return reply;
}

void WebKitBrowserControl::OnExtensionEvent(const channel::Frame& event) {
  AddRef();
  if (event.op == channel::kNavigated)
    OnNavigated(event);
  else if (event.op == channel::kLoaded)
    OnLoaded(event);
  Release();
}

IDispatch* WebKitBrowserControl::FrameObject(bool topLevel, int64_t frameId, const std::wstring& url) {
  if (topLevel) return this;
  auto found = m_frames.find(frameId);
  if (found != m_frames.end()) {
    found->second->SetUrl(url);
    return found->second;
  }
  auto* frame = new BrowserFrame(url);
  m_frames[frameId] = frame;
  return frame;
}

void WebKitBrowserControl::OnNavigated(const channel::Frame& event) {
  bool topLevel = false;
  int64_t frameId = 0;
  std::string url, serial;
  if (!TakeBool(event, 0, &topLevel) || !TakeInt(event, 1, &frameId) || !TakeString(event, 2, &url) ||
      !TakeString(event, 3, &serial))
    return;
  std::wstring address = WidenText(url);
  if (topLevel) {
    // A new page: its frames start afresh.
    for (auto& entry : m_frames) entry.second->Release();
    m_frames.clear();
    SetCurrentDocument(new HtmlDocument(address, serial));
  } else if (!CurrentDocument() || CurrentDocument()->Serial() != serial) {
    return;  // a frame of a page that is gone
  }
  IDispatch* frame = FrameObject(topLevel, frameId, address);
  frame->AddRef();
  FireNavigateComplete2(frame, address);
  frame->Release();
}

void WebKitBrowserControl::OnLoaded(const channel::Frame& event) {
  bool topLevel = false;
  int64_t frameId = 0;
  std::string url, serial, elements;
  if (!TakeBool(event, 0, &topLevel) || !TakeInt(event, 1, &frameId) || !TakeString(event, 2, &url) ||
      !TakeString(event, 3, &serial))
    return;
  HtmlDocument* document = CurrentDocument();
  if (!document || document->Serial() != serial) return;  // of a page that is gone
  std::vector<ElementInfo> list;
  if (TakeString(event, 4, &elements) && ParseElements(elements, &list)) document->SetElements(list);
  std::wstring address = WidenText(url);
  IDispatch* frame = FrameObject(topLevel, frameId, address);
  frame->AddRef();
  FireDocumentComplete(frame, address);
  frame->Release();
}

BrowserControl* CreateWebKitBrowserControl(IUnknown* clientSite, HWND host) {
  PrepareWebKitEnvironment();
  auto* control = new WebKitBrowserControl(clientSite, host);
  if (!control->Init()) {
    control->Release();
    return nullptr;
  }
  return control;
}
