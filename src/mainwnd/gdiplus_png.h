// PNG pictures from the application's resources (type "PNG", numeric id)
// decoded into images: a holder that owns an image together with the
// memory block it reads from, and a loader for images the caller owns.
#pragma once

#include "framework/gdiplus.h"
#include "framework/wintypes.h"

class CGdiPlusPng {
 public:
  CGdiPlusPng() = default;
  // Deletes the image, if any.
  virtual ~CGdiPlusPng();
  CGdiPlusPng(const CGdiPlusPng&) = delete;
  CGdiPlusPng& operator=(const CGdiPlusPng&) = delete;

  // The image's size in pixels; 0 when there is no image.
  UINT GetWidth() const;
  UINT GetHeight() const;

  Gdiplus::Image* m_pImage = nullptr;
};

// Either empty (both members null) or loaded (both set): the block holds a
// copy of the resource's bytes, locked once, and the image reads from it.
class CGdiPlusPngResource : public CGdiPlusPng {
 public:
  CGdiPlusPngResource() = default;
  ~CGdiPlusPngResource() override;

  // Empties the holder, then decodes PNG resource `id` of `module`. True
  // when an image was decoded; the holder is left empty otherwise.
  bool Load(UINT id, HMODULE module);
  // Deletes the image first, then unlocks and frees its block.
  void Empty();

  HGLOBAL m_hBuffer = nullptr;
};

// A new image decoded from PNG resource `id` of `module`, owned by the
// caller; null when the resource is missing or memory or the stream cannot
// be had. Bytes that do not decode still give an image, of size 0 × 0. The
// copy of the bytes lives in the image's stream until the image is deleted.
Gdiplus::Image* LoadPngImage(HMODULE module, UINT id);
