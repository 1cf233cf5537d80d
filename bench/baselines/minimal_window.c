/* The baseline: a minimal GTK program that maps an undecorated RGBA window
 * of the picture's size showing the same PNG. */
#include <gtk/gtk.h>

static cairo_surface_t *picture;

static gboolean draw(GtkWidget *widget, cairo_t *cr, gpointer data) {
  (void)widget;
  (void)data;
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, picture, 0, 0);
  cairo_paint(cr);
  return TRUE;
}

int main(int argc, char **argv) {
  gdk_set_allowed_backends("x11");
  gtk_init(&argc, &argv);
  if (argc < 2) return 2;
  picture = cairo_image_surface_create_from_png(argv[1]);
  int w = cairo_image_surface_get_width(picture), h = cairo_image_surface_get_height(picture);
  GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "Minimal");
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_widget_set_app_paintable(window, TRUE);
  GdkVisual *visual = gdk_screen_get_rgba_visual(gtk_widget_get_screen(window));
  if (visual) gtk_widget_set_visual(window, visual);
  gtk_window_set_default_size(GTK_WINDOW(window), w, h);
  gtk_window_move(GTK_WINDOW(window), (1920 - w) / 2, (1080 - h) / 2);
  g_signal_connect(window, "draw", G_CALLBACK(draw), NULL);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
