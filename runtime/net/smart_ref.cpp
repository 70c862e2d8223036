#include "net/smart_ref.h"

#include "strings/runtime_error.h"

namespace vorn {
namespace {

constexpr const char* kSmartRefSource = "../Compiler/SmartRef";

void ReportSmartRefFailure(int32_t line, const char* condition) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kSmartRefSource, line, condition, "");
}

SmartRep* sDeleteList = nullptr;
bool sDraining = false;

}  // namespace

void SmartRep::DrainDeleteList() {
  if (sDraining) return;
  sDraining = true;
  while (SmartRep* rep = sDeleteList) {
    sDeleteList = rep->mNextToDelete;
    if (rep->mRefCount != 0 || rep->mLockCount != 0) ReportSmartRefFailure(__LINE__, "not mRefCount and not mLockCount");
    rep->DestroyObject();
    delete rep;
  }
  sDraining = false;
}

void SmartRep::Release() {
  --mRefCount;
  if (mRefCount < 0) ReportSmartRefFailure(__LINE__, "mRep->mRefCount >= 0");
  if (mRefCount != 0) return;
  if (reinterpret_cast<uintptr_t>(this) < 0x1000) {
    ReportSmartRefFailure(__LINE__, "(unsigned long)mRep >= 0x1000");
    return;
  }
  mNextToDelete = sDeleteList;
  sDeleteList = this;
  DrainDeleteList();
}

void SmartRep::Unlock() {
  --mLockCount;
  if (mLockCount < 0) ReportSmartRefFailure(__LINE__, "mRep->mLockCount >= 0");
  if (mDeleteWhenUnlocked && mLockCount <= 0) DestroyObject();
}

void SmartRep::DeleteWhenUnlocked() {
  mDeleteWhenUnlocked = 1;
  if (mLockCount <= 0) DestroyObject();
}

void SmartRep::DestroyObject() {
  // Cleared first: the destructor may look at holders of this rep.
  void* object = mObject;
  mObject = nullptr;
  if (object) mDestroy(object);
}

}  // namespace vorn
