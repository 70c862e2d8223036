#include "controls/combo_box.h"

#include "windows/sub_pane.h"

namespace vorn {

ComboBox::ComboBox(RuntimeObject* owner, ComboBoxEvents* events, const TextStyle& style)
    : mOwner(owner), mEvents(events) {
  mStyle.Assign(style);
}

ComboBox::~ComboBox() { UnbindDataSource(); }

void ComboBox::BindDataSource() { BindOwner(mOwner, kBoundPopupMenu); }

void ComboBox::UnbindDataSource() { UnbindOwner(mOwner, kBoundPopupMenu); }

bool ComboBox::RaiseChangeOnce(SubPane* pane) {
  RuntimeObject* owner = mOwner;
  if (!owner || !mEvents || mEvents->InChange(owner)) return false;
  // The handler may close the window (and the pane) or drop the last reference to the owner:
  // both are held until the notifications are done.
  RuntimeLockObject(owner);
  pane->Lock();
  mEvents->SetInChange(owner, true);
  mEvents->RaiseChange(owner);
  if (mOwner) mEvents->NotifyDataChanged(owner);
  mEvents->SetInChange(owner, false);
  RuntimeUnlockObject(owner);
  return pane->Release();
}

}  // namespace vorn
