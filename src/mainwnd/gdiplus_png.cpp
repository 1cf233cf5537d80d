#include "mainwnd/gdiplus_png.h"

#include <cstring>
#include <new>

#include "framework/global_memory.h"
#include "framework/resources.h"

namespace {

const wchar_t kPngType[] = L"PNG";

}  // namespace

CGdiPlusPng::~CGdiPlusPng() {
  delete m_pImage;
  m_pImage = nullptr;
}

UINT CGdiPlusPng::GetWidth() const { return m_pImage ? m_pImage->GetWidth() : 0; }

UINT CGdiPlusPng::GetHeight() const { return m_pImage ? m_pImage->GetHeight() : 0; }

CGdiPlusPngResource::~CGdiPlusPngResource() { Empty(); }

void CGdiPlusPngResource::Empty() {
  delete m_pImage;
  m_pImage = nullptr;
  if (m_hBuffer) {
    GlobalUnlock(m_hBuffer);
    GlobalFree(m_hBuffer);
    m_hBuffer = nullptr;
  }
}

bool CGdiPlusPngResource::Load(UINT id, HMODULE module) {
  Empty();

  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), kPngType);
  if (!resource) return false;
  DWORD size = SizeofResource(module, resource);
  if (size == 0) return false;
  const void* bytes = LockResource(LoadResource(module, resource));
  if (!bytes) return false;

  m_hBuffer = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!m_hBuffer) return false;
  void* copy = GlobalLock(m_hBuffer);
  if (!copy) {
    GlobalFree(m_hBuffer);
    m_hBuffer = nullptr;
    return false;
  }
  std::memcpy(copy, bytes, size);

  // The stream leaves the block alone; the holder frees it after the image.
  IStream* stream = nullptr;
  if (CreateStreamOnHGlobal(m_hBuffer, FALSE, &stream) != S_OK) {
    GlobalUnlock(m_hBuffer);
    GlobalFree(m_hBuffer);
    m_hBuffer = nullptr;
    return false;
  }
  m_pImage = new (std::nothrow) Gdiplus::Image(stream);
  stream->Release();
  if (!m_pImage) {
    GlobalUnlock(m_hBuffer);
    GlobalFree(m_hBuffer);
    m_hBuffer = nullptr;
    return false;
  }
  if (m_pImage->GetLastStatus() == Gdiplus::Ok) return true;
  Empty();
  return false;
}

Gdiplus::Image* LoadPngImage(HMODULE module, UINT id) {
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), kPngType);
  if (!resource) return nullptr;
  DWORD size = SizeofResource(module, resource);
  HGLOBAL loaded = LoadResource(module, resource);
  if (!loaded) return nullptr;

  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) return nullptr;
  void* copy = GlobalLock(block);
  const void* bytes = LockResource(loaded);
  if (!copy || !bytes) {
    if (copy) GlobalUnlock(block);
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(copy, bytes, size);
  GlobalUnlock(block);

  // The stream owns the block from here and frees it with its last
  // reference, which the image holds until it is deleted.
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
    GlobalFree(block);
    return nullptr;
  }
  Gdiplus::Image* image = new (std::nothrow) Gdiplus::Image(stream);
  stream->Release();
  return image;
}
