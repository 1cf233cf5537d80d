// Key values of the toolkit as the window model's virtual keys.
#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

#include "gtk_keys.h"
#include "messages.h"

TEST(VirtualKeyFromKeyval, MapsTheKeysTheShellUsesAndNothingElse) {
  struct Case {
    unsigned keyval;
    UINT vk;
  };
  const Case cases[] = {
      {GDK_KEY_Return, VK_RETURN}, {GDK_KEY_KP_Enter, VK_RETURN}, {GDK_KEY_Escape, VK_ESCAPE},
      {GDK_KEY_Tab, VK_TAB},       {GDK_KEY_ISO_Left_Tab, VK_TAB}, {GDK_KEY_space, VK_SPACE},
      {GDK_KEY_F4, VK_F4},         {GDK_KEY_F3, 0},               {GDK_KEY_a, 0},
      {GDK_KEY_Alt_L, 0},          {0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(VirtualKeyFromKeyval(c.keyval), c.vk) << "keyval 0x" << std::hex << c.keyval;
}
