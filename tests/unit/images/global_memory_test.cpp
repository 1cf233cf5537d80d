// Movable memory blocks and the stream over them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/global_memory.h"

namespace {

HGLOBAL BlockWith(const std::string& text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size());
  void* bytes = GlobalLock(block);
  std::memcpy(bytes, text.data(), text.size());
  GlobalUnlock(block);
  return block;
}

TEST(GlobalMemoryTest, LockCountsAndFreeing) {
  size_t before = GlobalLiveBlockCount();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 16);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalLiveBlockCount(), before + 1);
  EXPECT_EQ(GlobalSize(block), 16u);

  unsigned char* first = static_cast<unsigned char*>(GlobalLock(block));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first[15], 0);
  EXPECT_EQ(GlobalLock(block), first);
  EXPECT_EQ(GlobalLockCount(block), 2u);
  EXPECT_TRUE(GlobalUnlock(block)) << "still locked once";
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_FALSE(GlobalUnlock(block)) << "unlocking an unlocked block changes nothing";
  EXPECT_EQ(GlobalLockCount(block), 0u);

  GlobalLock(block);
  EXPECT_EQ(GlobalFree(block), nullptr) << "a locked block is freed too";
  EXPECT_EQ(GlobalLiveBlockCount(), before);
  EXPECT_EQ(GlobalFree(block), block) << "a second free is refused";
  EXPECT_EQ(GlobalLock(block), nullptr);
  EXPECT_EQ(GlobalSize(block), 0u);

  HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(GlobalLock(empty), nullptr) << "an empty block has nothing to lock";
  EXPECT_EQ(GlobalFree(empty), nullptr);
}

TEST(GlobalMemoryTest, StreamReadsAndSeeksOverTheBlock) {
  HGLOBAL block = BlockWith("0123456789");
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(block, FALSE, &stream), S_OK);

  struct Step {
    int64_t move;
    DWORD origin;
    HRESULT seekResult;
    ULONG readSize;
    std::string expected;
  };
  const Step steps[] = {
      {0, STREAM_SEEK_CUR, S_OK, 4, "0123"},
      {2, STREAM_SEEK_CUR, S_OK, 3, "678"},
      {-1, STREAM_SEEK_END, S_OK, 5, "9"},
      {0, STREAM_SEEK_CUR, S_OK, 5, ""},               // at the end: nothing, no error
      {20, STREAM_SEEK_SET, S_OK, 5, ""},              // past the end is allowed, reads nothing
      {-1, STREAM_SEEK_SET, STG_E_INVALIDFUNCTION, 0, ""},  // refused; position unchanged
      {1, 7, STG_E_INVALIDFUNCTION, 0, ""},
      {3, STREAM_SEEK_SET, S_OK, 100, "3456789"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.expected);
    uint64_t position = 999;
    EXPECT_EQ(stream->Seek(step.move, step.origin, &position), step.seekResult);
    char buffer[128] = {};
    ULONG read = 77;
    EXPECT_EQ(stream->Read(buffer, step.readSize, &read), S_OK);
    EXPECT_EQ(std::string(buffer, read), step.expected);
  }
  uint64_t position = 0;
  stream->Seek(-3, STREAM_SEEK_END, &position);
  EXPECT_EQ(position, 7u);

  STATSTG stat{};
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize, 10u);
  EXPECT_EQ(stat.type, STGTY_STREAM);
  EXPECT_EQ(GlobalLockCount(block), 0u) << "reading leaves the block's lock count as it was";

  stream->Release();
  EXPECT_EQ(GlobalSize(block), 10u) << "without delete-on-release the block stays";
  GlobalFree(block);
}

TEST(GlobalMemoryTest, DeleteOnReleaseFreesTheBlockWithTheLastReference) {
  size_t before = GlobalLiveBlockCount();
  HGLOBAL block = BlockWith("abc");
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(block, TRUE, &stream), S_OK);

  IUnknown* unknown = nullptr;
  ASSERT_EQ(stream->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  IStream* again = nullptr;
  ASSERT_EQ(stream->QueryInterface(IID_IStream, reinterpret_cast<void**>(&again)), S_OK);
  void* dispatch = reinterpret_cast<void*>(1);
  EXPECT_EQ(stream->QueryInterface(IID_IDispatch, &dispatch), E_NOINTERFACE);
  EXPECT_EQ(dispatch, nullptr);

  EXPECT_EQ(again->Release(), 2u);
  EXPECT_EQ(unknown->Release(), 1u);
  EXPECT_EQ(GlobalLiveBlockCount(), before + 1);
  EXPECT_EQ(stream->Release(), 0u);
  EXPECT_EQ(GlobalLiveBlockCount(), before);
}

TEST(GlobalMemoryTest, StreamCreationRefusesBadArguments) {
  size_t before = GlobalLiveBlockCount();
  HGLOBAL block = BlockWith("x");
  EXPECT_EQ(CreateStreamOnHGlobal(block, FALSE, nullptr), E_INVALIDARG);
  GlobalFree(block);

  IStream* stream = reinterpret_cast<IStream*>(1);
  EXPECT_EQ(CreateStreamOnHGlobal(block, FALSE, &stream), E_INVALIDARG) << "a freed block";
  EXPECT_EQ(stream, nullptr);

  // Without a block the stream makes its own, and frees it.
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, FALSE, &stream), S_OK);
  EXPECT_EQ(GlobalLiveBlockCount(), before + 1);
  stream->Release();
  EXPECT_EQ(GlobalLiveBlockCount(), before);
}

}  // namespace
