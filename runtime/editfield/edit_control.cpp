#include "editfield/edit_control.h"

#include "editfield/edit_field_class.h"
#include "editfield/edit_text_model.h"

namespace vorn {

EditControl::EditControl(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds)
    : ContainerPane(parent, tabPanelIndex, bounds) {
  mDataSourceName = string("");
}

EditControl::~EditControl() {
  UnbindDataSource();
  mDataSourceName = string();
}

bool EditControl::CanFocus() { return !mRefuseFocus && mEnabled && mVisible && mShownByContainer; }

void EditControl::Close() {
  // The owner is about to lose its pane: its data control must not keep it through this pane,
  // its StyledText must not reach the pane, and nothing may reach the owner through this one
  // any more.
  UnbindDataSource();
  DetachEditFieldStyledText(mOwner);
  mOwner = nullptr;
  ContainerPane::Close();
}

int32_t EditControl::GetTextLength() { return UTF8CharacterCount(GetText(kEncodingUTF8).View()); }

void EditControl::SetAlignment(int32_t alignment) { mAlignment = alignment; }
void EditControl::SetSelAlignment(int32_t) {}
int32_t EditControl::GetSelAlignment() { return 0; }

void EditControl::BindDataSource() { BindOwner(mOwner, kBoundEditField); }
void EditControl::UnbindDataSource() { UnbindOwner(mOwner, kBoundEditField); }

}  // namespace vorn
