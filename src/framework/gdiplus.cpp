// Start-up and images. Drawing lives in gdiplus_graphics.cpp, so code that
// only decodes pictures does not pull in the device contexts.
#include "gdiplus.h"

#include <cairo.h>

#include <algorithm>
#include <set>
#include <vector>

#include "image_decode.h"

namespace Gdiplus {

namespace {

bool g_startupFails = false;
ULONG_PTR g_nextToken = 1;

std::set<ULONG_PTR>& ActiveTokens() {
  static std::set<ULONG_PTR> tokens;
  return tokens;
}

const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Reads from the current position to the end; false when a read fails.
bool ReadRest(IStream* stream, std::vector<unsigned char>& bytes) {
  unsigned char chunk[64 * 1024];
  for (;;) {
    ULONG got = 0;
    if (FAILED(stream->Read(chunk, sizeof chunk, &got))) return false;
    if (got == 0) return true;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
}

}  // namespace

Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void* output) {
  if (!token || !input) return InvalidParameter;
  *token = 0;
  if (input->GdiplusVersion != 1) return UnsupportedGdiplusVersion;
  if (input->SuppressBackgroundThread && !output) return InvalidParameter;
  if (g_startupFails) return GenericError;
  *token = g_nextToken++;
  ActiveTokens().insert(*token);
  return Ok;
}

void GdiplusShutdown(ULONG_PTR token) { ActiveTokens().erase(token); }

void SetGdiplusStartupFailsForTesting(bool fails) { g_startupFails = fails; }

size_t GdiplusActiveStartupCount() { return ActiveTokens().size(); }

Image::Image(IStream* stream, BOOL) : m_stream(stream) {
  if (!stream) {
    SetStatus(InvalidParameter);
    return;
  }
  stream->AddRef();
  std::vector<unsigned char> bytes;
  if (!ReadRest(stream, bytes)) {
    SetStatus(Win32Error);
    return;
  }
  if (bytes.size() < sizeof kPngSignature || !std::equal(kPngSignature, kPngSignature + 8, bytes.begin())) {
    SetStatus(UnknownImageFormat);
    return;
  }
  m_surface = DecodePngToSurface(bytes.data(), bytes.size());
  if (!m_surface) SetStatus(GenericError);
}

Image::~Image() {
  if (m_surface) cairo_surface_destroy(m_surface);
  if (m_stream) m_stream->Release();
}

UINT Image::GetWidth() { return m_surface ? static_cast<UINT>(cairo_image_surface_get_width(m_surface)) : 0; }

UINT Image::GetHeight() { return m_surface ? static_cast<UINT>(cairo_image_surface_get_height(m_surface)) : 0; }

Status Image::GetLastStatus() {
  Status status = m_lastStatus;
  m_lastStatus = Ok;
  return status;
}

Status Image::SetStatus(Status status) {
  if (status != Ok) m_lastStatus = status;
  return status;
}

}  // namespace Gdiplus
