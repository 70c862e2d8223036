// A stream socket's bytes still to send. A long runtime string the program writes is kept as
// it is, with a reference (strings are copied before they change, so its bytes stay put):
// writing a megabyte copies nothing. Short writes are gathered into one buffer of the queue's
// own, so that one send carries many of them.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "net/fifo.h"
#include "strings/vstring.h"

namespace vorn {

class SendQueue {
 public:
  // Strings this long or longer are kept by reference.
  static constexpr int32_t kSharedWrite = 64 * 1024;
  // A gathering buffer grows to this size at most before the next one starts.
  static constexpr size_t kGatherLimit = 1024 * 1024;

  void Append(const void* bytes, int32_t count) {
    if (!bytes || count < 1) return;
    // Most writes are short and find the gathering buffer at the back with room.
    if (!mPieces.Empty()) {
      Piece& tail = mPieces.Back();
      if (tail.shared.IsEmpty() && tail.gathered.size() + static_cast<size_t>(count) <= kGatherLimit) {
        tail.gathered.append(static_cast<const char*>(bytes), static_cast<size_t>(count));
        mTotal += count;
        return;
      }
    }
    Gather(static_cast<const char*>(bytes), static_cast<size_t>(count));
  }
  void Append(const string& bytes) {
    if (bytes.Length() < kSharedWrite) Append(bytes.CString(), bytes.Length());
    else Share(bytes);
  }
  // The unsent bytes of the oldest piece, without copying; nil and 0 when empty.
  const char* Front(int32_t* count) const {
    if (mTotal == 0) {
      *count = 0;
      return nullptr;
    }
    const Piece& front = mPieces.Front();
    *count = static_cast<int32_t>(front.Size() - front.start);
    return front.Bytes() + front.start;
  }
  // Drops up to n bytes from the front.
  void Consume(int64_t n) {
    if (n >= mTotal && mPieces.Size() == 1 && mPieces.Front().shared.IsEmpty()) {
      // Everything went: the last gathering buffer stays, its room kept for the next writes.
      mPieces.Front().gathered.clear();
      mPieces.Front().start = 0;
      mTotal = 0;
      return;
    }
    ConsumePieces(n);
  }
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

  void Gather(const char* from, size_t left);
  void Share(const string& bytes);
  void ConsumePieces(int64_t n);

  Fifo<Piece> mPieces;
  int64_t mTotal = 0;
};

}  // namespace vorn
