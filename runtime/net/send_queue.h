// A stream socket's bytes still to send. A long runtime string the program writes is kept as
// it is, with a reference (strings are copied before they change, so its bytes stay put):
// writing a megabyte copies nothing. Short writes are gathered into one buffer of the queue's
// own, so that one send carries many of them.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "strings/vstring.h"

namespace vorn {

class SendQueue {
 public:
  // Strings this long or longer are kept by reference.
  static constexpr int32_t kSharedWrite = 64 * 1024;
  // A gathering buffer grows to this size at most before the next one starts.
  static constexpr size_t kGatherLimit = 1024 * 1024;

  void Append(const void* bytes, int32_t count);
  void Append(const string& bytes);
  // The unsent bytes of the oldest piece, without copying; nil and 0 when empty.
  const char* Front(int32_t* count) const;
  // Drops up to n bytes from the front.
  void Consume(int64_t n);
  void Clear();
  int64_t Count() const { return mTotal; }

 private:
  // Either a string written by the program, or (while `shared` is empty) gathered bytes.
  struct Piece {
    string shared;
    std::string gathered;
    size_t start = 0;  // bytes already sent
    const char* Bytes() const { return shared.IsEmpty() ? gathered.data() : shared.CString(); }
    size_t Size() const { return shared.IsEmpty() ? gathered.size() : static_cast<size_t>(shared.Length()); }
  };

  std::deque<Piece> mPieces;
  int64_t mTotal = 0;
};

}  // namespace vorn
