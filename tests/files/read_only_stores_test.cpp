#include <string>

#include "files/file_ptr.h"
#include "files/string_storage_mechanism.h"
#include "files/support/store_test.h"

namespace vorn::testing {
namespace {

using ReadOnlyStoresTest = StoreTest;

TEST_F(ReadOnlyStoresTest, PointerStoreReadsItsBytesUpToTheEnd) {
  const char bytes[] = "abcdef";
  FilePtr store;
  EXPECT_TRUE(store.IsEOF()) << "a new store has no data";
  EXPECT_EQ(ReadText(store, 1), "<failed>");
  store.SetData(bytes, 6);
  EXPECT_EQ(store.GetLength(), 6);
  EXPECT_EQ(ReadText(store, 4), "abcd");
  EXPECT_EQ(ReadText(store, 4), "ef");
  EXPECT_TRUE(store.IsEOF());
  EXPECT_EQ(ReadText(store, 0), "");
  EXPECT_EQ(ReadText(store, 1), "<failed>");
  store.SetPosition(-5);
  EXPECT_EQ(store.GetPosition(), 0);
  store.SetPosition(16);
  EXPECT_EQ(store.GetPosition(), 6);

  store.SetData(bytes + 2, 2);
  EXPECT_EQ(store.GetPosition(), 0) << "new data starts at the beginning";
  EXPECT_EQ(ReadText(store, 9), "cd");
  store.SetData(nullptr, 5);
  EXPECT_EQ(store.GetLength(), 0) << "no bytes, no length";
  store.SetData(bytes, -1);
  EXPECT_EQ(store.GetLength(), 0);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(ReadOnlyStoresTest, WritingToAPointerStoreIsAReportedProgrammingError) {
  char bytes[] = "keep";
  FilePtr store;
  store.SetData(bytes, 4);
  EXPECT_FALSE(WriteText(store, "XX"));
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("Runtime Error 4"), std::string::npos);
  EXPECT_NE(Reports()[0].find("../Universal/FileIO/file: 573\nFailure Condition: 0"), std::string::npos);
  EXPECT_FALSE(store.SetLength(2));
  ASSERT_EQ(Reports().size(), 2u);
  EXPECT_NE(Reports()[1].find("../Universal/FileIO/file: 605"), std::string::npos);
  EXPECT_EQ(std::string(bytes), "keep");
  EXPECT_EQ(store.GetLength(), 4);
  EXPECT_EQ(store.mLastError, 0);
  EXPECT_TRUE(store.Close());
}

TEST_F(ReadOnlyStoresTest, StringStoreReadsTheStringAndRefusesWrites) {
  StringStorageMechanism store;
  store.SetString(string("text"));
  EXPECT_EQ(store.GetLength(), 4);
  EXPECT_EQ(ReadText(store, 3), "tex");
  EXPECT_FALSE(WriteText(store, "more"));
  EXPECT_EQ(store.mLastError, kCannotWriteError);
  EXPECT_EQ(store.mLastError, 100);
  store.mLastError = 0;
  EXPECT_FALSE(store.SetLength(1));
  EXPECT_EQ(store.mLastError, 100);
  EXPECT_EQ(store.GetLength(), 4);
  EXPECT_EQ(ReadText(store, 3), "t") << "the refused write moved nothing";
  EXPECT_TRUE(Reports().empty()) << "a refusal, not an assertion";

  StringStorageMechanism empty;
  empty.SetString(string());
  EXPECT_TRUE(empty.IsEOF());
  EXPECT_EQ(ReadText(empty, 1), "<failed>");
  EXPECT_FALSE(WriteText(empty, ""));
  EXPECT_EQ(empty.mLastError, 100);
}

TEST_F(ReadOnlyStoresTest, StringStoreKeepsItsOwnReference) {
  StringStorageMechanism store;
  {
    string text("shared bytes");
    store.SetString(text);
    EXPECT_EQ(text.Rep()->refCount, 2);
    text.MutableBytes()[0] = 'S';  // the caller's change copies the record first
    EXPECT_EQ(text.View(), "Shared bytes");
  }
  EXPECT_EQ(store.mString.Rep()->refCount, 1);
  EXPECT_EQ(ReadText(store, 100), "shared bytes");

  store.SetString(string("other"));
  EXPECT_EQ(ReadText(store, 100), "other") << "a new string starts at position 0";
}

TEST_F(ReadOnlyStoresTest, ClosedStringStoreIsEmptyNotDangling) {
  StringStorageMechanism store;
  store.SetString(string("gone after close"));
  EXPECT_EQ(ReadText(store, 4), "gone");
  EXPECT_TRUE(store.Close());
  EXPECT_TRUE(store.mString.IsEmpty());
  EXPECT_EQ(store.GetLength(), 0);
  EXPECT_TRUE(store.IsEOF());
  EXPECT_EQ(ReadText(store, 4), "<failed>");
  EXPECT_TRUE(store.Close());
}

}  // namespace
}  // namespace vorn::testing
