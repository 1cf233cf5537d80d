// The files are pulled in whole by the assembler (.incbin), which is much
// faster to build than a byte array of the same data. QUORIN_ART_DIR is
// the absolute path of src/res/art.
#include "embedded_art.h"

#define QUORIN_EMBED(name, file)                                                                      \
  __asm__(".section .rodata\n"                                                                      \
          ".balign 16\n"                                                                            \
          ".global " #name "\n"                                                                     \
          ".hidden " #name "\n"                                                                     \
          ".type " #name ", @object\n" #name ":\n"                                                  \
          ".incbin \"" QUORIN_ART_DIR "/" file "\"\n"                                               \
          ".global " #name "_end\n"                                                                 \
          ".hidden " #name "_end\n" #name "_end:\n"                                                 \
          ".previous\n");                                                                           \
  extern "C" const unsigned char name[];                                                            \
  extern "C" const unsigned char name##_end[];                                                      \
  static EmbeddedFile name##_file() { return EmbeddedFile{name, static_cast<size_t>(name##_end - name)}; }

QUORIN_EMBED(quorin_art_background, "background_155.png")
QUORIN_EMBED(quorin_art_close, "close_160.png")
QUORIN_EMBED(quorin_art_minimise, "minimise_162.png")
QUORIN_EMBED(quorin_art_confirm, "confirm_175.png")
QUORIN_EMBED(quorin_art_cancel, "cancel_176.png")
QUORIN_EMBED(quorin_art_backdrop, "confirm_backdrop_177.bmp")
QUORIN_EMBED(quorin_art_icon, "icon_128.png")

EmbeddedFile BackgroundPng() { return quorin_art_background_file(); }
EmbeddedFile CloseStripPng() { return quorin_art_close_file(); }
EmbeddedFile MinimiseStripPng() { return quorin_art_minimise_file(); }
EmbeddedFile ConfirmStripPng() { return quorin_art_confirm_file(); }
EmbeddedFile CancelStripPng() { return quorin_art_cancel_file(); }
EmbeddedFile ConfirmBackdropBmp() { return quorin_art_backdrop_file(); }
EmbeddedFile IconPng() { return quorin_art_icon_file(); }
