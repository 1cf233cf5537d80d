// The gtk backend's process side: start-up on X11, the wait for events, the
// clock, the screen and message boxes. Window handling is in
// gtk_windows.cpp, event handling in gtk_events.cpp.
#include "gtk_backend.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdlib>

#include "gtk_toplevel.h"
#include "runtime.h"
#include "text.h"
#include "window.h"

namespace {

void OnCompositedChanged(GdkScreen*, gpointer data) { static_cast<GtkBackend*>(data)->RefreshAllShapes(); }

struct WaitTimeout {
  bool fired = false;
};

gboolean OnWaitTimeout(gpointer data) {
  static_cast<WaitTimeout*>(data)->fired = true;
  return G_SOURCE_REMOVE;
}

// Message dialogs no longer show an icon for their type; the error box
// gets one beside its text, as users expect of an error.
void AddErrorIcon(GtkMessageDialog* dialog) {
  GtkWidget* text = gtk_message_dialog_get_message_area(dialog);
  GtkWidget* row = text ? gtk_widget_get_parent(text) : nullptr;
  if (!row || !GTK_IS_BOX(row)) return;
  GtkWidget* image = gtk_image_new_from_icon_name("dialog-error", GTK_ICON_SIZE_DIALOG);
  gtk_widget_set_valign(image, GTK_ALIGN_START);
  gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
  gtk_box_reorder_child(GTK_BOX(row), image, 0);
}

void OnMessageBoxResponse(GtkDialog*, gint response, gpointer data) { *static_cast<gint*>(data) = response; }

}  // namespace

GtkBackend::GtkBackend() {
  if (GdkScreen* screen = gdk_screen_get_default())
    g_signal_connect(screen, "composited-changed", G_CALLBACK(OnCompositedChanged), this);
}

GtkBackend::~GtkBackend() {
  if (GdkScreen* screen = gdk_screen_get_default()) g_signal_handlers_disconnect_by_data(screen, this);
  for (auto& entry : m_windows) {
    GtkTopLevel* top = entry.second.get();
    g_signal_handlers_disconnect_by_data(top->window, top);
    gtk_widget_destroy(top->window);
    if (top->visibleRegion) cairo_region_destroy(top->visibleRegion);
  }
}

GtkBackend* GtkBackend::Install() {
  // The shell lays out in device pixels; the user's own choice is kept.
  setenv("GDK_SCALE", "1", 0);
  setenv("GDK_DPI_SCALE", "1", 0);
  // Two windows that keep each other in place need absolute positions,
  // which only X11 gives (through XWayland under a Wayland session).
  gdk_set_allowed_backends("x11");
  if (!gtk_init_check(nullptr, nullptr)) return nullptr;
  if (!GDK_IS_X11_DISPLAY(gdk_display_get_default())) return nullptr;
  auto backend = std::make_unique<GtkBackend>();
  GtkBackend* installed = backend.get();
  SetBackend(std::move(backend));
  return installed;
}

void GtkBackend::WaitForEvents(int timeoutMs) {
  if (timeoutMs == 0) {
    g_main_context_iteration(nullptr, FALSE);
    return;
  }
  WaitTimeout timeout;
  guint source = 0;
  if (timeoutMs > 0) source = g_timeout_add(static_cast<guint>(timeoutMs), OnWaitTimeout, &timeout);
  g_main_context_iteration(nullptr, TRUE);
  // The source points at this frame's timeout: it must not outlive the call.
  if (source && !timeout.fired) g_source_remove(source);
}

void GtkBackend::Wake() { g_main_context_wakeup(nullptr); }

uint64_t GtkBackend::NowMs() { return static_cast<uint64_t>(g_get_monotonic_time() / 1000); }

SIZE GtkBackend::ScreenSize() {
  // Window positions are relative to the monitor at the origin, as the
  // primary monitor's are on the platform the shell was shaped for.
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = display ? gdk_display_get_monitor_at_point(display, 0, 0) : nullptr;
  if (!monitor) return SIZE{0, 0};
  GdkRectangle geometry;
  gdk_monitor_get_geometry(monitor, &geometry);
  return SIZE{geometry.width, geometry.height};
}

int GtkBackend::ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
  if (QuitPending()) return IDOK;
  GtkTopLevel* parent = FindForOwner(owner);
  const bool okCancel = (type & 0xF) == MB_OKCANCEL;
  GtkWidget* dialog = gtk_message_dialog_new(parent ? GTK_WINDOW(parent->window) : nullptr, GTK_DIALOG_MODAL,
                                             (type & MB_ICONERROR) ? GTK_MESSAGE_ERROR : GTK_MESSAGE_OTHER,
                                             okCancel ? GTK_BUTTONS_OK_CANCEL : GTK_BUTTONS_OK, "%s",
                                             NarrowText(text).c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), NarrowText(caption).c_str());
  if (type & MB_ICONERROR) AddErrorIcon(GTK_MESSAGE_DIALOG(dialog));
  gtk_window_set_position(GTK_WINDOW(dialog), parent ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
  gint response = GTK_RESPONSE_NONE;
  g_signal_connect(dialog, "response", G_CALLBACK(OnMessageBoxResponse), &response);
  gtk_widget_show_all(dialog);
  // The box's own loop also delivers posted messages and timers, and ends
  // at once when a quit request becomes pending.
  RunMessageLoop([&response] { return response != GTK_RESPONSE_NONE; });
  g_signal_handlers_disconnect_by_data(dialog, &response);
  gtk_widget_destroy(dialog);
  if (okCancel && response != GTK_RESPONSE_OK) return IDCANCEL;
  return IDOK;
}

GtkTopLevel* GtkBackend::Find(HWND hwnd) const {
  auto it = m_windows.find(hwnd);
  return it == m_windows.end() ? nullptr : it->second.get();
}

GtkTopLevel* GtkBackend::FindForOwner(HWND hwnd) const {
  // A child's top-level is reached through its parents.
  for (int depth = 0; hwnd && depth < 64; ++depth) {
    if (GtkTopLevel* top = Find(hwnd)) return top;
    hwnd = GetParent(hwnd);
  }
  return nullptr;
}

void* GtkBackend::ToolkitWindowOf(HWND hwnd) const {
  GtkTopLevel* top = Find(hwnd);
  return top ? top->window : nullptr;
}

bool WindowManagerRunning() {
  GdkScreen* screen = gdk_screen_get_default();
  if (!screen || !GDK_IS_X11_SCREEN(screen)) return false;
  const char* name = gdk_x11_screen_get_window_manager_name(screen);
  return name && g_strcmp0(name, "unknown") != 0;
}
