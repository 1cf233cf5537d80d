// The browser component on WebKitGTK. The view lives in the shell
// process; the page runs in WebKit's web process, where our extension
// gives script window.external and reports frames, documents and link
// clicks over the private channel (ExtensionServer). Top-level and frame
// navigations are offered to BeforeNavigate2 from WebKit's navigation
// policy; NavigateComplete2 and DocumentComplete come from the extension,
// so all of a page's events arrive in the order the web process saw them.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "browser/browser_control.h"
#include "browser/extension_server.h"

#include <webkit2/webkit2.h>

class WebKitBrowserControl final : public BrowserControl, private ExtensionServer::Delegate {
 public:
  // Use CreateWebKitBrowserControl.
  WebKitBrowserControl(IUnknown* clientSite, HWND host);
  bool Init();

  void Navigate(const std::wstring& url) override;

  // The view. Without a host window the caller places it in a container
  // of its own (tests do).
  GtkWidget* Widget() const;
  WebKitWebView* View() const { return m_view; }
  // The web processes connected to this browser now.
  std::vector<int> WebProcessIds() const { return m_server.PeerProcessIds(); }

 private:
  ~WebKitBrowserControl() override;

  channel::Frame OnExtensionRequest(const channel::Frame& request) override;
  void OnExtensionEvent(const channel::Frame& event) override;
  void OnNavigated(const channel::Frame& event);
  void OnLoaded(const channel::Frame& event);
  IDispatch* FrameObject(bool topLevel, int64_t frameId, const std::wstring& url);

  static void OnInitializeWebExtensions(WebKitWebContext* context, gpointer self);
  static gboolean OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                 gpointer self);
  static gboolean OnContextMenu(WebKitWebView* view, WebKitContextMenu* menu, GdkEvent* event, WebKitHitTestResult* hit,
                                gpointer self);
  static gboolean OnKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer self);
  static gboolean StartPendingLoad(gpointer self);

  HWND m_host;
  ExtensionServer m_server;
  WebKitWebContext* m_context = nullptr;
  WebKitWebView* m_view = nullptr;
  std::map<int64_t, BrowserFrame*> m_frames;  // frames of the current page, one reference each
  std::string m_pendingUrl;  // asked for, not yet handed to WebKit
  guint m_loadSource = 0;
};
