// The image interface the shell draws its pictures with: start-up and
// shut-down, images decoded from streams, and drawing into device
// contexts. Pixels are premultiplied ARGB32 surfaces.
#pragma once

#include "global_memory.h"
#include "wintypes.h"

typedef struct _cairo_surface cairo_surface_t;

namespace Gdiplus {

enum Status {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  ObjectBusy = 4,
  InsufficientBuffer = 5,
  NotImplemented = 6,
  Win32Error = 7,
  WrongState = 8,
  Aborted = 9,
  FileNotFound = 10,
  ValueOverflow = 11,
  AccessDenied = 12,
  UnknownImageFormat = 13,
  FontFamilyNotFound = 14,
  FontStyleNotFound = 15,
  NotTrueTypeFont = 16,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
  PropertyNotFound = 19,
  PropertyNotSupported = 20,
};

enum Unit {
  UnitWorld = 0,
  UnitDisplay = 1,
  UnitPixel = 2,
  UnitPoint = 3,
  UnitInch = 4,
  UnitDocument = 5,
  UnitMillimeter = 6,
};

typedef void (*DebugEventProc)(int level, char* message);
typedef BOOL (*DrawImageAbort)(void* callbackData);

struct GdiplusStartupInput {
  explicit GdiplusStartupInput(DebugEventProc debugEventCallback = nullptr, BOOL suppressBackgroundThread = FALSE,
                               BOOL suppressExternalCodecs = FALSE)
      : GdiplusVersion(1),
        DebugEventCallback(debugEventCallback),
        SuppressBackgroundThread(suppressBackgroundThread),
        SuppressExternalCodecs(suppressExternalCodecs) {}
  UINT GdiplusVersion;
  DebugEventProc DebugEventCallback;
  BOOL SuppressBackgroundThread;
  BOOL SuppressExternalCodecs;
};

// Starts the library and hands out a token for GdiplusShutdown. Version 1
// is the only one known. A caller that suppresses the background thread
// must pass `output`, as it would receive the hooks to run it.
Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);
void GdiplusShutdown(ULONG_PTR token);
// Tests: makes every following start-up fail (GenericError) until reset.
void SetGdiplusStartupFailsForTesting(bool fails);
// How many start-ups have not been shut down.
size_t GdiplusActiveStartupCount();

struct Point {
  Point() : X(0), Y(0) {}
  Point(int x, int y) : X(x), Y(y) {}
  int X;
  int Y;
};

struct Rect {
  Rect() : X(0), Y(0), Width(0), Height(0) {}
  Rect(int x, int y, int width, int height) : X(x), Y(y), Width(width), Height(height) {}
  int X;
  int Y;
  int Width;
  int Height;
};

// Colour adjustments for drawing; none are applied (the shell passes none).
class ImageAttributes {};

class Image {
 public:
  // Decodes a PNG from the stream's current position to its end. The image
  // keeps a reference to the stream for its whole life. When decoding
  // fails the image is 0 × 0 and its last status tells why.
  explicit Image(IStream* stream, BOOL useEmbeddedColorManagement = FALSE);
  virtual ~Image();
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  UINT GetWidth();
  UINT GetHeight();
  // The status of the last failed operation, which is then reset to Ok.
  Status GetLastStatus();

  // The decoded pixels (premultiplied ARGB32, owned by the image), or null.
  cairo_surface_t* Surface() const { return m_surface; }

 private:
  friend class Graphics;
  Status SetStatus(Status status);

  IStream* m_stream = nullptr;
  cairo_surface_t* m_surface = nullptr;
  Status m_lastStatus = Ok;
};

// Draws into a device context; the context stays the caller's.
class Graphics {
 public:
  explicit Graphics(HDC hdc);
  ~Graphics() = default;
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;
  static Graphics* FromHDC(HDC hdc);

  // Draws the whole image onto the parallelogram given by its upper-left,
  // upper-right and lower-left corners (count must be 3).
  Status DrawImage(Image* image, const Point* points, int count);
  // Draws the source rectangle of the image (in pixels) into `dest`,
  // scaled when the sizes differ; only the part inside `dest` is touched.
  Status DrawImage(Image* image, const Rect& dest, int srcx, int srcy, int srcwidth, int srcheight, Unit srcUnit,
                   const ImageAttributes* imageAttributes = nullptr, DrawImageAbort callback = nullptr,
                   void* callbackData = nullptr);
  Status GetLastStatus();
  HDC GetHDC() const { return m_hdc; }

 private:
  Status SetStatus(Status status);

  HDC m_hdc;
  Status m_lastStatus = Ok;
};

}  // namespace Gdiplus
