// The gtk backend's windows: one undecorated GtkWindow per top-level,
// placed, shown, stacked and shaped as the window model says, showing the
// model's presented surface.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>

#include "gtk_backend.h"
#include "gtk_shape.h"
#include "gtk_toplevel.h"
#include "native_widget.h"
#include "text.h"
#include "window.h"
#include "window_query.h"

namespace {

constexpr uintptr_t kHandCursorId = 32649;

gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer data) {
  auto* top = static_cast<GtkTopLevel*>(data);
  cairo_save(cr);
  // The surface replaces what was there: translucent pixels must not
  // accumulate over earlier frames.
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  if (cairo_surface_t* surface = PresentedSurface(top->hwnd))
    cairo_set_source_surface(cr, surface, 0, 0);
  else
    cairo_set_source_rgba(cr, 0, 0, 0, 0);
  cairo_paint(cr);
  cairo_restore(cr);
  return FALSE;  // native children draw next
}

void SetIconFromModel(GtkTopLevel* top, HICON icon) {
  cairo_surface_t* surface = icon ? IconSurface(icon) : nullptr;
  GdkPixbuf* pixbuf = nullptr;
  if (surface && cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE) {
    int w = cairo_image_surface_get_width(surface);
    int h = cairo_image_surface_get_height(surface);
    if (w > 0 && h > 0) pixbuf = gdk_pixbuf_get_from_surface(surface, 0, 0, w, h);
  }
  gtk_window_set_icon(GTK_WINDOW(top->window), pixbuf);
  if (pixbuf) g_object_unref(pixbuf);
}

bool GdkStateIconified(GtkWidget* window) {
  GdkWindow* gdkWindow = gtk_widget_get_window(window);
  return gdkWindow && (gdk_window_get_state(gdkWindow) & GDK_WINDOW_STATE_ICONIFIED);
}

void RemoveNativeWidgets(GtkTopLevel* top, const std::vector<NativeChild>* keep) {
  GList* children = gtk_container_get_children(GTK_CONTAINER(top->fixed));
  for (GList* it = children; it; it = it->next) {
    auto* widget = static_cast<GtkWidget*>(it->data);
    bool listed = keep && std::any_of(keep->begin(), keep->end(),
                                      [widget](const NativeChild& c) { return c.widget == widget; });
    if (!listed) gtk_container_remove(GTK_CONTAINER(top->fixed), widget);
  }
  g_list_free(children);
}

}  // namespace

void GtkBackend::TopLevelCreated(HWND hwnd) {
  if (Find(hwnd)) return;
  auto top = std::make_unique<GtkTopLevel>();
  top->hwnd = hwnd;
  top->backend = this;
  top->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* window = GTK_WINDOW(top->window);
  gtk_window_set_decorated(window, FALSE);
  gtk_widget_set_app_paintable(top->window, TRUE);
  if (GdkVisual* rgba = gdk_screen_get_rgba_visual(gtk_widget_get_screen(top->window)))
    gtk_widget_set_visual(top->window, rgba);
  top->visibleRegion = cairo_region_create();
  top->fixed = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(top->window), top->fixed);
  gtk_widget_show(top->fixed);
  g_signal_connect(top->window, "draw", G_CALLBACK(OnDraw), top.get());
  ConnectTopLevelEvents(top.get());
  m_windows[hwnd] = std::move(top);
}

void GtkBackend::TopLevelDestroyed(HWND hwnd) {
  auto it = m_windows.find(hwnd);
  if (it == m_windows.end()) return;
  std::unique_ptr<GtkTopLevel> top = std::move(it->second);
  m_windows.erase(it);
  m_appliedStacking.erase(std::remove(m_appliedStacking.begin(), m_appliedStacking.end(), hwnd),
                          m_appliedStacking.end());
  g_signal_handlers_disconnect_by_data(top->window, top.get());
  // Native widgets belong to whoever attached them; they leave the window
  // before it goes rather than being destroyed with it.
  RemoveNativeWidgets(top.get(), nullptr);
  gtk_widget_destroy(top->window);
  if (top->visibleRegion) cairo_region_destroy(top->visibleRegion);
}

void GtkBackend::TopLevelStateChanged(HWND hwnd) {
  GtkTopLevel* top = Find(hwnd);
  if (!top) return;
  GtkWindow* window = GTK_WINDOW(top->window);

  // Position and size: the model is authoritative. Moves go out directly
  // so that two windows moving together stay together.
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  int width = std::max<int>(1, rect.right - rect.left);
  int height = std::max<int>(1, rect.bottom - rect.top);
  if (!top->placed || rect.left != top->rect.left || rect.top != top->rect.top)
    gtk_window_move(window, rect.left, rect.top);
  if (!top->placed || width != std::max<int>(1, top->rect.right - top->rect.left) ||
      height != std::max<int>(1, top->rect.bottom - top->rect.top)) {
    if (!gtk_widget_get_realized(top->window)) gtk_window_set_default_size(window, width, height);
    gtk_window_resize(window, width, height);
  }
  top->placed = true;
  top->rect = rect;

  std::string title = NarrowText(WindowTitle(hwnd));
  if (!top->titleSet || title != top->title) {
    gtk_window_set_title(window, title.c_str());
    top->title = title;
    top->titleSet = true;
  }

  HICON icon = WindowBigIcon(hwnd);
  if (icon != top->icon) {
    SetIconFromModel(top, icon);
    top->icon = icon;
  }

  GtkTopLevel* owner = FindForOwner(OwnerOf(hwnd));
  GtkWindow* transientFor = owner && owner != top ? GTK_WINDOW(owner->window) : nullptr;
  if (transientFor != top->transientFor) {
    gtk_window_set_transient_for(window, transientFor);
    top->transientFor = transientFor;
  }

  int taskbarEntry = TopLevelHasTaskbarEntry(hwnd) ? 1 : 0;
  if (taskbarEntry != top->taskbarEntry) {
    gtk_window_set_skip_taskbar_hint(window, !taskbarEntry);
    gtk_window_set_skip_pager_hint(window, !taskbarEntry);
    top->taskbarEntry = taskbarEntry;
  }

  const bool visible = gtk_widget_get_visible(top->window);
  if (TopLevelShown(hwnd)) {
    if (top->iconifyRequested || GdkStateIconified(top->window)) gtk_window_deiconify(window);
    top->iconifyRequested = false;
    if (!visible) {
      // A window manager places a window anew each time it is mapped
      // unless told where it goes.
      gtk_window_move(window, rect.left, rect.top);
      gtk_widget_show(top->window);
      m_appliedStacking.clear();
    }
    ApplyStacking();
  } else if (IsWindowVisible(hwnd) && IsIconic(hwnd) && !OwnerOf(hwnd) && WindowManagerRunning()) {
    // The window manager iconifies: the window keeps its task-bar entry.
    if (!top->iconifyRequested) gtk_window_iconify(window);
    top->iconifyRequested = true;
    if (!visible) gtk_widget_show(top->window);
  } else if (visible) {
    // Hidden, or iconic with nobody to iconify it: off the screen.
    gtk_widget_hide(top->window);
    top->iconifyRequested = false;
  }
}

void GtkBackend::TopLevelContentChanged(HWND hwnd) {
  GtkTopLevel* top = Find(hwnd);
  if (!top) return;
  cairo_surface_t* surface = PresentedSurface(hwnd);
  if (top->visibleRegion) cairo_region_destroy(top->visibleRegion);
  if (surface && !TopLevelIsShaped(hwnd) && cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE) {
    cairo_rectangle_int_t all{0, 0, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface)};
    top->visibleRegion = cairo_region_create_rectangle(&all);
  } else {
    top->visibleRegion = RegionOfVisiblePixels(surface);
  }
  ApplyShapes(top);
  gtk_widget_queue_draw(top->window);
}

void GtkBackend::ApplyShapes(GtkTopLevel* top) {
  // What the pointer reaches and, without a compositing manager, what the
  // screen shows: the pixels with alpha above 0 and the shown native
  // children (which draw their own pixels over transparent ones).
  cairo_region_t* shape = cairo_region_copy(top->visibleRegion);
  for (const NativeChild& child : NativeChildrenOf(top->hwnd)) {
    if (!child.shown || !child.widget) continue;
    cairo_rectangle_int_t r{child.rect.left, child.rect.top, child.rect.right - child.rect.left,
                            child.rect.bottom - child.rect.top};
    if (r.width > 0 && r.height > 0) cairo_region_union_rectangle(shape, &r);
  }
  gtk_widget_input_shape_combine_region(top->window, shape);
  const bool composited = gdk_screen_is_composited(gtk_widget_get_screen(top->window));
  // With a compositing manager the alpha channel gives the outline.
  gtk_widget_shape_combine_region(top->window, composited ? nullptr : shape);
  cairo_region_destroy(shape);
}

void GtkBackend::RefreshAllShapes() {
  for (auto& entry : m_windows) {
    ApplyShapes(entry.second.get());
    gtk_widget_queue_draw(entry.second->window);
  }
}

void GtkBackend::NativeChildrenChanged(HWND hwnd) {
  // hwnd may be the child's parent rather than its top-level.
  GtkTopLevel* top = FindForOwner(hwnd);
  if (!top) return;
  std::vector<NativeChild> children = NativeChildrenOf(top->hwnd);
  RemoveNativeWidgets(top, &children);
  GtkFixed* fixed = GTK_FIXED(top->fixed);
  for (const NativeChild& child : children) {
    GtkWidget* widget = child.widget;
    if (!widget) continue;
    GtkWidget* parent = gtk_widget_get_parent(widget);
    if (parent == top->fixed) {
      gtk_fixed_move(fixed, widget, child.rect.left, child.rect.top);
    } else {
      g_object_ref(widget);
      if (parent) gtk_container_remove(GTK_CONTAINER(parent), widget);
      gtk_fixed_put(fixed, widget, child.rect.left, child.rect.top);
      g_object_unref(widget);
    }
    gtk_widget_set_size_request(widget, std::max<int>(0, child.rect.right - child.rect.left),
                                std::max<int>(0, child.rect.bottom - child.rect.top));
    if (child.shown)
      gtk_widget_show(widget);
    else
      gtk_widget_hide(widget);
  }
  ApplyShapes(top);
}

void GtkBackend::StackingChanged() { ApplyStacking(); }

void GtkBackend::ApplyStacking() {
  // Each shown window goes directly above the shown one below it in the
  // model's order; windows already in that order are left as they are.
  std::vector<HWND> order;
  for (HWND hwnd : TopLevelWindowsBottomUp()) {
    GtkTopLevel* top = Find(hwnd);
    if (top && gtk_widget_get_mapped(top->window) && gtk_widget_get_window(top->window)) order.push_back(hwnd);
  }
  if (order == m_appliedStacking) return;
  for (size_t i = 1; i < order.size(); ++i)
    gdk_window_restack(gtk_widget_get_window(Find(order[i])->window), gtk_widget_get_window(Find(order[i - 1])->window),
                       TRUE);
  m_appliedStacking = order;
}

void GtkBackend::SetCursorShape(HWND hwnd, uintptr_t cursorId) {
  // Without a window the shape is the pointer's wherever it is over ours.
  if (!hwnd) {
    for (auto& entry : m_windows) ApplyCursor(entry.second.get(), cursorId);
    return;
  }
  if (GtkTopLevel* top = FindForOwner(hwnd)) ApplyCursor(top, cursorId);
}

void GtkBackend::ApplyCursor(GtkTopLevel* top, uintptr_t cursorId) {
  GdkWindow* gdkWindow = gtk_widget_get_window(top->window);
  if (!gdkWindow || cursorId == top->cursorId) return;
  GdkCursor* cursor =
      gdk_cursor_new_from_name(gdk_window_get_display(gdkWindow), cursorId == kHandCursorId ? "pointer" : "default");
  gdk_window_set_cursor(gdkWindow, cursor);
  if (cursor) g_object_unref(cursor);
  top->cursorId = cursorId;
}
