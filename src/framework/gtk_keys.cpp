#include "gtk_keys.h"

#include <gdk/gdkkeysyms.h>

#include "messages.h"

UINT VirtualKeyFromKeyval(unsigned keyval) {
  switch (keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
      return VK_RETURN;
    case GDK_KEY_Escape:
      return VK_ESCAPE;
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab:
    case GDK_KEY_KP_Tab:
      return VK_TAB;
    case GDK_KEY_space:
    case GDK_KEY_KP_Space:
      return VK_SPACE;
    case GDK_KEY_F4:
      return VK_F4;
    default:
      return 0;
  }
}
