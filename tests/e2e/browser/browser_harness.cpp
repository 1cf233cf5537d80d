#include "browser_harness.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "framework/text.h"

bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  // A short timer keeps the blocking iteration from sleeping past the
  // deadline when nothing else happens.
  guint tick = g_timeout_add(20, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  bool reached = false;
  while (!(reached = done()) && std::chrono::steady_clock::now() < deadline) g_main_context_iteration(nullptr, TRUE);
  g_source_remove(tick);
  return reached;
}

void RunFor(int ms) {
  RunUntil([] { return false; }, ms);
}

std::wstring Wide(const std::string& text) { return WidenText(text); }

BrowserWindow::BrowserWindow(IUnknown* host, int width, int height) {
  m_browser = dynamic_cast<WebKitBrowserControl*>(CreateWebKitBrowserControl(host, nullptr));
  m_window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(m_window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(m_window), width, height);
  gtk_window_move(GTK_WINDOW(m_window), 0, 0);
  if (m_browser) gtk_container_add(GTK_CONTAINER(m_window), m_browser->Widget());
  gtk_widget_show_all(m_window);
  RunUntil([this] { return gtk_widget_get_mapped(m_window); }, 5000);
}

BrowserWindow::~BrowserWindow() { Close(); }

HRESULT BrowserWindow::Navigate(const std::string& url) {
  if (!m_browser) return E_FAIL;
  std::wstring wide = Wide(url);
  VARIANT empty[4];
  VARIANT args[5];
  for (int i = 0; i < 4; ++i) {
    VariantInit(&empty[i]);
    VariantInit(&args[i]);
    args[i].vt = VT_BYREF | VT_VARIANT;
    args[i].pvarVal = &empty[i];
  }
  VariantInit(&args[4]);
  args[4].vt = VT_BSTR;
  args[4].bstrVal = SysAllocString(wide.c_str());
  DISPPARAMS params{args, nullptr, 5, 0};
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = m_browser->Invoke(DISPID_NAVIGATE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                                 nullptr, nullptr);
  VariantClear(&args[4]);
  VariantClear(&result);
  return hr;
}

IHTMLDocument2* BrowserWindow::Document() {
  if (!m_browser) return nullptr;
  VARIANT result;
  VariantInit(&result);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  m_browser->Invoke(DISPID_DOCUMENT, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                    nullptr);
  IHTMLDocument2* document = nullptr;
  if (result.vt == VT_DISPATCH && result.pdispVal)
    result.pdispVal->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&document));
  VariantClear(&result);
  return document;
}

std::string BrowserWindow::Evaluate(const std::string& script) {
  struct Outcome {
    bool done = false;
    std::string text;
  } outcome;
  webkit_web_view_evaluate_javascript(
      m_browser->View(), script.c_str(), -1, nullptr, nullptr, nullptr,
      [](GObject* view, GAsyncResult* result, gpointer data) {
        auto* out = static_cast<Outcome*>(data);
        JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, nullptr);
        if (value) {
          char* text = jsc_value_to_string(value);
          out->text = text ? text : "";
          g_free(text);
          g_object_unref(value);
        }
        out->done = true;
      },
      &outcome);
  RunUntil([&] { return outcome.done; }, 10000);
  return outcome.text;
}

GdkPixbuf* BrowserWindow::Screenshot() {
  GdkWindow* window = gtk_widget_get_window(m_window);
  return gdk_pixbuf_get_from_window(window, 0, 0, gdk_window_get_width(window), gdk_window_get_height(window));
}

namespace {

// Gone, or ended and waiting to be reaped.
bool ProcessEnded(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  if (!stat) return true;
  std::string line;
  std::getline(stat, line);
  size_t close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && (line[close + 2] == 'Z' || line[close + 2] == 'X');
}

}  // namespace

bool BrowserWindow::Close() {
  if (!m_window) return true;
  std::vector<int> pids = m_browser ? m_browser->WebProcessIds() : std::vector<int>();
  if (m_browser) m_browser->Release();
  m_browser = nullptr;
  gtk_widget_destroy(m_window);
  m_window = nullptr;
  return RunUntil(
      [&] {
        for (int pid : pids)
          if (!ProcessEnded(pid)) return false;
        return true;
      },
      15000);
}

bool HasTopLevelCompletion(const RecordingSink& sink, IDispatch* browser, const std::wstring& url) {
  for (const auto& e : sink.events)
    if (e.id == DISPID_DOCUMENTCOMPLETE && e.frame == browser && e.url == url) return true;
  return false;
}

void Xdotool(const std::string& arguments) {
  std::string command = "xdotool " + arguments;
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
}

int VisiblePopups() {
  int count = 0;
  GList* windows = gtk_window_list_toplevels();
  for (GList* w = windows; w; w = w->next)
    if (gtk_window_get_window_type(GTK_WINDOW(w->data)) == GTK_WINDOW_POPUP && gtk_widget_get_mapped(GTK_WIDGET(w->data)))
      ++count;
  g_list_free(windows);
  return count;
}
