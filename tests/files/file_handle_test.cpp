#include "files/file_handle.h"

#include <cstring>
#include <string>

#include "files/support/store_test.h"

namespace vorn::testing {
namespace {

using FileHandleTest = StoreTest;

std::string HandleBytes(Handle handle) { return std::string(*handle, static_cast<size_t>(GetHandleSize(handle))); }

TEST_F(FileHandleTest, ReadsAndWritesAtBothEnds) {
  FileHandle store;
  EXPECT_TRUE(store.IsEOF());
  EXPECT_EQ(ReadText(store, 0), "") << "0 bytes at the end succeed";
  EXPECT_EQ(ReadText(store, 1), "<failed>") << "1 byte at the end fails";

  ASSERT_TRUE(WriteText(store, "hello"));
  EXPECT_EQ(store.GetLength(), 5);
  EXPECT_EQ(store.GetPosition(), 5);
  EXPECT_TRUE(store.IsEOF());

  store.SetPosition(3);
  EXPECT_EQ(ReadText(store, 10), "lo") << "a short read is a success";
  EXPECT_EQ(store.GetPosition(), 5);
  EXPECT_EQ(ReadText(store, 1), "<failed>");

  store.SetPosition(0);
  EXPECT_EQ(ReadText(store, 1), "h");
  store.SetPosition(4);
  ASSERT_TRUE(WriteText(store, "O, world")) << "overwrites the last byte and grows";
  EXPECT_EQ(store.GetLength(), 12);
  store.SetPosition(0);
  EXPECT_EQ(ReadText(store, 100), "hellO, world");
}

TEST_F(FileHandleTest, RefusesNonsenseRequestsWithoutTouchingMemory) {
  FileHandle store;
  ASSERT_TRUE(WriteText(store, "abc"));
  store.SetPosition(0);
  char byte = 'x';
  int32_t got = 7;
  EXPECT_FALSE(store.Read(&byte, -1, &got));
  EXPECT_EQ(got, 0);
  EXPECT_FALSE(store.Read(nullptr, 2, &got));
  EXPECT_FALSE(store.Write(&byte, -4));
  EXPECT_FALSE(store.Write(nullptr, 1));
  EXPECT_EQ(store.GetPosition(), 0);
  EXPECT_EQ(store.GetLength(), 3);
  EXPECT_TRUE(store.Close()) << "refused requests are not memory failures";
}

TEST_F(FileHandleTest, PositionStaysWithinTheLength) {
  FileHandle store;
  ASSERT_TRUE(WriteText(store, "0123456789"));
  EXPECT_TRUE(store.SetPosition(-5));
  EXPECT_EQ(store.GetPosition(), 0);
  EXPECT_TRUE(store.SetPosition(store.GetLength() + 10));
  EXPECT_EQ(store.GetPosition(), 10);
  EXPECT_TRUE(store.SetLength(4));
  EXPECT_EQ(store.GetPosition(), 4) << "truncation pulls the position back";
  EXPECT_TRUE(store.IsEOF());
}

TEST_F(FileHandleTest, GrowsWithSlackAndKeepsItsBytes) {
  FileHandle store;
  std::string first(100, 'a');
  ASSERT_TRUE(WriteText(store, first));
  EXPECT_EQ(store.mAllocated, 100 + 2048);
  EXPECT_EQ(GetHandleSize(store.mHandle), store.mAllocated);
  Handle before = store.mHandle;
  ASSERT_TRUE(WriteText(store, std::string(2048, 'b'))) << "still fits the slack";
  EXPECT_EQ(store.mAllocated, 100 + 2048);
  ASSERT_TRUE(WriteText(store, "c"));
  EXPECT_EQ(store.mAllocated, 100 + 2048 + 1 + 2048);
  EXPECT_EQ(store.mHandle, before) << "the handle itself survives growth";
  EXPECT_EQ(store.GetLength(), 100 + 2048 + 1);
  store.SetPosition(0);
  EXPECT_EQ(ReadText(store, store.GetLength()), first + std::string(2048, 'b') + "c");

  // Many small writes: the contents stay whole across every reallocation.
  FileHandle bulk;
  std::string expected;
  for (int i = 0; i < 5000; ++i) {
    std::string piece = std::to_string(i) + ",";
    ASSERT_TRUE(WriteText(bulk, piece));
    expected += piece;
  }
  bulk.SetPosition(0);
  EXPECT_EQ(ReadText(bulk, bulk.GetLength()), expected);
}

TEST_F(FileHandleTest, SetLengthTruncatesAndExtendsWithZeros) {
  FileHandle store;
  EXPECT_TRUE(store.SetLength(-3));
  EXPECT_EQ(store.GetLength(), 0);
  EXPECT_TRUE(store.SetLength(6)) << "works before anything was written";
  EXPECT_EQ(store.mAllocated, 6);
  EXPECT_EQ(ReadText(store, 10), std::string(6, '\0'));

  store.SetPosition(0);
  ASSERT_TRUE(WriteText(store, "secret"));
  ASSERT_TRUE(store.SetLength(2));
  EXPECT_EQ(store.mAllocated, 6) << "truncation keeps the allocation";
  ASSERT_TRUE(store.SetLength(6));
  store.SetPosition(0);
  EXPECT_EQ(ReadText(store, 10), std::string("se\0\0\0\0", 6)) << "cut-off bytes do not come back";

  ASSERT_TRUE(store.SetLength(20));
  EXPECT_EQ(store.mAllocated, 20) << "growth beyond the allocation is exact";
  EXPECT_EQ(store.GetPosition(), 6);
}

TEST_F(FileHandleTest, DetachHandsOverExactlyTheWrittenBytes) {
  FileHandle store;
  ASSERT_TRUE(WriteText(store, "payload"));
  Handle handle = store.DetachHandle();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(HandleBytes(handle), "payload") << "trimmed to the length";
  EXPECT_EQ(store.mHandle, nullptr);
  EXPECT_EQ(store.GetLength(), 0);
  EXPECT_EQ(store.GetPosition(), 0);
  EXPECT_EQ(store.mAllocated, 0);

  // The emptied store starts again with a handle of its own.
  ASSERT_TRUE(WriteText(store, "next"));
  EXPECT_TRUE(store.mOwnsHandle);
  EXPECT_NE(store.mHandle, handle);
  DisposeHandle(handle);
}

TEST_F(FileHandleTest, AttachedHandleIsUsedButNotOwned) {
  Handle handle = NewHandle(4);
  std::memcpy(*handle, "data", 4);
  {
    FileHandle store;
    store.AttachHandle(handle);
    EXPECT_FALSE(store.mOwnsHandle);
    EXPECT_EQ(store.GetLength(), 4);
    EXPECT_EQ(store.GetPosition(), 0);
    EXPECT_EQ(ReadText(store, 4), "data");
    ASSERT_TRUE(WriteText(store, "+more")) << "grows the caller's handle";
  }
  EXPECT_EQ(std::string(*handle, 9), "data+more") << "the store's end left the handle alone";
  DisposeHandle(handle);

  // The owner shrinking its handle behind the store's back must not open a window past its end.
  Handle shrinking = NewHandle(8);
  FileHandle store;
  store.AttachHandle(shrinking);
  store.SetPosition(6);
  ASSERT_TRUE(SetHandleSize(shrinking, 2));
  EXPECT_EQ(ReadText(store, 2), "<failed>");
  ASSERT_TRUE(WriteText(store, "xy")) << "the write grows the handle first";
  EXPECT_GE(GetHandleSize(shrinking), 8);
  store.AttachHandle(nullptr);
  DisposeHandle(shrinking);
}

TEST_F(FileHandleTest, ResetStartsOverWithAnOwnedHandle) {
  Handle handle = NewHandle(3);
  FileHandle store;
  store.AttachHandle(handle);
  store.mFailed = 1;
  store.Reset();
  EXPECT_TRUE(store.mOwnsHandle);
  EXPECT_FALSE(store.mFailed);
  ASSERT_NE(store.mHandle, nullptr);
  EXPECT_NE(store.mHandle, handle);
  EXPECT_EQ(store.GetLength(), 0);
  EXPECT_EQ(GetHandleSize(handle), 3) << "the attached handle was not disposed";
  DisposeHandle(handle);
}

TEST_F(FileHandleTest, AStoreThatCouldNotGetMemoryStaysFailed) {
  FileHandle store;
  store.mLength = 5;  // bytes claimed with no handle to hold them
  EXPECT_FALSE(WriteText(store, "x"));
  EXPECT_TRUE(store.mFailed);
  store.mLength = 0;
  EXPECT_FALSE(WriteText(store, "x")) << "later writes fail too";
  EXPECT_FALSE(store.Close());
  EXPECT_EQ(store.DetachHandle(), nullptr);
  EXPECT_EQ(ReadText(store, 1), "<failed>") << "no handle, nothing to read";
}

}  // namespace
}  // namespace vorn::testing
