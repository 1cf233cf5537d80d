// Movable global memory blocks with lock counts, and a read-only stream
// over such a block. Images are decoded from these streams.
#pragma once

#include <cstddef>
#include <cstdint>

#include "automation.h"
#include "wintypes.h"

constexpr UINT GMEM_FIXED = 0x0;
constexpr UINT GMEM_MOVEABLE = 0x2;
constexpr UINT GMEM_ZEROINIT = 0x40;

// A new block of `bytes` bytes (zeroed with GMEM_ZEROINIT), or null.
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
// The block's bytes, raising its lock count; null for an unknown handle.
// A zero-sized block has no bytes to lock and answers null.
LPVOID GlobalLock(HGLOBAL block);
// Lowers the lock count; answers TRUE while the block stays locked.
BOOL GlobalUnlock(HGLOBAL block);
// Frees the block, locked or not. Answers null on success and the handle
// itself when it names no live block (nothing is freed then).
HGLOBAL GlobalFree(HGLOBAL block);
// The block's size in bytes; 0 for an unknown handle.
size_t GlobalSize(HGLOBAL block);
// The current lock count of a live block (0 for an unknown handle).
UINT GlobalLockCount(HGLOBAL block);
// How many blocks are allocated and not yet freed (leak checks in tests).
size_t GlobalLiveBlockCount();

constexpr DWORD STREAM_SEEK_SET = 0;
constexpr DWORD STREAM_SEEK_CUR = 1;
constexpr DWORD STREAM_SEEK_END = 2;
constexpr DWORD STGTY_STREAM = 2;
constexpr DWORD STATFLAG_NONAME = 1;
constexpr HRESULT STG_E_INVALIDFUNCTION = static_cast<HRESULT>(0x80030001);
constexpr HRESULT STG_E_INVALIDPOINTER = static_cast<HRESULT>(0x80030009);
constexpr HRESULT STG_E_ACCESSDENIED = static_cast<HRESULT>(0x80030005);

struct STATSTG {
  LPOLESTR pwcsName;  // always null: memory streams have no name
  DWORD type;         // STGTY_STREAM
  uint64_t cbSize;
};

extern const IID IID_ISequentialStream;  // {0C733A30-2A1C-11CE-ADE5-00AA0044773D}
extern const IID IID_IStream;            // {0000000C-0000-0000-C000-000000000046}

// The part of a storage stream that image decoding uses.
struct IStream : IUnknown {
  // Copies up to `size` bytes from the current position; *read (if given)
  // receives the count. Reading at the end answers S_OK with 0 bytes.
  virtual HRESULT Read(void* buffer, ULONG size, ULONG* read) = 0;
  // Moves the position; *newPosition (if given) receives it. A position
  // before the start is refused (STG_E_INVALIDFUNCTION).
  virtual HRESULT Seek(int64_t move, DWORD origin, uint64_t* newPosition) = 0;
  virtual HRESULT Stat(STATSTG* stat, DWORD statFlag) = 0;

 protected:
  ~IStream() = default;
};

// A stream over `block`, positioned at 0, with a reference count of 1.
// With deleteOnRelease the stream frees the block when its last reference
// goes; otherwise the caller keeps it. A null block gets a new empty one,
// which the stream always frees.
HRESULT CreateStreamOnHGlobal(HGLOBAL block, BOOL deleteOnRelease, IStream** stream);
