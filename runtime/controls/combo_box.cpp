#include "controls/combo_box.h"

#include "graphics/graphics.h"
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

bool ComboBox::CentredBaseline(SubPane* pane, int32_t* y) {
  Graphics* port = pane->GetGraphics();
  if (!port) {
    *y = 0;
    return false;
  }
  port->SetTextFontFrom(mStyle);
  // The port's line gap is -1 here, so the gap and the extra pixel cancel out.
  constexpr int32_t kLineGap = -1;
  *y = port->FontAscent() + (pane->Height() - (port->TextHeight() + kLineGap) - 1) / 2;
  DisposeGraphics(port);
  return true;
}

}  // namespace vorn
