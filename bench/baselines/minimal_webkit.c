/* The baseline: a minimal WebKitGTK program that shows one page. */
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

int main(int argc, char **argv) {
  gdk_set_allowed_backends("x11");
  gtk_init(&argc, &argv);
  if (argc < 2) return 2;
  GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), 631, 446);
  GtkWidget *view = webkit_web_view_new();
  gtk_container_add(GTK_CONTAINER(window), view);
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), argv[1]);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
