// Cache objects that can give memory back on demand. An object joins the purge list only
// through Link, once it is fully built, so a purge never reaches a half-constructed object;
// the destructor takes it off the list.
#pragma once

#include <cstdint>

namespace vorn {

class purgableObject {
 public:
  purgableObject() = default;
  virtual ~purgableObject();
  purgableObject(const purgableObject&) = delete;
  purgableObject& operator=(const purgableObject&) = delete;

  // Puts the object at the most-recently-used end of the list (again, when already listed).
  void Link();
  // Moves a listed object to the most-recently-used end; does nothing for one not listed.
  void Touch();
  bool IsLinked() const { return mLinked; }

  // Gives memory back; true when the object freed (deleted) itself.
  virtual bool Purge() { return false; }

 private:
  friend int32_t PurgeObjects(int32_t);
  friend int32_t PurgableObjectCount();
  void Unlink();

  purgableObject* mPrev = nullptr;  // towards the least recently used end
  purgableObject* mNext = nullptr;
  bool mLinked = false;
};

// Asks listed objects, least recently used first, to purge until `wanted` of them freed
// themselves (every object once at most; wanted <= 0: all); answers how many did.
int32_t PurgeObjects(int32_t wanted);
int32_t PurgableObjectCount();

}  // namespace vorn
