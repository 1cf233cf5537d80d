#include "global_memory.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <unordered_set>

const IID IID_ISequentialStream = {0x0C733A30, 0x2A1C, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};
const IID IID_IStream = {0x0000000C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

namespace {

struct Block {
  unsigned char* bytes;
  size_t size;
  UINT locks;
};

// Handles are the Block records themselves; the set tells live ones from
// stale or foreign ones, so a double free is refused instead of crashing.
std::unordered_set<Block*>& LiveBlocks() {
  static std::unordered_set<Block*> blocks;
  return blocks;
}

Block* Find(HGLOBAL handle) {
  Block* block = reinterpret_cast<Block*>(handle);
  return LiveBlocks().count(block) ? block : nullptr;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, size_t bytes) {
  Block* block = new (std::nothrow) Block{nullptr, bytes, 0};
  if (!block) return nullptr;
  if (bytes > 0) {
    block->bytes = static_cast<unsigned char*>((flags & GMEM_ZEROINIT) ? std::calloc(bytes, 1) : std::malloc(bytes));
    if (!block->bytes) {
      delete block;
      return nullptr;
    }
  }
  try {
    LiveBlocks().insert(block);
  } catch (const std::bad_alloc&) {
    std::free(block->bytes);
    delete block;
    return nullptr;
  }
  return reinterpret_cast<HGLOBAL>(block);
}

LPVOID GlobalLock(HGLOBAL handle) {
  Block* block = Find(handle);
  if (!block || !block->bytes) return nullptr;
  ++block->locks;
  return block->bytes;
}

BOOL GlobalUnlock(HGLOBAL handle) {
  Block* block = Find(handle);
  if (!block || block->locks == 0) return FALSE;
  --block->locks;
  return block->locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
  Block* block = Find(handle);
  if (!block) return handle;
  LiveBlocks().erase(block);
  std::free(block->bytes);
  delete block;
  return nullptr;
}

size_t GlobalSize(HGLOBAL handle) {
  Block* block = Find(handle);
  return block ? block->size : 0;
}

UINT GlobalLockCount(HGLOBAL handle) {
  Block* block = Find(handle);
  return block ? block->locks : 0;
}

size_t GlobalLiveBlockCount() { return LiveBlocks().size(); }

namespace {

// A stream reading a global block. It reads the block's bytes afresh on
// each call, so it always sees the block's current contents.
class HGlobalStream final : public IStream {
 public:
  HGlobalStream(HGLOBAL block, bool deleteOnRelease) : m_block(block), m_deleteOnRelease(deleteOnRelease) {}

  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_ISequentialStream || riid == IID_IStream) {
      *object = static_cast<IStream*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }

  ULONG AddRef() override { return ++m_refs; }

  ULONG Release() override {
    ULONG left = --m_refs;
    if (left == 0) {
      if (m_deleteOnRelease) GlobalFree(m_block);
      delete this;
    }
    return left;
  }

  HRESULT Read(void* buffer, ULONG size, ULONG* read) override {
    if (read) *read = 0;
    if (!buffer) return STG_E_INVALIDPOINTER;
    size_t total = GlobalSize(m_block);
    if (m_position >= total || size == 0) return S_OK;
    const void* bytes = GlobalLock(m_block);
    if (!bytes) return STG_E_ACCESSDENIED;
    size_t count = total - static_cast<size_t>(m_position);
    if (count > size) count = size;
    std::memcpy(buffer, static_cast<const unsigned char*>(bytes) + m_position, count);
    GlobalUnlock(m_block);
    m_position += count;
    if (read) *read = static_cast<ULONG>(count);
    return S_OK;
  }

  HRESULT Seek(int64_t move, DWORD origin, uint64_t* newPosition) override {
    int64_t base;
    switch (origin) {
      case STREAM_SEEK_SET: base = 0; break;
      case STREAM_SEEK_CUR: base = static_cast<int64_t>(m_position); break;
      case STREAM_SEEK_END: base = static_cast<int64_t>(GlobalSize(m_block)); break;
      default: return STG_E_INVALIDFUNCTION;
    }
    bool overflow = (move > 0 && base > std::numeric_limits<int64_t>::max() - move);
    if (overflow || base + move < 0) return STG_E_INVALIDFUNCTION;
    m_position = static_cast<uint64_t>(base + move);
    if (newPosition) *newPosition = m_position;
    return S_OK;
  }

  HRESULT Stat(STATSTG* stat, DWORD) override {
    if (!stat) return STG_E_INVALIDPOINTER;
    stat->pwcsName = nullptr;
    stat->type = STGTY_STREAM;
    stat->cbSize = GlobalSize(m_block);
    return S_OK;
  }

 private:
  ~HGlobalStream() = default;

  HGLOBAL m_block;
  bool m_deleteOnRelease;
  ULONG m_refs = 1;
  uint64_t m_position = 0;
};

}  // namespace

HRESULT CreateStreamOnHGlobal(HGLOBAL block, BOOL deleteOnRelease, IStream** stream) {
  if (!stream) return E_INVALIDARG;
  *stream = nullptr;
  bool ownBlock = false;
  if (!block) {
    block = GlobalAlloc(GMEM_MOVEABLE, 0);
    if (!block) return E_OUTOFMEMORY;
    ownBlock = true;
  } else if (!Find(block)) {
    return E_INVALIDARG;
  }
  // A block the stream made itself has no other owner: the stream frees it.
  HGlobalStream* created = new (std::nothrow) HGlobalStream(block, deleteOnRelease != FALSE || ownBlock);
  if (!created) {
    if (ownBlock) GlobalFree(block);
    return E_OUTOFMEMORY;
  }
  *stream = created;
  return S_OK;
}
