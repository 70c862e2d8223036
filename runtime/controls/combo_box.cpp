#include "controls/combo_box.h"

namespace vorn {

ComboBox::ComboBox(RuntimeObject* owner, ComboBoxEvents* events, const TextStyle& style)
    : mOwner(owner), mEvents(events) {
  mStyle.Assign(style);
}

ComboBox::~ComboBox() { UnbindDataSource(); }

void ComboBox::BindDataSource() { BindOwner(mOwner, kBoundPopupMenu); }

void ComboBox::UnbindDataSource() { UnbindOwner(mOwner, kBoundPopupMenu); }

}  // namespace vorn
