// The gtk backend's input: pointer, key, iconify and close events of the
// top-level windows, fed into the window model. Events that belong to a
// native child widget (the browser) are left to it.
#include <gtk/gtk.h>

#include "gtk_keys.h"
#include "gtk_toplevel.h"
#include "input.h"
#include "messages.h"
#include "window.h"
#include "window_query.h"

namespace {

// Whether the event arrived on the top-level's own window rather than on a
// native child's window propagating up.
bool OnOwnWindow(GtkTopLevel* top, GdkWindow* eventWindow) {
  return eventWindow && eventWindow == gtk_widget_get_window(top->window);
}

bool OverShownNativeChild(GtkTopLevel* top, double x, double y) {
  for (const NativeChild& child : NativeChildrenOf(top->hwnd)) {
    if (child.shown && child.widget && x >= child.rect.left && x < child.rect.right && y >= child.rect.top &&
        y < child.rect.bottom)
      return true;
  }
  return false;
}

int Round(double v) { return static_cast<int>(v < 0 ? v - 0.5 : v + 0.5); }

// The handlers copy what they need before calling into the model: the
// model may destroy the window (and this backend's record of it) while it
// handles the input.

gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto* top = static_cast<GtkTopLevel*>(data);
  // Double and triple presses are GDK's own additions; the model counts
  // clicks itself from the plain presses.
  if (event->type != GDK_BUTTON_PRESS || event->button != 1) return FALSE;
  if (!OnOwnWindow(top, event->window) || OverShownNativeChild(top, event->x, event->y)) return FALSE;
  InputButton(top->hwnd, Round(event->x_root), Round(event->y_root), true);
  return TRUE;
}

gboolean OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto* top = static_cast<GtkTopLevel*>(data);
  if (event->button != 1 || !OnOwnWindow(top, event->window)) return FALSE;
  // X keeps delivering to the pressed window until release; which window
  // takes the release (capture, or the one under the pointer) is the
  // model's decision.
  InputButton(nullptr, Round(event->x_root), Round(event->y_root), false);
  return TRUE;
}

gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  auto* top = static_cast<GtkTopLevel*>(data);
  if (!OnOwnWindow(top, event->window)) return FALSE;
  // The X server knows the real stacking (a window manager may have raised
  // a window), so the window it reports is the one under the pointer;
  // while the button is down it reports the pressed window instead, and
  // the model finds the window itself.
  HWND under = (event->state & GDK_BUTTON1_MASK) ? nullptr : top->hwnd;
  InputPointerMove(under, Round(event->x_root), Round(event->y_root));
  return TRUE;
}

gboolean OnLeave(GtkWidget*, GdkEventCrossing* event, gpointer data) {
  auto* top = static_cast<GtkTopLevel*>(data);
  if (!OnOwnWindow(top, event->window) || event->mode != GDK_CROSSING_NORMAL) return FALSE;
  if (event->detail == GDK_NOTIFY_INFERIOR) {
    // Into a native child (the browser): still over this window, but over
    // the child's region now, which takes hover off the controls.
    InputPointerMove(nullptr, Round(event->x_root), Round(event->y_root));
  } else {
    InputPointerLeft(top->hwnd);
  }
  return FALSE;
}

gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* top = static_cast<GtkTopLevel*>(data);
  UINT vk = VirtualKeyFromKeyval(event->keyval);
  if (!vk) return FALSE;
  const bool alt = (event->state & GDK_MOD1_MASK) != 0;
  // Keys go to the page while the browser has the focus; Alt+F4 is the
  // window's own.
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(top->window));
  const bool browserFocused = focus && gtk_widget_is_ancestor(focus, top->fixed);
  if (browserFocused && !(vk == VK_F4 && alt)) return FALSE;
  InputKey(top->hwnd, vk, alt);
  return TRUE;
}

gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data) {
  auto* top = static_cast<GtkTopLevel*>(data);
  if (!(event->changed_mask & GDK_WINDOW_STATE_ICONIFIED)) return FALSE;
  HWND hwnd = top->hwnd;
  // Owned windows hide and show with their owner in the model; the window
  // manager iconifying them along with it is no news.
  if (OwnerOf(hwnd)) return FALSE;
  const bool iconified = (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0;
  if (!iconified) top->iconifyRequested = false;
  if (iconified != (IsIconic(hwnd) != FALSE)) InputIconicChanged(hwnd, iconified);
  return FALSE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  InputCloseRequest(static_cast<GtkTopLevel*>(data)->hwnd);
  return TRUE;  // the model decides whether the window goes
}

}  // namespace

void ConnectTopLevelEvents(GtkTopLevel* top) {
  gtk_widget_add_events(top->window, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                         GDK_LEAVE_NOTIFY_MASK | GDK_KEY_PRESS_MASK | GDK_STRUCTURE_MASK);
  g_signal_connect(top->window, "button-press-event", G_CALLBACK(OnButtonPress), top);
  g_signal_connect(top->window, "button-release-event", G_CALLBACK(OnButtonRelease), top);
  g_signal_connect(top->window, "motion-notify-event", G_CALLBACK(OnMotion), top);
  g_signal_connect(top->window, "leave-notify-event", G_CALLBACK(OnLeave), top);
  g_signal_connect(top->window, "key-press-event", G_CALLBACK(OnKeyPress), top);
  g_signal_connect(top->window, "window-state-event", G_CALLBACK(OnWindowState), top);
  g_signal_connect(top->window, "delete-event", G_CALLBACK(OnDelete), top);
}
