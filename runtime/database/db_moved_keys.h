// The keys a walk moved rows to, ahead of where it stands, with the record id each row keeps
// wherever it goes, so that the walk passes over them instead of giving them again. Each notes
// the transaction that put it there (a count of transaction ends the walk saw) and what it held
// before, so that an undone transaction takes its moves back.
//
// A walk moves rows in the order it gives them, and most moves (a key raised by a constant)
// arrive in key order: those are kept packed, a key's bytes and 24 bytes beside them, and
// forgotten from the front as the walk passes them; the rest go to a map.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "database/db_format.h"

namespace vorn {

class DbMovedKeys {
 public:
  bool Empty() const { return mFirst == mPacked.size() && mOthers.empty(); }
  // A row with record id `id` now stands at `key`, moved there in transaction `end`.
  void Put(const Bytes& key, uint32_t id, uint32_t end);
  // Forgets the keys below `key` (the walk never comes back to them) and tells whether a row
  // this walk moved there, record `id`, stands at `key`.
  bool Holds(const Bytes& key, uint32_t id);
  // Takes back what transaction `end` put.
  void Undo(uint32_t end);

 private:
  struct Move {
    uint32_t id = 0;  // 0: taken back
    uint32_t end = 0;
    uint32_t before = 0;  // the id it held before this transaction, 0 for none
    uint32_t beforeEnd = 0;
    void Overwrite(uint32_t newId, uint32_t newEnd) {
      if (end != newEnd) *this = {id, newEnd, id, end};
      id = newId;
    }
    void Undo(uint32_t undone) {
      if (end == undone) *this = {before, beforeEnd, 0, 0};
    }
  };
  struct Packed {
    uint32_t offset = 0;  // of its key's bytes
    uint32_t length = 0;
    Move move;
  };
  int Compare(const Packed& packed, const Bytes& key) const {
    return DbCompareKeys(mBytes.data() + packed.offset, packed.length, key.data(), key.size());
  }
  // Drops what the walk passed once it is most of what is kept.
  void Compact();

  std::vector<Packed> mPacked;
  std::vector<uint8_t> mBytes;
  size_t mFirst = 0;  // the packed ones before it are passed
  std::map<Bytes, Move> mOthers;
};

}  // namespace vorn
