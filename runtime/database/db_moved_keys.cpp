#include "database/db_moved_keys.h"

#include <algorithm>

namespace vorn {

void DbMovedKeys::Put(const Bytes& key, uint32_t id, uint32_t end) {
  if (mFirst == mPacked.size() || Compare(mPacked.back(), key) < 0) {
    if (auto other = mOthers.find(key); other != mOthers.end()) return other->second.Overwrite(id, end);
    mPacked.push_back({uint32_t(mBytes.size()), uint32_t(key.size()), {id, end, 0, 0}});
    mBytes.insert(mBytes.end(), key.begin(), key.end());
    return;
  }
  auto at = std::lower_bound(mPacked.begin() + long(mFirst), mPacked.end(), key,
                             [this](const Packed& packed, const Bytes& sought) { return Compare(packed, sought) < 0; });
  if (at != mPacked.end() && Compare(*at, key) == 0) return at->move.Overwrite(id, end);
  auto [other, added] = mOthers.try_emplace(key, Move{id, end, 0, 0});
  if (!added) other->second.Overwrite(id, end);
}

bool DbMovedKeys::Holds(const Bytes& key, uint32_t id) {
  while (mFirst < mPacked.size() && Compare(mPacked[mFirst], key) < 0) ++mFirst;
  Compact();
  mOthers.erase(mOthers.begin(), mOthers.lower_bound(key));
  if (mFirst < mPacked.size() && Compare(mPacked[mFirst], key) == 0 && mPacked[mFirst].move.id == id) return true;
  return !mOthers.empty() && mOthers.begin()->first == key && mOthers.begin()->second.id == id;
}

void DbMovedKeys::Undo(uint32_t end) {
  for (size_t i = mFirst; i < mPacked.size(); ++i) mPacked[i].move.Undo(end);
  for (auto it = mOthers.begin(); it != mOthers.end();) {
    it->second.Undo(end);
    it = it->second.id ? std::next(it) : mOthers.erase(it);
  }
}

void DbMovedKeys::Compact() {
  if (mFirst < 4096 || mFirst * 2 < mPacked.size()) {
    if (mFirst == mPacked.size()) mPacked.clear(), mBytes.clear(), mFirst = 0;
    return;
  }
  std::vector<Packed> kept(mPacked.begin() + long(mFirst), mPacked.end());
  std::vector<uint8_t> bytes;
  for (Packed& packed : kept) {
    const uint32_t offset = uint32_t(bytes.size());
    bytes.insert(bytes.end(), mBytes.begin() + packed.offset, mBytes.begin() + packed.offset + packed.length);
    packed.offset = offset;
  }
  mPacked.swap(kept);
  mBytes.swap(bytes);
  mFirst = 0;
}

}  // namespace vorn
