#include "objects/purgable_object.h"

namespace vorn {

namespace {

struct PurgeList {
  purgableObject* lru = nullptr;
  purgableObject* mru = nullptr;
  int32_t count = 0;
};

PurgeList sList;

}  // namespace

purgableObject::~purgableObject() { Unlink(); }

void purgableObject::Unlink() {
  if (!mLinked) return;
  (mPrev ? mPrev->mNext : sList.lru) = mNext;
  (mNext ? mNext->mPrev : sList.mru) = mPrev;
  mPrev = mNext = nullptr;
  mLinked = false;
  --sList.count;
}

void purgableObject::Link() {
  Unlink();
  mPrev = sList.mru;
  mNext = nullptr;
  (sList.mru ? sList.mru->mNext : sList.lru) = this;
  sList.mru = this;
  mLinked = true;
  ++sList.count;
}

void purgableObject::Touch() {
  if (mLinked) Link();
}

int32_t PurgeObjects(int32_t wanted) {
  int32_t freed = 0;
  // Each round moves the least recently used object to the other end before asking it, so
  // objects that purge other objects as a side effect cannot break the walk.
  for (int32_t rounds = sList.count; rounds > 0 && sList.lru; --rounds) {
    purgableObject* object = sList.lru;
    object->Link();
    if (object->Purge()) {
      ++freed;
      if (wanted > 0 && freed >= wanted) break;
    }
  }
  return freed;
}

int32_t PurgableObjectCount() { return sList.count; }

}  // namespace vorn
