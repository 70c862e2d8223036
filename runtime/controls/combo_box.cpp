#include "controls/combo_box.h"

#include "objects/runtime_object.h"

namespace vorn {

namespace {
DataControlHooks sHooks;
}  // namespace

void SetDataControlHooks(const DataControlHooks& hooks) { sHooks = hooks; }
const DataControlHooks& GetDataControlHooks() { return sHooks; }

DataAwareClass::~DataAwareClass() = default;

ComboBox::ComboBox(RuntimeObject* owner, ComboBoxEvents* events, const TextStyle& style)
    : mOwner(owner), mEvents(events) {
  mStyle.Assign(style);
}

ComboBox::~ComboBox() { UnbindDataSource(); }

void ComboBox::BindDataSource() {
  // A second bind would leave the control registered twice: the old binding goes first.
  UnbindDataSource();
  if (mDataSourceName.IsEmpty() || !mOwner || !sHooks.findDataControl || !sHooks.addBoundControl) return;
  RuntimeObject* dataControl = sHooks.findDataControl(mOwner, mDataSourceName);
  if (!dataControl) return;
  RuntimeLockObject(dataControl);
  mBoundDataControl = dataControl;
  sHooks.addBoundControl(dataControl, mOwner, kBoundControlPopup);
  if (sHooks.refreshBoundControls) sHooks.refreshBoundControls(dataControl);
}

void ComboBox::UnbindDataSource() {
  RuntimeObject* dataControl = mBoundDataControl;
  if (!dataControl) return;
  mBoundDataControl = nullptr;
  if (mOwner && sHooks.removeBoundControl) sHooks.removeBoundControl(dataControl, mOwner, kBoundControlPopup);
  RuntimeUnlockObject(dataControl);
}

}  // namespace vorn
