// Fixture of the stream-class tests: a StoreTest that also lets the shared TextEncoding objects
// go at both ends, so only objects a test really leaked count.
#pragma once

#include <string>

#include "files/file_handle.h"
#include "files/support/store_test.h"
#include "strings/vstring.h"

namespace vorn::testing {

class StreamObjectTest : public StoreTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The record's text, released.
  static std::string Take(StringRep* rep);
  // The record's encoding and text, released: "0x8000100:abc".
  static std::string TakeTagged(StringRep* rep);
  // A memory store holding the bytes, positioned at 0.
  static FileHandle* StoreWith(const std::string& bytes);
  static std::string Contents(FileHandle* store);
};

// A store that a test can make fail: refuse writes without naming a reason, fail its close,
// or stop handing out bytes before its end.
class FailingStore : public FileHandle {
 public:
  ~FailingStore() override;
  bool Write(const void* buffer, int32_t count) override;
  bool Close() override;
  bool Read(void* buffer, int32_t count, int32_t* outCount = nullptr) override;

  bool refuseWrites = false;
  bool failClose = false;
  bool starveReads = false;
  int32_t* closeCount = nullptr;    // counts every Close, when set
  int32_t* destroyCount = nullptr;  // counts the destruction, when set
  int32_t* readCount = nullptr;     // counts every Read, when set
  int64_t* bytesRead = nullptr;     // adds up what the reads handed out, when set
};

}  // namespace vorn::testing
