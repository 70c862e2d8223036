// The runtime's string-keyed hash map.
//
// Every entry sits in two lists: its bucket's chain (newest first) and the insertion order,
// which iterators follow. The bucket array is made on the first insertion and doubles once the
// count exceeds three quarters of the buckets. The map knows the iterators attached to it so
// that removing an entry, through an iterator or directly, never leaves one pointing at freed
// memory.
//
// Hash and equality are virtual so that an instantiation can choose its own; the defaults fold
// ASCII case, which is what every name lookup of the runtime wants.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "strings/container_assert.h"
#include "strings/memory.h"
#include "strings/vstring.h"

namespace vorn {

inline constexpr const char* kStringMapSource = "../Universal/StringMap";
inline constexpr const char* kStringMapIteratorWarning =
    "WARNING: StringMap deleted with iterators still attached.";

// Hash of the runtime's name maps: 'a'..'z' folded to upper case, then h = h * 31 + the byte
// as a signed 8-bit value, in unsigned 32-bit arithmetic.
inline uint32_t FoldedNameHash(const char* bytes, int32_t length) {
  uint32_t hash = 0;
  for (int32_t i = 0; i < length; ++i) {
    uint8_t byte = static_cast<uint8_t>(bytes[i]);
    if (byte >= 'a' && byte <= 'z') byte = static_cast<uint8_t>(byte - 32);
    hash = hash * 31u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(byte)));
  }
  return hash;
}

// The text bytes of a key, read straight from its record (the record layout is fixed ABI).
inline const char* KeyBytes(const string& key) {
  const StringRep* rep = key.Rep();
  return rep ? rep->buffer + 1 : "";
}

// string::Compare is 0, with the common cases settled first: one record, or identical bytes
// in one encoding. Anything else (case differences, other encodings) takes the full compare.
inline bool NameKeysEqual(const string& a, const string& b) {
  if (a.Rep() == b.Rep()) return true;
  if (a.Encoding() == b.Encoding() && a.Length() == b.Length() &&
      std::memcmp(KeyBytes(a), KeyBytes(b), static_cast<size_t>(a.Length())) == 0) {
    return true;
  }
  return a.Compare(b) == 0;
}

template <typename T>
class StringMapIterator;

template <typename T>
class StringMap {
 public:
  static constexpr int32_t kDefaultBucketCount = 256;

  explicit StringMap(int32_t bucketCount = kDefaultBucketCount) : mInitialBuckets(bucketCount) {}
  virtual ~StringMap();
  StringMap(const StringMap&) = delete;
  StringMap& operator=(const StringMap&) = delete;

  virtual uint32_t Hash(const string& key) const {
    return FoldedNameHash(KeyBytes(key), key.Length());
  }
  virtual bool Equal(const string& a, const string& b) const { return NameKeysEqual(a, b); }

  // Inserts the key, or replaces the value when the key is present (its place in the
  // insertion order stays).
  void SetEntry(const string& key, T value);
  // Whether the key is present; its value goes to *value when value is not nil.
  bool GetEntry(const string& key, T* value = nullptr) const;
  bool RemoveEntry(const string& key);
  void Clear();

  int32_t Count() const { return mCount; }
  // 0 until the first insertion.
  int32_t BucketCount() const { return mBucketCount; }

  // A new iterator attached to this map, positioned before the first entry. The caller
  // deletes it.
  StringMapIterator<T>* NewIterator() { return new StringMapIterator<T>(this); }

 private:
  friend class StringMapIterator<T>;

  struct Entry {
    Entry* chainNext;
    Entry* orderNext;
    Entry* orderPrev;
    uint32_t hash;
    string key;
    T value;
  };

  Entry* Find(const string& key, uint32_t hash) const;
  void Rebuild(int32_t newSize);
  void Unlink(Entry* entry);

  int32_t mInitialBuckets;
  int32_t mBucketCount = 0;
  int32_t mCount = 0;
  Entry** mBuckets = nullptr;
  Entry* mFirst = nullptr;  // insertion order
  Entry* mLast = nullptr;
  StringMapIterator<T>* mIterators = nullptr;
};

template <typename T>
class StringMapIterator {
 public:
  virtual ~StringMapIterator();
  StringMapIterator(const StringMapIterator&) = delete;
  StringMapIterator& operator=(const StringMapIterator&) = delete;

  // Steps to the next entry in insertion order and hands out its value (and key); false at the
  // end, or when the map is gone. Entries appended meanwhile are still visited.
  bool Next(T* value = nullptr, string* key = nullptr);
  // Removes the entry the last Next gave; the walk goes on with the entry after it. False when
  // there is no such entry (before the first Next, at the end, or when it was removed already).
  bool RemoveCurrent();

 private:
  friend class StringMap<T>;
  using Entry = typename StringMap<T>::Entry;

  explicit StringMapIterator(StringMap<T>* map);

  StringMap<T>* mMap;
  // The entry last handed out, or the one before it when that was removed; nil means the walk
  // starts from the first entry.
  Entry* mAnchor = nullptr;
  bool mHasCurrent = false;
  StringMapIterator* mNextAttached = nullptr;
  StringMapIterator* mPrevAttached = nullptr;
};

// Procedural set and get; the get answers T() (0 for pointers and numbers) when absent.
template <typename T>
void StringMapSetEntry(StringMap<T>* map, const string& key, T value) {
  if (map) map->SetEntry(key, std::move(value));
}

template <typename T>
T StringMapGetValue(const StringMap<T>* map, const string& key) {
  T value{};
  if (map && map->GetEntry(key, &value)) return value;
  return T{};
}

// --- StringMap -----------------------------------------------------------------------------

template <typename T>
StringMap<T>::~StringMap() {
  if (mIterators != nullptr) {
    std::fprintf(stderr, "%s\n", kStringMapIteratorWarning);
    // Leave the iterators harmless: they answer false from now on and detach from nothing.
    for (StringMapIterator<T>* it = mIterators; it != nullptr;) {
      StringMapIterator<T>* next = it->mNextAttached;
      it->mMap = nullptr;
      it->mAnchor = nullptr;
      it->mHasCurrent = false;
      it->mNextAttached = it->mPrevAttached = nullptr;
      it = next;
    }
    mIterators = nullptr;
  }
  Clear();
  FreeMemory(mBuckets);
}

template <typename T>
typename StringMap<T>::Entry* StringMap<T>::Find(const string& key, uint32_t hash) const {
  if (mBuckets == nullptr) return nullptr;
  for (Entry* e = mBuckets[hash % static_cast<uint32_t>(mBucketCount)]; e; e = e->chainNext) {
    if (e->hash == hash && Equal(e->key, key)) return e;
  }
  return nullptr;
}

template <typename T>
void StringMap<T>::SetEntry(const string& key, T value) {
  uint32_t hash = Hash(key);
  if (Entry* found = Find(key, hash)) {
    found->value = std::move(value);
    return;
  }
  if (mBuckets == nullptr) Rebuild(mInitialBuckets);
  auto* entry = static_cast<Entry*>(AllocMemory(sizeof(Entry)));
  new (entry) Entry{nullptr, nullptr, mLast, hash, key, std::move(value)};
  Entry*& chain = mBuckets[hash % static_cast<uint32_t>(mBucketCount)];
  entry->chainNext = chain;
  chain = entry;
  if (mLast) {
    mLast->orderNext = entry;
  } else {
    mFirst = entry;
  }
  mLast = entry;
  ++mCount;
  if (mCount > mBucketCount * 3 / 4) Rebuild(mBucketCount * 2);
}

template <typename T>
bool StringMap<T>::GetEntry(const string& key, T* value) const {
  Entry* found = Find(key, Hash(key));
  if (found && value) *value = found->value;
  return found != nullptr;
}

template <typename T>
bool StringMap<T>::RemoveEntry(const string& key) {
  Entry* found = Find(key, Hash(key));
  if (found == nullptr) return false;
  Unlink(found);
  return true;
}

template <typename T>
void StringMap<T>::Unlink(Entry* entry) {
  for (StringMapIterator<T>* it = mIterators; it != nullptr; it = it->mNextAttached) {
    if (it->mAnchor == entry) {
      it->mAnchor = entry->orderPrev;
      it->mHasCurrent = false;
    }
  }
  Entry** link = &mBuckets[entry->hash % static_cast<uint32_t>(mBucketCount)];
  while (*link != entry) link = &(*link)->chainNext;
  *link = entry->chainNext;
  if (entry->orderPrev) {
    entry->orderPrev->orderNext = entry->orderNext;
  } else {
    mFirst = entry->orderNext;
  }
  if (entry->orderNext) {
    entry->orderNext->orderPrev = entry->orderPrev;
  } else {
    mLast = entry->orderPrev;
  }
  --mCount;
  entry->~Entry();
  FreeMemory(entry);
}

template <typename T>
void StringMap<T>::Clear() {
  for (StringMapIterator<T>* it = mIterators; it != nullptr; it = it->mNextAttached) {
    it->mAnchor = nullptr;
    it->mHasCurrent = false;
  }
  for (Entry* e = mFirst; e != nullptr;) {
    Entry* next = e->orderNext;
    e->~Entry();
    FreeMemory(e);
    e = next;
  }
  mFirst = mLast = nullptr;
  mCount = 0;
  for (int32_t i = 0; i < mBucketCount; ++i) mBuckets[i] = nullptr;
}

template <typename T>
void StringMap<T>::Rebuild(int32_t newSize) {
  if (newSize <= 0) {
    ReportContainerAssertion(kStringMapSource, __LINE__, "newSize > 0");
    newSize = 1;
  }
  auto** buckets =
      static_cast<Entry**>(AllocClearedMemory(sizeof(Entry*) * static_cast<size_t>(newSize)));
  // Re-chained in insertion order, each pushed on the front of its new chain.
  for (Entry* e = mFirst; e != nullptr; e = e->orderNext) {
    Entry*& chain = buckets[e->hash % static_cast<uint32_t>(newSize)];
    e->chainNext = chain;
    chain = e;
  }
  FreeMemory(mBuckets);
  mBuckets = buckets;
  mBucketCount = newSize;
}

// --- StringMapIterator ---------------------------------------------------------------------

template <typename T>
StringMapIterator<T>::StringMapIterator(StringMap<T>* map) : mMap(map) {
  mNextAttached = map->mIterators;
  if (mNextAttached) mNextAttached->mPrevAttached = this;
  map->mIterators = this;
}

template <typename T>
StringMapIterator<T>::~StringMapIterator() {
  if (mMap == nullptr) return;
  if (mPrevAttached) {
    mPrevAttached->mNextAttached = mNextAttached;
  } else {
    mMap->mIterators = mNextAttached;
  }
  if (mNextAttached) mNextAttached->mPrevAttached = mPrevAttached;
}

template <typename T>
bool StringMapIterator<T>::Next(T* value, string* key) {
  if (mMap == nullptr) return false;
  Entry* next = mAnchor ? mAnchor->orderNext : mMap->mFirst;
  if (next == nullptr) {
    mHasCurrent = false;
    return false;
  }
  mAnchor = next;
  mHasCurrent = true;
  if (value) *value = next->value;
  if (key) *key = next->key;
  return true;
}

template <typename T>
bool StringMapIterator<T>::RemoveCurrent() {
  if (mMap == nullptr || !mHasCurrent || mAnchor == nullptr) return false;
  mMap->Unlink(mAnchor);  // moves every iterator anchored there, this one included, back
  return true;
}

}  // namespace vorn
