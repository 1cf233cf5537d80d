// The picture files of src/res/art, embedded at build time.
#pragma once

#include <cstddef>

struct EmbeddedFile {
  const unsigned char* data;
  size_t size;
};

EmbeddedFile BackgroundPng();      // 155
EmbeddedFile CloseStripPng();      // 160
EmbeddedFile MinimiseStripPng();   // 162
EmbeddedFile ConfirmStripPng();    // 175
EmbeddedFile CancelStripPng();     // 176
EmbeddedFile ConfirmBackdropBmp(); // 177
EmbeddedFile IconPng();            // 128
