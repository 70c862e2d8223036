#include <gtest/gtest.h>

#include <vector>

#include "objects/purgable_object.h"

namespace vorn {
namespace {

std::vector<int> sAsked;

class Cache : public purgableObject {
 public:
  Cache(int id, bool freesItself) : mId(id), mFreesItself(freesItself) {}
  bool Purge() override {
    sAsked.push_back(mId);
    if (!mFreesItself) return false;
    delete this;
    return true;
  }

 private:
  int mId;
  bool mFreesItself;
};

TEST(PurgableObject, OnlyLinkedObjectsArePurgedLeastRecentlyUsedFirst) {
  sAsked.clear();
  auto* a = new Cache(1, true);
  auto* b = new Cache(2, false);
  auto* c = new Cache(3, true);
  auto* unlisted = new Cache(4, true);
  EXPECT_FALSE(a->IsLinked()) << "construction does not link";
  a->Link();
  b->Link();
  c->Link();
  a->Touch();  // order now b, c, a
  unlisted->Touch();
  EXPECT_FALSE(unlisted->IsLinked());
  EXPECT_EQ(PurgableObjectCount(), 3);

  EXPECT_EQ(PurgeObjects(1), 1);
  EXPECT_EQ(sAsked, (std::vector<int>{2, 3}));
  EXPECT_EQ(PurgableObjectCount(), 2);
  EXPECT_EQ(PurgeObjects(0), 1);
  EXPECT_EQ(sAsked, (std::vector<int>{2, 3, 1, 2}));
  EXPECT_EQ(PurgableObjectCount(), 1);
  delete b;
  EXPECT_EQ(PurgableObjectCount(), 0);
  delete unlisted;
}

}  // namespace
}  // namespace vorn
