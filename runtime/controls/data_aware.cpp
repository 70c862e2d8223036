#include "controls/data_aware.h"

namespace vorn {

namespace {
DataBindingHooks sHooks;
}

void SetDataBindingHooks(const DataBindingHooks& hooks) { sHooks = hooks; }
const DataBindingHooks& GetDataBindingHooks() { return sHooks; }

void DataAwareClass::UnbindOwner(RuntimeObject* owner, int32_t kind) {
  RuntimeObject* bound = mBoundDataControl;
  mBoundDataControl = nullptr;
  if (bound && sHooks.removeBoundControl) sHooks.removeBoundControl(bound, owner, kind);
}

void DataAwareClass::BindOwner(RuntimeObject* owner, int32_t kind) {
  if (mDataSourceName.Compare(string()) == 0) {
    UnbindOwner(owner, kind);
    return;
  }
  if (!owner || !sHooks.findDataControl) return;
  RuntimeObject* dataControl = sHooks.findDataControl(owner, mDataSourceName);
  if (!dataControl) return;
  // A second DataField assignment binds again: the old registration must not stay behind.
  if (mBoundDataControl) UnbindOwner(owner, kind);
  mBoundDataControl = dataControl;
  if (sHooks.addBoundControl) sHooks.addBoundControl(dataControl, owner, kind);
  if (sHooks.refreshBoundControls) sHooks.refreshBoundControls(dataControl);
}

}  // namespace vorn
