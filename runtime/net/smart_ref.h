// Shared ownership of a native object by reference count, with locks that can hold off its
// deletion. Several holders share one rep; the last release deletes the rep and, through the
// object's virtual destructor, the object. Reps are deleted from one list, so a destructor
// that releases further holders never recurses.
//
// Like the rest of the runtime's tables, the counts are plain data: only the thread that
// holds the runtime lock touches them.
#pragma once

#include <cstdint>
#include <utility>

namespace vorn {

class SmartRep {
 public:
  using Destroyer = void (*)(void* object);

  SmartRep(void* object, Destroyer destroy) : mObject(object), mDestroy(destroy) {}
  SmartRep(const SmartRep&) = delete;
  SmartRep& operator=(const SmartRep&) = delete;

  void* Object() const { return mObject; }
  int16_t RefCount() const { return mRefCount; }
  int16_t LockCount() const { return mLockCount; }

  void Retain() { ++mRefCount; }
  // Drops one reference; at zero the rep (and its object) is deleted.
  void Release();
  void Lock() { ++mLockCount; }
  void Unlock();
  // Deletes the object once no lock remains (at once when none is held); the rep stays.
  void DeleteWhenUnlocked();

 private:
  static void DrainDeleteList();
  void DestroyObject();

  void* mObject;
  Destroyer mDestroy;
  int16_t mRefCount = 1;
  int16_t mLockCount = 0;
  int16_t mDeleteWhenUnlocked = 0;
  SmartRep* mNextToDelete = nullptr;
};

template <typename T>
class SmartRef {
 public:
  SmartRef() = default;
  // Takes ownership of a new object; nil gives an empty holder.
  explicit SmartRef(T* object)
      : mRep(object ? new SmartRep(object, [](void* p) { delete static_cast<T*>(p); }) : nullptr) {}
  SmartRef(const SmartRef& other) : mRep(other.mRep) {
    if (mRep) mRep->Retain();
  }
  SmartRef(SmartRef&& other) noexcept : mRep(std::exchange(other.mRep, nullptr)), mLocked(std::exchange(other.mLocked, 0)) {}
  ~SmartRef() { Release(); }

  SmartRef& operator=(const SmartRef& other) {
    SmartRep* rep = other.mRep;  // `other` may be this holder
    if (rep) rep->Retain();
    Release();
    mRep = rep;
    return *this;
  }
  SmartRef& operator=(SmartRef&& other) noexcept {
    if (this != &other) {
      Release();
      mRep = std::exchange(other.mRep, nullptr);
      mLocked = std::exchange(other.mLocked, 0);
    }
    return *this;
  }

  T* Get() const { return mRep ? static_cast<T*>(mRep->Object()) : nullptr; }
  T* operator->() const { return Get(); }
  explicit operator bool() const { return Get() != nullptr; }

  // Drops this holder's lock, then its reference; the holder is empty afterwards.
  void Release() {
    Unlock();
    if (SmartRep* rep = std::exchange(mRep, nullptr)) rep->Release();
  }
  // A holder owns at most one lock.
  void Lock() {
    if (mRep && !mLocked) {
      mRep->Lock();
      mLocked = 1;
    }
  }
  void Unlock() {
    if (mRep && mLocked) {
      mLocked = 0;
      mRep->Unlock();
    }
  }
  void DeleteWhenUnlocked() {
    if (mRep) mRep->DeleteWhenUnlocked();
  }

  int16_t RefCount() const { return mRep ? mRep->RefCount() : 0; }
  int16_t LockCount() const { return mRep ? mRep->LockCount() : 0; }
  bool OwnsLock() const { return mLocked != 0; }

 private:
  SmartRep* mRep = nullptr;
  int16_t mLocked = 0;
};

}  // namespace vorn
