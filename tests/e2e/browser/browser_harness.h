// A real browser in a plain GtkWindow at the top-left corner of the X
// screen, for the end-to-end tests and the benchmark. Everything is
// driven from the GLib main loop of the test's own thread.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

#include "browser/webkit_browser_control.h"
#include "browser_test_doubles.h"

// Runs the main loop until done() answers true; false when timeoutMs
// passed first (so a broken browser fails a test instead of hanging it).
bool RunUntil(const std::function<bool()>& done, int timeoutMs = 30000);
// Runs the main loop for a while, for things that should NOT happen.
void RunFor(int ms);

class BrowserWindow {
 public:
  // host may be null. The window is width x height at (0, 0).
  BrowserWindow(IUnknown* host, int width, int height);
  ~BrowserWindow();
  BrowserWindow(const BrowserWindow&) = delete;
  BrowserWindow& operator=(const BrowserWindow&) = delete;

  WebKitBrowserControl* Browser() const { return m_browser; }
  GtkWidget* Window() const { return m_window; }

  // Navigate (DISPID 104) as the control site calls it: the address and
  // four optional VARIANT references.
  HRESULT Navigate(const std::string& url);
  // The Document property (DISPID 203) as IHTMLDocument2; null if none.
  IHTMLDocument2* Document();
  // Runs script in the page and answers its result as text ("" on error).
  std::string Evaluate(const std::string& script);
  // The window's pixels as the X server shows them.
  GdkPixbuf* Screenshot();

  // Destroys the browser and waits for its web processes to end; false
  // when one was still running after a while.
  bool Close();

 private:
  GtkWidget* m_window = nullptr;
  WebKitBrowserControl* m_browser = nullptr;
};

// The top-level DocumentComplete for url has arrived at sink.
bool HasTopLevelCompletion(const RecordingSink& sink, IDispatch* browser, const std::wstring& url);

// Pointer and keys through the X server, as a user gives them.
void Xdotool(const std::string& arguments);

// Visible pop-up windows of this process (menus).
int VisiblePopups();

std::wstring Wide(const std::string& text);
